#include "memo_file.h"

#include "table_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace table {

namespace {

// Whatever a memo claims, no single memo we hand out is larger than this.
constexpr uint64_t kLargestMemo = 64ull * 1024 * 1024;
constexpr size_t kDbt3BlockSize = 512;
constexpr uint8_t kEndOfText = 0x1A;

// Positional reads from the memo bytes, wherever they live.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Up to `count` bytes at `offset`, fewer at the end of the data.
    virtual std::string read(uint64_t offset, size_t count) const = 0;
};

class MemorySource : public ByteSource {
public:
    explicit MemorySource(std::string contents) : contents_(std::move(contents)) {}
    uint64_t size() const override { return contents_.size(); }
    std::string read(uint64_t offset, size_t count) const override {
        if (offset >= contents_.size()) {
            return {};
        }
        return contents_.substr(static_cast<size_t>(offset), count);
    }

private:
    std::string contents_;
};

class FileSource : public ByteSource {
public:
    FileSource(int fd, uint64_t fileSize) : fd_(fd), size_(fileSize) {}
    ~FileSource() override { ::close(fd_); }
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    uint64_t size() const override { return size_; }
    std::string read(uint64_t offset, size_t count) const override {
        if (offset >= size_) {
            return {};
        }
        std::string bytes(static_cast<size_t>(std::min<uint64_t>(count, size_ - offset)), '\0');
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::pread(fd_, bytes.data() + done, bytes.size() - done,
                                        static_cast<off_t>(offset + done));
            if (got < 0 && errno == EINTR) {
                continue;
            }
            if (got <= 0) {
                break;
            }
            done += static_cast<size_t>(got);
        }
        bytes.resize(done);
        return bytes;
    }

private:
    int fd_;
    uint64_t size_;
};

uint32_t bigEndian32(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 4 && i < bytes.size(); ++i) {
        value = value << 8 | static_cast<uint8_t>(bytes[i]);
    }
    return value;
}

uint32_t littleEndian32(std::string_view bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = std::min(at + 4, bytes.size()); i-- > at;) {
        value = value << 8 | static_cast<uint8_t>(bytes[i]);
    }
    return value;
}

class BlockMemoReader : public MemoReader {
public:
    BlockMemoReader(std::unique_ptr<ByteSource> source, MemoKind kind, uint32_t blockSize)
        : source_(std::move(source)), kind_(kind), blockSize_(blockSize) {}

    std::string read(uint64_t block) const override {
        if (block == 0 || block > source_->size() / blockSize_) {
            return {};
        }
        const uint64_t offset = block * blockSize_;
        switch (kind_) {
        case MemoKind::Fpt:
            return readFpt(offset);
        case MemoKind::Dbt4:
            return readDbt4(offset);
        default:
            return readUntilEndMark(offset);
        }
    }

private:
    // dBASE III: the text runs to an end-of-file mark.
    std::string readUntilEndMark(uint64_t offset) const {
        std::string text;
        while (text.size() < kLargestMemo) {
            const std::string chunk = source_->read(offset + text.size(), kDbt3BlockSize);
            const size_t end = chunk.find(static_cast<char>(kEndOfText));
            text += chunk.substr(0, end);
            if (end != std::string::npos || chunk.size() < kDbt3BlockSize) {
                break;
            }
        }
        return text;
    }

    // dBASE IV: FF FF 08 00 and a length that counts these eight bytes. Blocks without the
    // mark were written the dBASE III way.
    std::string readDbt4(uint64_t offset) const {
        const std::string head = source_->read(offset, 8);
        if (head.size() < 8 || head.compare(0, 4, "\xFF\xFF\x08\x00", 4) != 0) {
            return readUntilEndMark(offset);
        }
        const uint32_t length = littleEndian32(head, 4);
        return length <= 8 ? std::string() : boundedRead(offset + 8, length - 8);
    }

    // FoxPro: big-endian type and length, then the bytes.
    std::string readFpt(uint64_t offset) const {
        const std::string head = source_->read(offset, 8);
        if (head.size() < 8) {
            return {};
        }
        return boundedRead(offset + 8, bigEndian32(head, 4));
    }

    std::string boundedRead(uint64_t offset, uint64_t length) const {
        return source_->read(offset, static_cast<size_t>(std::min(length, kLargestMemo)));
    }

    std::unique_ptr<ByteSource> source_;
    MemoKind kind_;
    uint32_t blockSize_;
};

[[noreturn]] void unusable(const std::string& name, const std::string& why) {
    throw TableError("The memo file " + name + " cannot be used: " + why + ".");
}

std::unique_ptr<MemoReader> makeReader(std::unique_ptr<ByteSource> source, MemoKind kind,
                                       const std::string& name) {
    const std::string header = source->read(0, 32);
    uint32_t blockSize = kDbt3BlockSize;
    if (kind == MemoKind::Fpt) {
        if (header.size() < 8) {
            unusable(name, "its header is truncated");
        }
        blockSize = static_cast<uint32_t>(static_cast<uint8_t>(header[6]) << 8 |
                                          static_cast<uint8_t>(header[7]));
        if (blockSize == 0) {
            unusable(name, "its block size is 0");
        }
    } else if (kind == MemoKind::Dbt4) {
        if (header.size() < 22) {
            unusable(name, "its header is truncated");
        }
        blockSize = static_cast<uint32_t>(static_cast<uint8_t>(header[20]) |
                                          static_cast<uint8_t>(header[21]) << 8);
        if (blockSize == 0) {
            blockSize = kDbt3BlockSize; // dBASE III files relabelled as dBASE IV
        }
    }
    return std::make_unique<BlockMemoReader>(std::move(source), kind, blockSize);
}

// The memo file beside `dbfPath`, whatever the case of its extension; empty when none.
std::string findMemoFile(const std::string& dbfPath, MemoKind kind) {
    namespace fs = std::filesystem;
    const fs::path table(dbfPath);
    const std::string wanted = kind == MemoKind::Fpt ? ".fpt" : ".dbt";
    const std::string stem = table.stem().string();
    std::error_code error;
    const fs::path folder = table.has_parent_path() ? table.parent_path() : fs::path(".");
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const fs::path candidate = entry.path();
        std::string extension = candidate.extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension == wanted && candidate.stem().string() == stem &&
            entry.is_regular_file(error)) {
            return candidate.string();
        }
    }
    return {};
}

} // namespace

std::unique_ptr<MemoReader> MemoReader::open(const std::string& dbfPath, MemoKind kind) {
    if (kind == MemoKind::None) {
        return nullptr;
    }
    const std::string path = findMemoFile(dbfPath, kind);
    if (path.empty()) {
        return nullptr;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        unusable(path, std::strerror(errno));
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        unusable(path, std::strerror(error));
    }
    auto source = std::make_unique<FileSource>(fd, static_cast<uint64_t>(status.st_size));
    return makeReader(std::move(source), kind, path);
}

std::unique_ptr<MemoReader> MemoReader::fromBytes(std::string contents, MemoKind kind,
                                                  const std::string& name) {
    if (kind == MemoKind::None) {
        return nullptr;
    }
    return makeReader(std::make_unique<MemorySource>(std::move(contents)), kind, name);
}

} // namespace table
