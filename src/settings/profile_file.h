#pragma once

// A private-profile (INI) file with the semantics of the Windows profile functions, so that a
// settings file moves between this program and its Windows predecessor unchanged: sections and
// keys match without regard to letter case, values are read through a buffer of a given size,
// a missing file, section or key gives the default, and writing changes one line in place (or
// adds it) while comments, blank lines and unknown keys stay as they were. The file has CR LF
// line ends (LF alone is accepted when reading) and is Windows-1252 text, or UTF-8 as a whole
// when it holds a character Windows-1252 lacks (see db/text_file.h).

#include "db/text_file.h"

#include <QString>

#include <string>
#include <vector>

namespace app {

class ProfileFile {
public:
    // Reads the file now; a missing or unreadable file reads as empty.
    explicit ProfileFile(QString path);

    const QString& path() const { return path_; }

    // The value of `key` in `section`, or `defaultValue` when either is missing, cut to
    // bufferSize - 1 characters as GetPrivateProfileString would (the terminating zero takes
    // the last place). Surrounding blanks and a pair of enclosing quotes are removed.
    QString readString(const QString& section, const QString& key, const QString& defaultValue,
                       int bufferSize) const;

    // Changes the value in memory: the key's line is replaced where it stands, or the key is
    // added at the end of its section, or the section is added at the end of the file.
    void writeString(const QString& section, const QString& key, const QString& value);

    // Writes the file back (CR LF line ends) by way of a temporary file, so a failure leaves the
    // old file as it was. Skipped when the file could not be read completely, since writing
    // would then lose what was not read. Returns whether the file was written.
    bool save() const;

private:
    struct Location {
        size_t sectionLine = 0; // index of the "[section]" line
        size_t endLine = 0;     // one past the section's last line
        bool found = false;
    };
    Location findSection(const std::string& section) const;
    // Index of the key's line within the section, or npos.
    size_t findKey(const Location& section, const std::string& key) const;

    QString path_;
    std::vector<std::string> lines_; // UTF-8, without line ends
    db::TextEncoding readEncoding_;
    bool readComplete_ = true;
};

} // namespace app
