#pragma once

// The .DBF file layout: header and field descriptors of every flavour we read, the header we
// write for our own tables, and the conversion of one field's bytes to and from text.
// Pure functions over bytes: no file access, so they can be fuzzed directly.

#include "codepage.h"
#include "date_format.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace table {

class MemoReader;

enum class MemoKind { None, Dbt3, Dbt4, Fpt };

struct FieldDescriptor {
    std::string name;    // as stored, ASCII, without padding
    char type = 'C';     // C N F D L M I B O Y T @ + G P V Q W 0 ...
    uint32_t offset = 0; // byte offset within the record; the deletion flag is byte 0
    uint32_t length = 0; // bytes in the record
    uint8_t decimals = 0;
    uint8_t foxFlags = 0; // Visual FoxPro field flags (0x01 system, 0x02 nullable, ...)
    bool hidden = false;  // system fields such as _NullFlags, not offered to the user
    bool dbase7 = false;  // binary numbers in dBASE 7's sortable big-endian encoding
};

struct DbfHeader {
    uint8_t version = 0x03;
    Date lastUpdate;
    uint32_t recordCount = 0;
    uint32_t headerLength = 0;
    uint32_t recordLength = 0;
    uint8_t productionIndexFlag = 0; // byte 28
    uint8_t languageDriver = 0;      // byte 29
    Codepage codepage = Codepage::Cp1252;
    MemoKind memoKind = MemoKind::None;
    bool dbase7 = false; // 48-byte field descriptors
    bool visualFoxPro = false;
    std::vector<FieldDescriptor> fields;
};

// Parses the header and field descriptors at the start of `file` (which may be the whole file
// or only its first bytes; `fileSize` is the real size). Throws TableError naming `fileName`
// when the header is malformed or truncated: descriptors past the header length, fields running
// outside the record, a record length of 0, more records claimed than the file holds
// (`allowShortData` false), and the like. Never reads outside `file`.
DbfHeader parseDbfHeader(std::span<const uint8_t> file, uint64_t fileSize,
                         const std::string& fileName);
// The header length that the first bytes of a .DBF declare (`file` needs at least 12 bytes,
// else 0): how many bytes to read before calling parseDbfHeader.
uint32_t dbfHeaderLengthOf(std::span<const uint8_t> file);

// Offsets of the fields that the header itself contains, for updating a file in place.
constexpr size_t kRecordCountOffset = 4;
constexpr size_t kLastUpdateOffset = 1;
constexpr size_t kProductionIndexFlagOffset = 28;

// How a field of a table we create is defined (dBASE IV layout, types C N F D L).
// Our book table stores whole numbers as N 11.0 and decimal numbers as F 20.4: eleven
// characters hold every 8-digit whole number with its sign and room to spare, and four decimals
// in twenty characters keep 2-decimal money amounts exact (the text is stored, not a binary
// fraction) with ample headroom before a value could overflow.
constexpr uint32_t kWholeNumberWidth = 11;
constexpr uint32_t kDecimalNumberWidth = 20;
constexpr uint8_t kDecimalNumberDecimals = 4;
struct FieldDef {
    std::string name; // at most 10 characters; stored in capitals
    char type = 'C';
    uint32_t length = 0;
    uint8_t decimals = 0;
};

// The complete header of a new, empty dBASE IV table (version 0x03, language driver 0x57,
// terminator 0x0D) for the given fields. Throws TableError on invalid field definitions (bad names,
// duplicate names, widths out of range).
std::vector<uint8_t> buildDbfHeader(const std::vector<FieldDef>& fields, const Date& today,
                                    bool productionIndex);
void writeRecordCount(uint8_t* header, uint32_t recordCount);
void writeLastUpdate(uint8_t* header, const Date& today);

// One field of a record as text: C without trailing blanks, N/F plain ("12.5", "-3", "" when
// blank), D in `dateFormat` ("" when blank), L "T"/"F"/"" , memo text (empty when the memo file
// is missing), and every binary type of dBASE 7 and Visual FoxPro written readably.
// `record` points at the deletion flag byte of a record of the header's record length.
std::string fieldText(const DbfHeader& header, const FieldDescriptor& field, const uint8_t* record,
                      const DateFormat& dateFormat, const MemoReader* memo = nullptr);

// Numeric value of an N/F/I/B/O/Y/+ field; 0 when blank or unreadable.
double fieldNumber(const FieldDescriptor& field, const uint8_t* record);
// Date value of a D, T or @ field; null when blank.
Date fieldDate(const FieldDescriptor& field, const uint8_t* record);
// True when the field's bytes are all blanks (or the type's empty value).
bool fieldIsBlank(const FieldDescriptor& field, const uint8_t* record);

// Writers for the types our own tables use (C N F D L). The field's bytes in `record` are
// replaced. Empty text blanks the field; text longer than a C field is cut; text that does not
// convert throws TableError naming the field and the text.
void setFieldText(const DbfHeader& header, const FieldDescriptor& field, uint8_t* record,
                  std::string_view utf8, const DateFormat& dateFormat, int currentYear);
void setFieldNumber(const FieldDescriptor& field, uint8_t* record, double value);
void setFieldDate(const FieldDescriptor& field, uint8_t* record, const Date& date);
void blankField(const FieldDescriptor& field, uint8_t* record);

} // namespace table
