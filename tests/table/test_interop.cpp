// Our book tables must read the same in other dBASE readers, and tables other programs write
// must read the same in ours. Each direction compares every field of every record in one
// normalised text form (see interop/normalise.py); a reader that is not installed is skipped.

#include "../../bench/table_bench_fields.h"
#include "support/temp_dir.h"
#include "table/table.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sys/wait.h>

namespace {

using Row = std::vector<std::string>; // one record, every field in normalised form

const std::vector<table::FieldDef>& fields() {
    return benchfixture::bookFields();
}

// Every character here has a byte in Windows-1252; none starts with a blank, because some
// readers drop leading blanks and the program trims typed values anyway.
const std::vector<std::string> kTexts = {"",
                                         "Brontë, Charlotte",
                                         "Müller & Söhne",
                                         "Smith, John",
                                         "trailing blanks   ",
                                         "O'Brien \"The Quiet\"",
                                         "comma, semicolon; colon:",
                                         "½ price £5 €3 ©",
                                         "Œuvres complètes — Tome II",
                                         "ÀÉÎÕÜ àéîõü ÿ ß Æ Ø Å ñ ç",
                                         "Škoda Žižek š ž",
                                         "inner  double  blanks",
                                         "x",
                                         "00123"};
const std::vector<std::string> kWholeNumbers = {
    "", "0", "1", "-1", "1850", "2025", "99999999", "-9999999", "12345678", "-12345678"};
const std::vector<std::string> kDecimalNumbers = {
    "",        "0.0000",     "0.0100",        "-0.0100",      "12.3400",
    "19.9900", "-1234.5600", "99999999.9900", "1234567.8900", "0.5000"};
const std::vector<std::string> kDates = {"",         "20000229", "20240229", "19000301",
                                         "18500101", "19991231", "20251231", "19040229",
                                         "21000228", "19700101"};

// Cuts UTF-8 text to `width` characters (all of them single bytes in the file's code page).
std::string cutToWidth(const std::string& utf8, size_t width) {
    size_t characters = 0;
    for (size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) != 0x80 && characters++ == width)
            return utf8.substr(0, i);
    }
    return utf8;
}

std::string trimTrailingBlanks(std::string text) {
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// A text that fills the field exactly, with accented letters up to the last position.
std::string fullWidthText(size_t width) {
    std::string text;
    for (size_t i = 0; i < width; ++i)
        text += (i % 3 == 2) ? "é" : "W";
    return text;
}

Row makeRow(int recordIndex) {
    Row row;
    for (size_t f = 0; f < fields().size(); ++f) {
        const table::FieldDef& def = fields()[f];
        // Strides differ per field so that the records mix the pools' values differently.
        size_t pick = static_cast<size_t>(recordIndex) * (f + 3) + f * 7;
        bool blank = recordIndex == 0;
        bool extreme = recordIndex == 1;
        std::string value;
        if (def.type == 'C')
            value = extreme ? fullWidthText(def.length) : kTexts[pick % kTexts.size()];
        else if (def.type == 'N')
            value = extreme ? "99999999" : kWholeNumbers[pick % kWholeNumbers.size()];
        else if (def.type == 'F')
            value = extreme ? "-99999999.9900" : kDecimalNumbers[pick % kDecimalNumbers.size()];
        else
            value = extreme ? "20000229" : kDates[pick % kDates.size()];
        if (def.type == 'C')
            value = trimTrailingBlanks(cutToWidth(value, def.length));
        row.push_back(blank ? "" : value);
    }
    return row;
}

std::vector<Row> makeRows(int count) {
    std::vector<Row> rows;
    for (int r = 0; r < count; ++r)
        rows.push_back(makeRow(r));
    return rows;
}

void setField(table::Table& books, int index, char type, const std::string& value) {
    if (value.empty())
        books.setBlank(index);
    else if (type == 'C')
        books.setText(index, value);
    else if (type == 'D')
        books.setDate(index, table::parseDtos(value));
    else
        books.setNumber(index, std::stod(value));
}

void openTable(table::Table& books, const std::string& path, table::OpenMode mode) {
    std::filesystem::path file(path);
    books.setDirectory(file.parent_path().string());
    books.setTableName(file.filename().string());
    books.setOpenMode(mode);
    books.open();
}

void writeWithEngine(const std::string& path, const std::vector<Row>& rows) {
    table::Table::create(path, fields());
    table::Table books;
    openTable(books, path, table::OpenMode::Exclusive);
    for (const Row& row : rows) {
        books.append();
        for (size_t f = 0; f < row.size(); ++f)
            setField(books, static_cast<int>(f), fields()[f].type, row[f]);
        books.post();
    }
    books.close();
}

std::string normalisedField(const table::Table& books, int index) {
    const table::FieldDescriptor& field = books.fieldDescriptor(index);
    if (field.type == 'C')
        return books.asText(index);
    if (books.isBlank(index))
        return "";
    if (field.type == 'D')
        return table::toDtos(books.asDate(index));
    std::array<char, 64> buffer{};
    std::snprintf(buffer.data(), buffer.size(), field.decimals == 0 ? "%.0f" : "%.4f",
                  books.asNumber(index));
    return buffer.data();
}

std::vector<Row> readWithEngine(const std::string& path) {
    table::Table books;
    books.selectTag("");
    openTable(books, path, table::OpenMode::ReadOnly);
    std::vector<Row> rows;
    for (books.first(); !books.eof(); books.next()) {
        Row row;
        for (int f = 0; f < books.fieldCount(); ++f)
            row.push_back(normalisedField(books, f));
        rows.push_back(std::move(row));
    }
    return rows;
}

// --- The normalised tab-separated form shared with the scripts --------------------------------

std::string escapeField(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

Row parseDumpLine(const std::string& line) {
    Row row(1);
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\t') {
            row.emplace_back();
        } else if (line[i] == '\\' && i + 1 < line.size()) {
            char escaped = line[++i];
            row.back() += escaped == 't' ? '\t' : escaped == 'n' ? '\n' : escaped;
        } else {
            row.back() += line[i];
        }
    }
    return row;
}

std::vector<Row> parseDump(const std::string& dump) {
    std::vector<Row> rows;
    size_t start = 0;
    while (start < dump.size()) {
        size_t end = dump.find('\n', start);
        if (end == std::string::npos)
            end = dump.size();
        rows.push_back(parseDumpLine(dump.substr(start, end - start)));
        start = end + 1;
    }
    return rows;
}

// The rows with a first line of NAME:TYPE:LENGTH:DECIMALS, for the writer scripts.
void writeDescription(const std::string& path, const std::vector<Row>& rows) {
    std::ofstream out(path, std::ios::binary);
    for (size_t f = 0; f < fields().size(); ++f) {
        const table::FieldDef& def = fields()[f];
        out << (f > 0 ? "\t" : "") << def.name << ':' << def.type << ':' << def.length << ':'
            << int(def.decimals);
    }
    out << '\n';
    for (const Row& row : rows) {
        for (size_t f = 0; f < row.size(); ++f)
            out << (f > 0 ? "\t" : "") << escapeField(row[f]);
        out << '\n';
    }
}

// --- Running the other programs ------------------------------------------------------------

std::string shellQuoted(const std::string& text) {
    std::string out = "'";
    for (char c : text)
        out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

bool commandSucceeds(const std::string& command) {
    int status = std::system((command + " >/dev/null 2>&1").c_str());
    return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Debian's readers live in the system interpreter, which may not be the first on PATH.
std::string pythonWith(const std::string& module) {
    for (const char* candidate : {"/usr/bin/python3", "python3"})
        if (commandSucceeds(std::string(candidate) + " -c " + shellQuoted("import " + module)))
            return candidate;
    return "";
}

bool gdalInstalled() {
    return commandSucceeds("ogr2ogr --version");
}

std::string interopScript(const std::string& name) {
    return std::string(VOLUMARA_SOURCE_DIR) + "/tests/table/interop/" + name;
}

// Runs a script and returns its standard output; fails the test when the script fails.
std::string runScript(const std::string& python, const std::string& script,
                      const std::vector<std::string>& arguments) {
    std::string command = python + " " + shellQuoted(interopScript(script));
    for (const std::string& argument : arguments) {
        command += ' ';
        command += shellQuoted(argument);
    }
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return output;
    }
    std::array<char, 4096> buffer{};
    size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.append(buffer.data(), got);
    int status = pclose(pipe);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command << " failed";
    return output;
}

void expectSameRecords(const std::vector<Row>& expected, const std::vector<Row>& actual,
                       const std::string& reader) {
    ASSERT_EQ(actual.size(), expected.size()) << reader << ": record count";
    int reported = 0;
    for (size_t r = 0; r < expected.size() && reported < 20; ++r) {
        ASSERT_EQ(actual[r].size(), expected[r].size()) << reader << ": fields of record " << r;
        for (size_t f = 0; f < expected[r].size() && reported < 20; ++f) {
            if (actual[r][f] == expected[r][f])
                continue;
            ++reported;
            ADD_FAILURE() << reader << ": record " << r << " field " << fields()[f].name
                          << "\n  expected [" << expected[r][f] << "]\n  actual   [" << actual[r][f]
                          << "]";
        }
    }
}

class InteropTest : public ::testing::Test {
protected:
    void SetUp() override { rows_ = makeRows(300); }

    std::string writeOurTable() {
        std::string path = folder_.file("BOOKS.DBF");
        writeWithEngine(path, rows_);
        return path;
    }

    testsupport::TempDir folder_;
    std::vector<Row> rows_;
};

TEST_F(InteropTest, OurTableReadsBackInTheEngine) {
    std::string path = writeOurTable();
    expectSameRecords(rows_, readWithEngine(path), "engine");
}

TEST_F(InteropTest, OtherReadersSeeEveryFieldOfOurTable) {
    std::string path = writeOurTable();
    std::string dbfreadPython = pythonWith("dbfread");
    std::string dbfPython = pythonWith("dbf");
    if (dbfreadPython.empty() && dbfPython.empty() && !gdalInstalled())
        GTEST_SKIP() << "none of dbfread, dbf or GDAL is installed";
    if (!dbfreadPython.empty()) {
        SCOPED_TRACE("dbfread");
        expectSameRecords(rows_, parseDump(runScript(dbfreadPython, "dump_dbfread.py", {path})),
                          "dbfread");
    }
    if (!dbfPython.empty()) {
        SCOPED_TRACE("dbf");
        expectSameRecords(rows_, parseDump(runScript(dbfPython, "dump_dbf.py", {path})), "dbf");
    }
    if (gdalInstalled()) {
        SCOPED_TRACE("GDAL");
        expectSameRecords(rows_, parseDump(runScript(pythonWith("csv"), "dump_ogr.py", {path})),
                          "GDAL");
    }
}

TEST_F(InteropTest, EngineReadsTableWrittenByPythonDbf) {
    std::string python = pythonWith("dbf");
    if (python.empty())
        GTEST_SKIP() << "the dbf package is not installed";
    std::string description = folder_.file("rows.tsv");
    std::string path = folder_.file("PYDBF.DBF");
    writeDescription(description, rows_);
    runScript(python, "write_dbf.py", {description, path});
    expectSameRecords(rows_, readWithEngine(path), "engine on a dbf-package table");
}

// GDAL writes a missing number as a field of asterisks (and a missing date as zeros); the
// asterisks are dBASE's overflow mark too, and must not read as 0.
std::vector<Row> withoutBlankNumbers(std::vector<Row> rows) {
    for (Row& row : rows)
        for (size_t f = 0; f < row.size(); ++f)
            if (row[f].empty() && (fields()[f].type == 'N' || fields()[f].type == 'F'))
                row[f] = fields()[f].decimals == 0 ? "7" : "7.2500";
    return rows;
}

std::vector<Row> readGdalWrittenTable(const testsupport::TempDir& folder,
                                      const std::vector<Row>& rows) {
    std::string description = folder.file("rows.tsv");
    std::string path = folder.file("gdal.dbf");
    writeDescription(description, rows);
    runScript(pythonWith("csv"), "write_ogr.py", {description, path});
    return readWithEngine(path);
}

TEST_F(InteropTest, EngineReadsTableWrittenByGdal) {
    if (!gdalInstalled())
        GTEST_SKIP() << "GDAL is not installed";
    std::vector<Row> rows = withoutBlankNumbers(rows_);
    expectSameRecords(rows, readGdalWrittenTable(folder_, rows), "engine on a GDAL table");
}

TEST_F(InteropTest, EngineReadsGdalMissingNumbersAsBlank) {
    if (!gdalInstalled())
        GTEST_SKIP() << "GDAL is not installed";
    expectSameRecords(rows_, readGdalWrittenTable(folder_, rows_),
                      "engine on a GDAL table with missing numbers");
}

} // namespace
