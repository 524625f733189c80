#pragma once

// Small file helpers for the program's own text files (pick lists, the settings file): whole-file
// reads with a size cap, replacement that never leaves a half-written file behind, and their text.
//
// Those files have always been Windows-1252, which the Windows program reads and writes. A file
// holding a character that code page lacks (a path in /home/u/Книги/, say) is written in UTF-8 as
// a whole instead, and reading tells the two apart by whether the bytes are valid UTF-8: text in
// Windows-1252 that is also valid UTF-8 with bytes above 127 does not occur in practice.

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace db {

// Reads the whole file as bytes. Nothing when the file cannot be opened or read, or when it is
// larger than `maxBytes` (a corrupt or foreign file must not exhaust memory).
std::optional<std::string> readFileBytes(const QString& path, uint64_t maxBytes);

// Puts `bytes` in place of the file's contents: written to a temporary file beside it and renamed
// over it only when complete, so a failure at any point leaves the old file exactly as it was.
// A file that exists but may not be written by us is left alone, as a read-only file would be on
// Windows. Returns whether the file now holds `bytes`.
bool replaceFileContents(const QString& path, std::string_view bytes);

// Windows-1252 bytes to text; every byte maps to a character.
QString fromCp1252(std::string_view bytes);
// Text to Windows-1252 bytes; a character the code page lacks becomes '?'.
std::string toCp1252(const QString& text);
// Whether every character of `text` has a byte in Windows-1252.
bool fitsCp1252(const QString& text);

// How one of our text files is written.
struct TextEncoding {
    bool utf8 = false;
    bool byteOrderMark = false; // only with utf8: kept when a file that had one is rewritten
};
// UTF-8 when the bytes start with its byte order mark, or hold bytes above 127 and are all valid
// UTF-8; Windows-1252 otherwise.
TextEncoding detectEncoding(std::string_view bytes);
// The bytes after the byte order mark that `encoding` says is there.
std::string_view withoutByteOrderMark(std::string_view bytes, TextEncoding encoding);
QString decodeText(std::string_view bytes, TextEncoding encoding);
std::string encodeText(const QString& text, TextEncoding encoding);
// The first `length` UTF-16 units of `text`, one fewer when the cut would split a pair.
QString leftWhole(const QString& text, qsizetype length);
// The byte order mark to put first, if any.
std::string_view byteOrderMark(TextEncoding encoding);

} // namespace db
