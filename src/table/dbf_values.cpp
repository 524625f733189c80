// Conversion of one field's bytes to and from text, numbers and dates, for every field type
// of the dialects we read.

#include "dbf_format.h"
#include "dbf_text.h"
#include "memo_file.h"
#include "table_error.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

namespace table {

using namespace detail;

namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;
// Julian day of 31 December of year 0, the day before the first day that timestamps count.
constexpr int64_t kTimestampEpochJulianDay = 1'721'425;

std::string_view rawBytes(const FieldDescriptor& field, const uint8_t* record) {
    return {reinterpret_cast<const char*>(record + field.offset), field.length};
}

uint64_t readLittleEndian(const uint8_t* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = count; i-- > 0;) {
        value = value << 8 | bytes[i];
    }
    return value;
}

uint64_t readBigEndian(const uint8_t* bytes, size_t count) {
    uint64_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// dBASE 7 stores numbers so that they sort as bytes: big-endian with the sign bit flipped,
// and negative doubles with every bit inverted.
int32_t dbase7Integer(const uint8_t* bytes) {
    return static_cast<int32_t>(static_cast<uint32_t>(readBigEndian(bytes, 4)) ^ 0x80000000u);
}

double dbase7Double(const uint8_t* bytes) {
    uint64_t bits = readBigEndian(bytes, 8);
    bits = (bits & 0x8000000000000000ull) ? bits ^ 0x8000000000000000ull : ~bits;
    return std::bit_cast<double>(bits);
}

std::string formatTime(int64_t milliseconds) {
    const int64_t seconds = std::clamp<int64_t>(milliseconds, 0, kMillisecondsPerDay - 1) / 1000;
    char text[16];
    std::snprintf(text, sizeof text, " %02d:%02d:%02d", static_cast<int>(seconds / 3600),
                  static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    return text;
}

struct DateTime {
    Date date;
    int64_t milliseconds = 0;
};

DateTime fieldDateTime(const FieldDescriptor& field, const uint8_t* record) {
    const uint8_t* bytes = record + field.offset;
    if (field.length < 8) {
        return {};
    }
    if (field.type == 'T') { // Visual FoxPro: Julian day, then milliseconds since midnight
        const auto julian = static_cast<int32_t>(readLittleEndian(bytes, 4));
        const auto milliseconds = static_cast<int32_t>(readLittleEndian(bytes + 4, 4));
        return {dateFromJulianDay(julian), milliseconds};
    }
    // dBASE 7 timestamp: sortable double of milliseconds, day 1 being 1 January of year 1.
    if (readBigEndian(bytes, 8) == 0) {
        return {};
    }
    const double total = dbase7Double(bytes);
    if (!std::isfinite(total) || total <= 0 || total > 1e15) {
        return {};
    }
    const auto whole = static_cast<int64_t>(total);
    return {dateFromJulianDay(whole / kMillisecondsPerDay + kTimestampEpochJulianDay),
            whole % kMillisecondsPerDay};
}

} // namespace

namespace {

// Visual FoxPro keeps, in the hidden _NullFlags field, one bit per nullable field and one per
// variable-length field (set when the value is shorter than the field and its length is in the
// field's last byte), numbered in field order.
struct FlagBits {
    int nullBit = -1;
    int lengthBit = -1;
};

const FieldDescriptor* nullFlagsField(const DbfHeader& header) {
    for (const auto& field : header.fields) {
        if (field.type == '0') {
            return &field;
        }
    }
    return nullptr;
}

FlagBits flagBitsOf(const DbfHeader& header, const FieldDescriptor& wanted) {
    FlagBits bits;
    int next = 0;
    for (const auto& field : header.fields) {
        const bool variable = field.type == 'V' || field.type == 'Q';
        const bool nullable = (field.foxFlags & 0x02) != 0;
        if (&field == &wanted || (field.offset == wanted.offset && field.name == wanted.name)) {
            bits.lengthBit = variable ? next : -1;
            bits.nullBit = nullable ? next + (variable ? 1 : 0) : -1;
            return bits;
        }
        next += (variable ? 1 : 0) + (nullable ? 1 : 0);
    }
    return bits;
}

bool isFlagSet(const FieldDescriptor* flags, const uint8_t* record, int bit) {
    if (!flags || bit < 0 || static_cast<uint32_t>(bit / 8) >= flags->length) {
        return false;
    }
    return (record[flags->offset + bit / 8] >> (bit % 8)) & 1;
}

bool isNullValue(const DbfHeader& header, const FieldDescriptor& field, const uint8_t* record) {
    if (!header.visualFoxPro || !(field.foxFlags & 0x02)) {
        return false;
    }
    return isFlagSet(nullFlagsField(header), record, flagBitsOf(header, field).nullBit);
}

std::string_view varLengthBytes(const DbfHeader& header, const FieldDescriptor& field,
                                const uint8_t* record) {
    std::string_view bytes = rawBytes(field, record);
    const int lengthBit = flagBitsOf(header, field).lengthBit;
    if (!bytes.empty() && isFlagSet(nullFlagsField(header), record, lengthBit)) {
        const size_t length = static_cast<uint8_t>(bytes.back());
        bytes = bytes.substr(0, std::min(length, bytes.size() - 1));
    }
    return bytes;
}

bool isMemoPointer(const DbfHeader& header, const FieldDescriptor& field) {
    switch (field.type) {
    case 'M':
    case 'G':
    case 'P':
    case 'W':
        return true;
    case 'B':
        return !header.visualFoxPro; // dBASE binary memo; Visual FoxPro's B is a double
    default:
        return false;
    }
}

uint64_t memoBlock(const FieldDescriptor& field, const uint8_t* record) {
    if (field.length == 4) { // Visual FoxPro: binary block number
        return readLittleEndian(record + field.offset, 4);
    }
    const std::string_view digits = trimBlanks(rawBytes(field, record));
    uint64_t block = 0;
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), block);
    return result.ec == std::errc() && result.ptr == digits.data() + digits.size() ? block : 0;
}

std::string hexText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (char c : bytes) {
        text += kDigits[static_cast<uint8_t>(c) >> 4];
        text += kDigits[static_cast<uint8_t>(c) & 0x0F];
    }
    return text;
}

std::string numberText(const DbfHeader& header, const FieldDescriptor& field,
                       const uint8_t* record) {
    const auto plain = plainNumberText(rawBytes(field, record));
    // Unreadable contents are shown as they stand rather than hidden.
    return plain ? *plain : decodeToUtf8(trimBlanks(rawBytes(field, record)), header.codepage);
}

std::string dateTimeText(const FieldDescriptor& field, const uint8_t* record,
                         const DateFormat& dateFormat) {
    const DateTime value = fieldDateTime(field, record);
    return value.date.isNull() ? std::string()
                               : dateFormat.format(value.date) + formatTime(value.milliseconds);
}

std::string binaryNumberText(const FieldDescriptor& field, const uint8_t* record) {
    if (field.type == 'Y' && field.length >= 8) {
        return formatCurrency(static_cast<int64_t>(readLittleEndian(record + field.offset, 8)));
    }
    return formatDouble(fieldNumber(field, record));
}

std::string logicalText(const FieldDescriptor& field, const uint8_t* record) {
    switch (field.length > 0 ? record[field.offset] : ' ') {
    case 'T':
    case 't':
    case 'Y':
    case 'y':
        return "T";
    case 'F':
    case 'f':
    case 'N':
    case 'n':
        return "F";
    default:
        return {}; // '?' and blank mean "not known"
    }
}

} // namespace

std::string fieldText(const DbfHeader& header, const FieldDescriptor& field, const uint8_t* record,
                      const DateFormat& dateFormat, const MemoReader* memo) {
    if (isNullValue(header, field, record)) {
        return {};
    }
    if (isMemoPointer(header, field)) {
        const uint64_t block = memoBlock(field, record);
        if (!memo || block == 0 || field.type != 'M') {
            return {}; // pictures, OLE objects and blobs have no text
        }
        return decodeToUtf8(trimRight(memo->read(block)), header.codepage);
    }
    switch (field.type) {
    case 'C':
        return decodeToUtf8(trimRight(rawBytes(field, record)), header.codepage);
    case 'V':
        return decodeToUtf8(trimRight(varLengthBytes(header, field, record)), header.codepage);
    case 'Q':
        return hexText(varLengthBytes(header, field, record));
    case 'N':
    case 'F':
        return numberText(header, field, record);
    case 'D':
        return dateFormat.format(parseDtos(rawBytes(field, record)));
    case 'L':
        return logicalText(field, record);
    case 'T':
    case '@':
        return dateTimeText(field, record, dateFormat);
    case 'I':
    case '+':
    case 'B':
    case 'O':
    case 'Y':
        return binaryNumberText(field, record);
    case '0':
        return {};
    default:
        return decodeToUtf8(trimBlanks(rawBytes(field, record)), header.codepage);
    }
}

double fieldNumber(const FieldDescriptor& field, const uint8_t* record) {
    const uint8_t* bytes = record + field.offset;
    switch (field.type) {
    case 'N':
    case 'F': {
        const auto value = parseNumber(rawBytes(field, record));
        return value && std::isfinite(*value) ? *value : 0;
    }
    case 'I':
    case '+':
        if (field.length < 4) {
            return 0;
        }
        return field.dbase7 ? dbase7Integer(bytes)
                            : static_cast<int32_t>(readLittleEndian(bytes, 4));
    case 'B': // only Visual FoxPro's 8-byte double; dBASE's B is a memo
    case 'O':
        if (field.length != 8) {
            return 0;
        }
        if (field.type == 'O' || field.dbase7) {
            return dbase7Double(bytes);
        }
        return std::bit_cast<double>(readLittleEndian(bytes, 8));
    case 'Y':
        return field.length < 8
                   ? 0
                   : static_cast<double>(static_cast<int64_t>(readLittleEndian(bytes, 8))) /
                         10000.0;
    default:
        return 0;
    }
}

Date fieldDate(const FieldDescriptor& field, const uint8_t* record) {
    switch (field.type) {
    case 'D':
        return parseDtos(rawBytes(field, record));
    case 'T':
    case '@':
        return fieldDateTime(field, record).date;
    default:
        return {};
    }
}

bool fieldIsBlank(const FieldDescriptor& field, const uint8_t* record) {
    const std::string_view bytes = rawBytes(field, record);
    const bool allBlank = std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == ' '; });
    switch (field.type) {
    case 'T':
    case '@':
        return allBlank || fieldDateTime(field, record).date.isNull();
    case 'D':
        return allBlank || trimBlanks(bytes).empty() || bytes == "00000000";
    case 'I':
    case '+':
    case 'B':
    case 'O':
    case 'Y':
        return field.length == 8 || field.length == 4 ? false : allBlank;
    case 'N':
    case 'F': {
        // A value that overflowed its width, and a missing value as GDAL writes it, is a row of
        // asterisks: it has no number, so it counts as blank.
        const std::string_view digits = trimBlanks(bytes);
        return std::all_of(digits.begin(), digits.end(), [](char c) { return c == '*'; });
    }
    default:
        return trimBlanks(bytes).empty();
    }
}

} // namespace table
