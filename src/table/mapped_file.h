#pragma once

// A read-only shared memory map of a whole file, grown on demand when the file grows (other
// handles append records). Writes go through the descriptor with pwrite and are visible here at
// once, because the map shares the page cache.

#include <cstddef>
#include <cstdint>
#include <string>

namespace table::detail {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { unmap(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps the file behind `fd` as it is now. Throws TableError naming `fileName`.
    void map(int fd, const std::string& fileName);
    void unmap();
    // Makes sure `size` bytes are mapped, re-mapping when the file has grown since; false when
    // the file is shorter than that.
    bool ensure(uint64_t size);

    uint64_t size() const { return size_; }
    // Null when the range is not inside the map.
    const uint8_t* at(uint64_t offset, uint64_t length) const;

private:
    void mapCurrentSize();

    int fd_ = -1;
    std::string fileName_;
    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
};

} // namespace table::detail
