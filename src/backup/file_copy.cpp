#include "backup/file_copy.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace backup {

namespace {

// The kernel copies in large steps without passing the bytes through the program; each step is
// small enough that the progress moves on a 1 GB file.
constexpr size_t kCopyStep = 8 * 1024 * 1024;
constexpr size_t kBufferSize = 1024 * 1024;

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and tells whether the close succeeded (a late write error shows here).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }
    void reset() {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// Copies through a buffer, for file systems where the kernel cannot copy between the two files.
bool copyThroughBuffer(int in, int out, off_t& copied, off_t total,
                       const table::Progress& progress) {
    std::vector<char> buffer(kBufferSize);
    for (;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        for (ssize_t written = 0; written < got;) {
            const ssize_t n =
                ::write(out, buffer.data() + written, static_cast<size_t>(got - written));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            written += n;
        }
        copied += got;
        if (progress && total > 0)
            progress(std::min(1.0, static_cast<double>(copied) / static_cast<double>(total)));
    }
}

bool copyBytes(int in, int out, off_t& copied, off_t total, const table::Progress& progress) {
    for (;;) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, kCopyStep, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && copied == 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL))
            return copyThroughBuffer(in, out, copied, total, progress);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        copied += n;
        if (progress && total > 0)
            progress(std::min(1.0, static_cast<double>(copied) / static_cast<double>(total)));
    }
}

void syncDirectory(const std::string& directory) {
    FileDescriptor dir(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get()); // the rename is durable too; file systems that cannot do it are fine
}

} // namespace

std::optional<std::string> copyFileReplacing(const QString& source, const QString& target,
                                             const table::Progress& progress) {
    const std::string sourcePath = QFile::encodeName(source).toStdString();
    const QFileInfo targetInfo(target);
    const std::string directory = QFile::encodeName(targetInfo.absolutePath()).toStdString();
    const std::string targetPath = QFile::encodeName(targetInfo.absoluteFilePath()).toStdString();

    FileDescriptor in(::open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC));
    if (!in.valid())
        return systemError("cannot open " + sourcePath);
    struct stat sourceStat {};
    if (::fstat(in.get(), &sourceStat) != 0 || !S_ISREG(sourceStat.st_mode))
        return "not a regular file: " + sourcePath;

    std::string temporary =
        directory + "/." + QFile::encodeName(targetInfo.fileName()).toStdString() + ".XXXXXX";
    FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out.valid())
        return systemError("cannot create a file in " + directory);

    std::optional<std::string> failure;
    off_t copied = 0;
    struct stat copyStat {};
    if (!copyBytes(in.get(), out.get(), copied, sourceStat.st_size, progress))
        failure = systemError("cannot copy to " + temporary);
    else if (::fchmod(out.get(), (sourceStat.st_mode & 0777) | S_IRUSR | S_IWUSR) != 0)
        failure = systemError("cannot set the permissions of " + temporary);
    else if (::fsync(out.get()) != 0)
        failure = systemError("cannot write " + temporary + " to the device");
    else if (::fstat(out.get(), &copyStat) != 0 || ::fstat(in.get(), &sourceStat) != 0 ||
             copyStat.st_size != sourceStat.st_size || copied != sourceStat.st_size)
        failure = "the copy of " + sourcePath + " is incomplete";
    if (!out.close() && !failure)
        failure = systemError("cannot write " + temporary);
    if (!failure && ::rename(temporary.c_str(), targetPath.c_str()) != 0)
        failure = systemError("cannot replace " + targetPath);
    if (failure) {
        ::unlink(temporary.c_str());
        return failure;
    }
    syncDirectory(directory);
    if (progress)
        progress(1.0);
    return std::nullopt;
}

QString joinPath(const QString& directory, const QString& name) {
    if (directory.endsWith(QLatin1Char('/')))
        return directory + name;
    return directory + QLatin1Char('/') + name;
}

std::optional<qint64> fileSize(const QString& path) {
    const QFileInfo info(path);
    if (!info.isFile())
        return std::nullopt;
    return info.size();
}

bool enoughRoomFor(const QString& source, const QString& target,
                   std::optional<qint64> bytesAvailable) {
    if (!bytesAvailable)
        return true;
    const qint64 needed = fileSize(source).value_or(0);
    return fileSize(target).value_or(0) + *bytesAvailable >= needed;
}

} // namespace backup
