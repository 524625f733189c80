// The record grid and navigator as the main window uses them.

#include "support/gui/qt_print.h"
#include "support/gui/scripted_seams.h"
#include "support_book_table.h"
#include "widgets/grid_delegates.h"
#include "widgets/record_grid.h"
#include "widgets/record_navigator.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

using testsupport::kAuthorField;
using testsupport::kCheckOutField;
using testsupport::kTitleField;
using widgets::RecordNavigator;
using Button = widgets::RecordNavigator::Button;

namespace {

class RecordGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::makeBookTable(table, dir, 25);
        grid = std::make_unique<widgets::RecordGrid>(table, seams.messages);
        grid->setObjectName("ViewerGrid");
        grid->setColumns({{kTitleField, "Title", 30},
                          {kAuthorField, "Author", 20},
                          {kCheckOutField, "Checked Out", 3}});
        grid->resize(600, 400);
        navigator = std::make_unique<RecordNavigator>(seams.messages);
        navigator->setGrid(grid.get());
        QObject::connect(navigator.get(), &RecordNavigator::pressed,
                         [this](Button which) { presses.push_back(which); });
    }
    std::string currentAuthor() { return table.asText(kAuthorField); }

    testsupport::TempDir dir;
    testsupport::ScriptedSeams seams;
    table::Table table;
    db::PickLists lists; // outlive the grid and its drop-downs
    std::unique_ptr<widgets::RecordGrid> grid;
    std::unique_ptr<RecordNavigator> navigator;
    std::vector<Button> presses;
};

TEST_F(RecordGridTest, OptionsShapeTheGrid) {
    widgets::GridOptions options;
    options.rowIndicator = false;
    options.showTitles = false;
    options.editing = false;
    options.titleAlignment = 3;
    options.cellColour = QColor(10, 20, 30);
    options.cellFont = QFont("DejaVu Sans", 14);
    grid->setOptions(options);
    EXPECT_FALSE(grid->verticalHeader()->isVisibleTo(grid.get()));
    EXPECT_FALSE(grid->horizontalHeader()->isVisibleTo(grid.get()));
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid->palette().color(QPalette::Base), QColor(10, 20, 30));
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
    // Widths in characters of the cell font: the 30-character column is wider than 20.
    const int perChar = QFontMetrics(grid->font()).averageCharWidth();
    EXPECT_GE(grid->columnWidth(0), 30 * perChar);
    EXPECT_LT(grid->columnWidth(1), grid->columnWidth(0));
    EXPECT_GE(grid->verticalHeader()->defaultSectionSize(), QFontMetrics(grid->font()).height());

    // Other alignment values leave the alignment alone; editing selects cells.
    options.titleAlignment = 7;
    options.editing = true;
    grid->setOptions(options);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectItems);
    EXPECT_TRUE(grid->model()->flags(grid->model()->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(RecordGridTest, PickListColumnsEditThroughTheirListAndAcceptAnyText) {
    lists.forField(2)->setEntries({"Austen", "Brontë"});
    grid->setPickLists(lists);
    widgets::GridOptions options;
    options.editing = true;
    grid->setOptions(options);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));

    auto* delegate = grid->pickListEditor(2);
    ASSERT_NE(delegate, nullptr);
    EXPECT_EQ(delegate->objectName(), "MyComboAuthor");
    EXPECT_EQ(grid->itemDelegateForColumn(1), delegate);
    EXPECT_EQ(grid->pickListEditor(1), nullptr);

    const QModelIndex cell = grid->model()->index(4, 1);
    grid->setCurrentIndex(cell);
    grid->edit(cell);
    auto* combo = grid->viewport()->findChild<QComboBox*>();
    ASSERT_NE(combo, nullptr);
    EXPECT_TRUE(combo->isEditable());
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(1), "Brontë");
    // A list change while the drop-down is open shows at once.
    lists.forField(2)->addValue("Cather");
    EXPECT_EQ(combo->count(), 3);
    combo->setEditText("Zola, typed");
    QTest::keyClick(combo, Qt::Key_Return);
    // The editor closes and the row moves through the event loop, however busy the machine.
    const auto stored = [&] {
        return grid->model()->rowCount() == 25 &&
               grid->model()->index(24, 1).data().toString() == "Zola, typed";
    };
    for (int waited = 0; !stored() && waited < 5000; waited += 10)
        QTest::qWait(10);

    EXPECT_EQ(grid->model()->rowCount(), 25);
    EXPECT_EQ(grid->model()->index(24, 1).data().toString(), "Zola, typed");
    EXPECT_EQ(currentAuthor(), "Zola, typed");
    grid->close();
}

TEST_F(RecordGridTest, CheckOutColumnTogglesWithTheSpaceBar) {
    widgets::GridOptions options;
    options.editing = true;
    grid->setOptions(options);
    grid->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(grid.get()));
    EXPECT_NE(dynamic_cast<widgets::CheckBoxDelegate*>(grid->itemDelegateForColumn(2)), nullptr);
    const QModelIndex box = grid->model()->index(0, 2);
    grid->setCurrentIndex(box);
    const std::string before = table.asText(kCheckOutField);
    QTest::keyClick(grid->viewport(), Qt::Key_Space);
    EXPECT_EQ(table.asText(kCheckOutField), before == "Yes" ? "No" : "Yes");
    QApplication::processEvents();
    QTest::keyClick(grid->viewport(), Qt::Key_Space);
    EXPECT_EQ(table.asText(kCheckOutField), before);

    // Without editing the box is only shown.
    options.editing = false;
    grid->setOptions(options);
    QTest::keyClick(grid->viewport(), Qt::Key_Space);
    EXPECT_EQ(table.asText(kCheckOutField), before);
    grid->close();
}

TEST_F(RecordGridTest, NavigatorMovesTheGridAndTheTableAndReportsEveryPress) {
    navigator->press(Button::Last);
    EXPECT_EQ(grid->currentIndex().row(), 24);
    EXPECT_EQ(currentAuthor(), "Author 000024");
    EXPECT_FALSE(navigator->button(Button::Next)->isEnabled());
    navigator->press(Button::Prior);
    EXPECT_EQ(currentAuthor(), "Author 000023");
    navigator->press(Button::First);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_FALSE(navigator->button(Button::Prior)->isEnabled());
    navigator->button(Button::Next)->click();
    EXPECT_EQ(currentAuthor(), "Author 000001");
    EXPECT_EQ((std::vector<Button>{Button::Last, Button::Prior, Button::First, Button::Next}),
              presses);

    // Choosing a row in the grid makes its record the table's current one.
    grid->setCurrentIndex(grid->model()->index(9, 0));
    EXPECT_EQ(currentAuthor(), "Author 000009");

    const QStringList hints{"First record",  "Prior record",  "Next record", "Last record",
                            "Insert record", "Delete record", "Edit record", "Post edit",
                            "Cancel edit",   "Refresh data"};
    for (int i = 0; i < RecordNavigator::kButtonCount; ++i)
        EXPECT_EQ(navigator->button(static_cast<Button>(i))->toolTip(), hints[i]);
}

TEST_F(RecordGridTest, DeleteAsksFirstAndNoKeepsTheRecord) {
    grid->setCurrentIndex(grid->model()->index(3, 0));
    seams.messages.expect("Confirm", "Delete this record?", db::MessageAnswer::No);
    navigator->press(Button::Delete);
    EXPECT_EQ(table.recordCount(), 25u);
    ASSERT_EQ(seams.messages.shown.size(), 1u);
    EXPECT_EQ(seams.messages.shown[0].buttons, db::MessageButtons::YesNo);
    EXPECT_EQ(seams.messages.shown[0].defaultAnswer, db::MessageAnswer::No);

    seams.messages.expect("Confirm", "Delete this record?", db::MessageAnswer::Yes);
    navigator->press(Button::Delete);
    EXPECT_EQ(table.recordCount(), 24u);
    EXPECT_EQ(grid->model()->rowCount(), 24);
    EXPECT_EQ(currentAuthor(), "Author 000004");
    EXPECT_EQ(grid->currentIndex().row(), 3);
    EXPECT_EQ(presses.size(), 2u);
}

TEST_F(RecordGridTest, KeysInsertDeleteAndCancelOnlyWhileEditingIsOn) {
    grid->setCurrentIndex(grid->model()->index(2, 0));
    QTest::keyClick(grid.get(), Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(grid.get(), Qt::Key_Insert);
    EXPECT_EQ(table.recordCount(), 25u);
    EXPECT_EQ(table.state(), table::Table::State::Browse);

    widgets::GridOptions options;
    options.editing = true;
    grid->setOptions(options);
    grid->show();
    grid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(grid.get()));
    seams.messages.expect("Confirm", "Delete this record?", db::MessageAnswer::Yes);
    QTest::keyClick(grid.get(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(table.recordCount(), 24u);
    QTest::keyClick(grid.get(), Qt::Key_Insert);
    EXPECT_EQ(table.state(), table::Table::State::Insert);
    EXPECT_EQ(grid->currentIndex().row(), 24);
    ASSERT_NE(QApplication::focusWidget(), grid.get());           // the cell editor is open
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // closes the cell editor
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape); // drops the new record
    EXPECT_EQ(table.state(), table::Table::State::Browse);
    EXPECT_EQ(grid->model()->rowCount(), 24);
    grid->close();
}

TEST_F(RecordGridTest, BrowseModeShowsOnlyTheMovesAndChangesNothing) {
    navigator->show();
    navigator->setBrowseMode(true);
    for (int i = 0; i < RecordNavigator::kButtonCount; ++i)
        EXPECT_EQ(navigator->button(static_cast<Button>(i))->isVisible(), i < 4) << i;
    navigator->press(Button::Delete);
    navigator->press(Button::Insert);
    EXPECT_EQ(table.recordCount(), 25u);
    EXPECT_EQ(table.state(), table::Table::State::Browse);
    navigator->press(Button::Last);
    EXPECT_EQ(currentAuthor(), "Author 000024");

    navigator->setBrowseMode(false);
    for (int i = 0; i < RecordNavigator::kButtonCount; ++i)
        EXPECT_TRUE(navigator->button(static_cast<Button>(i))->isVisible()) << i;
}

TEST_F(RecordGridTest, InsertEditPostAndCancelThroughTheNavigator) {
    widgets::GridOptions options;
    options.editing = true;
    grid->setOptions(options);
    navigator->press(Button::Insert);
    EXPECT_EQ(table.state(), table::Table::State::Insert);
    EXPECT_TRUE(navigator->button(Button::Post)->isEnabled());
    EXPECT_FALSE(navigator->button(Button::Insert)->isEnabled());
    grid->model()->setData(grid->model()->index(25, 1), QStringLiteral("Author 000000a"));
    navigator->press(Button::Post);
    EXPECT_EQ(table.recordCount(), 26u);
    EXPECT_EQ(grid->currentIndex().row(), 1);

    navigator->press(Button::Edit);
    EXPECT_EQ(table.state(), table::Table::State::Edit);
    grid->model()->setData(grid->model()->index(1, 0), QStringLiteral("Never stored"));
    navigator->press(Button::Cancel);
    EXPECT_EQ(table.state(), table::Table::State::Browse);
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "");

    // Moving to another row while editing stores the edit first.
    navigator->press(Button::Edit);
    grid->model()->setData(grid->model()->index(1, 0), QStringLiteral("Stored"));
    navigator->press(Button::Next);
    EXPECT_EQ(table.state(), table::Table::State::Browse);
    EXPECT_EQ(grid->model()->index(1, 0).data().toString(), "Stored");
    EXPECT_EQ(grid->currentIndex().row(), 2);

    // Choosing another row stores a new record first; the chosen record stays chosen even
    // though the new one lands above it.
    navigator->press(Button::Insert);
    grid->model()->setData(grid->model()->index(26, 1), QStringLiteral("Author 000000b"));
    grid->setCurrentIndex(grid->model()->index(10, 0));
    EXPECT_EQ(table.state(), table::Table::State::Browse);
    EXPECT_EQ(table.recordCount(), 27u);
    EXPECT_EQ(currentAuthor(), "Author 000009");
    EXPECT_EQ(grid->currentIndex().row(), 11);
}

} // namespace
