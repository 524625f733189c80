#pragma once

#include "dbf_format.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace table {

// Read access to the memo file beside a table (.DBT for dBASE, .FPT for FoxPro).
class MemoReader {
public:
    virtual ~MemoReader() = default;
    // The raw memo bytes (in the table's code page) that a memo field's pointer names;
    // empty for pointer 0 or a pointer outside the file. Never reads outside the file.
    virtual std::string read(uint64_t block) const = 0;

    // Opens the memo file of `dbfPath` (same name, extension .DBT/.dbt or .FPT/.fpt).
    // Returns null when there is no memo file: memo fields then read as empty text.
    // Throws TableError naming the file when it exists but its header is unusable.
    static std::unique_ptr<MemoReader> open(const std::string& dbfPath, MemoKind kind);
    // A reader over memo file contents already in memory (`name` is used in messages).
    static std::unique_ptr<MemoReader> fromBytes(std::string contents, MemoKind kind,
                                                 const std::string& name);
};

} // namespace table
