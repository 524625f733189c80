#pragma once

// What the fuzz targets do with one input, shared with the test that replays the seed corpus
// so that the sanitizer builds exercise the same paths.

#include "table/dbf_format.h"
#include "table/mdx_file.h"
#include "table/memo_file.h"
#include "table/table_error.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <unistd.h>

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

// MdxFile works on a path: one scratch file, removed at exit, serves every input.
class ScratchFile {
public:
    ScratchFile() {
        const int fd = mkstemp(path_.data());
        if (fd >= 0)
            close(fd);
        else
            path_.clear();
    }
    ~ScratchFile() {
        if (!path_.empty())
            unlink(path_.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool write(const uint8_t* data, size_t size) const {
        FILE* out = path_.empty() ? nullptr : std::fopen(path_.c_str(), "wb");
        if (out == nullptr)
            return false;
        const bool written = size == 0 || std::fwrite(data, 1, size, out) == size;
        return std::fclose(out) == 0 && written;
    }
    const std::string& path() const { return path_; }

private:
    std::string path_ = "/tmp/vlm-fuzz-mdx-XXXXXX";
};

// Walks one tag both ways, seeks, and inserts and removes a key.
inline void walkTag(table::MdxFile& file, const table::TagInfo& tag) {
    auto cursor = file.cursor(tag.name);
    int steps = 0;
    for (bool more = cursor.first(); more && steps < 100000; more = cursor.next())
        ++steps;
    for (bool more = cursor.last(); more && steps < 200000; more = cursor.prior())
        ++steps;
    cursor.seek("M");
    if (tag.keyLength > 0 && tag.keyLength < 1000) {
        file.insertKey(tag.name, std::string(tag.keyLength, 'M'), 7);
        file.removeKey(tag.name, std::string(tag.keyLength, 'M'), 7);
    }
}

// Opens the input as a production index and walks and edits every tag: a damaged index must
// give TableError, never a crash or a hang.
inline void walkIndex(const uint8_t* data, size_t size) {
    static const ScratchFile scratch;
    if (!scratch.write(data, size))
        return;
    try {
        auto file = table::MdxFile::open(scratch.path(), true);
        for (const table::TagInfo& tag : file->tags())
            walkTag(*file, tag);
    } catch (const table::TableError&) {
    }
}

} // namespace fuzzing
