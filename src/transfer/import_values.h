#pragma once

// How one imported value is stored into a book field, by the field's kind: text cut to the
// field, whole numbers read leniently, decimal numbers read as far as they are a number, dates
// only when they look like one.

#include "db/field_catalogue.h"
#include "table/date_format.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace table {
class Table;
}

namespace transfer {

struct ImportFormats {
    char decimalSeparator = '.'; // read besides the full stop
    table::DateFormat dateFormat;
    int currentYear = 2000;
};
// The format in force: the engine's date format, the regional decimal separator, this year.
ImportFormats currentImportFormats();

// Leading blanks, an optional sign, then digits up to the first other character; 0 when there
// are none. Saturates rather than overflowing.
int64_t lenientWholeNumber(std::string_view text);

// The longest start of the text (after blanks) that is a number: sign, digits, a decimal point
// (a full stop or `separator`) and digits, an exponent; 0 when there is none. "12.5abc" is
// 12.5, "abc" is 0.
double lenientDecimal(std::string_view text, char separator);

// A value counts as a date only when it holds the date separator and no letter A-Z.
struct ImportDate {
    bool isDate = false;              // false: the field stays empty
    std::optional<table::Date> value; // for a date: nothing when it is not a valid date
};
ImportDate readImportDate(std::string_view text, const ImportFormats& formats);

// Where a value came from, put into words only when a message needs it: "line 12, field 3"
// or "record 7, field NAME".
struct ImportPlace {
    const char* unit = "line";
    uint64_t number = 0;
    size_t fieldNumber = 0;     // used when fieldName is empty
    std::string_view fieldName; // a foreign table's field name
    std::string describe() const;
};

// How the bytes of a value are encoded.
enum class ValueEncoding { Utf8, Cp1252 };

// Stores `value` into book field `tableIndex` (the catalogue field `field`) of the record being
// appended. Throws TransferError naming `place` when the value cannot be stored: a character the
// table's code page lacks, an invalid date, a number too large for the field.
void storeImportValue(table::Table& books, int tableIndex, const db::FieldInfo& field,
                      std::string_view value, ValueEncoding encoding, const ImportFormats& formats,
                      const ImportPlace& place);

} // namespace transfer
