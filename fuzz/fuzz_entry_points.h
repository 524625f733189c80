#pragma once

// What the fuzz targets do with one input, shared with the test that replays the seed corpus
// so that the sanitizer builds exercise the same paths.

#include "table/dbf_format.h"
#include "table/memo_file.h"
#include "table/table_error.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace fuzzing {

// Parses the input as a .DBF and reads every field of every record it holds.
inline void readWholeTable(const uint8_t* data, size_t size) {
    using namespace table;
    const std::span<const uint8_t> file(data, size);
    try {
        const DbfHeader header = parseDbfHeader(file, size, "fuzz.dbf");
        const DateFormat format;
        for (uint32_t i = 0; i < header.recordCount; ++i) {
            const uint8_t* record =
                data + header.headerLength + static_cast<size_t>(i) * header.recordLength;
            for (const auto& field : header.fields) {
                fieldText(header, field, record, format);
                fieldNumber(field, record);
                fieldDate(field, record);
                fieldIsBlank(field, record);
            }
        }
    } catch (const TableError&) {
        // Refusing a malformed table is the expected outcome.
    }
}

// The first byte picks the memo dialect, the next four a block number, the rest is the file.
inline void readMemoBlocks(const uint8_t* data, size_t size) {
    using namespace table;
    if (size < 5) {
        return;
    }
    static constexpr MemoKind kKinds[] = {MemoKind::Dbt3, MemoKind::Dbt4, MemoKind::Fpt};
    const MemoKind kind = kKinds[data[0] % 3];
    const uint64_t chosenBlock =
        static_cast<uint64_t>(data[1]) << 24 | data[2] << 16 | data[3] << 8 | data[4];
    try {
        const auto reader = MemoReader::fromBytes(
            std::string(reinterpret_cast<const char*>(data + 5), size - 5), kind, "fuzz.dbt");
        reader->read(chosenBlock);
        for (uint64_t block = 0; block < 16; ++block) {
            reader->read(block);
        }
    } catch (const TableError&) {
    }
}

} // namespace fuzzing
