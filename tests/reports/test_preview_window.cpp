// The preview window on a page store: pages, zoom, colour, printing, PDF output and its place
// on the screen.

#include "reports/preview_scroll_box.h"
#include "reports/preview_window.h"
#include "reports/print_range_window.h"

#include "support/gui/modal.h"
#include "support/gui/qt_print.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"
#include "support_preview_store.h"

#include <QAction>
#include <QBuffer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

using reports::TMyPreview;

class PreviewWindow : public ::testing::Test {
protected:
    // Opens the preview on a store of `pages` pages and waits until it shows page 1.
    TMyPreview& open(int pages) {
        bytes_ = testsupport::previewStore(pages);
        return openStore();
    }
    TMyPreview& openStore() {
        store_ = std::make_unique<QBuffer>(&bytes_);
        window_ = std::make_unique<TMyPreview>(nullptr, s.seams, settings, printer, *store_,
                                               QStringLiteral("Books by Author"));
        window_->show();
        for (int i = 0; i < 50 && !window_->MyFilePreview().Started() && window_->isVisible(); ++i)
            QTest::qWait(10);
        return *window_;
    }
    void trigger(const char* action) {
        QAction* item = window_->action(QString::fromLatin1(action));
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
    }
    void click(const char* button) {
        auto* speed = window_->findChild<QToolButton*>(QString::fromLatin1(button));
        ASSERT_NE(speed, nullptr) << button;
        speed->click();
    }
    void type(QLineEdit* edit, const QString& text) {
        edit->setText(text);
        emit edit->editingFinished();
    }
    double zoom() { return window_->MyFilePreview().ZoomFactor(); }
    int page() { return window_->MyFilePreview().CurrentPage(); }

    testsupport::ScriptedSeams s;
    app::Settings settings;
    QPrinter printer{QPrinter::HighResolution};
    QByteArray bytes_;
    std::unique_ptr<QBuffer> store_;
    std::unique_ptr<TMyPreview> window_;
    testsupport::TempDir dir;
};

TEST_F(PreviewWindow, OpensAtPageOneAtFullSizeWithTheReportNameAsCaption) {
    TMyPreview& preview = open(3);
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("Books by Author"));
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(preview.zoomEdit()->text(), QStringLiteral("100.0"));
    EXPECT_EQ(preview.pageEdit()->text(), QStringLiteral("1"));
    EXPECT_EQ(preview.pageLabel()->text(), QStringLiteral("Page 1 of 3"));
    // The page at its real size (8.5 in at the screen's resolution) with a 2.5 % margin.
    const double dpi = preview.scrollBox()->dotsPerInch();
    const int margin = qRound(8.5 * dpi * 0.025);
    EXPECT_EQ(preview.scrollBox()->page()->image().width(), qCeil(8.5 * dpi) + 2 * margin);
}

TEST_F(PreviewWindow, ToolBarAndMenusCarryTheirHintsCaptionsAndShortcuts) {
    TMyPreview& preview = open(1);
    const struct {
        const char* name;
        const char* hint;
    } buttons[] = {{"SBZoomIn", "Zoom In"},
                   {"SBZoomOut", "Zoom Out"},
                   {"SBZoomPageWidth", "Zoom Page Width"},
                   {"SBZoomPage", "Zoom Whole Page"},
                   {"SBPrevPage", "Prev Page"},
                   {"SBNextPage", "Next Page"},
                   {"SBPrint", "Print Page"},
                   {"SBDone", "Done"}};
    for (const auto& b : buttons) {
        auto* button = preview.findChild<QToolButton*>(QString::fromLatin1(b.name));
        ASSERT_NE(button, nullptr) << b.name;
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(b.hint));
    }
    const struct {
        const char* name;
        const char* caption;
        const char* keys;
    } items[] = {
        {"MenuPrintPage", "&Print Page", "Ctrl+P"},
        {"MenuPrintReport", "Print &Report", "Ctrl+R"},
        {"MenuPrintRange", "Print Ran&ge", "Ctrl+G"},
        {"MenuPrinterSetup", "Printer &Setup", "Ctrl+S"},
        {"MenuSaveAsPdf", "Save as &PDF\u2026", ""},
        {"MenuExit", "E&xit", "Ctrl+X"},
        {"MenuPrevPage", "&Previous Page", "Ctrl+E"},
        {"MenuNextPage", "&Next Page", "Ctrl+N"},
        {"MenuFirstPage", "&First Page", "Ctrl+F"},
        {"MenuLastPage", "&Last Page", "Ctrl+L"},
        {"MenuUseColor", "Use Color", "Ctrl+C"},
        {"MenuZoomIn", "Zoom &In", ""},
        {"MenuZoomOut", "Zoom &Out", ""},
        {"MenuZoomPageWidth", "Zoom &Page Width", "Ctrl+Z"},
        {"MenuZoomWholePage", "Zoom &Whole Page", "Ctrl+W"},
        {"KeyZoomIn", "", "Ctrl+I"},
        {"KeyZoomOut", "", "Ctrl+O"},
    };
    for (const auto& i : items) {
        QAction* action = preview.action(QString::fromLatin1(i.name));
        ASSERT_NE(action, nullptr) << i.name;
        EXPECT_EQ(action->text(), QString::fromUtf8(i.caption)) << i.name;
        EXPECT_EQ(action->shortcut().toString(), QString::fromLatin1(i.keys)) << i.name;
    }
}

TEST_F(PreviewWindow, NavigationMovesBetweenPagesAndStopsAtTheEnds) {
    TMyPreview& preview = open(3);
    const struct {
        const char* command;
        int page;
    } steps[] = {{"MenuPrevPage", 1}, {"MenuNextPage", 2},  {"SBNextPage", 3},  {"MenuNextPage", 3},
                 {"SBPrevPage", 2},   {"MenuFirstPage", 1}, {"MenuLastPage", 3}};
    for (const auto& step : steps) {
        if (std::string(step.command).rfind("SB", 0) == 0)
            click(step.command);
        else
            trigger(step.command);
        EXPECT_EQ(page(), step.page) << step.command;
        EXPECT_EQ(preview.pageEdit()->text(), QString::number(step.page));
        EXPECT_EQ(preview.pageLabel()->text(), QStringLiteral("Page %1 of 3").arg(step.page));
    }
}

TEST_F(PreviewWindow, AOnePageReportStaysOnItsPage) {
    TMyPreview& preview = open(1);
    trigger("MenuNextPage");
    trigger("MenuPrevPage");
    EXPECT_EQ(page(), 1);
    EXPECT_EQ(preview.pageLabel()->text(), QStringLiteral("Page 1 of 1"));
}

TEST_F(PreviewWindow, ZoomCommandsAndTypedZoomsAreClampedToTenToTwoHundred) {
    TMyPreview& preview = open(2);
    const struct {
        const char* command; // a button, a menu item, or "=" followed by typed text
        double zoom;
        const char* shown;
    } steps[] = {
        {"SBZoomIn", 110, "110.0"},
        {"SBZoomOut", 100, "100.0"},
        {"KeyZoomIn", 110, "110.0"},
        {"KeyZoomOut", 100, "100.0"},
        {"MenuZoom2to1", 200, "200.0"},
        {"SBZoomIn", 200, "200.0"},
        {"MenuZoomOut1to2", 50, "50.0"},
        {"MenuZoomOut1to3", 33.3, "33.3"},
        {"MenuZoomOut1to4", 25, "25.0"},
        {"MenuZoomOut1to5", 20, "20.0"},
        {"SBZoomOut", 10, "10.0"},
        {"SBZoomOut", 10, "10.0"},
        {"MenuZoom1to1", 100, "100.0"},
        {"MenuZoomOut1to1", 100, "100.0"},
        {"=5", 10, "10.0"},
        {"=500", 200, "200.0"},
        {"= 75.5 ", 75.5, "75.5"},
        {"=abc", 75.5, "75.5"},
    };
    for (const auto& step : steps) {
        const std::string command = step.command;
        if (command[0] == '=')
            type(preview.zoomEdit(), QString::fromStdString(command.substr(1)));
        else if (command.rfind("SB", 0) == 0)
            click(step.command);
        else
            trigger(step.command);
        EXPECT_DOUBLE_EQ(zoom(), step.zoom) << command;
        EXPECT_EQ(preview.zoomEdit()->text(), QString::fromLatin1(step.shown)) << command;
    }
    // The page is drawn at the zoom in force.
    const double dpi = preview.scrollBox()->dotsPerInch();
    EXPECT_NEAR(preview.scrollBox()->page()->image().height(),
                11 * dpi * 0.755 + 2 * qRound(8.5 * dpi * 0.025), 1.0);
}

TEST_F(PreviewWindow, ZoomToPageWidthAndWholePageFitTheScrollBox) {
    TMyPreview& preview = open(2);
    preview.resize(700, 500);
    QTest::qWait(20);
    reports::PreviewScrollArea& box = *preview.scrollBox();
    click("SBZoomPage");
    const QSize whole = box.page()->image().size();
    EXPECT_LE(whole.width(), box.width() - 4);
    EXPECT_LE(whole.height(), box.height() - 4);
    EXPECT_GE(whole.height(), box.height() - 8) << "the height is what limits a portrait page";
    trigger("MenuZoomPageWidth");
    const QSize wide = box.page()->image().size();
    // Taller than the box: the vertical scroll bar's width is left for it.
    EXPECT_LE(wide.width(), box.width() - 2 * box.frameWidth() - box.verticalScrollBarWidth());
    EXPECT_GE(wide.width(), box.width() - 2 * box.frameWidth() - box.verticalScrollBarWidth() - 2);
    EXPECT_GT(zoom(), 10);
}

TEST_F(PreviewWindow, TypedPagesShowThatPageAndOutOfRangePagesTheNearestEnd) {
    TMyPreview& preview = open(4);
    const struct {
        const char* typed;
        int page;
    } steps[] = {{"3", 3}, {" 2 ", 2}, {"99", 4}, {"0", 1}, {"x", 1}, {"", 1}};
    for (const auto& step : steps) {
        type(preview.pageEdit(), QString::fromLatin1(step.typed));
        EXPECT_EQ(page(), step.page) << step.typed;
        EXPECT_EQ(preview.pageEdit()->text(), QString::number(step.page)) << step.typed;
    }
}

TEST_F(PreviewWindow, UseColorSwitchesToBlackAndWhiteAndBackToPageOne) {
    TMyPreview& preview = open(2);
    QAction* useColor = preview.action(QStringLiteral("MenuUseColor"));
    EXPECT_TRUE(useColor->isChecked());
    const auto hasRed = [&] {
        const QImage& image = preview.scrollBox()->page()->image();
        for (int y = 0; y < image.height() / 4; ++y)
            for (int x = 0; x < image.width() / 2; ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.red() > 200 && c.green() < 80 && c.blue() < 80)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(hasRed());
    trigger("MenuNextPage");
    trigger("MenuUseColor");
    EXPECT_FALSE(useColor->isChecked());
    EXPECT_TRUE(preview.MyFilePreview().Monochrome);
    EXPECT_EQ(page(), 1);
    EXPECT_FALSE(hasRed());
    trigger("MenuUseColor");
    EXPECT_TRUE(useColor->isChecked());
    EXPECT_TRUE(hasRed());
}

TEST_F(PreviewWindow, PrintingWithoutAPrinterShowsTheEngineMessage) {
    open(2);
    s.printers.names.clear();
    s.messages.expect("Error", "No printers are defined, aborting print job.",
                      db::MessageAnswer::Ok);
    trigger("MenuPrintReport");
}

TEST_F(PreviewWindow, PrintPageReportAndRangeSendTheirPages) {
    open(4);
    printer.setOutputFormat(QPrinter::PdfFormat);
    const struct {
        const char* command;
        int pages;
    } cases[] = {{"SBPrint", 1}, {"MenuPrintReport", 4}, {"MenuPrintRange", 2}};
    for (const auto& c : cases) {
        const QString path = QString::fromStdString(dir.file(std::string(c.command) + ".pdf"));
        printer.setOutputFileName(path);
        if (std::string(c.command) == "MenuPrintRange") {
            testsupport::whenModalAppears([](QWidget* modal) {
                auto* range = qobject_cast<reports::TPrintRange*>(modal);
                ASSERT_NE(range, nullptr);
                range->startPageEdit()->setText(QStringLiteral("2"));
                range->endPageEdit()->setText(QStringLiteral("3"));
                testsupport::clickButton(range, QStringLiteral("Print"));
            });
        }
        if (std::string(c.command).rfind("SB", 0) == 0)
            click(c.command);
        else
            trigger(c.command);
        EXPECT_EQ(testsupport::pdfPages(path), c.pages) << c.command;
    }
    // A cancelled range prints nothing.
    const QString cancelled = QString::fromStdString(dir.file("cancelled.pdf"));
    printer.setOutputFileName(cancelled);
    testsupport::whenModalAppears(
        [](QWidget* modal) { testsupport::clickButton(modal, QStringLiteral("Cancel")); });
    trigger("MenuPrintRange");
    EXPECT_FALSE(QFile::exists(cancelled));
}

TEST_F(PreviewWindow, ASecondPrintWhileOneRunsIsRefused) {
    open(3);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(dir.file("busy.pdf")));
    s.messages.expect("Error", "Previous print job has not yet finished.  Try again later.",
                      db::MessageAnswer::Ok);
    // Runs between the pages of the first job, when the printer lets events through.
    QTimer::singleShot(0, window_.get(), [this] { window_->DoPrintPage(); });
    trigger("MenuPrintReport");
    EXPECT_EQ(testsupport::pdfPages(QString::fromStdString(dir.file("busy.pdf"))), 3);
}

TEST_F(PreviewWindow, SaveAsPdfWritesEveryPage) {
    open(3);
    const QString path = QString::fromStdString(dir.file("Books by Author.pdf"));
    s.files.answer(path);
    trigger("MenuSaveAsPdf");
    ASSERT_EQ(s.files.calls.size(), 1u);
    EXPECT_EQ(s.files.calls[0].request.fileName, QStringLiteral("Books by Author.pdf"));
    EXPECT_EQ(testsupport::pdfPages(path), 3);
    // Cancelling the file dialog writes nothing; an unwritable place says so.
    s.files.answer(QString());
    trigger("MenuSaveAsPdf");
    s.files.answer(QStringLiteral("/nonexistent-folder/x.pdf"));
    s.messages.expect("Error", "The file \"/nonexistent-folder/x.pdf\" could not be written.",
                      db::MessageAnswer::Ok);
    trigger("MenuSaveAsPdf");
}

TEST_F(PreviewWindow, PrinterSetupGoesThroughThePrinterSeam) {
    open(1);
    s.printers.answerSetUp(true);
    trigger("MenuPrinterSetup");
    EXPECT_EQ(s.printers.setUpCount, 1);
}

TEST_F(PreviewWindow, ADamagedStoreIsReportedAndTheWindowCloses) {
    bytes_ = testsupport::previewStore(2);
    bytes_[50] = 'Z';
    s.messages.expect("Error", "Unexpected code found in report file.", db::MessageAnswer::Ok);
    TMyPreview& preview = openStore();
    QTest::qWait(20);
    EXPECT_FALSE(preview.isVisible());
}

TEST_F(PreviewWindow, ThePlaceAndSizeAreKeptInTheSettingsAndUsedAgain) {
    settings.reportViewingWindow = {40, 30, 500, 400};
    TMyPreview& preview = open(1);
    EXPECT_EQ(preview.size(), QSize(500, 400));
    preview.resize(620, 450);
    preview.move(70, 60);
    trigger("MenuExit");
    EXPECT_FALSE(preview.isVisible());
    EXPECT_EQ(settings.reportViewingWindow.width, 620);
    EXPECT_EQ(settings.reportViewingWindow.height, 450);
    EXPECT_EQ(settings.reportViewingWindow.left, preview.x());
    EXPECT_EQ(settings.reportViewingWindow.top, preview.y());
    TMyPreview& again = open(1);
    EXPECT_EQ(again.size(), QSize(620, 450));
    EXPECT_EQ(again.pos(),
              QPoint(settings.reportViewingWindow.left, settings.reportViewingWindow.top));
}

} // namespace
