#include "table/replacement_file.h"

#include "table/durability.h"
#include "table/table_error.h"

#include <algorithm>
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
        syncFileToDisk(directory.get());
}

void ReplacementFile::AlignedFree::operator()(uint8_t* p) const {
    std::free(p);
}

ReplacementFile::ReplacementFile(std::string target, Writes writes) : target_(std::move(target)) {
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
    if (writes == Writes::Direct) {
        buffer_.reset(static_cast<uint8_t*>(std::aligned_alloc(kDirectAlignment, kDirectBuffer)));
        const int flags = ::fcntl(fd, F_GETFL);
        direct_ = buffer_ && flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_DIRECT) == 0;
    }
}

ReplacementFile::~ReplacementFile() {
    if (!committed_)
        ::unlink(temporaryPath_.c_str());
}

void ReplacementFile::write(const void* data, size_t length) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (direct_ && length > 0) {
        const size_t taken = std::min(length, kDirectBuffer - buffered_);
        std::memcpy(buffer_.get() + buffered_, bytes, taken);
        buffered_ += taken;
        bytes += taken;
        length -= taken;
        if (buffered_ == kDirectBuffer)
            flushBuffer();
    }
    if (!direct_ && buffered_ > 0) // direct writes were refused: the rest goes the ordinary way
        flushBuffer();
    writeAll(bytes, length);
}

// Writes whole aligned blocks directly; a short tail stays in the buffer for the next call
// or for commit().
void ReplacementFile::flushBuffer() {
    if (!direct_) {
        writeAll(buffer_.get(), buffered_);
        buffered_ = 0;
        return;
    }
    const size_t whole = buffered_ / kDirectAlignment * kDirectAlignment;
    writeDirect(buffer_.get(), whole);
    std::memmove(buffer_.get(), buffer_.get() + whole, buffered_ - whole);
    buffered_ -= whole;
}

// Falls back to ordinary writes, from where it got to, when direct ones are refused.
void ReplacementFile::writeDirect(const uint8_t* bytes, size_t length) {
    while (length > 0) {
        ssize_t put = ::pwrite(fd_.get(), bytes, length, static_cast<off_t>(written_));
        if (put < 0 && errno == EINTR)
            continue;
        if (put < 0 && errno == EINVAL) { // no direct writes here, or not of this alignment
            stopDirectWrites();
            writeAll(bytes, length);
            return;
        }
        if (put <= 0)
            throw TableError("Cannot write the file \"" + target_ +
                             "\": " + std::strerror(put < 0 ? errno : ENOSPC));
        if (static_cast<size_t>(put) % kDirectAlignment != 0 &&
            static_cast<size_t>(put) != length) {
            written_ += static_cast<uint64_t>(put);
            stopDirectWrites(); // a short odd write: go on from there the ordinary way
            writeAll(bytes + put, length - static_cast<size_t>(put));
            return;
        }
        bytes += put;
        length -= static_cast<size_t>(put);
        written_ += static_cast<uint64_t>(put);
    }
}

void ReplacementFile::stopDirectWrites() {
    const int flags = ::fcntl(fd_.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd_.get(), F_SETFL, flags & ~O_DIRECT) != 0)
        throw TableError("Cannot write the file \"" + target_ + "\": " + std::strerror(errno));
    direct_ = false;
}

void ReplacementFile::writeAll(const uint8_t* bytes, size_t length) {
    while (length > 0) {
        ssize_t written = ::pwrite(fd_.get(), bytes, length, static_cast<off_t>(written_));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw TableError("Cannot write the file \"" + target_ +
                             "\": " + std::strerror(written < 0 ? errno : ENOSPC));
        bytes += written;
        length -= static_cast<size_t>(written);
        written_ += static_cast<uint64_t>(written);
    }
}

void ReplacementFile::commit() {
    if (direct_ && buffered_ > 0) {
        // The tail goes out padded to a whole block, and the padding is cut off again.
        const size_t tail = buffered_;
        const size_t padded = (tail + kDirectAlignment - 1) / kDirectAlignment * kDirectAlignment;
        std::memset(buffer_.get() + tail, 0, padded - tail);
        const uint64_t start = written_;
        writeDirect(buffer_.get(), padded);
        if (::ftruncate(fd_.get(), static_cast<off_t>(start + tail)) != 0)
            throw TableError("Cannot write the file \"" + target_ + "\": " + std::strerror(errno));
        written_ = start + tail;
        buffered_ = 0;
    }
    if (direct_)
        stopDirectWrites(); // whoever takes the descriptor over writes records of any size
    buffered_ = 0;
    reachStep(step::kReplacementWritten);
    if (!syncFileToDisk(fd_.get()))
        throw TableError("Cannot write the file \"" + target_ + "\": " + std::strerror(errno));
    reachStep(step::kReplacementSynced);
    if (::rename(temporaryPath_.c_str(), target_.c_str()) != 0)
        throw TableError("Cannot replace the file \"" + target_ + "\": " + std::strerror(errno));
    committed_ = true;
    reachStep(step::kReplacementRenamed);
    syncDirectoryOf(target_);
}

} // namespace table::detail
