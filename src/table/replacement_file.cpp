#include "table/replacement_file.h"

#include "table/table_error.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace table::detail {

namespace {

std::string directoryOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

void syncDirectoryOf(const std::string& path) {
    UniqueFd directory(::open(directoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.valid())
        ::fsync(directory.get());
}

ReplacementFile::ReplacementFile(std::string target) : target_(std::move(target)) {
    std::string pattern = target_ + ".new-XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        throw TableError("Cannot create a new file beside \"" + target_ +
                         "\": " + std::strerror(errno));
    fd_.reset(fd);
    temporaryPath_ = pattern;
    struct stat existing;
    mode_t mode = ::stat(target_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644;
    ::fchmod(fd, mode);
}

ReplacementFile::~ReplacementFile() {
    if (!committed_)
        ::unlink(temporaryPath_.c_str());
}

void ReplacementFile::write(const void* data, size_t length) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (length > 0) {
        ssize_t written = ::write(fd_.get(), bytes, length);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw TableError("Cannot write the file \"" + target_ +
                             "\": " + std::strerror(written < 0 ? errno : ENOSPC));
        bytes += written;
        length -= static_cast<size_t>(written);
    }
}

void ReplacementFile::commit() {
    if (::fsync(fd_.get()) != 0)
        throw TableError("Cannot write the file \"" + target_ + "\": " + std::strerror(errno));
    if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
        throw TableError("Cannot replace the file \"" + target_ + "\": " + std::strerror(errno));
    committed_ = true;
    syncDirectoryOf(target_);
}

} // namespace table::detail
