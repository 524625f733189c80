#include "table/mapped_file.h"

#include "table/table_error.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22 // Linux 5.14 and later; older headers lack the name
#endif

namespace table::detail {

namespace {

// Cleared when the kernel does not know the advice (before 5.14) or refuses it for this kind
// of mapping; it would refuse every later call the same way.
std::atomic<bool> populateWorks{true};

constexpr uint64_t kStretch = uint64_t{1} << MappedFile::kStretchShift;

} // namespace

void MappedFile::map(int fd, const std::string& fileName) {
    unmap();
    fd_ = fd;
    fileName_ = fileName;
    mapCurrentSize();
}

void MappedFile::unmap() {
    if (data_ != nullptr)
        ::munmap(const_cast<uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    populated_.clear();
}

void MappedFile::mapCurrentSize() {
    struct stat info;
    if (::fstat(fd_, &info) != 0)
        throw TableError("Cannot read the file \"" + fileName_ + "\": " + std::strerror(errno));
    auto fileSize = static_cast<uint64_t>(info.st_size);
    if (fileSize == size_ && data_ != nullptr)
        return;
    unmap();
    if (fileSize == 0)
        return;
    void* address = ::mmap(nullptr, fileSize, PROT_READ, MAP_SHARED, fd_, 0);
    if (address == MAP_FAILED)
        throw TableError("Cannot map the file \"" + fileName_ + "\": " + std::strerror(errno));
    data_ = static_cast<const uint8_t*>(address);
    size_ = fileSize;
    populated_.assign(static_cast<size_t>((fileSize + kStretch - 1) >> kStretchShift), false);
}

bool MappedFile::ensure(uint64_t size) {
    if (size <= size_)
        return true;
    if (fd_ < 0)
        return false;
    mapCurrentSize();
    return size <= size_;
}

void MappedFile::populateStretch(uint64_t stretch) const {
    if (stretch >= populated_.size() || populated_[stretch])
        return;
    // Asked once per stretch whatever the answer: a failure means the pages are faulted in
    // when read, where the reader meets the problem (a file cut short by another process).
    populated_[stretch] = true;
    if (!populateWorks.load(std::memory_order_relaxed))
        return;
    // The map and the stretches start on page boundaries; the kernel rounds the length of the
    // last stretch up within the map's last page.
    uint64_t start = stretch << kStretchShift;
    uint64_t length = std::min(size_ - start, uint64_t{1} << kStretchShift);
    void* address = const_cast<uint8_t*>(data_ + start);
    if (::madvise(address, static_cast<size_t>(length), MADV_POPULATE_READ) != 0 &&
        (errno == EINVAL || errno == ENOSYS))
        populateWorks.store(false, std::memory_order_relaxed);
}

const uint8_t* MappedFile::at(uint64_t offset, uint64_t length) const {
    if (data_ == nullptr || offset > size_ || length > size_ - offset)
        return nullptr;
    return data_ + offset;
}

bool WritableHead::map(int fd) {
    unmap();
    struct stat info {};
    if (::fstat(fd, &info) != 0 || info.st_size <= 0)
        return false;
    void* address =
        ::mmap(nullptr, size_t(::sysconf(_SC_PAGESIZE)), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (address == MAP_FAILED)
        return false;
    data_ = static_cast<uint8_t*>(address);
    return true;
}

void WritableHead::unmap() {
    if (data_ != nullptr)
        ::munmap(data_, size_t(::sysconf(_SC_PAGESIZE)));
    data_ = nullptr;
}

} // namespace table::detail
