// The report status window: a run in each mode from the window, its status texts, Cancel
// between pages, the engine's refusal without a printer, and the hand-over of a preview's pages.

#include "reports/preview_window.h"
#include "reports/report_builtins.h"
#include "reports/report_status_window.h"
#include "support/gui/modal.h"
#include "support/gui/qt_print.h"
#include "support/gui/scripted_seams.h"
#include "support_report_books.h"

#include "report_engine/page_store.h"
#include "settings/settings.h"
#include "table/date_format.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {

using namespace reports;

constexpr db::SortLevels kByCategory{5, 0, 0, 0};

class StatusWindow : public ::testing::Test {
protected:
    void SetUp() override {
        table::setCurrentDateFormat(table::DateFormat{});
        std::vector<reporttest::Book> books;
        for (int i = 1; i <= 60; ++i)
            books.push_back({{"Title", "Book " + std::to_string(i)},
                             {"Category", i <= 30 ? "Art" : "History"},
                             {"Cost", std::to_string(i)}});
        reporttest::openBookTable(table_, dir_, books, kByCategory);
        context_ = reporttest::testContext(kByCategory);
    }
    ReportRunRequest request(int builtIn, OutputMode mode) {
        ReportRunRequest r;
        r.definition = builtInReports()[static_cast<size_t>(builtIn)];
        r.mode = mode;
        r.textFilePath = QString::fromStdString(dir_.file("OUT.TXT"));
        return r;
    }

    testsupport::TempDir dir_;
    table::Table table_;
    ReportContext context_;
    testsupport::ScriptedSeams s_;
};

TEST_F(StatusWindow, TextRunCompletesAndTurnsCancelIntoOk) {
    TReportForm form(s_.seams, table_, context_, request(0, OutputMode::TextFile));
    EXPECT_EQ(form.windowTitle(), "Report Status Screen");
    EXPECT_EQ(form.statusLabel()->text(), "Printing Status");
    EXPECT_EQ(form.button()->text(), "Cancel");
    form.startRun();
    EXPECT_FALSE(form.running());
    EXPECT_FALSE(form.wasCancelled());
    EXPECT_EQ(form.statusLabel()->text(), "\nReport Completed!");
    EXPECT_EQ(form.button()->text(), "OK");
    EXPECT_TRUE(QFile(QString::fromStdString(dir_.file("OUT.TXT"))).size() > 0);
    EXPECT_FALSE(table_.observersSuspended());
    form.button()->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
}

TEST_F(StatusWindow, CancelStopsAfterTheCurrentPage) {
    TReportForm form(s_.seams, table_, context_, request(3, OutputMode::Preview));
    QString labelDuringRun;
    QTimer::singleShot(0, &form, [&] {
        labelDuringRun = form.statusLabel()->text();
        form.button()->click(); // Cancel, while the engine handles events between pages
    });
    form.startRun();
    EXPECT_EQ(labelDuringRun, "Printing Page 1\n\n");
    EXPECT_TRUE(form.wasCancelled());
    EXPECT_EQ(form.pages(), 1); // the Full Report of 60 books needs many more
    EXPECT_EQ(form.statusLabel()->text(), "\nReport Canceled!");
    EXPECT_FALSE(table_.observersSuspended());
}

TEST_F(StatusWindow, PrinterModeWithoutPrinterFails) {
    s_.messages.expect("Error", "No printers are defined, aborting print job.",
                       db::MessageAnswer::Ok);
    TReportForm form(s_.seams, table_, context_, request(0, OutputMode::Printer));
    form.startRun();
    EXPECT_TRUE(form.failed());
    EXPECT_EQ(form.statusLabel()->text(), "\nReport Failed!");
    EXPECT_FALSE(table_.observersSuspended());
}

TEST_F(StatusWindow, TextFileThatCannotBeWrittenIsReported) {
    ReportRunRequest r = request(0, OutputMode::TextFile);
    r.textFilePath = QString::fromStdString(dir_.file("no/such/dir/OUT.TXT"));
    s_.messages.expectCaption("Error");
    TReportForm form(s_.seams, table_, context_, r);
    form.startRun();
    EXPECT_TRUE(form.failed());
    EXPECT_EQ(form.statusLabel()->text(), "\nReport Failed!");
}

// Clicks OK once the run in the modal status window has ended.
void clickOkWhenDone(QWidget* dialog) {
    auto* form = static_cast<TReportForm*>(dialog);
    if (form->running() || form->button()->text() != "OK") {
        QTimer::singleShot(10, [form] { clickOkWhenDone(form); });
        return;
    }
    form->button()->click();
}

TEST_F(StatusWindow, PreviewRunHandsItsPagesToThePreview) {
    int previewPages = 0;
    testsupport::whenModalAppears(clickOkWhenDone);
    const ReportRunResult result =
        runReport(nullptr, s_.seams, table_, context_, request(3, OutputMode::Preview),
                  [&](QIODevice& store) {
                      previewPages = report_engine::PageStore::read(store).pageCount();
                  });
    EXPECT_FALSE(result.cancelled);
    EXPECT_GT(result.pages, 1);
    EXPECT_EQ(previewPages, result.pages);
    EXPECT_EQ(reporttest::runToStore(builtInReports()[3], table_, context_), result.pages);
}

TEST_F(StatusWindow, CancelledPreviewShowsNoPreview) {
    bool previewShown = false;
    testsupport::whenModalAppears([](QWidget* dialog) {
        auto* form = static_cast<TReportForm*>(dialog);
        form->button()->click(); // Cancel during the run, or OK if it has ended already
        clickOkWhenDone(form);
    });
    const ReportRunResult result =
        runReport(nullptr, s_.seams, table_, context_, request(3, OutputMode::Preview),
                  [&](QIODevice&) { previewShown = true; });
    EXPECT_EQ(previewShown, !result.cancelled);
}

// The road from the report selection window: status window, then the preview on the pages.
TEST_F(StatusWindow, PreviewRunOpensThePreviewWindow) {
    app::Settings settings;
    settings.sortLevels = kByCategory;
    QPrinter printer;
    QString previewCaption;
    QString pageText;
    testsupport::whenModalAppears([&](QWidget* status) {
        testsupport::whenModalAppears([&](QWidget* preview) {
            auto* window = static_cast<TMyPreview*>(preview);
            previewCaption = window->windowTitle();
            QTimer::singleShot(50, window, [&, window] {
                pageText = window->pageLabel()->text();
                window->close();
            });
        });
        clickOkWhenDone(status);
    });
    const ReportRunResult result =
        runReport(nullptr, s_.seams, settings, printer, table_, request(3, OutputMode::Preview));
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(previewCaption, "Full Report");
    EXPECT_EQ(pageText, QStringLiteral("Page 1 of %1").arg(result.pages));
}

} // namespace
