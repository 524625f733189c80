// The main window with every other window of the program behind its commands, driven as a user
// drives it: each command opens the real window, which the test answers and closes.

#include "app/about_box.h"
#include "app/list_editor.h"
#include "app/tip_of_day.h"
#include "app/window_wiring.h"
#include "appearance/colour_config.h"
#include "appearance/view_config_window.h"
#include "db/field_catalogue.h"
#include "edit/tmy_edit.h"
#include "reports/report_file.h"
#include "reports/report_window.h"
#include "search/criteria_grid.h"
#include "search/locate_dialog.h"
#include "search/replace_window.h"
#include "search/search_window.h"
#include "search/sort_order_window.h"
#include "support/gui/modal.h"
#include "support_main_window.h"
#include "table/date_format.h"
#include "transfer/export_window.h"
#include "transfer/import_windows.h"
#include "widgets/record_grid.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace testsupport;

namespace {

class ProgramWindowsTest : public MainWindowTest {
protected:
    void start(bool showTips = false, const std::string& moreSettings = {}) {
        makeBookTable(file("BOOKS.DBF"), {"Carroll", "Austen", "Brontë"});
        writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() +
                      "\r\nShow Tips=" + (showTips ? "Yes" : "No") + "\r\n" + moreSettings);
        window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        windows = std::make_unique<app::ProgramWindows>(*window, s.seams);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        windows.reset(); // the edit and search windows go before the main window
        window.reset();
    }

    // Runs the command of a menu item; `answer` handles the window it opens.
    void run(const char* menuItem, std::function<void(QWidget*)> answer) {
        whenModalAppears(std::move(answer));
        child<QAction>(*window, menuItem)->trigger();
        QApplication::processEvents();
    }
    QString count() { return child<QLabel>(*window, "CountLabel")->text(); }
    // The grid's column of a field, by display position; -1 when the field is hidden.
    int column(const char* field) { return window->ViewerGrid().bookModel().columnOfField(field); }
    QString cell(int row, const char* field) {
        const auto& model = window->ViewerGrid().bookModel();
        return model.data(model.index(row, column(field))).toString();
    }

    std::unique_ptr<app::TMain> window;
    std::unique_ptr<app::ProgramWindows> windows;
};

TEST_F(ProgramWindowsTest, AddStoresARecordThroughTheEditFormAndCountsIt) {
    start();
    ASSERT_EQ(count(), "3");
    run("MenuAdd", [](QWidget* dialog) {
        auto* form = qobject_cast<edit::TMyEdit*>(dialog);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->editMode(), edit::EditMode::Add);
        qobject_cast<QLineEdit*>(form->control(edit::field::Title))->setText("Emma");
        form->button("Up&date")->click();
        form->button("E&xit")->click();
    });
    EXPECT_EQ(count(), "4");
    EXPECT_EQ(window->editMode(), app::EditMode::Add);
}

TEST_F(ProgramWindowsTest, SearchNarrowsTheGridAndEndSearchShowsEveryRecord) {
    start();
    run("MenuSearch", [](QWidget* dialog) {
        auto* search = qobject_cast<search::TMySearch*>(dialog);
        ASSERT_NE(search, nullptr);
        search->grid()->makeCurrent(edit::field::Author);
        QTest::keyClicks(search->grid()->openEditor(), "Austen");
        search->findChild<QPushButton*>("OkButton")->click();
    });
    EXPECT_EQ(count(), "1");
    EXPECT_TRUE(window->searchActive());
    EXPECT_EQ(window->ViewerGrid().bookModel().rowCount(), 1);
    EXPECT_EQ(cell(0, "Author"), "Austen");

    child<QAction>(*window, "MenuEndSearch")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(count(), "3");
    EXPECT_FALSE(window->searchActive());
    EXPECT_EQ(window->ViewerGrid().bookModel().rowCount(), 3);
}

TEST_F(ProgramWindowsTest, SortOrderReordersTheGrid) {
    start();
    ASSERT_EQ(cell(0, "Author"), "Austen"); // by author at first
    run("MenuSortOrder", [](QWidget* dialog) {
        auto* sort = qobject_cast<search::TMySortOrder*>(dialog);
        ASSERT_NE(sort, nullptr);
        sort->levelList(0)->setCurrentIndex(edit::field::Title);
        for (int level = 1; level < 4; ++level)
            sort->levelList(level)->setCurrentIndex(0);
        sort->findChild<QPushButton*>("OkButton")->click();
    });
    QApplication::processEvents();
    EXPECT_EQ(cell(0, "Author"), "Carroll"); // "Book 1"
    EXPECT_EQ(cell(2, "Author"), "Brontë");  // "Book 3"
    EXPECT_EQ(window->settings().sortLevels[0], edit::field::Title);
}

TEST_F(ProgramWindowsTest, LocateMovesTheGridToTheMatchAndLocateNextGoesOn) {
    start(); // by author: Austen, Brontë, Carroll
    ASSERT_TRUE(child<QToolButton>(*window, "LocateSpeed")->isEnabled());
    ASSERT_TRUE(child<QToolButton>(*window, "LocateNextSpeed")->isEnabled());
    const auto currentRow = [this] {
        QApplication::processEvents(); // the grid follows its table from the event loop
        return window->ViewerGrid().bookModel().currentRow();
    };
    run("MenuLocate", [](QWidget* dialog) {
        auto* locate = qobject_cast<search::TMyLocateDlg*>(dialog);
        ASSERT_NE(locate, nullptr);
        locate->fieldList()->setCurrentIndex(locate->fieldList()->findText("Author"));
        locate->valueEdit()->setText("r");
        locate->matchButton(search::MatchType::PartialAnywhere)->setChecked(true);
        locate->firstButton()->click();
    });
    EXPECT_EQ(currentRow(), 1);
    EXPECT_EQ(window->MyTable().asText(window->MyTable().fieldIndex("Author")), "Brontë");
    child<QToolButton>(*window, "LocateNextSpeed")->click();
    EXPECT_EQ(currentRow(), 2);
    s.messages.expect("Information", "No more matches found", db::MessageAnswer::Ok);
    child<QAction>(*window, "MenuLocateNext")->trigger();
    EXPECT_EQ(currentRow(), 2);
}

TEST_F(ProgramWindowsTest, SearchAndReplaceChangesTheTableAndUndoPutsItBack) {
    start(); // by author: Austen, Brontë, Carroll
    QAction* undo = child<QAction>(*window, "MenuUndoReplace");
    EXPECT_FALSE(undo->isEnabled());
    s.messages.expect("Finished", "Global Search and Replace Complete.", db::MessageAnswer::Ok);
    run("MenuSearchReplace", [](QWidget* dialog) {
        auto* replace = qobject_cast<search::TSearchAndReplace*>(dialog);
        ASSERT_NE(replace, nullptr);
        replace->fieldList()->setCurrentIndex(replace->fieldList()->findText("Author"));
        replace->searchEdit()->setText("austen");
        replace->replacementEdit()->setText("Jane Austen");
        replace->startButton()->click();
    });
    for (int wait = 0; wait < 200 && QApplication::activeModalWidget() != nullptr; ++wait)
        QTest::qWait(10);
    QApplication::processEvents();
    EXPECT_EQ(cell(2, "Author"), "Jane Austen"); // in the sort order, rebuilt
    EXPECT_EQ(window->MyTable().openMode(), table::OpenMode::Shared);
    EXPECT_EQ(window->MyTable().selectedTag(), "NewIndex");
    EXPECT_TRUE(undo->isEnabled());

    s.messages.expect("Finished",
                      "Undo of the last search and replace complete.  1 record(s) restored.",
                      db::MessageAnswer::Ok);
    undo->trigger();
    QApplication::processEvents();
    EXPECT_EQ(cell(0, "Author"), "Austen");
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(ProgramWindowsTest, SearchAndReplaceUnderASearchVisitsEveryRecordAndKeepsTheSearch) {
    start();
    run("MenuSearch", [](QWidget* dialog) {
        auto* search = qobject_cast<search::TMySearch*>(dialog);
        ASSERT_NE(search, nullptr);
        search->grid()->makeCurrent(edit::field::Author);
        QTest::keyClicks(search->grid()->openEditor(), "Austen");
        search->findChild<QPushButton*>("OkButton")->click();
    });
    ASSERT_EQ(count(), "1");
    s.messages.expect("Finished", "Global Search and Replace Complete.", db::MessageAnswer::Ok);
    run("MenuSearchReplace", [](QWidget* dialog) {
        auto* replace = qobject_cast<search::TSearchAndReplace*>(dialog);
        ASSERT_NE(replace, nullptr);
        replace->fieldList()->setCurrentIndex(replace->fieldList()->findText("Author"));
        replace->searchEdit()->setText("carroll");
        replace->replacementEdit()->setText("Lewis Carroll");
        replace->startButton()->click();
    });
    for (int wait = 0; wait < 200 && QApplication::activeModalWidget() != nullptr; ++wait)
        QTest::qWait(10);
    QApplication::processEvents();
    EXPECT_TRUE(window->searchActive());
    EXPECT_EQ(count(), "1");
    child<QAction>(*window, "MenuEndSearch")->trigger();
    QApplication::processEvents();
    EXPECT_EQ(cell(2, "Author"), "Lewis Carroll");
}

// The header line carries the viewer's column titles; a field hidden since start-up goes by its
// table name in capitals. The whole table goes out in the sort order.
TEST_F(ProgramWindowsTest, ExportWritesTheTableInSortOrderWithColumnTitles) {
    std::string fields = "[Display Fields]\r\nYearPub=No\r\n[Export Fields]\r\n";
    for (const db::FieldInfo& field : db::fieldCatalogue())
        fields += std::string(field.name) + (field.number <= 3 ? "=Yes\r\n" : "=No\r\n");
    start(false, fields);
    const QString out = file("OUT.TXT");
    s.files.answer(out);
    s.messages.expect("Ok", "Export Complete.", db::MessageAnswer::Ok);
    run("MenuExport", [](QWidget* dialog) {
        auto* exporter = qobject_cast<transfer::TMyExport*>(dialog);
        ASSERT_NE(exporter, nullptr);
        exporter->findChild<QPushButton*>("StartExportButton")->click();
    });
    QFile text(out);
    ASSERT_TRUE(text.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = text.readAll().split('\n');
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[0], "\"Title\",\"Author\",\"YEARPUB\"\r");
    EXPECT_TRUE(lines[1].contains("\"Austen\"")) << lines[1].toStdString();
    EXPECT_TRUE(lines[3].contains("\"Carroll\"")) << lines[3].toStdString();
}

// Import through both dialogs: the new books are in the grid and in the count afterwards.
TEST_F(ProgramWindowsTest, ImportAddsBooksAndTheCountFollows) {
    start();
    const QString in = file("IN.TXT");
    QFile text(in);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("\"Title\",\"Author\"\r\n\"New\",\"Dickens\"\r\n\"Newer\",\"Eliot\"\r\n");
    text.close();
    s.files.answer(in);
    s.messages.expect("Ok", "Import Complete.", db::MessageAnswer::Ok);
    run("MenuImport", [](QWidget* dialog) {
        auto* source = qobject_cast<transfer::TImportFormat*>(dialog);
        ASSERT_NE(source, nullptr);
        whenModalAppears([](QWidget* mapping) {
            ASSERT_NE(qobject_cast<transfer::TMyImport*>(mapping), nullptr);
            clickButton(mapping, "Start Import");
        });
        clickButton(dialog, "Select File");
    });
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(count().contains(QLatin1String("5"))) << count().toStdString();
    EXPECT_EQ(cell(3, "Author"), "Dickens");
    EXPECT_EQ(cell(4, "Author"), "Eliot");
}

TEST_F(ProgramWindowsTest, ViewerConfigurationHidesAColumn) {
    start();
    ASSERT_GE(column("Title"), 0);
    run("MenuViewer", [](QWidget* dialog) {
        auto* config = qobject_cast<appearance::TViewConfig*>(dialog);
        ASSERT_NE(config, nullptr);
        config->findChild<QTableWidget*>("FieldsToDisplay")->item(0, 1)->setText("No");
        config->findChild<QPushButton*>("ExitButton")->click();
    });
    EXPECT_EQ(column("Title"), -1);
    EXPECT_GE(column("Author"), 0);
}

// The colour window's Ok repaints the main window, system colours included.
TEST_F(ProgramWindowsTest, MainWindowColoursFollowTheColourWindow) {
    start();
    const auto chooseBackground = [this](app::Colour background) {
        run("MenuMainColor", [background](QWidget* dialog) {
            auto* colours = qobject_cast<appearance::TColorConfig*>(dialog);
            ASSERT_NE(colours, nullptr);
            EXPECT_EQ(colours->kind(), 1);
            app::ColourSet set = colours->workingCopy();
            set[app::ColourRole::MainBackground] = background;
            colours->setWorkingCopy(set);
            clickButton(dialog, "Ok");
        });
    };
    QWidget* client = window->centralWidget();
    chooseBackground(0x0000FF); // red, in the stored byte order
    EXPECT_EQ(client->palette().color(QPalette::Window), QColor(255, 0, 0));
    chooseBackground(static_cast<app::Colour>(0x80000001u)); // the desktop's system colour
    EXPECT_EQ(client->palette().color(QPalette::Window),
              QApplication::palette().color(QPalette::Window));
}

TEST_F(ProgramWindowsTest, TipsAtFirstActivationAndFromTheMenuAndTheAboutBox) {
    s.random.script({0, 3});
    int tipsShown = 0;
    whenModalAppears([&](QWidget* dialog) {
        auto* tips = qobject_cast<app::TTipOfDay*>(dialog);
        ASSERT_NE(tips, nullptr);
        ++tipsShown;
        tips->CloseButton()->click();
    });
    start(true);
    for (int wait = 0; wait < 100 && tipsShown == 0; ++wait)
        QTest::qWait(10);
    EXPECT_EQ(tipsShown, 1);

    run("MenuTips", [&](QWidget* dialog) {
        auto* tips = qobject_cast<app::TTipOfDay*>(dialog);
        ASSERT_NE(tips, nullptr);
        EXPECT_EQ(tips->tipNumber(), 4);
        tips->CloseButton()->click();
    });
    run("MenuAbout", [](QWidget* dialog) {
        auto* about = qobject_cast<app::TAboutBox*>(dialog);
        ASSERT_NE(about, nullptr);
        about->OkButton()->click();
    });
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ProgramWindowsTest, StoredDateFormatAppliesAtStartUpAndTheMenuChangesIt) {
    start(false, "Date Format=6\r\n"); // dd.mm.yy
    EXPECT_EQ(table::currentDateFormat().order, table::DateFormat::Order::DayMonthYear);
    EXPECT_EQ(table::currentDateFormat().separator, '.');
    EXPECT_TRUE(child<QAction>(*window, "MenuDateFormat6")->isChecked());

    child<QAction>(*window, "MenuDateFormat7")->trigger(); // mm/dd/yyyy
    EXPECT_EQ(table::currentDateFormat().order, table::DateFormat::Order::MonthDayYear);
    EXPECT_EQ(table::currentDateFormat().separator, '/');
    EXPECT_EQ(window->settings().dateFormat, 7);
    EXPECT_TRUE(child<QAction>(*window, "MenuDateFormat7")->isChecked());
    EXPECT_FALSE(child<QAction>(*window, "MenuDateFormat6")->isChecked());
    child<QAction>(*window, "MenuDateFormat1")->trigger(); // back to the default for other tests
}

TEST_F(ProgramWindowsTest, HelpContentsFromTheMenuAndTheSpeedButton) {
    start();
    child<QAction>(*window, "MenuContents")->trigger();
    child<QToolButton>(*window, "HelpSpeed")->click();
    EXPECT_EQ(s.help.calls, (QStringList{"contents", "contents"}));
}

// An entry added in the list editor reaches the list file when the program ends, even though the
// edit window, which writes the lists when it closes, was never opened.
TEST_F(ProgramWindowsTest, ListEditsAreWrittenWhenTheProgramCloses) {
    start();
    QList<QAction*> lists = child<QWidget>(*window, "MenuListMaintenance")->actions();
    ASSERT_EQ(lists.size(), 9);
    whenModalAppears([](QWidget* dialog) {
        auto* editor = qobject_cast<app::TMyEditBox*>(dialog);
        ASSERT_NE(editor, nullptr);
        editor->AddInfo()->setText("Zola");
        editor->AddButton()->click();
        editor->OkButton()->click();
    });
    lists[0]->trigger();
    EXPECT_TRUE(window->gridPickLists().forField(edit::field::Author)->entries().contains("Zola"));
    window->close();
    QFile authors(file("AUTHOR.LST"));
    ASSERT_TRUE(authors.open(QIODevice::ReadOnly));
    EXPECT_TRUE(authors.readAll().contains("Zola\r\n"));
}

} // namespace

TEST_F(ProgramWindowsTest, NewReportFromTheReportsCommandSavesItAtTheEndOfTheList) {
    start();
    run("MenuReports", [](QWidget* dialog) {
        auto* reports = qobject_cast<reports::TMyReport*>(dialog);
        ASSERT_NE(reports, nullptr);
        auto* newButton = reports->findChild<QPushButton*>("NewButton");
        ASSERT_TRUE(newButton->isEnabled());
        whenModalAppears([](QWidget* designer) {
            EXPECT_EQ(designer->windowTitle(), "Report Definition");
            designer->findChild<QLineEdit*>("ReportName")->setText("From The Menu");
            clickButton(designer, "Update");
        });
        newButton->click();
        EXPECT_EQ(reports->reportBox()->currentItem()->text(), "From The Menu");
        reports->accept();
    });
    EXPECT_EQ(reports::ReportFile(reports::reportFilePath(programDirectory())).list().last(),
              "From The Menu");
}

// The report status window ends with OK once its run is over.
static void clickOkWhenDone(QWidget* status) {
    auto* button = status->findChild<QPushButton*>();
    if (button == nullptr || button->text() != "OK") {
        QTimer::singleShot(10, status, [status] { clickOkWhenDone(status); });
        return;
    }
    button->click();
}

// View runs the report into stored pages and shows them in the preview, captioned with the
// report's name.
TEST_F(ProgramWindowsTest, ViewFromTheReportsCommandShowsThePreview) {
    start();
    QString previewTitle;
    run("MenuReports", [&previewTitle](QWidget* dialog) {
        auto* reports = qobject_cast<reports::TMyReport*>(dialog);
        ASSERT_NE(reports, nullptr);
        auto* viewButton = reports->findChild<QPushButton*>("ViewButton");
        ASSERT_TRUE(viewButton->isEnabled());
        reports->reportBox()->setCurrentRow(0);
        whenModalAppears([&previewTitle](QWidget* status) {
            whenModalAppears([&previewTitle](QWidget* preview) {
                previewTitle = preview->windowTitle();
                preview->close();
            });
            clickOkWhenDone(status);
        });
        viewButton->click();
        reports->accept();
    });
    EXPECT_TRUE(previewTitle.contains(
        reports::ReportFile(reports::reportFilePath(programDirectory())).list().first()))
        << previewTitle.toStdString();
}
