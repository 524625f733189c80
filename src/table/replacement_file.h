#pragma once

// A new version of a file written beside it under a temporary name and put in its place by
// rename only once it is complete and on disk, so that a crash leaves either the old file or the
// new one, never a half-written mix.

#include "table/file_lock.h"

#include <cstdint>
#include <string>

namespace table::detail {

class ReplacementFile {
public:
    // Creates the temporary file beside `target`, with the permissions of `target` when it
    // exists. Throws TableError naming `target`.
    explicit ReplacementFile(std::string target);
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
    std::string target_;
    std::string temporaryPath_;
    UniqueFd fd_;
    bool committed_ = false;
};

void syncDirectoryOf(const std::string& path);

} // namespace table::detail
