#include "transfer/import_values.h"

#include "settings/display_formats.h"
#include "table/codepage.h"
#include "table/table.h"
#include "transfer/transfer_error.h"

#include <charconv>
#include <limits>

namespace transfer {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

size_t skipBlanks(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    return i;
}

size_t skipDigits(std::string_view text, size_t i) {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

} // namespace

ImportFormats currentImportFormats() {
    ImportFormats formats;
    const QChar separator = app::regionalNumbers().decimalSeparator;
    if (separator.unicode() < 128)
        formats.decimalSeparator = static_cast<char>(separator.unicode());
    formats.dateFormat = table::currentDateFormat();
    formats.currentYear = table::currentYear();
    return formats;
}

int64_t lenientWholeNumber(std::string_view text) {
    size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 10 - 9;
    int64_t value = 0;
    for (; i < text.size() && isDigit(text[i]); ++i)
        value = value > kLimit ? value : value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

double lenientDecimal(std::string_view text, char separator) {
    size_t i = skipBlanks(text);
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        number += text[i++];
    size_t end = skipDigits(text, i);
    bool digits = end > i;
    number.append(text.substr(i, end - i));
    i = end;
    if (i < text.size() && (text[i] == '.' || text[i] == separator)) {
        end = skipDigits(text, i + 1);
        if (end > i + 1 || digits) {
            number += '.';
            number.append(text.substr(i + 1, end - i - 1));
            digits = true;
            i = end;
        }
    }
    if (!digits)
        return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        end = skipDigits(text, j);
        if (end > j)
            number.append(text.substr(i, end - i));
    }
    double value = 0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range)
        return 0;
    return value;
}

ImportDate readImportDate(std::string_view text, const ImportFormats& formats) {
    ImportDate result;
    if (text.find(formats.dateFormat.separator) == std::string_view::npos)
        return result;
    for (char c : text)
        if (isLetter(c))
            return result;
    result.isDate = true;
    result.value = formats.dateFormat.parse(text, formats.currentYear);
    if (result.value && result.value->isNull())
        result.value.reset(); // a separator alone is no date
    return result;
}

std::string ImportPlace::describe() const {
    return std::string(unit) + " " + std::to_string(number) + ", field " +
           (fieldName.empty() ? std::to_string(fieldNumber) : std::string(fieldName));
}

namespace {

std::string asUtf8(std::string_view value, ValueEncoding encoding) {
    return encoding == ValueEncoding::Utf8 ? std::string(value)
                                           : table::decodeToUtf8(value, table::Codepage::Cp1252);
}

bool plainAscii(std::string_view text) {
    for (char c : text)
        if (c < 32 || c > 126)
            return false;
    return true;
}

void storeText(table::Table& books, int tableIndex, std::string_view value, ValueEncoding encoding,
               const ImportPlace& place) {
    if (plainAscii(value)) { // the same bytes in every encoding and code page: nothing to check
        books.setText(tableIndex, value);
        return;
    }
    const std::string utf8 = asUtf8(value, encoding);
    // Windows-1252 text always fits a Windows-1252 table; anything else is checked first, so
    // that a character the table lacks is named rather than stored as something else.
    if (encoding != ValueEncoding::Cp1252 || books.header().codepage != table::Codepage::Cp1252) {
        std::string bad;
        if (!table::encodeFromUtf8(utf8, books.header().codepage, &bad))
            throw TransferError("The character '" + bad + "' cannot be stored in the book table (" +
                                place.describe() + ").");
    }
    books.setText(tableIndex, utf8); // cut to the field's width
}

} // namespace

void storeImportValue(table::Table& books, int tableIndex, const db::FieldInfo& field,
                      std::string_view value, ValueEncoding encoding, const ImportFormats& formats,
                      const ImportPlace& place) {
    // Numbers and dates are read from their ASCII characters, whatever the encoding.
    try {
        switch (field.kind) {
        case db::FieldKind::Text:
            storeText(books, tableIndex, value, encoding, place);
            break;
        case db::FieldKind::WholeNumber:
            books.setNumber(tableIndex, static_cast<double>(lenientWholeNumber(value)));
            break;
        case db::FieldKind::DecimalNumber:
            books.setNumber(tableIndex, lenientDecimal(value, formats.decimalSeparator));
            break;
        case db::FieldKind::Date: {
            const ImportDate date = readImportDate(value, formats);
            if (!date.isDate)
                break;
            if (!date.value)
                throw TransferError("'" + asUtf8(value, encoding) + "' is not a valid date (" +
                                    place.describe() + ").");
            books.setDate(tableIndex, *date.value);
            break;
        }
        }
    } catch (const TransferError&) {
        throw;
    } catch (const std::exception& error) {
        throw TransferError(std::string(error.what()) + " (" + place.describe() + ")");
    }
}

} // namespace transfer
