#pragma once

// Cross-process locking of a table file with Linux open-file-description locks. The locks sit on
// byte ranges far past any real data, so they never get in the way of reading or writing records
// and work the same between two handles of one process as between two processes: each handle
// owns its own descriptor, and the locks belong to that descriptor.

#include <cstdint>
#include <string>

namespace table::detail {

// An owned file descriptor, closed when it goes away.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release();
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

// Where the locks live: one byte for "table open", one for the header (held briefly around
// every change of the file), then one byte per record number.
constexpr int64_t kLockBase = int64_t{0x40} << 32;
constexpr int64_t kOpenLockOffset = kLockBase;
constexpr int64_t kHeaderLockOffset = kLockBase + 1;
constexpr int64_t kRecordLockBase = kLockBase + 16;

enum class LockKind { Shared, Exclusive };

// Non-blocking; false when another descriptor holds a conflicting lock. Throws TableError
// naming `fileName` on any other failure.
bool tryLock(int fd, int64_t offset, LockKind kind, const std::string& fileName);
// Waits until the lock is granted.
void waitLock(int fd, int64_t offset, const std::string& fileName);
void unlock(int fd, int64_t offset);
// True when some other descriptor holds a lock that an exclusive lock at `offset` would meet.
// Works on a descriptor opened read-only.
bool exclusiveWouldConflict(int fd, int64_t offset);

// Holds the header lock of a table for one change.
class HeaderLockGuard {
public:
    HeaderLockGuard(int fd, const std::string& fileName) : fd_(fd) {
        waitLock(fd_, kHeaderLockOffset, fileName);
    }
    ~HeaderLockGuard() { unlock(fd_, kHeaderLockOffset); }
    HeaderLockGuard(const HeaderLockGuard&) = delete;
    HeaderLockGuard& operator=(const HeaderLockGuard&) = delete;

private:
    int fd_;
};

} // namespace table::detail
