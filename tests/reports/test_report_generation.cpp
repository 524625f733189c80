// Report generation in text-file mode over small book tables whose totals, groups and page
// breaks are known in advance, and the same runs into a page store.

#include "report_engine/page_store.h"
#include "report_engine/pdf_file_device.h"
#include "reports/report_builtins.h"
#include "reports/report_generator_first_page.h"
#include "support_report_books.h"

#include "table/date_format.h"

#include "support/gui/qt_print.h"

#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPageSize>
#include <QPainter>

#include <limits>

namespace {

using namespace reports;
using reporttest::Book;

constexpr db::SortLevels kByCategory{5, 0, 0, 0};

class ReportGeneration : public ::testing::Test {
protected:
    void SetUp() override { table::setCurrentDateFormat(table::DateFormat{}); }

    void open(const std::vector<Book>& books, const db::SortLevels& levels = kByCategory) {
        reporttest::openBookTable(table_, dir_, books, levels);
        context_ = reporttest::testContext(levels);
    }
    reporttest::TextRun run(const ReportDefinition& d) {
        return reporttest::runText(d, table_, context_, dir_);
    }

    testsupport::TempDir dir_;
    table::Table table_;
    ReportContext context_;
};

std::vector<Book> fourBooks() {
    return {
        {{"Title", "Alpha"},
         {"Author", "Ames"},
         {"Category", "Art"},
         {"YearPub", "1990"},
         {"Cost", "10"},
         {"Value", "20"},
         {"LowMarket", "5"},
         {"HighMarket", "30"},
         {"Pages", "1200"}},
        {{"Title", "Gamma"},
         {"Category", "History"},
         {"Cost", "100"},
         {"Value", "150"},
         {"LowMarket", "90"},
         {"HighMarket", "200"}},
        {{"Title", "Beta"},
         {"Category", "Art"},
         {"Cost", "2.5"},
         {"Value", "3"},
         {"LowMarket", "1"},
         {"HighMarket", "4"}},
        {{"Title", "Delta"},
         {"Category", "Science"},
         {"Cost", "1000.25"},
         {"Value", "2000"},
         {"LowMarket", "1500"},
         {"HighMarket", "2500"}},
    };
}

// `count` books in three categories of sizes count/2, count/3 and the rest; book i costs i,
// is worth 2i, and has low and high market values of 0.5 and 100.
std::vector<Book> manyBooks(int count) {
    std::vector<Book> books;
    for (int i = 1; i <= count; ++i) {
        const char* category = i <= count / 2               ? "Art"
                               : i <= count / 2 + count / 3 ? "History"
                                                            : "Science";
        books.push_back({{"Title", "Book " + std::to_string(i)},
                         {"Author", "Author " + std::to_string(i % 7)},
                         {"Category", category},
                         {"YearPub", std::to_string(1900 + i)},
                         {"Cost", std::to_string(i)},
                         {"Value", std::to_string(2 * i)},
                         {"LowMarket", "0.5"},
                         {"HighMarket", "100"},
                         {"Pages", "1500"},
                         {"Descriptio", std::string(110, 'd')}});
    }
    return books;
}

QString centred(const QString& text, int width = 90) {
    return QString((width - text.size()) / 2, QLatin1Char(' ')) + text;
}

QStringList heading(const QString& text, int width = 90) {
    const QString dashes(text.size(), QLatin1Char('-'));
    return {QString(), centred(dashes, width), centred(text, width), centred(dashes, width)};
}

// The group names of the headings, in order.
QStringList headings(const QStringList& lines) {
    QStringList names;
    for (qsizetype i = 1; i + 2 < lines.size(); ++i) {
        const QString dashes = lines[i].trimmed();
        if (!dashes.isEmpty() && dashes.count(QLatin1Char('-')) == dashes.size() &&
            lines[i - 1].isEmpty() && lines[i + 2] == lines[i])
            names.append(lines[i + 1].trimmed());
    }
    return names;
}

TEST_F(ReportGeneration, SummaryReportTextIsExact) {
    open(fourBooks());
    const auto result = run(builtInReports()[7]);
    QStringList expected;
    expected << heading("Art") << centred("TOTALS")
             << "     Cost: 12.50         Value: 23.00         Low Market: 6.00          High "
                "Market: 34.00"
             << heading("History") << centred("TOTALS")
             << "     Cost: 100.00        Value: 150.00        Low Market: 90.00         High "
                "Market: 200.0"
             << heading("Science") << centred("TOTALS")
             << "     Cost: 1,000.25      Value: 2,000.00      Low Market: 1,500.00      High "
                "Market: 2,500"
             << QString() << centred("GRAND TOTALS")
             << "     Cost: 1,112.75      Value: 2,173.00      Low Market: 1,596.00      High "
                "Market: 2,734"
             << QString() << QStringLiteral("Page 1          3/7/26\f");
    EXPECT_EQ(result.lines, expected);
}

TEST_F(ReportGeneration, ShortNarrowReportLinesAndHeaders) {
    open(fourBooks());
    ReportDefinition d = builtInReports()[0];
    d.titles[0] = QStringLiteral("My Books");
    d.dateOnPage = false;
    d.useTotals = false;
    const auto result = run(d);
    ASSERT_GE(result.lines.size(), 8);
    EXPECT_EQ(result.lines[0], "My Books");
    // Title 59, YearPub 5, Author 26 (cut from 27 to the width of 90).
    EXPECT_EQ(result.lines[1],
              QString("Title").leftJustified(59) + "Year " + QString("Author").leftJustified(26));
    EXPECT_EQ(result.lines.mid(2, 4), heading("Art"));
    EXPECT_EQ(result.lines[6],
              QString("Alpha").leftJustified(59) + "1990 " + QString("Ames").leftJustified(26));
    EXPECT_EQ(headings(result.lines), (QStringList{"Art", "History", "Science"}));
    EXPECT_FALSE(result.text.contains("TOTALS"));
    EXPECT_EQ(result.lines.last(), QStringLiteral("Page 1     \f"));
}

TEST_F(ReportGeneration, NumbersUseTheDisplayFormats) {
    open(fourBooks());
    ReportDefinition d = standardDefaults();
    d.columnHeaders = false;
    d.useTotals = false;
    d.groupLevel1 = false;
    d.line(1) = lineOf({fieldPart("Cost", 10), fieldPart("YearPub", 6), fieldPart("Pages", 7),
                        fieldPart("Title", 8)});
    const auto result = run(d);
    EXPECT_EQ(result.lines[0], "10.00     1990  1,200  Alpha   ");
    // Blank numbers print nothing.
    EXPECT_EQ(result.lines[1], "2.50      " + QString(13, ' ') + "Beta    ");
}

TEST_F(ReportGeneration, MultiLineLabelsAreRightAlignedAndCut) {
    open(fourBooks());
    ReportDefinition d = builtInReports()[1];
    d.line(1) = lineOf({labelPart("Title:", 8), fillerPart(1), fieldPart("Title", 10),
                        labelPart("A label wider than its cell", 7)});
    d.line(2) = lineOf({labelPart("By:", 5), fieldPart("Author", 6)});
    d.useTotals = false;
    const auto result = run(d);
    // No column header row for a multi-line report; two lines per book after the heading.
    EXPECT_EQ(result.lines.mid(0, 4), heading("Art", 120));
    EXPECT_EQ(result.lines[4], "  Title: Alpha     A label");
    EXPECT_EQ(result.lines[5], "  By:Ames  ");
}

TEST_F(ReportGeneration, EmptyViewPrintsOnePageOfZeroTotals) {
    open({});
    ReportDefinition d = builtInReports()[6]; // Value Report
    d.titles[1] = QStringLiteral("Values");
    const auto result = run(d);
    ASSERT_EQ(result.pages.size(), 1);
    EXPECT_EQ(result.lines[0], "Values");
    EXPECT_TRUE(result.lines[1].startsWith("Title"));
    EXPECT_EQ(result.lines[2], centred("TOTALS"));
    EXPECT_TRUE(result.lines[3].contains("Cost: 0.00 "));
    EXPECT_EQ(result.lines[5], centred("GRAND TOTALS"));
    EXPECT_TRUE(result.lines[6].contains("Value: 0.00 "));
    EXPECT_TRUE(result.lines.last().startsWith("Page 1"));
}

TEST_F(ReportGeneration, TwoGroupLevelsUseTheLastSortLevel) {
    open(fourBooks(), {5, 2, 1, 0}); // Category, Author, Title: the second group is Title
    ReportDefinition d = builtInReports()[7];
    d.groupLevel2 = true;
    d.useTotals = false;
    const auto result = run(d);
    EXPECT_EQ(headings(result.lines),
              (QStringList{"Art, Beta", "Art, Alpha", "History, Gamma", "Science, Delta"}));
}

// Every built-in report over 150 books in three categories: well-formed pages, headings and
// totals in order, grand totals that are the table's sums, lines within the report's width,
// and the same page breaks on the printer, in the page store and in the text file.
TEST_F(ReportGeneration, EveryBuiltInOverManyBooks) {
    open(manyBooks(150));
    report_engine::PdfFileDevice printer(QString::fromStdString(dir_.file("report.pdf")),
                                         QPageSize(QPageSize::Letter));
    for (const ReportDefinition& d : builtInReports()) {
        SCOPED_TRACE(d.reportName.toStdString());
        const auto result = run(d);
        ASSERT_FALSE(result.pages.isEmpty());
        for (qsizetype p = 0; p < result.pages.size(); ++p) {
            ASSERT_TRUE(result.pages[p].endsWith("\f\r\n"));
            const QStringList lines = result.pages[p].split("\r\n");
            EXPECT_TRUE(lines[lines.size() - 2].startsWith(QStringLiteral("Page %1 ").arg(p + 1)));
        }
        for (const QString& line : result.lines)
            ASSERT_LE(line.size(), d.width) << line.toStdString();
        const QStringList expectedGroups =
            d.groupLevel1 ? QStringList{"Art", "History", "Science"} : QStringList{};
        EXPECT_EQ(headings(result.lines), expectedGroups);
        if (d.useTotals) {
            EXPECT_EQ(result.lines.count(centred("TOTALS", d.width)), d.groupLevel1 ? 3 : 1);
            const qsizetype grand = result.lines.indexOf(centred("GRAND TOTALS", d.width));
            ASSERT_GT(grand, 0);
            const QString sums = result.lines[grand + 1];
            EXPECT_TRUE(sums.contains("Cost: 11,325.00 ")) << sums.toStdString();
            EXPECT_TRUE(sums.contains("Value: 22,650.00 ")) << sums.toStdString();
            EXPECT_TRUE(sums.contains("Low Market: 75.00 ")) << sums.toStdString();
            if (d.width >= 120) {
                EXPECT_TRUE(sums.contains("High Market: 15,000.00")) << sums.toStdString();
            }
        } else {
            EXPECT_FALSE(result.text.contains("TOTALS"));
        }
        EXPECT_EQ(reporttest::runToStore(d, table_, context_), result.pages.size());
        ReportGenerator generator(d, table_, context_, OutputMode::Printer);
        auto engine = createReportEngine(OutputMode::Printer, &printer, nullptr, false);
        generator.attach(*engine);
        engine->Execute();
        EXPECT_EQ(engine->CurrentPage(), result.pages.size());
    }
}

// The Full Report's ten lines per book make many pages: each holds whole books.
TEST_F(ReportGeneration, PagesHoldWholeRecords) {
    open(manyBooks(60));
    const auto result = run(builtInReports()[3]);
    ASSERT_GT(result.pages.size(), 3);
    for (const QString& page : result.pages)
        EXPECT_EQ(page.count("Title: Book"), page.count("Desc: ddd"));
}

// A group change on a page without room for the totals moves the totals and the heading to the
// next page, totals first. The size of the first group decides where the change falls; one of
// the sizes tried puts it in the last lines of the first page.
TEST_F(ReportGeneration, GroupChangeWithoutRoomMovesTotalsAndHeading) {
    int moved = 0;
    for (int first = 40; first <= 60; ++first) {
        SCOPED_TRACE(first);
        testsupport::TempDir dir;
        std::vector<Book> books;
        for (int i = 0; i < first + 3; ++i)
            books.push_back({{"Title", "T" + std::to_string(i)},
                             {"Category", i < first ? "A" : "B"},
                             {"Cost", "1"}});
        table::Table handle;
        reporttest::openBookTable(handle, dir, books, kByCategory);
        const auto result = reporttest::runText(builtInReports()[0], handle,
                                                reporttest::testContext(kByCategory), dir);
        ASSERT_EQ(headings(result.lines), (QStringList{"A", "B"}));
        // Group A's totals come before B's heading, with at most a page break between them.
        const qsizetype totals = result.lines.indexOf(centred("TOTALS"));
        const qsizetype headingB = result.lines.indexOf(centred("B")) - 2;
        ASSERT_GT(totals, 0);
        EXPECT_TRUE(result.lines[totals + 1].contains(QStringLiteral("Cost: %1.00 ").arg(first)));
        ASSERT_GT(headingB, totals);
        for (qsizetype i = totals + 2; i < headingB; ++i)
            EXPECT_TRUE(result.lines[i].isEmpty() || result.lines[i].startsWith("Page ") ||
                        result.lines[i].startsWith("Title"))
                << result.lines[i].toStdString();
        // Totals that open page 2, right after its column header row.
        const qsizetype page1Lines = result.pages[0].count("\r\n");
        if (totals == page1Lines + 1) {
            ++moved;
            EXPECT_EQ(headingB, totals + 2);
        }
    }
    EXPECT_GE(moved, 1);
}

TEST_F(ReportGeneration, RunLeavesTheTableAsItWas) {
    open(fourBooks());
    int told = 0;
    table_.addObserver([&](const table::TableChange&) { ++told; });
    table_.first();
    table_.next();
    const uint32_t current = table_.recordNumber();
    told = 0;
    run(builtInReports()[0]);
    EXPECT_EQ(table_.recordNumber(), current);
    EXPECT_FALSE(table_.observersSuspended());
    EXPECT_EQ(told, 1); // once, when the observers are resumed

    // A run that fails at its start, too.
    ReportGenerator generator(builtInReports()[0], table_, context_, OutputMode::TextFile,
                              QString::fromStdString(dir_.file("missing/dir/REPORT.TXT")));
    auto engine = createReportEngine(OutputMode::TextFile, nullptr, nullptr, false);
    generator.attach(*engine);
    EXPECT_THROW(engine->Execute(), ReportError);
    EXPECT_FALSE(table_.observersSuspended());
    EXPECT_EQ(table_.recordNumber(), current);
}

// Page n of a store as pixels, to compare the pages of two runs.
QImage pageImage(const QByteArray& bytes, int n) {
    const auto store = report_engine::PageStore::read(bytes);
    QImage image(QSize(170, 220), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    store.drawPage(painter, n, 20, 20, false);
    return image;
}

TEST_F(ReportGeneration, FirstPageRunStopsAfterPageOneAndPutsTheTableBack) {
    open(manyBooks(60));
    const ReportDefinition d = builtInReports()[0];
    QByteArray whole;
    ASSERT_GT(reporttest::runToStore(d, table_, context_, &whole), 1);

    int told = 0;
    table_.addObserver([&](const table::TableChange&) { ++told; });
    table_.first();
    table_.next();
    table_.next();
    const uint32_t current = table_.recordNumber();
    told = 0;
    const FirstPage page = runFirstPage(d, table_, context_, nullptr);
    ASSERT_TRUE(page.error.isEmpty()) << page.error.toStdString();
    EXPECT_EQ(report_engine::PageStore::read(page.pageStore).pageCount(), 1);
    EXPECT_EQ(pageImage(page.pageStore, 1), pageImage(whole, 1)); // the whole run's page 1
    EXPECT_EQ(table_.recordNumber(), current);
    EXPECT_FALSE(table_.observersSuspended());
    EXPECT_EQ(told, 1);
}

TEST_F(ReportGeneration, FirstPageFailuresComeBackAsMessages) {
    ReportDefinition noRoom = builtInReports()[0];
    noRoom.leftMargin = noRoom.rightMargin = 4.5;
    const struct {
        const char* name;
        bool openTable;
        ReportDefinition definition;
        const char* error;
    } cases[] = {
        {"no table", false, builtInReports()[0], "No book table is open."},
        {"margins", true, noRoom, "leave no room"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        table_.close();
        if (c.openTable)
            open(fourBooks());
        const FirstPage page = runFirstPage(c.definition, table_, context_, nullptr);
        EXPECT_TRUE(page.pageStore.isEmpty());
        EXPECT_TRUE(page.error.contains(QString::fromLatin1(c.error))) << page.error.toStdString();
        EXPECT_FALSE(table_.observersSuspended());
    }
}

TEST_F(ReportGeneration, MarginsWithoutRoomAreRefused) {
    open(fourBooks());
    ReportDefinition d = builtInReports()[0];
    d.leftMargin = d.rightMargin = 4.5;
    EXPECT_THROW(run(d), ReportError);
    d.leftMargin = std::numeric_limits<double>::quiet_NaN();
    EXPECT_THROW(run(d), ReportError);
    d = builtInReports()[3];
    d.topMargin = 0.5;
    d.bottomMargin = 9.0; // the body band can never hold a ten-line book
    QFile old(QString::fromStdString(dir_.file("REPORT.TXT")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old report\r\n");
    old.close();
    EXPECT_THROW(run(d), ReportError);
    // The failed run leaves the file that was there.
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "old report\r\n");
}

// A big collection's report runs past 9999 pages, the engine's own last page: none is lost.
TEST(ReportEngineSetUp, EveryPageIsKeptPastPage9999) {
    QBuffer store;
    store.open(QIODevice::ReadWrite);
    auto engine = createReportEngine(OutputMode::Preview, nullptr, &store, false);
    engine->OnPrintPage = [](report_engine::TBaseReport& report, int page) {
        report.PrintLn(QString::number(page));
        return page < 10001;
    };
    engine->Execute();
    EXPECT_EQ(report_engine::PageStore::read(store.data()).pageCount(), 10001);
}

} // namespace
