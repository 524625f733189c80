// Import without its windows: the value rules, the map, text and dBASE sources, round trips
// through export, encodings, foreign samples and a killed import.

#include "support_transfer.h"
#include "transfer/export_core.h"
#include "transfer/import_core.h"

#include "db/book_database.h"
#include "db/field_catalogue.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace transfer;
namespace fs = std::filesystem;

ImportFormats importFormats(char decimal = '.', table::DateFormat date = {}) {
    ImportFormats f;
    f.decimalSeparator = decimal;
    f.dateFormat = date;
    f.currentYear = 2026;
    return f;
}

std::vector<int> identityMap(int count) {
    std::vector<int> map;
    for (int n = 1; n <= count; ++n)
        map.push_back(n <= db::kFieldCount ? n : 0);
    return map;
}

uint32_t runAll(ImportRun& run) {
    while (!run.step(7)) {
    }
    return run.count();
}

TEST(ImportValues, WholeNumbersDecimalsAndDates) {
    EXPECT_EQ(lenientWholeNumber("12abc"), 12);
    EXPECT_EQ(lenientWholeNumber(""), 0);
    EXPECT_EQ(lenientWholeNumber("  -5x"), -5);
    EXPECT_EQ(lenientWholeNumber("+7"), 7);
    EXPECT_EQ(lenientWholeNumber("abc"), 0);
    EXPECT_EQ(lenientWholeNumber("99999999999999999999999"),
              lenientWholeNumber("999999999999999999"));

    struct Decimal {
        const char* text;
        char separator;
        double value;
    };
    for (const Decimal& d : std::vector<Decimal>{{"12.5", '.', 12.5},
                                                 {"12,5", ',', 12.5},
                                                 {"12.5", ',', 12.5},
                                                 {"12,5", '.', 12},
                                                 {"12.5abc", '.', 12.5},
                                                 {"abc", '.', 0},
                                                 {"", '.', 0},
                                                 {" -.5", '.', -0.5},
                                                 {"1e3", '.', 1000},
                                                 {"1e", '.', 1},
                                                 {".", '.', 0}})
        EXPECT_DOUBLE_EQ(lenientDecimal(d.text, d.separator), d.value) << d.text;

    const ImportFormats f = importFormats();
    struct DateCase {
        const char* text;
        bool isDate;
        std::optional<table::Date> value;
    };
    for (const DateCase& d : std::vector<DateCase>{{"3/4/1935", true, table::Date{1935, 3, 4}},
                                                   {"3/4/35", true, table::Date{2035, 3, 4}},
                                                   {"12/31/99", true, table::Date{1999, 12, 31}},
                                                   {"March 4/1935", false, std::nullopt},
                                                   {"19350304", false, std::nullopt},
                                                   {"3-4-35", false, std::nullopt},
                                                   {"", false, std::nullopt},
                                                   {"2/30/99", true, std::nullopt},
                                                   {"/", true, std::nullopt}}) {
        const ImportDate got = readImportDate(d.text, f);
        EXPECT_EQ(got.isDate, d.isDate) << d.text;
        EXPECT_EQ(got.value, d.value) << d.text;
    }
}

TEST(ImportEncoding, TheWholeFileDecides) {
    const auto span = [](const std::string& text) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    };
    EXPECT_FALSE(detectEncoding(span("\"plain ASCII\"")).utf8);
    EXPECT_TRUE(detectEncoding(span("\"Brontë\"")).utf8);
    EXPECT_EQ(detectEncoding(span("\xEF\xBB\xBF\"x\"")).skip, 3u);
    EXPECT_FALSE(detectEncoding(span("\"Br\xEBnte\"")).utf8);
    EXPECT_FALSE(detectEncoding(span("\xC0\x80")).utf8); // an overlong form is no UTF-8
    // Valid UTF-8 up to a Windows-1252 é far into the file: looked at in small steps, the
    // answer comes only at that byte.
    const std::string late = "\"Brontë\"\r\n" + std::string(1000, 'x') + "\xE9";
    EncodingScan scan(span(late));
    EXPECT_FALSE(scan.step(100));
    int steps = 1;
    while (!scan.step(100))
        ++steps;
    EXPECT_GE(steps, 9);
    EXPECT_FALSE(scan.result().utf8);
}

TEST(ImportMap, RowsOneTo36MapTheirPositionWhenUsed) {
    std::vector<MappingRow> rows(40);
    rows[0] = {2, true};  // position 2 -> field 1
    rows[1] = {1, false}; // position 1 shown but not used
    rows[2] = {3, true};  // position 3 -> field 3
    rows[38] = {4, true}; // a row without a book field
    EXPECT_EQ(buildImportMap(rows, 4), (std::vector<int>{0, 1, 3, 0}));
}

class ImportIntoBooks : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = transfertest::createBookTable(dir_, {});
        transfertest::openShared(books_, path_);
    }
    std::string writeText(const std::string& name, const std::string& bytes) {
        const std::string path = dir_.file(name);
        transfertest::writeFile(path, bytes);
        return path;
    }
    std::string text(const char* field, int record) {
        books_.selectTag("");
        books_.refresh();
        books_.first();
        for (int i = 0; i < record; ++i)
            books_.next();
        return books_.asText(books_.fieldIndexOrThrow(field));
    }

    // Whether another handle can open the table now: an import holds it only while it runs.
    bool othersCanOpen() {
        table::Table other;
        try {
            transfertest::openShared(other, path_);
        } catch (const table::TableError&) {
            return false;
        }
        return true;
    }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
};

TEST_F(ImportIntoBooks, TextLinesBecomeRecordsByTheMap) {
    const std::string file =
        writeText("IN.TXT", "\"Title\",\"Year\",\"Cost\",\"Bought\"\r\n"
                            "\"" +
                                std::string(120, 'T') +
                                "\",\"12abc\",\"3.25\",\"March 1\"\r\n"
                                "\r\n"
                                "\"Second\",\"\",\"\",\"3/4/1935\",\"surplus\"\r\n"
                                "\"Third\"");
    const TextSource source = inspectTextFile(file);
    ASSERT_EQ(source.error, FirstLineError::None);
    ASSERT_EQ(source.labels, (std::vector<std::string>{"Title", "Year", "Cost", "Bought"}));
    auto run = startTextImport(books_, file, {1, 3, 7, 12}, true, importFormats());
    EXPECT_EQ(runAll(*run), 3u);
    EXPECT_TRUE(othersCanOpen());
    EXPECT_EQ(text("Title", 0), std::string(90, 'T'));
    EXPECT_EQ(text("YearPub", 0), "12");
    EXPECT_EQ(text("Cost", 0), "3.25");
    EXPECT_EQ(text("PurchDate", 0), "");
    EXPECT_EQ(text("YearPub", 1), "0");
    EXPECT_EQ(text("PurchDate", 1), "3/4/35"); // 1935 itself, shown in the two-digit format
    books_.first();
    books_.next();
    EXPECT_EQ(books_.asDate(books_.fieldIndexOrThrow("PurchDate")), (table::Date{1935, 3, 4}));
    EXPECT_EQ(text("Title", 2), "Third");
    EXPECT_EQ(text("Author", 2), "");
}

TEST_F(ImportIntoBooks, AnInvalidDateStopsTheImportNamingTheLine) {
    const std::string file =
        writeText("IN.TXT", "\"A\",\"1/2/99\"\r\n\"B\",\"2/30/99\"\r\n\"C\",\"1/2/99\"\r\n");
    auto run = startTextImport(books_, file, {1, 12}, false, importFormats());
    ASSERT_FALSE(run->step(1));
    EXPECT_FALSE(othersCanOpen());
    try {
        runAll(*run);
        FAIL() << "the import went on";
    } catch (const TransferError& error) {
        EXPECT_EQ(std::string(error.what()), "'2/30/99' is not a valid date (line 2, field 2).");
    }
    EXPECT_TRUE(othersCanOpen());
    EXPECT_EQ(run->count(), 1u);
    EXPECT_EQ(transfertest::column(books_), (std::vector<std::string>{"A"}));
    EXPECT_EQ(books_.state(), table::Table::State::Browse);
}

TEST_F(ImportIntoBooks, Utf8AndWindows1252FilesWithAccentedNames) {
    const std::string utf8 = writeText("U.TXT", "\"Brontë\",\"Müller\"\r\n");
    const std::string bom = writeText("B.TXT", "\xEF\xBB\xBF\"Title\"\r\n\"Żółw\"\r\n");
    const std::string cp1252 = writeText("W.TXT", "\"Bront\xEB\",\"M\xFCller\"\r\n");
    EXPECT_TRUE(inspectTextFile(utf8).utf8);
    EXPECT_FALSE(inspectTextFile(cp1252).utf8);
    EXPECT_EQ(inspectTextFile(cp1252).labels[0], "Brontë");
    EXPECT_EQ(inspectTextFile(bom).labels[0], "Title");
    for (const std::string& file : {utf8, cp1252}) {
        auto run = startTextImport(books_, file, {1, 2}, false, importFormats());
        EXPECT_EQ(runAll(*run), 1u);
    }
    EXPECT_EQ(transfertest::column(books_), (std::vector<std::string>{"Brontë", "Brontë"}));
    EXPECT_EQ(transfertest::column(books_, "Author"),
              (std::vector<std::string>{"Müller", "Müller"}));
    // Ż has no byte in Windows-1252: the import stops there, saying where.
    auto run = startTextImport(books_, bom, {1}, true, importFormats());
    try {
        runAll(*run);
        FAIL() << "a character the table cannot hold was stored";
    } catch (const TransferError& error) {
        EXPECT_NE(std::string(error.what()).find("line 2, field 1"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(books_.recordCount(), 2u);
}

// Every field kind out through export and back in, under two date formats and a comma.
TEST_F(ImportIntoBooks, ExportThenImportKeepsEveryValue) {
    const std::string source = transfertest::createBookTable(dir_,
                                                             {{{"Title", "Jane \"Eyre\", a novel"},
                                                               {"Author", "Brontë"},
                                                               {"YearPub", "1847"},
                                                               {"Pages", "-3"},
                                                               {"Cost", "12.5"},
                                                               {"Value", "0.0001"},
                                                               {"LowMarket", "99999999.99"},
                                                               {"PurchDate", "3/4/1935"},
                                                               {"CheckDate", "12/31/2099"},
                                                               {"UserDef6", "last"}},
                                                              {{"Title", "Blank"}}},
                                                             "SOURCE.DBF");
    table::Table from;
    transfertest::openShared(from, source);
    from.selectTag("");
    from.close();
    from.open();
    table::DateFormat dmy4;
    dmy4.order = table::DateFormat::Order::DayMonthYear;
    dmy4.separator = '.';
    dmy4.fourDigitYear = true;
    std::vector<int> all = identityMap(db::kFieldCount);
    for (const auto& [date, decimal] :
         {std::pair{table::DateFormat{}, ','}, std::pair{dmy4, '.'}}) {
        ValueFormats out;
        out.dateFormat = date;
        out.decimalSeparator = decimal;
        out.currentYear = 2026;
        const std::string file = dir_.file("ROUND.TXT");
        {
            TextExportFile text(file);
            text.writeHeader({"header"});
            const auto fields = exportList(all, from);
            RecordWalk walk(from);
            walk.step([&](const table::Table& t) { text.writeRecord(t, fields, out); }, 10);
            text.close();
        }
        const std::string target =
            transfertest::createBookTable(dir_, {}, decimal == ',' ? "A.DBF" : "B.DBF");
        table::Table into;
        transfertest::openShared(into, target);
        auto run = startTextImport(into, file, all, true, importFormats(decimal, date));
        ASSERT_EQ(runAll(*run), 2u);
        into.selectTag("");
        into.refresh();
        from.first();
        into.first();
        for (int f = 0; f < db::kFieldCount; ++f) {
            const bool numberOrDate = db::fieldByNumber(f + 1)->kind != db::FieldKind::Text;
            if (numberOrDate && from.isBlank(f))
                continue; // an empty number imports as 0, as the rules say
            EXPECT_EQ(into.asText(f), from.asText(f)) << db::fieldByNumber(f + 1)->name;
        }
        EXPECT_EQ(into.asText(0), "Jane \"Eyre\", a novel");
        EXPECT_EQ(into.asDate(11), (table::Date{1935, 3, 4}));
        EXPECT_EQ(into.asDate(17), (table::Date{2099, 12, 31}));
    }
}

TEST_F(ImportIntoBooks, DbaseSourceCopiesDatesAsDates) {
    const std::string source = transfertest::createBookTable(
        dir_, {{{"Title", "Old"}, {"PurchDate", "3/4/1935"}, {"Cost", "2.5"}}}, "OLD.DBF");
    const std::vector<std::string> labels = inspectDbfFile(source);
    ASSERT_EQ(labels.size(), 36u);
    EXPECT_EQ(labels[0], "TITLE");
    auto run = startDbfImport(books_, source, identityMap(36), importFormats());
    EXPECT_EQ(runAll(*run), 1u);
    books_.first();
    EXPECT_EQ(books_.asDate(books_.fieldIndexOrThrow("PurchDate")), (table::Date{1935, 3, 4}));
    EXPECT_EQ(books_.asText(books_.fieldIndexOrThrow("Cost")), "2.5");
    // The open table itself is no source: reading it while appending would never end.
    EXPECT_THROW(startDbfImport(books_, path_, identityMap(36), importFormats()), TransferError);
}

TEST_F(ImportIntoBooks, EveryForeignSampleImportsOrIsRefusedWithAMessage) {
    VOLUMARA_REQUIRE_SAMPLES();
    size_t imported = 0;
    for (const auto& entry : fs::recursive_directory_iterator(testsupport::samplesDir())) {
        const std::string extension = entry.path().extension().string();
        if (extension != ".dbf" && extension != ".DBF")
            continue;
        SCOPED_TRACE(entry.path().string());
        try {
            const auto labels = inspectDbfFile(entry.path().string());
            auto run =
                startDbfImport(books_, entry.path().string(),
                               identityMap(static_cast<int>(labels.size())), importFormats());
            runAll(*run);
            ++imported;
        } catch (const std::exception& error) {
            EXPECT_GT(std::string(error.what()).size(), 10u); // a message, not a crash
            EXPECT_EQ(books_.state(), table::Table::State::Browse);
        }
    }
    EXPECT_GE(imported, 20u);
    books_.refresh();
    EXPECT_GT(books_.recordCount(), 1000u);
}

// A killed import leaves a table that opens, holds every record posted (each one whole, in
// file order), and an index over exactly those records.
TEST_F(ImportIntoBooks, KilledImportLosesNothingPosted) {
    books_.close();
    {
        table::Table handle;
        handle.setDirectory(dir_.path().string());
        handle.setTableName("BOOKS.DBF");
        db::installIndex(handle, db::buildSortExpression({2, 0, 0, 0}));
    }
    std::string lines;
    for (int i = 0; i < 200000; ++i)
        lines += "\"Title " + std::to_string(i) + "\",\"Author " + std::to_string(i * 7919 % 1000) +
                 "\"\r\n";
    const std::string file = writeText("BIG.TXT", lines);
    int reports[2];
    ASSERT_EQ(::pipe(reports), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(reports[0]);
        table::Table into;
        transfertest::openShared(into, path_);
        auto run = startTextImport(into, file, {1, 2}, false, importFormats());
        while (!run->step(50)) { // after each step: how many records are posted
            const uint32_t posted = run->count();
            if (::write(reports[1], &posted, sizeof posted) != sizeof posted)
                break;
        }
        ::_exit(0);
    }
    ::close(reports[1]);
    uint32_t posted = 0;
    while (posted < 2000)
        ASSERT_EQ(::read(reports[0], &posted, sizeof posted), ssize_t(sizeof posted));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    for (uint32_t later = 0; ::read(reports[0], &later, sizeof later) == sizeof later;)
        posted = later; // reported before the kill landed
    ::close(reports[0]);

    transfertest::openShared(books_, path_);
    const uint32_t count = books_.recordCount();
    EXPECT_GE(count, posted);
    EXPECT_LT(count, 200000u);
    uint32_t recno = 0;
    for (books_.first(); !books_.eof(); books_.next())
        ASSERT_EQ(books_.asText(0), "Title " + std::to_string(recno++));
    EXPECT_EQ(recno, count);
    books_.selectTag("NewIndex");
    books_.refresh();
    uint32_t walked = 0;
    std::string previous;
    for (books_.first(); !books_.eof(); books_.next(), ++walked) {
        std::string author = books_.asText(1);
        EXPECT_LE(previous, author);
        previous = author;
    }
    EXPECT_EQ(walked, count);
}

} // namespace
