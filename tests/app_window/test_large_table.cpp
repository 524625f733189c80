// Opening and paging a large table in the main window, timed. Runs only when
// VOLUMARA_LARGE_TABLE names a book table (e.g. one million records made by table_bench
// --generate); the table is used in place and not changed.

#include "support_main_window.h"
#include "widgets/record_grid.h"
#include "widgets/record_navigator.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>

#include <cstdio>

namespace {

using testsupport::child;
using testsupport::MainWindowTest;

using LargeTable = MainWindowTest;

double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

TEST_F(LargeTable, FirstScreenAndLastScreenShowWithoutReadingTheWholeTable) {
    const QString path = qEnvironmentVariable("VOLUMARA_LARGE_TABLE");
    if (path.isEmpty())
        GTEST_SKIP() << "set VOLUMARA_LARGE_TABLE to a large book table";
    writeSettings("[Misc]\r\nLast Database=" + path.toStdString() + "\r\n");

    QElapsedTimer timer;
    timer.start();
    auto window = makeWindow();
    ASSERT_TRUE(window->FormCreate());
    window->show();
    window->repaint();
    QApplication::processEvents();
    const double firstScreen = elapsedMs(timer);
    auto& grid = *child<widgets::RecordGrid>(*window, "ViewerGrid");
    const QString count = child<QLabel>(*window, "CountLabel")->text();

    timer.restart();
    child<widgets::RecordNavigator>(*window, "MyNavigator")
        ->press(widgets::RecordNavigator::Button::Last);
    grid.repaint();
    QApplication::processEvents();
    const double lastScreen = elapsedMs(timer);
    EXPECT_EQ(grid.currentIndex().row(), grid.model()->rowCount() - 1);

    // Paging back up a screen at a time, as the Page Up key does.
    timer.restart();
    for (int page = 0; page < 20; ++page) {
        QScrollBar* bar = grid.verticalScrollBar();
        bar->setValue(bar->value() - bar->pageStep());
        grid.repaint();
        QApplication::processEvents();
    }
    const double twentyPages = elapsedMs(timer);

    std::printf("records %s: first screen %.1f ms, last screen %.1f ms, 20 pages up %.1f ms, "
                "rows read %llu\n",
                qPrintable(count), firstScreen, lastScreen, twentyPages,
                static_cast<unsigned long long>(grid.bookModel().rowsRead()));
    EXPECT_LT(grid.bookModel().rowsRead(), 5000u);
}

} // namespace
