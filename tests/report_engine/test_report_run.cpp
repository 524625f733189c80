// Running a report: the order of the handlers, page ranges, abort, errors and the status
// display.

#include "support_report_engine.h"

#include "report_engine/page_store.h"
#include "report_engine/pdf_file_device.h"
#include "report_engine/report_filer.h"
#include "report_engine/report_printer.h"

#include <gtest/gtest.h>

namespace {

using namespace report_engine;
using testsupport::NumberedReport;
using Calls = std::vector<std::string>;

TEST(ReportRun, HandlersRunInOrderPageByPage) {
    TReportFiler filer;
    NumberedReport report(2);
    report.attach(filer);
    filer.Execute();
    EXPECT_EQ(report.calls, (Calls{"before", "new 1", "header 1", "body 1", "footer 1", "new 2",
                                   "header 2", "body 2", "footer 2", "after"}));
    EXPECT_EQ(filer.PagesWritten(), 2);
    EXPECT_FALSE(filer.Printing());
}

TEST(ReportRun, ABodyThatAnswersFalseAtOnceGivesOnePageWithHeaderAndFooter) {
    TReportFiler filer;
    NumberedReport report(1);
    report.attach(filer);
    filer.Execute();
    EXPECT_EQ(report.calls, (Calls{"before", "new 1", "header 1", "body 1", "footer 1", "after"}));
    const PageStore store = PageStore::read(filer.MemoryStore());
    ASSERT_EQ(store.pageCount(), 1);
    // Header, three body lines and the footer.
    EXPECT_EQ(store.page(1).size(), 5u);
}

TEST(ReportRun, OnPrintIsCalledOnceInsteadOfThePageLoop) {
    TReportFiler filer;
    NumberedReport report(3);
    report.attach(filer);
    filer.OnPrint = [&](TBaseReport& r) {
        report.calls.push_back("print");
        r.PrintLn(QStringLiteral("all in one"));
    };
    filer.Execute();
    EXPECT_EQ(report.calls, (Calls{"before", "new 1", "header 1", "print", "footer 1", "after"}));
}

TEST(ReportRun, WithoutPrintHandlersOnlyBeforeAndAfterRun) {
    TReportFiler filer;
    NumberedReport report(3);
    report.attach(filer);
    filer.OnPrintPage = nullptr;
    filer.Execute();
    EXPECT_EQ(report.calls, (Calls{"before", "after"}));
}

TEST(ReportRun, PagesOutsideTheRangeRunEveryHandlerButAreNotOutput) {
    TReportFiler filer;
    NumberedReport report(6);
    report.attach(filer);
    filer.SetFirstPage(3);
    filer.SetLastPage(4);
    filer.Execute();
    for (const char* handler : {"new", "header", "body", "footer"})
        EXPECT_EQ(report.count(handler), 6) << handler;
    const PageStore store = PageStore::read(filer.MemoryStore());
    ASSERT_EQ(store.pageCount(), 2);
    // The first page stored is the report's page 3.
    const auto& footer = std::get<store::Text>(store.page(1).back());
    EXPECT_EQ(footer.text, QStringLiteral("Page 3"));
    EXPECT_EQ(std::get<store::Text>(store.page(2).back()).text, QStringLiteral("Page 4"));
}

TEST(ReportRun, AbortEndsAfterTheCurrentPageAndSuppressesItsRest) {
    TReportFiler filer;
    NumberedReport report(5);
    report.attach(filer);
    const auto body = filer.OnPrintPage;
    filer.OnPrintPage = [&](TBaseReport& r, int page) {
        if (page == 2)
            r.Abort();
        return body(r, page);
    };
    filer.Execute();
    EXPECT_TRUE(filer.Aborted());
    EXPECT_EQ(report.count("body"), 2);
    EXPECT_EQ(report.calls.back(), "after");
    const PageStore store = PageStore::read(filer.MemoryStore());
    ASSERT_EQ(store.pageCount(), 2);
    // Page 2 keeps its header; its body and footer came after the abort.
    EXPECT_EQ(store.page(2).size(), 1u);
}

TEST(ReportRun, ACancelSeenByTheStatusDisplayLeavesNoEmptyPageBehind) {
    TReportFiler filer;
    NumberedReport report(5);
    report.attach(filer);
    filer.StatusLabel = [&](const QString&) {
        if (filer.CurrentPage() == 3)
            filer.Abort(); // the Cancel button, clicked while the label is updated
    };
    filer.Execute();
    EXPECT_EQ(report.count("body"), 3);
    EXPECT_EQ(report.calls.back(), "after");
    EXPECT_EQ(PageStore::read(filer.MemoryStore()).pageCount(), 2);
}

TEST(ReportRun, AfterPrintRunsWhenAHandlerFails) {
    TReportFiler filer;
    NumberedReport report(3);
    report.attach(filer);
    filer.OnPrintHeader = [](TBaseReport&) { throw EReportPrinter(QStringLiteral("no field")); };
    EXPECT_THROW(filer.Execute(), EReportPrinter);
    EXPECT_EQ(report.calls, (Calls{"before", "new 1", "after"}));
    EXPECT_FALSE(filer.Printing());
    // The engine can run again.
    filer.OnPrintHeader = nullptr;
    report.calls.clear();
    filer.Execute();
    EXPECT_EQ(report.calls.back(), "after");
}

TEST(ReportRun, PrinterEngineWithoutPrinterShowsTheMessageAndRunsNothing) {
    TReportPrinter engine;
    NumberedReport report(2);
    report.attach(engine);
    QStringList errors;
    engine.ShowError = [&](const QString& message) { errors << message; };
    engine.Execute();
    EXPECT_EQ(errors, QStringList{QStringLiteral("No printers are defined, aborting print job.")});
    EXPECT_TRUE(report.calls.empty());
}

TEST(ReportRun, ASecondRunOrPrinterChangeDuringARunIsRefused) {
    TReportFiler filer;
    NumberedReport report(1);
    report.attach(filer);
    PdfFileDevice printer(QStringLiteral("unused.pdf"), QPageSize(QPageSize::Letter));
    std::vector<QString> refused;
    filer.OnPrintPage = [&](TBaseReport& r, int) {
        for (const auto& attempt : std::vector<std::function<void()>>{
                 [&] { r.Execute(); }, [&] { r.SetPrinter(&printer); },
                 [&] { r.SetOrientation(Orientation::poLandScape); }, [&] { r.SetCopies(2); }}) {
            try {
                attempt();
            } catch (const EReportPrinter& e) {
                refused.push_back(e.message());
            }
        }
        return false;
    };
    filer.Execute();
    EXPECT_EQ(refused, std::vector<QString>(4, QStringLiteral("Invalid method call.  Report "
                                                              "printer already printing.")));
}

TEST(ReportRun, DrawingOutsideARunIsRefused) {
    TReportFiler filer;
    try {
        filer.Print(QStringLiteral("x"));
        FAIL() << "printed outside a run";
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Invalid method call.  Report printer is not printing."));
    }
    EXPECT_THROW(filer.Line(0, 0, 1, 1), EReportPrinter);
}

TEST(ReportRun, StatusFormatCodesExpand) {
    TReportFiler filer;
    filer.StatusText = {QStringLiteral("zero"), QStringLiteral("one")};
    filer.SetFirstPage(2);
    filer.SetLastPage(7);
    const struct {
        const char* format;
        const char* expected;
    } cases[] = {
        {"Printing page %p", "Printing page 0"},
        {"%0/%1/%5.", "zero/one/."},
        {"%d %r %t", "Preview Only Preview Only Preview"},
        {"%F-%L %%", "2-7 %"},
        {"a%qb", "a<ERROR-%Q>b"},
        {"end %", "end %"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filer.ExpandStatus(QString::fromLatin1(c.format)),
                  QString::fromLatin1(c.expected))
            << c.format;
}

TEST(ReportRun, TheStatusLabelShowsEveryNewPage) {
    TReportFiler filer;
    NumberedReport report(3);
    report.attach(filer);
    filer.StatusFormat = QStringLiteral("Printing Page %p\r%0");
    filer.StatusText = {QStringLiteral("")};
    QStringList shown;
    filer.StatusLabel = [&](const QString& text) { shown << text; };
    filer.Execute();
    EXPECT_EQ(shown,
              (QStringList{QStringLiteral("Printing Page 1\r"), QStringLiteral("Printing Page 2\r"),
                           QStringLiteral("Printing Page 3\r")}));
}

} // namespace
