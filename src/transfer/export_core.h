#pragma once

// Export without windows: which fields go out in which order, the text of each value, the two
// kinds of output file, and the walk over the book table in steps that a window can interleave
// with repainting.

#include "db/field_catalogue.h"
#include "table/table.h"
#include "transfer/transfer_error.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace app {
struct Settings;
}

namespace transfer {

// ---- Configuration --------------------------------------------------------------------------

// The 36 field numbers in export order, from the stored positions. Positions that do not form
// a permutation (a hand-edited settings file) are put in order by position, then by number.
std::array<int, db::kFieldCount> exportOrder(const app::Settings& settings);

// One row of the export grid: the field it shows and whether it goes out.
struct ExportRow {
    int fieldNumber = 0;
    bool included = true;
};
// Stores the rows (row 1 first) as the fields' export positions and include flags. A field no
// row shows keeps what it had.
void storeExportRows(app::Settings& settings, const std::vector<ExportRow>& rows);

// The included field numbers in export order.
std::vector<int> exportedFields(const app::Settings& settings);

// ---- Values ---------------------------------------------------------------------------------

struct ExportField {
    int number = 0;     // catalogue number
    int tableIndex = 0; // position of the field in the book table, found by its name
    db::FieldKind kind = db::FieldKind::Text;
};
// Looks every field up by its name in `books`; TransferError when one is missing.
std::vector<ExportField> exportList(const std::vector<int>& numbers, const table::Table& books);

// How numbers and dates are written.
struct ValueFormats {
    char decimalSeparator = '.';
    table::DateFormat dateFormat;
    int currentYear = 2000;
};
// The format in force: the engine's date format, the regional decimal separator, this year.
ValueFormats currentValueFormats();

// A date as text in `formats`: with the format's own year digits when that text reads back as
// the same date, with four digits otherwise (1935 is not "35" while "35" means 2035).
std::string exportDateText(const table::Date& date, const ValueFormats& formats);
// A decimal number in general format with up to 15 significant digits.
std::string exportDecimalText(double value, char decimalSeparator);

// UTF-8 text as Windows-1252 bytes; TransferError naming `what` when a character has no byte.
std::string toCp1252(const std::string& utf8, const std::string& what);

// Whether `path` names the book table's own .DBF or .MDX, which an export must not replace.
bool isBookTableFile(const std::string& path, const table::Table& books);

// ---- Text output ----------------------------------------------------------------------------

// A delimited text file, created or truncated. Every line reaches the file (the kernel) before
// the next is built, so after a failure or a killed program every whole record written before
// is in the file.
class TextExportFile {
public:
    explicit TextExportFile(const std::string& path); // TransferError when it cannot be created
    ~TextExportFile();
    TextExportFile(const TextExportFile&) = delete;
    TextExportFile& operator=(const TextExportFile&) = delete;

    // Titles in Windows-1252.
    void writeHeader(const std::vector<std::string>& titles);
    void writeRecord(const table::Table& books, const std::vector<ExportField>& fields,
                     const ValueFormats& formats);
    void close(); // TransferError when the file could not be completed

private:
    void write(const std::string& bytes);

    std::string path_;
    int fd_ = -1;
    std::string line_;
    std::string value_;
};

// One record as a text line (without writing it), for tests and other writers.
std::string recordLine(const table::Table& books, const std::vector<ExportField>& fields,
                       const ValueFormats& formats);

// ---- dBASE output ---------------------------------------------------------------------------

// A new dBASE table (an existing file is replaced) with one field per exported field, named
// and typed as in the book table.
class DbfExportFile {
public:
    DbfExportFile(const std::string& path, const std::vector<ExportField>& fields);
    void writeRecord(const table::Table& books);
    void close();

private:
    std::vector<ExportField> fields_;
    table::Table out_;
};

// ---- The walk ---------------------------------------------------------------------------------

// The record loop over the book table in its current order and through its filter, run in
// steps. The position is kept between steps, so that the table may be read by others (a grid
// painting) in between.
class RecordWalk {
public:
    explicit RecordWalk(table::Table& books);
    uint32_t total() const { return total_; }
    uint32_t done() const { return done_; }
    bool finished() const { return done_ >= total_; }
    // Writes up to `maxRecords` records through `write`; true when the walk is complete.
    bool step(const std::function<void(const table::Table&)>& write, uint32_t maxRecords);

private:
    table::Table& books_;
    uint32_t total_ = 0;
    uint32_t done_ = 0;
    table::Table::Bookmark mark_ = 0;
};

} // namespace transfer
