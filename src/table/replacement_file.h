#pragma once

// A new version of a file written beside it under a temporary name and put in its place by
// rename only once it is complete and on disk, so that a crash leaves either the old file or the
// new one, never a half-written mix.

#include "table/file_lock.h"

#include <cstdint>
#include <memory>
#include <string>

namespace table::detail {

class ReplacementFile {
public:
    // Direct writes go from our buffer to the disk without a copy in the page cache, which
    // makes writing a large file several times cheaper (the data is not read back soon).
    // Where the file system refuses them, the file is written the ordinary way.
    enum class Writes { Buffered, Direct };

    // Creates the temporary file beside `target`, with the permissions of `target` when it
    // exists. Throws TableError naming `target`.
    explicit ReplacementFile(std::string target, Writes writes = Writes::Buffered);
    ~ReplacementFile(); // removes the temporary file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    int fd() const { return fd_.get(); }
    const std::string& temporaryPath() const { return temporaryPath_; }
    void write(const void* data, size_t length); // appends
    // Flushes to disk and renames over the target. The descriptor stays open on the new file.
    void commit();
    // Hands over the descriptor (after commit, it refers to the target).
    UniqueFd releaseFd() { return std::move(fd_); }

private:
    void writeAll(const uint8_t* bytes, size_t length);
    void writeDirect(const uint8_t* bytes, size_t length);
    void flushBuffer();
    void stopDirectWrites();

    struct AlignedFree {
        void operator()(uint8_t* p) const;
    };
    static constexpr size_t kDirectAlignment = 4096;
    static constexpr size_t kDirectBuffer = size_t{4} << 20;

    std::string target_;
    std::string temporaryPath_;
    UniqueFd fd_;
    bool committed_ = false;
    bool direct_ = false;
    std::unique_ptr<uint8_t, AlignedFree> buffer_; // direct writes only: kDirectBuffer bytes
    size_t buffered_ = 0;
    uint64_t written_ = 0; // bytes already in the file
};

void syncDirectoryOf(const std::string& path);

} // namespace table::detail
