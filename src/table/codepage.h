#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace table {

// Single-byte code pages a .DBF may be written in. Our own tables are always Windows-1252.
enum class Codepage { Cp1252, Cp437, Cp850, Cp852, Cp866, Cp1250, Cp1251, Ascii };

// Code page named by the language-driver byte (header offset 29); unknown marks read as 1252.
Codepage codepageFromLanguageDriver(uint8_t mark);
// The language-driver byte we write for a code page (0x57 for Windows ANSI).
uint8_t languageDriverFor(Codepage cp);

// Bytes in the code page to UTF-8. Every byte maps to some character, so this never fails.
std::string decodeToUtf8(std::string_view bytes, Codepage cp);
// UTF-8 to bytes in the code page. Returns nothing when a character has no byte in the code page
// (or the UTF-8 is malformed); `badCharacter` then receives the offending character as UTF-8.
std::optional<std::string> encodeFromUtf8(std::string_view utf8, Codepage cp,
                                          std::string* badCharacter = nullptr);

// Upper-casing of Windows-1252 bytes as dBASE's Upper() does it for the ANSI driver:
// a-z and the accented letters of 1252 (à..þ except ÷, š œ ž ÿ).
uint8_t upperCp1252(uint8_t byte);
// Whether `text` (Windows-1252) upper-cased that way contains `upperNeedle`, which is given
// upper-cased already: dBASE's "NEEDLE" $ Upper(field).
bool containsUpperCp1252(std::string_view text, std::string_view upperNeedle);

} // namespace table
