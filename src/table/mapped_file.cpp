#include "table/mapped_file.h"

#include "table/table_error.h"

#include <cerrno>
#include <cstring>
#include <sys/mman.h>
#include <sys/stat.h>

namespace table::detail {

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
}

bool MappedFile::ensure(uint64_t size) {
    if (size <= size_)
        return true;
    if (fd_ < 0)
        return false;
    mapCurrentSize();
    return size <= size_;
}

const uint8_t* MappedFile::at(uint64_t offset, uint64_t length) const {
    if (data_ == nullptr || offset > size_ || length > size_ - offset)
        return nullptr;
    return data_ + offset;
}

} // namespace table::detail
