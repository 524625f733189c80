// Export without its window: the configuration, the text of each value, and both output files.

#include "support_transfer.h"
#include "transfer/delimited_text.h"
#include "transfer/export_core.h"

#include "settings/settings.h"

#include <gtest/gtest.h>

namespace {

using namespace transfer;
using transfertest::Book;

ValueFormats formats(table::DateFormat::Order order = table::DateFormat::Order::MonthDayYear,
                     char separator = '/', char decimal = '.') {
    ValueFormats f;
    f.dateFormat.order = order;
    f.dateFormat.separator = separator;
    f.decimalSeparator = decimal;
    f.currentYear = 2026;
    return f;
}

TEST(ExportValues, DatesKeepTheirCenturyWhenTwoDigitsWouldNot) {
    struct Case {
        table::Date date;
        ValueFormats formats;
        std::string expected;
    };
    const auto dmy = formats(table::DateFormat::Order::DayMonthYear, '.');
    const std::vector<Case> cases = {
        {{1999, 12, 31}, formats(), "12/31/99"}, {{2026, 1, 2}, formats(), "1/2/26"},
        {{1935, 3, 4}, formats(), "3/4/1935"}, // "35" would read as 2035
        {{2050, 3, 4}, formats(), "3/4/2050"}, // "50" would read as 1950
        {{1946, 3, 4}, formats(), "3/4/46"},   // the window's first year
        {{1935, 3, 4}, dmy, "4.3.1935"},         {{}, formats(), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(exportDateText(c.date, c.formats), c.expected) << c.expected;
}

TEST(ExportValues, DecimalsInGeneralFormatWithTheDecimalSeparator) {
    EXPECT_EQ(exportDecimalText(12.5, '.'), "12.5");
    EXPECT_EQ(exportDecimalText(12.5, ','), "12,5");
    EXPECT_EQ(exportDecimalText(0, '.'), "0");
    EXPECT_EQ(exportDecimalText(-0.01, '.'), "-0.01");
    EXPECT_EQ(exportDecimalText(99999999.99, '.'), "99999999.99");
    EXPECT_EQ(exportDecimalText(1234567.8912, '.'), "1234567.8912");
}

TEST(ExportConfiguration, RowsBecomePositionsAndFlags) {
    app::Settings settings;
    EXPECT_EQ(exportedFields(settings).size(), 36u);
    std::vector<ExportRow> rows;
    for (int number = 36; number >= 1; --number)
        rows.push_back({number, number % 2 == 0});
    storeExportRows(settings, rows);
    const std::vector<int> numbers = exportedFields(settings);
    ASSERT_EQ(numbers.size(), 18u);
    EXPECT_EQ(numbers.front(), 36);
    EXPECT_EQ(numbers.back(), 2);
    EXPECT_EQ(settings.field(36).exportOrder, 1);
    // Positions that are no permutation still give every field once.
    for (int number = 1; number <= 36; ++number)
        settings.field(number).exportOrder = 7;
    const auto order = exportOrder(settings);
    EXPECT_EQ(order.front(), 1);
    EXPECT_EQ(order.back(), 36);
}

class ExportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = transfertest::createBookTable(dir_, {{{"Title", "Jane \"Eyre\""},
                                                      {"Author", "Br\xC3\xABnte, Charlotte"},
                                                      {"YearPub", "1847"},
                                                      {"Cost", "12.5"},
                                                      {"PurchDate", "3/4/1935"},
                                                      {"CheckDate", "12/31/99"}},
                                                     {{"Title", "  Blank Values  "}}});
        transfertest::openShared(books_, path_);
        fields_ = exportList({1, 2, 3, 7, 12, 18}, books_); // text, text, whole, decimal, dates
    }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
    std::vector<ExportField> fields_;
};

TEST_F(ExportFiles, RecordLinesHoldTheEditTextsInWindows1252) {
    books_.selectTag("");
    books_.first();
    ASSERT_EQ(fields_.size(), 6u);
    EXPECT_EQ(recordLine(books_, fields_, formats()),
              "\"Jane \"\"Eyre\"\"\",\"Br\xEBnte, Charlotte\",\"1847\",\"12.5\",\"3/4/1935\","
              "\"12/31/99\"\r\n");
    EXPECT_EQ(
        recordLine(books_, fields_, formats(table::DateFormat::Order::MonthDayYear, '/', ',')),
        "\"Jane \"\"Eyre\"\"\",\"Br\xEBnte, Charlotte\",\"1847\",\"12,5\",\"3/4/1935\","
        "\"12/31/99\"\r\n");
    books_.next();
    EXPECT_EQ(recordLine(books_, fields_, formats()),
              "\"Blank Values\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

TEST_F(ExportFiles, TextFileWritesEveryLineAndReportsAFullDisk) {
    const std::string out = dir_.file("OUT.TXT");
    {
        TextExportFile file(out);
        file.writeHeader({"Title", "Author"});
        RecordWalk walk(books_);
        EXPECT_EQ(walk.total(), 2u);
        while (!walk.step([&](const table::Table& t) { file.writeRecord(t, fields_, formats()); },
                          1)) {
        }
        file.close();
    }
    const std::string text = transfertest::fileText(out);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);
    EXPECT_TRUE(text.starts_with("\"Title\",\"Author\"\r\n"));

    TextExportFile full("/dev/full");
    books_.first();
    try {
        full.writeRecord(books_, fields_, formats());
        FAIL() << "a full disk must stop the export";
    } catch (const TransferError& error) {
        EXPECT_NE(std::string(error.what()).find("No space left on device"), std::string::npos);
    }
    EXPECT_THROW(TextExportFile(dir_.file("no/such/dir.txt")), TransferError);
}

TEST_F(ExportFiles, DbaseFileHoldsTheValuesThemselves) {
    const std::string out = dir_.file("OUT.DBF");
    {
        DbfExportFile file(out, fields_);
        RecordWalk walk(books_);
        walk.step([&](const table::Table& t) { file.writeRecord(t); }, 100);
        file.close();
    }
    table::Table back;
    back.setDirectory(dir_.path().string());
    back.setTableName("OUT.DBF");
    back.setOpenMode(table::OpenMode::ReadOnly);
    back.open();
    ASSERT_EQ(back.fieldCount(), 6);
    EXPECT_EQ(back.fieldDescriptor(2).name, "YEARPUB");
    EXPECT_EQ(back.fieldDescriptor(0).length, 90u);
    back.first();
    EXPECT_EQ(back.asText(0), "Jane \"Eyre\"");
    EXPECT_EQ(back.asText(1), "Br\xC3\xABnte, Charlotte");
    EXPECT_EQ(back.asNumber(2), 1847);
    EXPECT_EQ(back.asNumber(3), 12.5);
    EXPECT_EQ(back.asDate(4), (table::Date{1935, 3, 4}));
    EXPECT_EQ(back.asDate(5), (table::Date{1999, 12, 31}));
    back.next();
    EXPECT_TRUE(back.isBlank(2));
    EXPECT_TRUE(back.isBlank(4));
    back.next();
    EXPECT_TRUE(back.eof());
}

} // namespace
