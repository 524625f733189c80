#include "support_main_window.h"
#include "widgets/record_grid.h"
#include "widgets/record_navigator.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {

using testsupport::child;
using testsupport::MainWindowTest;
using testsupport::makeBookTable;

using MainWindowCommands = MainWindowTest;

QRect clientRect(app::TMain& window) {
    return QRect(QPoint(0, 0), window.centralWidget()->size());
}

// Checks the controls against the geometry table for a client area of width cw, height ch.
void expectModeGeometry(app::TMain& window, int mode) {
    const int cw = clientRect(window).width();
    const int ch = clientRect(window).height();
    SCOPED_TRACE("mode " + std::to_string(mode) + " client " + std::to_string(cw) + "x" +
                 std::to_string(ch));
    struct Row {
        int navLeft, navTop, navWidth, searchTop, countTop, count2Top, bevelTop, bevelHeight,
            labelTop, gridTop, gridHeight;
    };
    const Row rows[] = {{424, 3, 241, 44, 38, 52, 34, ch - 37, 38, 70, ch - 77},
                        {400, 47, 221, 96, 90, 105, 86, ch - 89, 90, 122, ch - 129},
                        {cw - 207, 8, 201, 14, 8, 23, 4, ch - 7, 8, 40, ch - 47}};
    const Row& row = rows[mode - 1];
    QWidget* navigator = child<QWidget>(window, "MyNavigator");
    EXPECT_EQ(navigator->x(), row.navLeft);
    EXPECT_EQ(navigator->y(), row.navTop);
    EXPECT_EQ(navigator->width(), row.navWidth);
    EXPECT_EQ(child<QWidget>(window, "SearchOnLabel")->y(), row.searchTop);
    EXPECT_EQ(child<QWidget>(window, "CountLabel")->y(), row.countTop);
    EXPECT_EQ(child<QWidget>(window, "Count2Label")->y(), row.count2Top);
    const QRect bevel = child<QWidget>(window, "ViewerBevel")->geometry();
    EXPECT_EQ(bevel.top(), row.bevelTop);
    EXPECT_EQ(bevel.height(), row.bevelHeight);
    EXPECT_EQ(bevel.width(), cw - 6);
    QWidget* label = child<QWidget>(window, "ViewerLabel");
    EXPECT_EQ(label->y(), row.labelTop);
    EXPECT_LE(std::abs(label->x() - (cw - label->width()) / 2), 0);
    const QRect grid = child<QWidget>(window, "ViewerGrid")->geometry();
    EXPECT_EQ(grid.top(), row.gridTop);
    EXPECT_EQ(grid.height(), row.gridHeight);
    EXPECT_EQ(grid.width(), cw - 14);

    const bool lettered = mode == 2;
    EXPECT_EQ(child<QWidget>(window, "SpeedPanel")->isVisible(), mode == 1);
    EXPECT_EQ(child<QWidget>(window, "SpeedPanel")->isEnabled(), mode == 1);
    EXPECT_EQ(child<QWidget>(window, "NavigatorLabel")->isVisible(), lettered);
    for (const char* bevelName : {"Bevel1", "Bevel2", "Bevel3", "Bevel4"})
        EXPECT_EQ(child<QWidget>(window, bevelName)->isVisible(), lettered) << bevelName;
    for (const char* buttonName :
         {"AddButton", "EditButton", "CopyButton", "DeleteButton", "SearchButton",
          "EndSearchButton", "ReportButton", "ViewerButton", "HelpButton", "ButtonExit"})
        EXPECT_EQ(child<QWidget>(window, buttonName)->isVisible(), lettered) << buttonName;
    EXPECT_EQ(child<QWidget>(window, "ButtonExit")->isEnabled(), lettered);
    for (int item = 1; item <= 3; ++item)
        EXPECT_EQ(
            child<QAction>(window, ("MenuButtonBar" + std::to_string(item)).c_str())->isChecked(),
            item == mode);
}

TEST_F(MainWindowCommands, ButtonBarModesAndResizingFollowTheGeometryTable) {
    auto window = startWindow();
    window->resize(800, 600);
    QApplication::processEvents();
    for (int mode : {2, 3, 1, 3, 2}) {
        child<QAction>(*window, ("MenuButtonBar" + std::to_string(mode)).c_str())->trigger();
        QApplication::processEvents();
        expectModeGeometry(*window, mode);
        window->resize(window->width() + 37, window->height() + 23);
        QApplication::processEvents();
        expectModeGeometry(*window, mode);
    }
    const QSize finalSize = window->frameGeometry().size();
    window->close();
    const std::string saved = readSettings();
    EXPECT_NE(saved.find("Button Bar=2"), std::string::npos);
    EXPECT_NE(saved.find("Main Window Width=" + std::to_string(finalSize.width()) + "\r\n"),
              std::string::npos);
    EXPECT_NE(saved.find("Main Window Height=" + std::to_string(finalSize.height()) + "\r\n"),
              std::string::npos);
}

// The stored place and size are those of the whole window, frame included, as it is when
// neither maximised nor minimised; they bring the window back to the same place and size.
TEST_F(MainWindowCommands, StoresTheNormalOuterGeometryEvenWhenMaximised) {
    makeBookTable(file("BOOKS.DBF"), {"Austen"});
    const std::string placed = "Main Window Left=30\r\nMain Window Top=40\r\n"
                               "Main Window Width=700\r\nMain Window Height=500\r\n";
    writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() + "\r\n" + placed);
    for (bool maximise : {false, true}) {
        SCOPED_TRACE(maximise ? "maximised" : "normal");
        auto window = startWindow();
        EXPECT_EQ(window->frameGeometry(), QRect(30, 40, 700, 500));
        if (maximise) {
            window->showMaximized();
            QApplication::processEvents();
            ASSERT_TRUE(window->isMaximized());
            ASSERT_NE(window->frameGeometry(), QRect(30, 40, 700, 500));
        }
        window->close();
        EXPECT_NE(readSettings().find(placed), std::string::npos) << readSettings();
    }
}

TEST_F(MainWindowCommands, NarrowWindowKeepsTheWholeNavigatorOnTheSpeedBar) {
    auto window = startWindow();
    QApplication::processEvents();
    const int cw = clientRect(*window).width();
    ASSERT_LT(cw, 424 + 241 + 3);
    QWidget* navigator = child<QWidget>(*window, "MyNavigator");
    EXPECT_LE(navigator->geometry().right(), cw - 4);
    const QWidget* lastSpeedButton = child<QWidget>(*window, "HelpSpeed");
    EXPECT_GT(navigator->x(), lastSpeedButton->geometry().right());
}

TEST_F(MainWindowCommands, DeleteAsksFirstAndCountsAfterwards) {
    makeBookTable(file("BOOKS.DBF"), {"Austen", "Brontë", "Carroll"});
    writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() + "\r\n");
    auto window = startWindow();
    QLabel* count = child<QLabel>(*window, "CountLabel");
    ASSERT_EQ(count->text(), "3");

    s.messages.expect("Confirm", "Delete this record?", db::MessageAnswer::No);
    child<QAction>(*window, "MenuDelete")->trigger();
    EXPECT_EQ(count->text(), "3");
    EXPECT_EQ(s.messages.shown.back().buttons, db::MessageButtons::YesNo);

    table::Table& books = window->MyTable();
    books.first();
    books.next();
    QApplication::processEvents(); // the grid follows a move made elsewhere from the event loop
    s.messages.expect("Confirm", "Delete this record?", db::MessageAnswer::Yes);
    child<QToolButton>(*window, "DeleteSpeed")->click();
    EXPECT_EQ(count->text(), "2");
    const int author = books.fieldIndex("AUTHOR");
    books.first();
    EXPECT_EQ(books.asText(author), "Austen");
    books.next();
    EXPECT_EQ(books.asText(author), "Carroll");
}

TEST_F(MainWindowCommands, RecentFilesHoldThePreviousTablesNeverTheOpenOne) {
    const QString a = file("A.DBF");
    const QString b = file("B.DBF");
    makeBookTable(a, {"One"});
    makeBookTable(b, {"One", "Two"});
    auto window = startWindow();
    const QString master = file("MASTER.DBF");
    const auto caption = [&](int item) {
        return child<QAction>(*window, ("MenuLastFile" + std::to_string(item)).c_str())->text();
    };
    const auto visible = [&](int item) {
        return child<QAction>(*window, ("MenuLastFile" + std::to_string(item)).c_str())
            ->isVisible();
    };

    s.files.answer(a);
    child<QAction>(*window, "MenuOpen")->trigger();
    EXPECT_EQ(window->windowTitle(), "Volumara Books 95 (A)");
    EXPECT_EQ(caption(1), "&1   " + master);
    EXPECT_FALSE(visible(2));

    s.files.answer(b);
    child<QToolButton>(*window, "OpenSpeed")->click();
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "2");
    EXPECT_EQ(caption(1), "&1   " + a);
    EXPECT_EQ(caption(2), "&2   " + master);

    s.files.answer(a);
    child<QAction>(*window, "MenuOpen")->trigger();
    EXPECT_EQ(caption(1), "&1   " + b);
    EXPECT_EQ(caption(2), "&2   " + master);
    EXPECT_FALSE(visible(3));

    // Opening the open table again leaves the list as it was.
    s.files.answer(a);
    child<QAction>(*window, "MenuOpen")->trigger();
    EXPECT_EQ(caption(1), "&1   " + b);
    EXPECT_EQ(caption(2), "&2   " + master);
    EXPECT_FALSE(visible(3));

    // A recent-files item opens its table.
    child<QAction>(*window, "MenuLastFile2")->trigger();
    EXPECT_EQ(window->currentDatabasePath(), master);
    EXPECT_EQ(caption(1), "&1   " + a);
    EXPECT_EQ(caption(2), "&2   " + b);

    // An entry whose file has gone reports the engine's error and changes nothing.
    std::string reason;
    QFile::remove(b);
    try {
        db::checkFormat(b, s.messages);
    } catch (const std::exception& error) {
        reason = error.what();
    }
    ASSERT_FALSE(reason.empty());
    s.messages.expect("Error", reason, db::MessageAnswer::Ok);
    child<QAction>(*window, "MenuLastFile2")->trigger();
    EXPECT_EQ(window->currentDatabasePath(), master);
    EXPECT_EQ(caption(2), "&2   " + b);
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "0");

    window->close();
    const std::string saved = readSettings();
    EXPECT_NE(saved.find("Last File 1=" + a.toStdString()), std::string::npos);
    EXPECT_NE(saved.find("Last Database=" + master.toStdString()), std::string::npos);
}

TEST_F(MainWindowCommands, NewDatabaseCreatesAndOpensAnEmptyBookTable) {
    auto window = startWindow();
    s.files.answer(file("fresh.dbf"));
    child<QAction>(*window, "MenuNew")->trigger();
    ASSERT_EQ(s.files.calls.size(), 1u);
    EXPECT_EQ(s.files.calls[0].kind, testsupport::FileDialogKind::Save);
    EXPECT_EQ(s.files.calls[0].request.title, "New Database File");
    EXPECT_EQ(window->windowTitle(), "Volumara Books 95 (fresh)");
    EXPECT_EQ(window->currentDatabasePath(), file("fresh.dbf"));
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "0");

    s.files.answer(file("fresh.txt"));
    s.messages.expect("Error", db::kInvalidFileTypeMessage, db::MessageAnswer::Ok);
    child<QAction>(*window, "MenuNew")->trigger();
    EXPECT_EQ(window->currentDatabasePath(), file("fresh.dbf"));
}

TEST_F(MainWindowCommands, EndingASearchShowsEveryRecordAgain) {
    makeBookTable(file("BOOKS.DBF"), {"Austen", "Brontë", "Austen"});
    writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() + "\r\n");
    auto window = startWindow();
    QAction* endSearch = child<QAction>(*window, "MenuEndSearch");
    QLabel* searchOn = child<QLabel>(*window, "SearchOnLabel");
    EXPECT_FALSE(endSearch->isEnabled());

    const int author = window->MyTable().fieldIndex("AUTHOR");
    window->setSearchRecordTest(
        [author](const table::RecordView& record) { return record.text(author) == "Austen"; });
    window->EnableEndSearch();
    window->DisplayCount();
    EXPECT_TRUE(window->searchActive());
    EXPECT_TRUE(endSearch->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*window, "EndSearchSpeed")->isEnabled());
    EXPECT_TRUE(searchOn->isVisible());
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "2");

    endSearch->trigger();
    EXPECT_FALSE(window->searchActive());
    EXPECT_FALSE(endSearch->isEnabled());
    EXPECT_FALSE(searchOn->isVisible());
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "3");

    // Opening another table ends a running search first.
    window->EnableEndSearch();
    makeBookTable(file("OTHER.DBF"), {"Brontë"});
    s.files.answer(file("OTHER.DBF"));
    child<QAction>(*window, "MenuOpen")->trigger();
    EXPECT_FALSE(window->searchActive());
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "1");
}

TEST_F(MainWindowCommands, UserFontsComeFromTheFontDialogAndAreSaved) {
    auto window = startWindow();
    QFont chosen(QStringLiteral("Courier New"));
    chosen.setBold(true);
    s.fonts.answer(chosen);
    child<QAction>(*window, "MenuLabelFont")->trigger();
    EXPECT_EQ(window->userFonts().label.family(), "Courier New");
    EXPECT_EQ(child<QLabel>(*window, "Count2Label")->font().family(), "Courier New");
    EXPECT_TRUE(child<QLabel>(*window, "Count2Label")->font().bold());

    s.fonts.answer(std::nullopt);
    child<QAction>(*window, "MenuButtonFont")->trigger();
    EXPECT_EQ(window->userFonts().button.family(), "Arial");
    ASSERT_EQ(s.fonts.initialFonts.size(), 2u);
    EXPECT_EQ(s.fonts.initialFonts[1].family(), "Arial");

    window->close();
    const std::string saved = readSettings();
    EXPECT_NE(saved.find("[Label Font]\r\nFont Name=Courier New\r\nBold=Yes\r\nItalic=No"),
              std::string::npos);
}

TEST_F(MainWindowCommands, TipsShowOnceAtStartUpOnlyWhenWanted) {
    for (const bool wanted : {true, false}) {
        writeSettings(wanted ? "" : "[Misc]\r\nShow Tips=no\r\n");
        auto window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        int tips = 0;
        window->wireCommand(app::Command::Tips, [&] { ++tips; });
        window->show();
        QApplication::processEvents();
        window->hide();
        window->show();
        QApplication::processEvents();
        EXPECT_EQ(tips, wanted ? 1 : 0);
        child<QAction>(*window, "MenuTips")->trigger();
        EXPECT_EQ(tips, wanted ? 2 : 1);
    }
}

TEST_F(MainWindowCommands, CommandsOfOtherWindowsStayDisabledUntilWired) {
    auto window = startWindow();
    for (const char* name :
         {"MenuAdd", "MenuEdit", "MenuSearch", "MenuReports", "MenuPrint", "MenuViewer",
          "MenuSortOrder", "MenuLocate", "MenuAbout", "MenuContents"})
        EXPECT_FALSE(child<QAction>(*window, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QAction>(*window, "MenuPrinterSetup")->isEnabled());

    int reports = 0;
    window->wireCommand(app::Command::Reports, [&] { ++reports; });
    window->SetButtonBar(app::ButtonBarMode::LetteredButtons);
    child<QAction>(*window, "MenuReports")->trigger();
    child<QAction>(*window, "MenuPrint")->trigger();
    child<QToolButton>(*window, "ReportSpeed")->click(); // hidden panel: disabled, no effect
    child<QPushButton>(*window, "ReportButton")->click();
    EXPECT_EQ(reports, 3);

    s.printers.answerSetUp(true);
    child<QAction>(*window, "MenuPrinterSetup")->trigger();
    EXPECT_EQ(s.printers.setUpCount, 1);
}

} // namespace
