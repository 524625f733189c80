#pragma once

// A consistency check of a .DBF and its production .MDX that reads the files as they are, without
// the engine's own repairs at open: the header against the file size, every record's deletion
// flag and field bytes, and every index tag against the records. The repair brings a table that
// a crash cut short back to its complete records and rebuilds the index tags.

#include "mdx_file.h"

#include <cstdint>
#include <string>
#include <vector>

namespace table {

struct CheckProblem {
    enum class Kind {
        Header,       // header against file size: truncated, or complete records past the count
        Record,       // a deletion flag that is neither blank nor "*"
        Field,        // bytes that do not read as the field's type
        IndexMissing, // the header asks for a production index that is not there
        IndexFile,    // the .MDX cannot be read
        Tag,          // a tag disagrees with the records
    };
    Kind kind;
    std::string text;
};

struct CheckReport {
    uint32_t headerRecordCount = 0; // as the header says
    uint32_t completeRecords = 0;   // records wholly present in the file
    uint32_t deletedRecords = 0;    // of the complete ones
    std::vector<TagInfo> tags;
    std::vector<CheckProblem> problems; // at most a few per kind and tag, then a count
    std::vector<std::string> notes;     // what could not be checked, such as a tag whose key
                                        // expression only another dBASE program evaluates
    bool ok() const { return problems.empty(); }
};

// Checks the table at `dbfPath` (and its .MDX beside it). Throws TableError when the file cannot
// be read or its header is not a .DBF header at all. `progress` gets 0..1.
CheckReport checkTable(const std::string& dbfPath, const Progress& progress = {});

// Repairs what checkTable finds that can be repaired without losing a complete record: the
// header's record count is set to the complete records in the file (a half-written last record
// is cut off), a production-index flag without its .MDX is cleared, and every index tag is
// rebuilt from the records. Needs the table to itself (TableError otherwise). Returns what was
// done, a line each.
std::vector<std::string> repairTable(const std::string& dbfPath, const Progress& progress = {});

} // namespace table
