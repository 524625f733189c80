// Whatever a command does to the table, the grid shows the table as it is with the highlight on
// the table's current record, and Edit and Delete act on the record highlighted; an edit being
// typed in the grid is never lost to a command; an engine error no window caught is shown and
// the program goes on.

#include "app/window_wiring.h"
#include "db/table_maintenance.h"
#include "edit/tmy_edit.h"
#include "search/criteria_grid.h"
#include "search/search_window.h"
#include "search/sort_order_window.h"
#include "support/gui/modal.h"
#include "support_main_window.h"
#include "widgets/record_grid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <functional>

using namespace testsupport;

namespace {

class GridAndTableTest : public MainWindowTest {
protected:
    void SetUp() override {
        makeBookTable(file("BOOKS.DBF"), {"Carroll", "Austen", "Brontë"});
        makeBookTable(file("OTHER.DBF"), {"Dickens"});
        writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() +
                      "\r\nShow Tips=No\r\n");
        window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        windows = std::make_unique<app::ProgramWindows>(*window, s.seams);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        windows.reset();
        window.reset();
    }

    void run(const char* menuItem, std::function<void(QWidget*)> answer) {
        whenModalAppears(std::move(answer));
        trigger(menuItem);
    }
    void trigger(const char* menuItem) {
        child<QAction>(*window, menuItem)->trigger();
        QApplication::processEvents();
    }
    widgets::RecordGrid& grid() { return window->ViewerGrid(); }
    widgets::BookTableModel& model() { return grid().bookModel(); }
    int column(const char* field) { return model().columnOfField(field); }
    QString cell(int row, const char* field) {
        return model().data(model().index(row, column(field))).toString();
    }
    QString highlightedTitle() { return cell(grid().currentIndex().row(), "Title"); }
    int titleField() { return window->MyTable().fieldIndexOrThrow("TITLE"); }

    // The titles of the records the table shows now, in its order, through its filter.
    std::vector<QString> tableTitles() {
        table::Table& books = window->MyTable();
        const table::Table::Bookmark mark = books.bookmark();
        std::vector<QString> titles;
        books.suspendObservers();
        for (books.first(); !books.eof() && books.recordNumber() != 0; books.next())
            titles.push_back(QString::fromStdString(books.asText(titleField())));
        if (mark != 0)
            books.goToBookmark(mark);
        books.resumeObservers();
        QApplication::processEvents();
        return titles;
    }

    // The grid shows every record of the table in its order, with the highlight on the table's
    // current record, and Edit opens the record highlighted.
    void expectGridShowsTheTable() {
        QApplication::processEvents();
        const std::vector<QString> titles = tableTitles();
        ASSERT_EQ(model().rowCount(), static_cast<int>(titles.size()));
        for (int row = 0; row < model().rowCount(); ++row)
            EXPECT_EQ(cell(row, "Title"), titles[static_cast<size_t>(row)]) << row;
        EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), QString::number(titles.size()));
        const int row = grid().currentIndex().row();
        ASSERT_GE(row, 0);
        EXPECT_EQ(row, model().currentRow());
        EXPECT_EQ(model().recordAt(row), window->MyTable().recordNumber());
        EXPECT_EQ(highlightedTitle().toStdString(), window->MyTable().asText(titleField()));
        const QString highlighted = highlightedTitle();
        run("MenuEdit", [&](QWidget* dialog) {
            auto* form = qobject_cast<edit::TMyEdit*>(dialog);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(qobject_cast<QLineEdit*>(form->control(edit::field::Title))->text(),
                      highlighted);
            form->button("E&xit")->click();
        });
    }

    // The edit form, opened by `menuItem`, with `title` typed in and stored by "Update & Exit".
    void storeFromForm(const char* menuItem, const QString& title) {
        run(menuItem, [&](QWidget* dialog) {
            auto* form = qobject_cast<edit::TMyEdit*>(dialog);
            ASSERT_NE(form, nullptr);
            qobject_cast<QLineEdit*>(form->control(edit::field::Title))->setText(title);
            form->button("&Update && Exit")->click();
        });
    }

    std::unique_ptr<app::TMain> window;
    std::unique_ptr<app::ProgramWindows> windows;
};

TEST_F(GridAndTableTest, EveryCommandLeavesTheGridShowingTheTable) {
    struct Step {
        const char* name;
        std::function<void()> act;
        const char* highlighted; // the title highlighted afterwards, "" for no check
    };
    QString deleted;
    const std::vector<Step> steps = {
        {"Add, Update & Exit", [&] { storeFromForm("MenuAdd", "Emma"); }, "Emma"},
        {"Copy, Update & Exit", [&] { storeFromForm("MenuCopy", "Emma, a copy"); }, "Emma, a copy"},
        {"Edit, Update & Exit", [&] { storeFromForm("MenuEdit", "Emma, edited"); }, "Emma, edited"},
        {"Next, stored with Yes",
         [&] {
             grid().setCurrentIndex(model().index(0, column("Title")));
             s.messages.expect("Warning",
                               "Data has changed.  Update this record before moving to the next "
                               "record?",
                               db::MessageAnswer::Yes);
             run("MenuEdit", [](QWidget* dialog) {
                 auto* form = qobject_cast<edit::TMyEdit*>(dialog);
                 ASSERT_NE(form, nullptr);
                 qobject_cast<QLineEdit*>(form->control(edit::field::Title))->setText("Persuasion");
                 form->button("&Next")->click();
                 form->button("E&xit")->click();
             });
             EXPECT_EQ(cell(0, "Title"), "Persuasion"); // shown at once, no Refresh needed
         },
         ""},
        {"Delete, Yes",
         [&] {
             grid().setCurrentIndex(model().index(2, column("Title")));
             deleted = highlightedTitle();
             s.messages.expect("Confirm", "Delete this record?", db::MessageAnswer::Yes);
             trigger("MenuDelete");
             const std::vector<QString> titles = tableTitles();
             EXPECT_EQ(std::count(titles.begin(), titles.end(), deleted), 0);
             EXPECT_EQ(titles.size(), 4u);
         },
         ""},
        {"Search",
         [&] {
             run("MenuSearch", [](QWidget* dialog) {
                 auto* search = qobject_cast<search::TMySearch*>(dialog);
                 ASSERT_NE(search, nullptr);
                 search->grid()->makeCurrent(edit::field::Title);
                 QTest::keyClicks(search->grid()->openEditor(), "Emma");
                 search->findChild<QPushButton*>("OkButton")->click();
             });
             EXPECT_TRUE(window->searchActive());
         },
         ""},
        {"End Search", [&] { trigger("MenuEndSearch"); }, ""},
        {"Sort Order",
         [&] {
             run("MenuSortOrder", [](QWidget* dialog) {
                 auto* sort = qobject_cast<search::TMySortOrder*>(dialog);
                 ASSERT_NE(sort, nullptr);
                 sort->levelList(0)->setCurrentIndex(edit::field::Title);
                 for (int level = 1; level < 4; ++level)
                     sort->levelList(level)->setCurrentIndex(0);
                 sort->findChild<QPushButton*>("OkButton")->click();
             });
             EXPECT_EQ(cell(0, "Title"), "Book 1");
         },
         ""},
        {"Pack",
         [&] {
             grid().setCurrentIndex(model().index(3, column("Title")));
             s.messages.expect("Confirm", db::kPackQuestion, db::MessageAnswer::Yes);
             trigger("MenuPackDatabase");
         },
         ""},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.act();
        s.messages.verifyAllShown();
        if (*step.highlighted != 0) {
            EXPECT_EQ(highlightedTitle(), step.highlighted);
        }
        expectGridShowsTheTable();
        if (HasFatalFailure())
            return;
    }
}

// A record being typed in the grid (field editing on, Insert, a cell typed and still open) is
// stored before any command closes, reopens or moves the table; a text the table refuses keeps
// the command from running.
TEST_F(GridAndTableTest, ARecordTypedInTheGridIsStoredBeforeTheTableCloses) {
    window->settings().gridFieldEditing = true;
    window->SetViewerOptions();
    const auto typeNewRecord = [&](const char* field, const QString& text) {
        grid().setCurrentIndex(model().index(0, column(field)));
        QTest::keyClick(&grid(), Qt::Key_Insert);
        ASSERT_EQ(window->MyTable().state(), table::Table::State::Insert);
        QLineEdit* editor = nullptr; // editors closed before may linger until deleted
        for (QLineEdit* candidate : grid().viewport()->findChildren<QLineEdit*>())
            if (candidate->isVisible())
                editor = candidate;
        ASSERT_NE(editor, nullptr);
        editor->setText(text);
    };
    const auto titlesIn = [&](const char* name) {
        table::Table books;
        db::pointTableAt(books, file(name));
        books.open();
        std::vector<std::string> titles;
        for (books.first(); !books.eof() && books.recordNumber() != 0; books.next())
            titles.push_back(books.asText(books.fieldIndexOrThrow("TITLE")));
        return titles;
    };
    struct Case {
        const char* name;
        std::function<void()> command;
    };
    const std::vector<Case> cases = {
        {"File > Open",
         [&] {
             s.files.answer(file("OTHER.DBF"));
             trigger("MenuOpen");
         }},
        {"a recent file",
         [&] {
             window->settings().recentFiles.setEntry(0, file("OTHER.DBF"));
             window->SetMenuLastFiles();
             trigger("MenuLastFile1");
         }},
        {"File > New",
         [&] {
             s.files.answer(file("NEW.DBF"));
             trigger("MenuNew");
         }},
        {"End Search",
         [&] {
             window->setSearchRecordTest([](const table::RecordView&) { return true; });
             window->EnableEndSearch();
             trigger("MenuEndSearch");
         }},
    };
    int typed = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (window->currentDatabasePath() != file("BOOKS.DBF")) {
            s.files.answer(file("BOOKS.DBF"));
            trigger("MenuOpen");
        }
        const QString title = QStringLiteral("Typed %1").arg(++typed);
        typeNewRecord("Title", title);
        c.command();
        s.messages.verifyAllShown();
        EXPECT_EQ(window->MyTable().state(), table::Table::State::Browse);
        const std::vector<std::string> titles = titlesIn("BOOKS.DBF");
        EXPECT_NE(std::find(titles.begin(), titles.end(), title.toStdString()), titles.end());
        EXPECT_EQ(titles.size(), 3u + typed);
    }

    // A number the table cannot take: the user is told, and Open does not run (no dialog).
    if (window->currentDatabasePath() != file("BOOKS.DBF")) {
        s.files.answer(file("BOOKS.DBF"));
        trigger("MenuOpen");
    }
    typeNewRecord("YearPub", "19x5");
    const size_t dialogs = s.files.calls.size();
    s.messages.expectCaption("Error");
    trigger("MenuOpen");
    s.messages.verifyAllShown();
    EXPECT_EQ(s.files.calls.size(), dialogs);
    EXPECT_EQ(window->currentDatabasePath(), file("BOOKS.DBF"));
    EXPECT_EQ(window->MyTable().state(), table::Table::State::Insert);
    grid().dropCellEdit();
    model().cancel();
}

// The edit form's Next on a table that could not be opened again: the engine's message is shown
// and the program goes on.
TEST_F(GridAndTableTest, AnEngineErrorNoWindowCaughtIsShownAndTheProgramGoesOn) {
    s.messages.expectCaption("Error");
    run("MenuEdit", [this](QWidget* dialog) {
        auto* form = qobject_cast<edit::TMyEdit*>(dialog);
        ASSERT_NE(form, nullptr);
        window->MyTable().close(); // as a reopen that failed leaves it
        // From the event loop, as a click arrives.
        QMetaObject::invokeMethod(form->button("&Next"), "clicked", Qt::QueuedConnection);
        QApplication::processEvents();
        form->button("E&xit")->click();
    });
    s.messages.verifyAllShown();
    ASSERT_FALSE(s.messages.shown.empty());
    EXPECT_NE(s.messages.shown.back().text.find("is not open"), std::string::npos)
        << s.messages.shown.back().text;
    window->reopenBookTable();
    EXPECT_EQ(model().rowCount(), 3);
}

} // namespace
