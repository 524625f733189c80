// Conversion of one field's bytes to and from text, numbers and dates, for every field type
// of the dialects we read.

#include "dbf_format.h"
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

namespace {

constexpr int64_t kMillisecondsPerDay = 86'400'000;
// Julian day of 31 December of year 0, the day before the first day that timestamps count.
constexpr int64_t kTimestampEpochJulianDay = 1'721'425;

std::string_view rawBytes(const FieldDescriptor& field, const uint8_t* record) {
    return {reinterpret_cast<const char*>(record + field.offset), field.length};
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimRight(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) {
        text.remove_suffix(1);
    }
    return text;
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

std::string formatDouble(double value) {
    if (!std::isfinite(value)) {
        return {};
    }
    if (value == 0) {
        return "0";
    }
    char text[400];
    const auto format =
        std::fabs(value) < 1e21 ? std::chars_format::fixed : std::chars_format::general;
    const auto result = std::to_chars(text, text + sizeof text, value, format);
    return std::string(text, result.ptr);
}

// Exact text of a currency value held in ten-thousandths.
std::string formatCurrency(int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(tenThousandths)
                                        : static_cast<uint64_t>(tenThousandths);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / 10000);
    uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, ".%04u", static_cast<unsigned>(fraction));
        text += digits;
        while (text.back() == '0') {
            text.pop_back();
        }
    }
    return text;
}

// Checks "[sign]digits[.digits][e[sign]digits]" with at least one mantissa digit.
bool isNumberSyntax(std::string_view text) {
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    size_t digits = 0;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        if (text[pos] >= '0' && text[pos] <= '9') {
            ++digits;
        } else if (text[pos] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        const size_t exponentStart = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            ++pos;
        }
        if (pos == exponentStart) {
            return false;
        }
    }
    return pos == text.size();
}

// Whether a number too large or too small for a double is large: its decimal magnitude from
// the digits before the point (or the zeros after it) and the exponent.
bool isOverflow(std::string_view number) {
    const size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    const size_t firstNonZero = mantissa.find_first_of("123456789");
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    if (firstNonZero == std::string_view::npos) {
        return false;
    }
    int64_t magnitude = static_cast<int64_t>(point) - static_cast<int64_t>(firstNonZero);
    if (exponentAt != std::string_view::npos) {
        std::string_view exponent = number.substr(exponentAt + 1);
        const bool negative = !exponent.empty() && exponent[0] == '-';
        if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) {
            exponent.remove_prefix(1);
        }
        int64_t value = 0;
        for (char digit : exponent) {
            value = std::min<int64_t>(value * 10 + (digit - '0'), 1'000'000);
        }
        magnitude += negative ? -value : value;
    }
    return magnitude > 0;
}

// Reads the number a user typed or a numeric field holds; nothing when it is no number,
// an infinite value when it is too large for a double.
std::optional<double> parseNumber(std::string_view text) {
    std::string cleaned(trimBlanks(text));
    std::replace(cleaned.begin(), cleaned.end(), ',', '.');
    if (!isNumberSyntax(cleaned)) {
        return std::nullopt;
    }
    const char* first = cleaned.data() + (cleaned[0] == '+' ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(first, cleaned.data() + cleaned.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        return isOverflow(cleaned) ? HUGE_VAL : 0.0;
    }
    return value;
}

// Typed text as quoted in a message: long text is cut (at a character boundary).
std::string quoted(std::string_view utf8) {
    constexpr size_t kLongest = 40;
    if (utf8.size() <= kLongest) {
        return std::string(utf8);
    }
    size_t cut = kLongest;
    while (cut > 0 && (static_cast<uint8_t>(utf8[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(utf8.substr(0, cut)) + "...";
}

// The digits a N or F field holds, as plain text: no leading '+' or zeros, no trailing
// fraction zeros. Working on the text keeps wide fields exact where a double would not.
std::optional<std::string> plainNumberText(std::string_view stored) {
    std::string text(trimBlanks(stored));
    if (text.empty() || text.find('*') != std::string::npos) {
        return std::string(); // '*' is how dBASE marks a value that overflowed the width
    }
    std::replace(text.begin(), text.end(), ',', '.');
    if (!isNumberSyntax(text)) {
        return std::nullopt;
    }
    if (text.find_first_of("eE") != std::string::npos) {
        return formatDouble(*parseNumber(text));
    }
    const bool negative = text[0] == '-';
    std::string_view digits(text);
    if (digits[0] == '-' || digits[0] == '+') {
        digits.remove_prefix(1);
    }
    std::string whole(digits.substr(0, digits.find('.')));
    std::string fraction(digits.size() > whole.size() ? digits.substr(whole.size() + 1) : "");
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    fraction.erase(std::min(fraction.find_last_not_of('0') + 1, fraction.size()));
    std::string plain = (whole.empty() ? "0" : whole) + (fraction.empty() ? "" : "." + fraction);
    return negative && plain != "0" ? "-" + plain : plain;
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
    default:
        return trimBlanks(bytes).empty();
    }
}

namespace {

[[noreturn]] void cannotWrite(const FieldDescriptor& field) {
    throw TableError("The field " + field.name + " (type " + std::string(1, field.type) +
                     ") cannot be changed by this program.");
}

void writeBytes(const FieldDescriptor& field, uint8_t* record, std::string_view bytes) {
    std::memset(record + field.offset, ' ', field.length);
    std::memcpy(record + field.offset, bytes.data(), std::min<size_t>(bytes.size(), field.length));
}

// Formats `value` right-aligned with the field's decimals; nothing when it does not fit.
std::optional<std::string> numberForField(const FieldDescriptor& field, double value) {
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    const int decimals = field.type == 'N' || field.type == 'F' ? field.decimals : 0;
    const int size = std::snprintf(nullptr, 0, "%.*f", decimals, value);
    if (size <= 0 || static_cast<uint32_t>(size) > field.length) {
        return std::nullopt;
    }
    std::string text(static_cast<size_t>(size) + 1, '\0');
    std::snprintf(text.data(), text.size(), "%.*f", decimals, value);
    text.pop_back();
    // A tiny negative value rounds to "-0.00"; dBASE writes zero without a sign.
    if (text[0] == '-' && text.find_first_of("123456789") == std::string::npos) {
        text.erase(0, 1);
    }
    return std::string(field.length - text.size(), ' ') + text;
}

void setNumberText(const FieldDescriptor& field, uint8_t* record, std::string_view utf8) {
    const auto value = parseNumber(utf8);
    if (!value) {
        throw TableError("'" + quoted(utf8) + "' is not a valid number for field " + field.name +
                         ".");
    }
    const auto text = numberForField(field, *value);
    if (!text) {
        throw TableError("The value " + quoted(trimBlanks(utf8)) + " does not fit the field " +
                         field.name + ".");
    }
    writeBytes(field, record, *text);
}

void setLogicalText(const FieldDescriptor& field, uint8_t* record, std::string_view utf8) {
    std::string word(utf8);
    std::transform(word.begin(), word.end(), word.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (word == "T" || word == "Y" || word == "TRUE" || word == "YES") {
        writeBytes(field, record, "T");
    } else if (word == "F" || word == "N" || word == "FALSE" || word == "NO") {
        writeBytes(field, record, "F");
    } else {
        throw TableError("'" + quoted(utf8) + "' is not a valid logical value for field " +
                         field.name + ".");
    }
}

} // namespace

void setFieldText(const DbfHeader& header, const FieldDescriptor& field, uint8_t* record,
                  std::string_view utf8, const DateFormat& dateFormat, int yearNow) {
    if (trimBlanks(utf8).empty() && std::strchr("CNFDL", field.type)) {
        blankField(field, record);
        return;
    }
    switch (field.type) {
    case 'C': {
        std::string badCharacter;
        const auto bytes = encodeFromUtf8(utf8, header.codepage, &badCharacter);
        if (!bytes) {
            throw TableError("The character '" + badCharacter + "' cannot be stored in the field " +
                             field.name + ".");
        }
        writeBytes(field, record, *bytes); // single-byte code page: cutting never splits one
        return;
    }
    case 'N':
    case 'F':
        setNumberText(field, record, utf8);
        return;
    case 'D': {
        const auto date = dateFormat.parse(utf8, yearNow);
        if (!date) {
            throw TableError("'" + quoted(utf8) + "' is not a valid date for field " + field.name +
                             ".");
        }
        setFieldDate(field, record, *date);
        return;
    }
    case 'L':
        setLogicalText(field, record, trimBlanks(utf8));
        return;
    default:
        cannotWrite(field);
    }
}

void setFieldNumber(const FieldDescriptor& field, uint8_t* record, double value) {
    if (field.type != 'N' && field.type != 'F') {
        cannotWrite(field);
    }
    const auto text = numberForField(field, value);
    if (!text) {
        throw TableError("The value " + formatDouble(value) + " does not fit the field " +
                         field.name + ".");
    }
    writeBytes(field, record, *text);
}

void setFieldDate(const FieldDescriptor& field, uint8_t* record, const Date& date) {
    if (field.type != 'D' || field.length != 8) {
        cannotWrite(field);
    }
    writeBytes(field, record, toDtos(date));
}

void blankField(const FieldDescriptor& field, uint8_t* record) {
    std::memset(record + field.offset, ' ', field.length);
}

} // namespace table
