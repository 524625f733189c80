#include "settings/profile_file.h"

#include "db/text_file.h"

#include <QFileInfo>

#include <algorithm>
#include <cctype>

namespace app {

namespace {

// Settings files are a few kilobytes; a bigger file is not read (and so never rewritten).
constexpr uint64_t kMaxProfileBytes = 32ull * 1024 * 1024;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isAscii(std::string_view text) {
    return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Names compare without regard to letter case, in any script, as the profile functions fold
// names before comparing them.
bool sameName(std::string_view a, std::string_view b) {
    if (isAscii(a) && isAscii(b))
        return std::ranges::equal(a, b, [](char x, char y) {
            return std::toupper(static_cast<unsigned char>(x)) ==
                   std::toupper(static_cast<unsigned char>(y));
        });
    return QString::compare(fromUtf8(a), fromUtf8(b), Qt::CaseInsensitive) == 0;
}

// The name of a "[section]" line, or nothing when the line is not one.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    line.remove_prefix(1);
    return trimBlanks(line.substr(0, line.find(']')));
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

std::optional<KeyLine> keyLine(std::string_view line) {
    size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{trimBlanks(line.substr(0, equals)), trimBlanks(line.substr(equals + 1))};
}

std::string_view unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// A value holding a line break would split its own line in two.
std::string oneLine(std::string bytes) {
    std::ranges::replace(bytes, '\r', ' ');
    std::ranges::replace(bytes, '\n', ' ');
    return bytes;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    while (!bytes.empty()) {
        size_t end = bytes.find('\n');
        std::string_view line = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.emplace_back(line);
    }
    return lines;
}

} // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {
    std::optional<std::string> bytes = db::readFileBytes(path_, kMaxProfileBytes);
    if (!bytes) {
        readComplete_ = !QFileInfo::exists(path_);
        return;
    }
    readEncoding_ = db::detectEncoding(*bytes);
    lines_ = splitLines(db::withoutByteOrderMark(*bytes, readEncoding_));
    if (!readEncoding_.utf8)
        for (std::string& line : lines_)
            if (!isAscii(line))
                line = db::fromCp1252(line).toStdString();
}

ProfileFile::Location ProfileFile::findSection(const std::string& section) const {
    Location location;
    for (size_t i = 0; i < lines_.size(); ++i) {
        std::optional<std::string_view> name = sectionName(lines_[i]);
        if (!name)
            continue;
        if (location.found) {
            location.endLine = i;
            return location;
        }
        if (sameName(*name, section)) {
            location.found = true;
            location.sectionLine = i;
        }
    }
    location.endLine = lines_.size();
    return location;
}

size_t ProfileFile::findKey(const Location& section, const std::string& key) const {
    for (size_t i = section.sectionLine + 1; i < section.endLine; ++i) {
        std::optional<KeyLine> entry = keyLine(lines_[i]);
        if (entry && sameName(entry->key, key))
            return i;
    }
    return std::string::npos;
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue, int bufferSize) const {
    qsizetype maxChars = bufferSize > 1 ? bufferSize - 1 : 0;
    Location location = findSection(section.toStdString());
    size_t line = location.found ? findKey(location, key.toStdString()) : std::string::npos;
    if (line == std::string::npos)
        return db::leftWhole(defaultValue, maxChars);
    std::string_view value = unquote(keyLine(lines_[line])->value);
    // A character takes at most four bytes; the cut by characters follows the decoding.
    return db::leftWhole(fromUtf8(value.substr(0, 4 * static_cast<size_t>(maxChars))), maxChars);
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    std::string sectionBytes = oneLine(section.toStdString());
    std::string keyBytes = oneLine(key.toStdString());
    std::string newLine = keyBytes + "=" + oneLine(value.toStdString());
    Location location = findSection(sectionBytes);
    if (!location.found) {
        lines_.push_back("[" + sectionBytes + "]");
        lines_.push_back(newLine);
        return;
    }
    size_t line = findKey(location, keyBytes);
    if (line != std::string::npos) {
        lines_[line] = newLine;
        return;
    }
    // After the section's last non-blank line, so blank lines stay between sections.
    size_t insertAt = location.endLine;
    while (insertAt > location.sectionLine + 1 && trimBlanks(lines_[insertAt - 1]).empty())
        --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), newLine);
}

bool ProfileFile::save() const {
    if (!readComplete_)
        return false;
    // Windows-1252 as long as it holds every character, so the Windows program reads the file;
    // a file that came with a UTF-8 byte order mark stays UTF-8.
    db::TextEncoding encoding;
    encoding.byteOrderMark = readEncoding_.utf8 && readEncoding_.byteOrderMark;
    encoding.utf8 = encoding.byteOrderMark || !std::ranges::all_of(lines_, [](const auto& line) {
                        return isAscii(line) || db::fitsCp1252(fromUtf8(line));
                    });
    std::string bytes(db::byteOrderMark(encoding));
    for (const std::string& line : lines_) {
        bytes += encoding.utf8 || isAscii(line) ? line : db::toCp1252(fromUtf8(line));
        bytes += "\r\n";
    }
    return db::replaceFileContents(path_, bytes);
}

} // namespace app
