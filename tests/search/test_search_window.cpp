#include "search/search_window.h"

#include "search/criteria_grid.h"
#include "search/main_window_search.h"
#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_books.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using searchtest::Book;
using Titles = std::vector<std::string>;

constexpr int kAuthorRow = 2;
constexpr int kCostRow = 7;
constexpr int kPurchaseDateRow = 12;

// The main window's operations that the search uses, over a real book table.
class MainWindow {
public:
    explicit MainWindow(table::Table& books) : books_(books) {}
    table::Table& MyTable() { return books_; }
    bool searchActive() const { return active; }
    void setSearchRecordTest(table::RecordFilter test) { test_ = std::move(test); }
    void EnableEndSearch() {
        active = true;
        books_.setFilter(test_);
        books_.refresh();
    }
    void DoEndSearch() {
        active = false;
        ++endSearches;
        books_.close();
        books_.setFilter({});
        books_.open();
    }
    void SetViewerOptions() {}
    // As the main window does: the record filter set on the table stays for the reopen.
    void reopenBookTable() {
        books_.close();
        books_.open();
        SetViewerOptions();
    }
    double windowSizeFactor() const { return 1.25; }
    const widgets::UserFonts& userFonts() const { return fonts_; }

    bool active = false;
    int endSearches = 0;

private:
    table::Table& books_;
    table::RecordFilter test_;
    widgets::UserFonts fonts_;
};

class SearchWindow : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = searchtest::createBookTable(
            dir_, {Book{{"Title", "A"}, {"Author", "Smithson, Ann"}, {"Cost", "15"}},
                   Book{{"Title", "B"}, {"Author", "Goldsmith"}, {"Cost", "10"}},
                   Book{{"Title", "C"}, {"Author", "Jones"}, {"Cost", "20"}}});
        searchtest::openShared(books_, path_);
        pickLists_.forField(kAuthorRow)->setEntries({"Jones", "Smithson, Ann"});
        window_.openSearch();
    }

    // Types into a row's criterion cell as the user does.
    void type(int row, const QString& keys, int cursorPosition = -1) {
        window_.grid()->makeCurrent(row);
        auto* editor = window_.grid()->openEditor();
        ASSERT_NE(editor, nullptr);
        if (cursorPosition >= 0)
            editor->setCursorPosition(cursorPosition);
        QTest::keyClicks(editor, keys);
    }

    // Presses and releases the mouse on a row's "..." cell.
    void clickButtonCell(int row) {
        search::CriteriaGrid* grid = window_.grid();
        grid->scrollToItem(grid->item(row - 1, search::CriteriaGrid::kButtonColumn));
        const QRect cell =
            grid->visualItemRect(grid->item(row - 1, search::CriteriaGrid::kButtonColumn));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    }

    void click(const char* button) {
        window_.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    }

    QString heading() const {
        return window_.grid()->headingText(search::CriteriaGrid::kCriterionColumn);
    }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
    MainWindow host_{books_};
    search::MainWindowSearchHost<MainWindow> searchHost_{host_};
    app::Settings settings_;
    db::PickLists pickLists_;
    testsupport::ScriptedSeams seams_;
    search::TMySearch window_{nullptr, seams_.seams, settings_, pickLists_, searchHost_};
};

TEST_F(SearchWindow, AMatchNarrowsTheTableAndClosesTheWindow) {
    EXPECT_EQ(window_.grid()->headingText(0), " FIELD");
    EXPECT_EQ(heading(), " SEARCH CRITERIA    (Level 1)");
    EXPECT_EQ(window_.grid()->item(kAuthorRow - 1, 0)->text(), " Author");
    EXPECT_EQ(window_.grid()->item(kCostRow - 1, 1)->text(), "...");
    EXPECT_EQ(window_.grid()->item(0, 1)->text(), ""); // Title has no pick list
    EXPECT_EQ(window_.grid()->columnWidth(0), 250);    // 200 at 1.25
    const search::RowOperators operators = search::initialRowOperators();
    const int designRowHeight = search::CriteriaGrid(operators, nullptr).rowHeight(0);
    EXPECT_EQ(window_.grid()->rowHeight(0), qRound(designRowHeight * 1.25));

    type(kAuthorRow, "smith");
    click("OkButton");
    EXPECT_EQ(window_.result(), QDialog::Accepted);
    EXPECT_TRUE(host_.active);
    EXPECT_EQ(searchtest::column(books_), (Titles{"A", "B"}));

    // Shown again: a fresh level 1, while the search in force keeps its records.
    window_.openSearch();
    EXPECT_EQ(window_.grid()->criterionText(kAuthorRow), "");
    EXPECT_TRUE(window_.levels().items().empty());
    EXPECT_EQ(window_.grid()->rowHeight(0), qRound(designRowHeight * 1.25)); // not compounded
    click("ExitButton");
    EXPECT_EQ(searchtest::column(books_), (Titles{"A", "B"}));
    seams_.messages.verifyAllShown();
}

TEST_F(SearchWindow, NoMatchEndsTheSearchAndClearsTheCriteria) {
    type(kAuthorRow, "zzz");
    seams_.messages.expect("Notice", "No valid matches found.  Search Criteria will be cleared.",
                           db::MessageAnswer::Ok);
    click("OkButton");
    seams_.messages.verifyAllShown();
    EXPECT_TRUE(window_.isVisible());
    EXPECT_FALSE(host_.active);
    EXPECT_EQ(host_.endSearches, 1);
    EXPECT_EQ(window_.grid()->criterionText(kAuthorRow), "");
    EXPECT_EQ(searchtest::column(books_), (Titles{"A", "B", "C"}));
}

TEST_F(SearchWindow, OperatorChosenInOptionsGivesTheRangeMask) {
    testsupport::whenModalAppears([](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>();
        ASSERT_EQ(list->count(), 4);
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(list->item(3)->text(), " > X < ");
        list->setCurrentRow(3);
        testsupport::clickButton(dialog, QStringLiteral("Ok"));
    });
    clickButtonCell(kCostRow);
    EXPECT_EQ(window_.rowOperators()[kCostRow - 1], search::RowOperator::Between);
    auto* editor = window_.grid()->openEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(window_.grid()->currentRow(), kCostRow - 1);
    EXPECT_TRUE(editor->inputMask().startsWith("\\> xxxxxxxxx \\A\\N\\D \\< xxxxxxxx"));

    // Left blank the range is ignored: the level is empty.
    seams_.messages.expect("Error", "No search criteria entered.", db::MessageAnswer::Ok);
    click("OkButton");
    seams_.messages.verifyAllShown();

    type(kCostRow, "10");
    type(kCostRow, "20", 18); // after "> " (2), nine places (9) and " AND < " (7)
    window_.grid()->commitOpenEditor();
    EXPECT_EQ(window_.grid()->criterionText(kCostRow), "> 10        AND < 20      ");
    click("OkButton");
    EXPECT_EQ(window_.result(), QDialog::Accepted);
    EXPECT_EQ(searchtest::column(books_), Titles{"A"});
}

TEST_F(SearchWindow, PickListEntryFillsTheCellAndBadNumbersAreRefused) {
    testsupport::whenModalAppears([](QWidget* dialog) {
        auto* list = dialog->findChild<QListWidget*>();
        ASSERT_EQ(list->count(), 2);
        EXPECT_TRUE(list->selectedItems().isEmpty());
        list->setCurrentRow(1);
        testsupport::clickButton(dialog, QStringLiteral("Ok"));
    });
    clickButtonCell(kAuthorRow);
    EXPECT_EQ(window_.grid()->criterionText(kAuthorRow), "Smithson, Ann");

    type(kCostRow, "1x");
    seams_.messages.expect("Error", "Invalid search criteria entered.  Please correct.",
                           db::MessageAnswer::Ok);
    click("FindMoreButton");
    seams_.messages.verifyAllShown();
    EXPECT_EQ(window_.grid()->currentRow(), kCostRow - 1);
    EXPECT_EQ(heading(), " SEARCH CRITERIA    (Level 1)");
    EXPECT_EQ(window_.grid()->criterionText(kAuthorRow), "Smithson, Ann");
}

TEST_F(SearchWindow, FindMoreStopsAtLevelTenAndClearStartsAgain) {
    auto* findMore = window_.findMoreButton();
    for (int level = 1; level < search::kMaxLevels; ++level) {
        type(1, "x");
        click("FindMoreButton");
        EXPECT_EQ(window_.grid()->criterionText(1), "");
    }
    EXPECT_EQ(heading(), " SEARCH CRITERIA    (Level 10)");
    EXPECT_FALSE(findMore->isEnabled());
    EXPECT_EQ(window_.levels().items().size(), 9u);

    seams_.messages.expect("Error", "No search criteria entered.", db::MessageAnswer::Ok);
    click("OkButton");
    seams_.messages.verifyAllShown();
    EXPECT_FALSE(host_.active);
    EXPECT_TRUE(findMore->isEnabled()); // "&Ok" enables it again

    click("ClearButton");
    EXPECT_EQ(heading(), " SEARCH CRITERIA    (Level 1)");
    EXPECT_TRUE(window_.levels().items().empty());

    click("HelpButton");
    EXPECT_EQ(seams_.help.calls, QStringList{"Search Window"});
}

// Whatever a date cell shows when the search starts is what is compiled, complete or not: the
// user leaves the cell by clicking a button or another cell.
TEST_F(SearchWindow, DateCellsKeepWhatWasTypedHoweverTheyAreLeft) {
    struct Case {
        const char* typed;   // digits typed into "= 99/99/0000"
        bool between;        // the row's operator is " > X < " (only the first side typed)
        const char* leaveBy; // "OkButton", "FindMoreButton" or "cell" (then "OkButton")
        const char* caption;
        const char* message;
    };
    const char* const kInvalid = "Invalid search criteria entered.  Please correct.";
    const std::vector<Case> cases{
        // A two-digit year is a date: the search runs with it and finds no purchase date.
        {"031520", false, "OkButton", "Notice",
         "No valid matches found.  Search Criteria will be cleared."},
        {"12", false, "FindMoreButton", "Error", kInvalid},
        {"03152020", true, "OkButton", "Error", kInvalid},
        {"0315", false, "cell", "Error", kInvalid}};
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_)); // focus moves as the user sees it
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        if (c.between !=
            (window_.rowOperators()[kPurchaseDateRow - 1] == search::RowOperator::Between)) {
            testsupport::whenModalAppears([c](QWidget* dialog) {
                dialog->findChild<QListWidget*>()->setCurrentRow(c.between ? 3 : 0);
                testsupport::clickButton(dialog, QStringLiteral("Ok"));
            });
            clickButtonCell(kPurchaseDateRow);
        }
        type(kPurchaseDateRow, QString::fromLatin1(c.typed));
        const QString shown = window_.grid()->openEditor()->displayText();
        const bool byCell = std::string(c.leaveBy) == "cell";
        if (byCell) {
            window_.grid()->setCurrentCell(kAuthorRow - 1, search::CriteriaGrid::kCriterionColumn);
            EXPECT_EQ(window_.grid()->criterionText(kPurchaseDateRow), shown);
        }
        seams_.messages.expect(c.caption, c.message, db::MessageAnswer::Ok);
        auto* button = window_.findChild<QPushButton*>(byCell ? QStringLiteral("OkButton")
                                                              : QString::fromLatin1(c.leaveBy));
        button->setFocus(); // as a click does: the cell editor loses the focus first
        button->click();
        seams_.messages.verifyAllShown();
        if (std::string(c.message) == kInvalid) {
            EXPECT_EQ(window_.grid()->criterionText(kPurchaseDateRow), shown);
        }
        EXPECT_FALSE(host_.active);
        window_.grid()->clearCriteria();
    }
}

TEST_F(SearchWindow, ADateDeletedFromItsCellIsNotSearched) {
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
    type(kPurchaseDateRow, "03152020");
    window_.grid()->makeCurrent(kAuthorRow);
    ASSERT_EQ(window_.grid()->criterionText(kPurchaseDateRow).trimmed(), "= 03/15/2020");
    window_.grid()->makeCurrent(kPurchaseDateRow);
    QLineEdit* editor = window_.grid()->openEditor();
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Delete);
    seams_.messages.expect("Error", "No search criteria entered.", db::MessageAnswer::Ok);
    auto* ok = window_.findChild<QPushButton*>(QStringLiteral("OkButton"));
    ok->setFocus();
    ok->click();
    seams_.messages.verifyAllShown();
    EXPECT_FALSE(host_.active);
}

} // namespace
