#include "table/file_lock.h"

#include "table/table_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace table::detail {

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other)
        reset(other.release());
    return *this;
}

int UniqueFd::release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::reset(int fd) {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
}

namespace {

struct flock oneByte(short type, int64_t offset) {
    struct flock request;
    std::memset(&request, 0, sizeof request);
    request.l_type = type;
    request.l_whence = SEEK_SET;
    request.l_start = static_cast<off_t>(offset);
    request.l_len = 1;
    request.l_pid = 0; // required by open-file-description locks
    return request;
}

[[noreturn]] void throwLockFailure(const std::string& fileName, int error) {
    throw TableError("Cannot lock the file \"" + fileName + "\": " + std::strerror(error));
}

} // namespace

bool tryLock(int fd, int64_t offset, LockKind kind, const std::string& fileName) {
    struct flock request = oneByte(kind == LockKind::Shared ? F_RDLCK : F_WRLCK, offset);
    if (::fcntl(fd, F_OFD_SETLK, &request) == 0)
        return true;
    if (errno == EAGAIN || errno == EACCES)
        return false;
    throwLockFailure(fileName, errno);
}

void waitLock(int fd, int64_t offset, const std::string& fileName) {
    struct flock request = oneByte(F_WRLCK, offset);
    while (::fcntl(fd, F_OFD_SETLKW, &request) != 0) {
        if (errno != EINTR)
            throwLockFailure(fileName, errno);
    }
}

void unlock(int fd, int64_t offset) {
    struct flock request = oneByte(F_UNLCK, offset);
    ::fcntl(fd, F_OFD_SETLK, &request);
}

bool exclusiveWouldConflict(int fd, int64_t offset) {
    struct flock request = oneByte(F_WRLCK, offset);
    if (::fcntl(fd, F_OFD_GETLK, &request) != 0)
        return true;
    return request.l_type != F_UNLCK;
}

} // namespace table::detail
