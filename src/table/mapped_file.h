#pragma once

// A read-only shared memory map of a whole file, grown on demand when the file grows (other
// handles append records). Writes go through the descriptor with pwrite and are visible here at
// once, because the map shares the page cache.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

    // The map is populated in stretches of this many bytes, each at most once per mapping.
    static constexpr unsigned kStretchShift = 20;
    // Fills the page tables of stretch `stretch` (offset >> kStretchShift) in one call, unless
    // this mapping had it filled already: a walk through the file then takes no page fault
    // there, where it would take one every few pages. Filling pages already mapped costs
    // about as much as reading them, hence once only. A kernel that cannot do it is asked
    // once; the pages are then faulted in as they are read, as before.
    void populateStretch(uint64_t stretch) const;

private:
    void mapCurrentSize();

    int fd_ = -1;
    std::string fileName_;
    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    mutable std::vector<bool> populated_; // by stretch, for the current mapping
};

// The first page of a file mapped for writing: a store there is in the file (the page cache,
// which outlives the process) at once, without a system call. For the header fields that a
// run of appends changes with every record.
class WritableHead {
public:
    WritableHead() = default;
    ~WritableHead() { unmap(); }
    WritableHead(const WritableHead&) = delete;
    WritableHead& operator=(const WritableHead&) = delete;
    // False (and nothing mapped) when the file is empty or cannot be mapped for writing.
    bool map(int fd);
    void unmap();
    uint8_t* data() const { return data_; } // null when not mapped

private:
    uint8_t* data_ = nullptr;
};

// Keeps the map populated ahead of a walk through the file in ascending order (a count with
// a filter, the deleted-record count, the search for the first passing record).
class ReadAhead {
public:
    explicit ReadAhead(const MappedFile& file) : file_(file) {}
    // The walk is about to read `length` bytes at `offset`.
    void reach(uint64_t offset, uint64_t length) {
        uint64_t last = (offset + length - 1) >> MappedFile::kStretchShift;
        if (last != lastStretch_ || !started_) {
            for (uint64_t stretch = offset >> MappedFile::kStretchShift; stretch <= last; ++stretch)
                file_.populateStretch(stretch);
            lastStretch_ = last;
            started_ = true;
        }
    }

private:
    const MappedFile& file_;
    uint64_t lastStretch_ = 0;
    bool started_ = false;
};

} // namespace table::detail
