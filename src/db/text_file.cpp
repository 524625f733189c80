#include "db/text_file.h"

#include <QByteArray>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

constexpr const char* kCodepageName = "windows-1252";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

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

// Length of the UTF-8 sequence starting at `bytes[0]`, or 0 when none starts there (overlong
// forms, surrogates and code points above U+10FFFF are not valid).
size_t utf8SequenceLength(std::string_view bytes) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (bytes.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
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

bool fitsCp1252(const QString& text) {
    QStringEncoder encoder(kCodepageName);
    if (!encoder.isValid())
        return std::ranges::all_of(text, [](QChar c) { return c.unicode() < 0x100; });
    [[maybe_unused]] const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

TextEncoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark))
        return {true, true};
    bool beyondAscii = false;
    while (!bytes.empty()) {
        const size_t length = utf8SequenceLength(bytes);
        if (length == 0)
            return {};
        beyondAscii = beyondAscii || length > 1;
        bytes.remove_prefix(length);
    }
    return {beyondAscii, false};
}

std::string_view withoutByteOrderMark(std::string_view bytes, TextEncoding encoding) {
    if (encoding.byteOrderMark && bytes.starts_with(kUtf8Mark))
        bytes.remove_prefix(kUtf8Mark.size());
    return bytes;
}

QString decodeText(std::string_view bytes, TextEncoding encoding) {
    if (!encoding.utf8)
        return fromCp1252(bytes);
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string encodeText(const QString& text, TextEncoding encoding) {
    return encoding.utf8 ? text.toStdString() : toCp1252(text);
}

QString leftWhole(const QString& text, qsizetype length) {
    if (length <= 0)
        return {};
    if (length < text.size() && text[length - 1].isHighSurrogate())
        --length;
    return text.left(length);
}

std::string_view byteOrderMark(TextEncoding encoding) {
    return encoding.utf8 && encoding.byteOrderMark ? kUtf8Mark : std::string_view();
}

} // namespace db
