#pragma once

// Small file helpers for the program's own text files (pick lists, the settings file): whole-file
// reads with a size cap, replacement that never leaves a half-written file behind, and the
// Windows-1252 text those files have always been written in.

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

} // namespace db
