// Writing the field types of our own tables (C N F D L) from text, numbers and dates.

#include "dbf_format.h"
#include "dbf_text.h"
#include "table_error.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace table {

using namespace detail;

namespace {

[[noreturn]] void cannotWrite(const FieldDescriptor& field) {
    throw TableError("The field " + field.name + " (type " + std::string(1, field.type) +
                     ") cannot be changed by this program.");
}

void writeBytes(const FieldDescriptor& field, uint8_t* record, std::string_view bytes) {
    std::memset(record + field.offset, ' ', field.length);
    std::memcpy(record + field.offset, bytes.data(), std::min<size_t>(bytes.size(), field.length));
}

// The digits of `value` with `decimals` decimals when value * 10^decimals is a whole number well
// inside a double's exact range (most stored values: whole numbers, money), else nothing. There
// the exact value is within 1/8 of that whole number, so %.*f would round to the same digits,
// which an integer conversion writes far quicker.
std::string_view scaledIntegerDigits(double value, int decimals, char (&out)[640]) {
    static constexpr double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
    if (decimals < 0 || decimals > 9)
        return {};
    const double scaled = value * kScale[decimals];
    if (!(std::fabs(scaled) < 0x1p50) || scaled != std::floor(scaled))
        return {};
    const int64_t whole = static_cast<int64_t>(scaled);
    uint64_t magnitude = static_cast<uint64_t>(whole < 0 ? -whole : whole);
    char reversed[24];
    int count = 0;
    do {
        reversed[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0 || count <= decimals);
    size_t length = 0;
    if (whole < 0)
        out[length++] = '-';
    for (int i = count - 1; i >= 0; --i) {
        out[length++] = reversed[i];
        if (i == decimals && decimals > 0)
            out[length++] = '.';
    }
    return std::string_view(out, length);
}

// Formats `value` right-aligned with the field's decimals, blank-filled to the field's length
// in `out`; false when it does not fit.
bool numberForField(const FieldDescriptor& field, double value, char (&out)[640],
                    std::string_view& text) {
    if (!std::isfinite(value) || field.length > sizeof out)
        return false;
    const int decimals = field.type == 'N' || field.type == 'F' ? field.decimals : 0;
    char digits[640];
    std::string_view number = scaledIntegerDigits(value, decimals, digits);
    if (number.empty()) {
        // Exactly rounded like printf's %.*f; the largest double has 309 digits before the point.
        const auto written = std::to_chars(digits, digits + sizeof digits, value,
                                           std::chars_format::fixed, decimals);
        if (written.ec != std::errc())
            return false;
        number = std::string_view(digits, static_cast<size_t>(written.ptr - digits));
    }
    if (number.size() > field.length)
        return false;
    // A tiny negative value rounds to "-0.00"; dBASE writes zero without a sign.
    if (number[0] == '-' && number.find_first_of("123456789") == std::string_view::npos)
        number.remove_prefix(1);
    const size_t pad = field.length - number.size();
    std::memset(out, ' ', pad);
    std::memcpy(out + pad, number.data(), number.size());
    text = std::string_view(out, field.length);
    return true;
}

// Plain ASCII is the same bytes in every single-byte code page a table can have.
bool printableAscii(std::string_view text) {
    for (char c : text)
        if (c < 32 || c > 126)
            return false;
    return true;
}

void setNumberText(const FieldDescriptor& field, uint8_t* record, std::string_view utf8) {
    const auto value = parseNumber(utf8);
    if (!value) {
        throw FieldValueError("'" + quoted(utf8) + "' is not a valid number for field ", field.name,
                              ".");
    }
    char buffer[640];
    std::string_view text;
    if (!numberForField(field, *value, buffer, text)) {
        throw FieldValueError("The value " + quoted(trimBlanks(utf8)) + " does not fit the field ",
                              field.name, ".");
    }
    writeBytes(field, record, text);
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
        throw FieldValueError("'" + quoted(utf8) + "' is not a valid logical value for field ",
                              field.name, ".");
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
        if (printableAscii(utf8)) {
            writeBytes(field, record, utf8);
            return;
        }
        std::string badCharacter;
        const auto bytes = encodeFromUtf8(utf8, header.codepage, &badCharacter);
        if (!bytes) {
            throw FieldValueError("The character '" + badCharacter +
                                      "' cannot be stored in the field ",
                                  field.name, ".");
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
            throw FieldValueError("'" + quoted(utf8) + "' is not a valid date for field ",
                                  field.name, ".");
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
    char buffer[640];
    std::string_view text;
    if (!numberForField(field, value, buffer, text)) {
        throw FieldValueError("The value " + formatDouble(value) + " does not fit the field ",
                              field.name, ".");
    }
    writeBytes(field, record, text);
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
