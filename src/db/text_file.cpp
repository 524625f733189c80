#include "db/text_file.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

constexpr const char* kCodepageName = "windows-1252";

// Closes a descriptor on every path out of a function.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool closeChecked() {
        int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

bool writeTemporary(const std::string& tempPath, std::string_view bytes, mode_t mode) {
    FileDescriptor file(::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    if (file.get() < 0)
        return false;
    bool ok = writeAll(file.get(), bytes) && ::fsync(file.get()) == 0;
    return file.closeChecked() && ok;
}

} // namespace

std::optional<std::string> readFileBytes(const QString& path, uint64_t maxBytes) {
    QByteArray encodedPath = QFile::encodeName(path);
    FileDescriptor file(::open(encodedPath.constData(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    if (static_cast<uint64_t>(info.st_size) > maxBytes)
        return std::nullopt;
    std::string bytes;
    char buffer[65536];
    for (;;) {
        ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        if (bytes.size() + static_cast<size_t>(got) > maxBytes)
            return std::nullopt; // grew while we read it
        bytes.append(buffer, static_cast<size_t>(got));
    }
    return bytes;
}

bool replaceFileContents(const QString& path, std::string_view bytes) {
    std::string target = QFile::encodeName(path).toStdString();
    mode_t mode = 0644;
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0) {
        if (!S_ISREG(info.st_mode) || ::access(target.c_str(), W_OK) != 0)
            return false;
        mode = info.st_mode & 07777;
    }
    std::string tempPath = target + ".new-" + std::to_string(::getpid());
    ::unlink(tempPath.c_str()); // a leftover of an earlier crash of this same process id
    if (!writeTemporary(tempPath, bytes, mode)) {
        ::unlink(tempPath.c_str());
        return false;
    }
    if (::rename(tempPath.c_str(), target.c_str()) != 0) {
        ::unlink(tempPath.c_str());
        return false;
    }
    return true;
}

QString fromCp1252(std::string_view bytes) {
    QStringDecoder decoder(kCodepageName);
    QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!decoder.isValid())
        return QString::fromLatin1(view);
    return decoder.decode(view);
}

std::string toCp1252(const QString& text) {
    QStringEncoder encoder(kCodepageName);
    if (!encoder.isValid())
        return text.toLatin1().toStdString();
    QByteArray whole = encoder.encode(text);
    if (!encoder.hasError())
        return whole.toStdString();
    // Only here when a character has no byte in the code page: redo it character by character
    // so that each such character, and nothing else, becomes '?'.
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single(kCodepageName);
        QByteArray one = single.encode(QStringView(text).mid(i, length));
        bytes += single.hasError() || one.isEmpty() ? std::string("?") : one.toStdString();
        i += length - 1;
    }
    return bytes;
}

} // namespace db
