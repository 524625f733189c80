#pragma once

// Import without windows: what a source file offers (its import fields), the map from source
// positions to book fields, and the run that appends one book record per source record, in
// steps that a window can interleave with repainting.

#include "table/table.h"
#include "transfer/delimited_text.h"
#include "transfer/import_values.h"
#include "transfer/transfer_error.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace transfer {

// A delimited text file as the first-line check sees it.
struct TextSource {
    FirstLineError error = FirstLineError::None;
    std::vector<std::string> labels; // UTF-8, 1 to 46 of them when the check passed
    // The labels were read as UTF-8: a byte-order mark, or valid UTF-8 with non-ASCII bytes in
    // the file's first megabyte (the import decides by the whole file).
    bool utf8 = false;
};
// TransferError when the file cannot be read.
TextSource inspectTextFile(const std::string& path);

// Whether these bytes are read as UTF-8, and how many bytes of byte-order mark to pass over.
struct TextEncoding {
    bool utf8 = false;
    size_t skip = 0;
};
TextEncoding detectEncoding(std::span<const uint8_t> bytes);

// The same test in steps, for files too large to look at in one go.
class EncodingScan {
public:
    explicit EncodingScan(std::span<const uint8_t> bytes);
    // Looks at up to `maxBytes` more bytes; true when the answer is known.
    bool step(size_t maxBytes);
    TextEncoding result() const { return result_; }

private:
    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
    TextEncoding result_;
    bool done_ = false;
};

// A foreign dBASE table's fields offered for import: the names (first 20 characters) of the
// fields a user sees, system fields left out. TransferError when the table cannot be opened or
// has more than 46 such fields.
std::vector<std::string> inspectDbfFile(const std::string& path);

// Grid row j (1 upward): the import position shown there (0 for "<EMPTY>") and its USE cell.
struct MappingRow {
    int position = 0;
    bool use = false;
};
// For each import position 1..fieldCount (index 0 is position 1), the catalogue field it goes
// to, or 0. Only rows 1..36 have a book field; a position found in no such row goes nowhere.
std::vector<int> buildImportMap(const std::vector<MappingRow>& rows, int fieldCount);

class ImportRun {
public:
    virtual ~ImportRun() = default;
    // Imports up to `maxRecords` more source records; true when the source is exhausted.
    // TransferError stops the import: the records posted before stay, the one under
    // construction is cancelled.
    virtual bool step(uint32_t maxRecords) = 0;
    uint32_t count() const { return count_; }

protected:
    uint32_t count_ = 0;
};

// Appends to `books` (open, in its current order and filter). `map` as buildImportMap gives.
std::unique_ptr<ImportRun> startTextImport(table::Table& books, const std::string& path,
                                           const std::vector<int>& map, bool skipFirst,
                                           const ImportFormats& formats);
std::unique_ptr<ImportRun> startDbfImport(table::Table& books, const std::string& path,
                                          const std::vector<int>& map,
                                          const ImportFormats& formats);

} // namespace transfer
