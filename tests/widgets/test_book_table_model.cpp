// The grid's model over a real book table: order, filter, editing, and how little of a big table
// it reads.

#include "support/gui/qt_print.h"
#include "support/gui/scripted_seams.h"
#include "support_book_table.h"
#include "widgets/book_table_model.h"

#include <QAbstractItemModelTester>
#include <QApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>

using testsupport::kAuthorField;
using testsupport::kCheckOutField;
using testsupport::kTitleField;
using testsupport::kYearPubField;

namespace {

std::string authorName(int n) {
    char text[32];
    std::snprintf(text, sizeof text, "Author %06d", n);
    return text;
}

class BookTableModelTest : public ::testing::Test {
protected:
    void open(int count) {
        testsupport::makeBookTable(table, dir, count);
        model = std::make_unique<widgets::BookTableModel>(table, seams.messages);
        model->setColumns({{kTitleField, "Title", 20},
                           {kAuthorField, "Author", 20},
                           {kYearPubField, "Year Pub", 4},
                           {kCheckOutField, "Checked Out", 3}});
    }
    // A stored cell puts its row right once control is back in the event loop.
    static void settle() { QApplication::processEvents(); }
    QString cell(int row, int column) {
        return model->data(model->index(row, column), Qt::EditRole).toString();
    }

    testsupport::TempDir dir;
    testsupport::ScriptedSeams seams;
    table::Table table;
    std::unique_ptr<widgets::BookTableModel> model;
};

std::vector<std::string> modelTestFailures;

void collectModelTestFailures(QtMsgType type, const QMessageLogContext& context,
                              const QString& message) {
    if (type != QtDebugMsg && context.category != nullptr &&
        std::string_view(context.category) == "qt.modeltest")
        modelTestFailures.push_back(message.toStdString());
}

TEST_F(BookTableModelTest, PassesTheItemModelChecksThroughEditsAndReloads) {
    open(60);
    modelTestFailures.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectModelTestFailures);
    QAbstractItemModelTester tester(model.get(),
                                    QAbstractItemModelTester::FailureReportingMode::Warning);
    model->setEditingEnabled(true);
    EXPECT_TRUE(model->setData(model->index(3, 0), QStringLiteral("Changed"), Qt::EditRole));
    settle();
    ASSERT_TRUE(model->beginInsert());
    EXPECT_EQ(model->rowCount(), 61);
    model->setData(model->index(60, 1), QStringLiteral("Author 000010x"), Qt::EditRole);
    ASSERT_TRUE(model->post());
    EXPECT_EQ(model->rowCount(), 61);
    ASSERT_TRUE(model->moveToRow(5));
    ASSERT_TRUE(model->deleteCurrent());
    model->reload();
    EXPECT_EQ(model->rowCount(), 60);
    // A key change moves the row.
    model->setData(model->index(0, 1), QStringLiteral("Author 000030a"), Qt::EditRole);
    settle();
    EXPECT_EQ(cell(29, 1).toStdString(), authorName(30));
    EXPECT_EQ(cell(30, 1), "Author 000030a");
    table.close();
    table.open();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(modelTestFailures.empty()) << modelTestFailures.front();
}

TEST_F(BookTableModelTest, RowsFollowTheIndexTagAndColumnsTheDisplayProperties) {
    open(40);
    ASSERT_EQ(model->rowCount(), 40);
    for (int row = 0; row < 40; ++row)
        ASSERT_EQ(cell(row, 1).toStdString(), authorName(row)) << "row " << row;
    EXPECT_EQ(model->headerData(1, Qt::Horizontal).toString(), "Author");
    // Numbers line up on the right, text on the left.
    const auto alignment = [this](int column) {
        return model->data(model->index(0, column), Qt::TextAlignmentRole).toInt();
    };
    EXPECT_EQ(alignment(kYearPubField), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(alignment(kAuthorField), int(Qt::AlignLeft | Qt::AlignVCenter));

    // Display properties: hidden fields drop out, order and labels follow the table.
    for (int field = 0; field < table.fieldCount(); ++field)
        table.display(field).visible = field == kAuthorField || field == kTitleField;
    std::vector<int> order(static_cast<size_t>(table.fieldCount()));
    for (int i = 0; i < table.fieldCount(); ++i)
        order[static_cast<size_t>(i)] = i;
    std::swap(order[0], order[1]);
    table.setDisplayOrder(order);
    table.display(kAuthorField).label = "Writer";
    table.display(kAuthorField).width = 33;
    const auto columns = widgets::columnsFromTableDisplay(table);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0].fieldIndex, kAuthorField);
    EXPECT_EQ(columns[0].title, "Writer");
    EXPECT_EQ(columns[0].widthChars, 33);
    EXPECT_EQ(columns[1].fieldIndex, kTitleField);

    // A column naming a field the table lacks stays blank; nothing else suffers.
    model->setColumns({{99, "Missing", 5}, {kAuthorField, "Author", 20}});
    EXPECT_EQ(cell(3, 0), "");
    EXPECT_EQ(alignment(0), int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(cell(3, 1).toStdString(), authorName(3));
    model->setColumns({{kTitleField, "Title", 20}});

    // Physical order without a tag.
    table.selectTag("");
    model->reload();
    EXPECT_EQ(cell(0, 0), "Title 0");
    EXPECT_EQ(cell(39, 0), "Title 39");
}

TEST_F(BookTableModelTest, FilterNarrowsTheRowsAfterAReload) {
    open(50);
    table.setFilter(
        [](const table::RecordView& record) { return record.text(kAuthorField).back() == '7'; });
    table.refresh();
    model->reload();
    ASSERT_EQ(model->rowCount(), 5);
    EXPECT_EQ(cell(0, 1).toStdString(), authorName(7));
    EXPECT_EQ(cell(4, 1).toStdString(), authorName(47));
    table.setFilter({});
    table.refresh();
    model->reload();
    EXPECT_EQ(model->rowCount(), 50);
}

TEST_F(BookTableModelTest, ChoosingARowMovesTheTableAndTableMovesMoveTheRow) {
    open(30);
    std::vector<int> announced;
    QObject::connect(model.get(), &widgets::BookTableModel::currentRowChanged,
                     [&announced](int row) { announced.push_back(row); });
    EXPECT_EQ(model->currentRow(), 0);
    ASSERT_TRUE(model->moveToRow(12));
    EXPECT_EQ(table.asText(kAuthorField), authorName(12));

    table.last(); // as the locate dialog or the edit window would
    settle();
    EXPECT_EQ(model->currentRow(), 29);
    table.prior();
    settle();
    EXPECT_EQ(model->currentRow(), 28);
    table.findNearest("AUTHOR 000017");
    settle();
    EXPECT_EQ(model->currentRow(), 17);
    EXPECT_EQ((std::vector<int>{12, 29, 28, 17}), announced);

    // Code that walks the whole table (a report) costs the grid nothing per record; the grid
    // follows where the walk ends.
    const uint64_t before = model->cursorMoves();
    for (table.first(); !table.eof(); table.next())
        ;
    EXPECT_EQ(model->cursorMoves(), before);
    settle();
    EXPECT_EQ(model->currentRow(), 29);
    table.findNearest("AUTHOR 000017");
    settle();

    // Reading rows for the view puts the cursor back where it was.
    model->reload();
    EXPECT_EQ(model->currentRow(), 17);
    for (int row = 0; row < 30; ++row)
        cell(row, 0);
    EXPECT_EQ(table.asText(kAuthorField), authorName(17));
}

TEST_F(BookTableModelTest, CellEditsAreStoredAndTheRowFollowsItsNewPlace) {
    open(20);
    model->setEditingEnabled(false);
    EXPECT_FALSE(model->flags(model->index(2, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model->setData(model->index(2, 0), QStringLiteral("No"), Qt::EditRole));

    model->setEditingEnabled(true);
    ASSERT_TRUE(model->setData(model->index(2, 0), QStringLiteral("New title"), Qt::EditRole));
    EXPECT_EQ(cell(2, 0), "New title");
    settle();
    // Changing the key moves the record to its place in the index order.
    ASSERT_TRUE(model->setData(model->index(2, 1), QStringLiteral("Author 000015b"), Qt::EditRole));
    settle();
    EXPECT_EQ(cell(15, 1), "Author 000015b");
    EXPECT_EQ(cell(15, 0), "New title");
    EXPECT_EQ(cell(2, 1).toStdString(), authorName(3));
    EXPECT_EQ(model->currentRow(), 15);
    EXPECT_EQ(table.asText(kTitleField), "New title");

    // What was stored is in the file: a second handle reads it.
    table::Table reader;
    reader.setDirectory(dir.path().string());
    reader.setTableName("BOOKS");
    reader.setOpenMode(table::OpenMode::ReadOnly);
    reader.open();
    bool found = false;
    for (reader.first(); !reader.eof(); reader.next())
        found = found || reader.asText(kTitleField) == "New title";
    EXPECT_TRUE(found);
}

TEST_F(BookTableModelTest, CheckOutColumnIsACheckBoxWritingYesAndNo) {
    open(6);
    model->setEditingEnabled(true);
    const QModelIndex check = model->index(0, 3); // Author 000000 is record 0: "Yes"
    EXPECT_TRUE(model->flags(check) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model->flags(check) & Qt::ItemIsEditable);
    EXPECT_EQ(model->data(check, Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_FALSE(model->data(check, Qt::DisplayRole).isValid());
    ASSERT_TRUE(model->setData(check, Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(cell(0, 3), "No");
    settle();
    EXPECT_EQ(model->data(check, Qt::CheckStateRole).toInt(), Qt::Unchecked);
    ASSERT_TRUE(model->setData(check, Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(cell(0, 3), "Yes");
    EXPECT_FALSE(model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole));
}

TEST_F(BookTableModelTest, EngineErrorsAreShownAndLoseNothing) {
    open(5);
    model->setEditingEnabled(true);
    const QString before = cell(1, 2);
    // A one-cell edit that the engine refuses: the record stays as it was. The message names
    // the field by its column title, the user's label.
    seams.messages.expect("Error", "'nineteen' is not a valid number for field Year Pub.",
                          db::MessageAnswer::Ok);
    EXPECT_FALSE(model->setData(model->index(1, 2), QStringLiteral("nineteen"), Qt::EditRole));
    EXPECT_EQ(table.state(), table::Table::State::Browse);
    EXPECT_EQ(cell(1, 2), before);

    // Inside an open edit the refused cell is dropped, the other changes stay for the post.
    ASSERT_TRUE(model->moveToRow(1));
    ASSERT_TRUE(model->beginEdit());
    ASSERT_TRUE(model->setData(model->index(1, 0), QStringLiteral("Kept"), Qt::EditRole));
    seams.messages.expect("Error", "'x' is not a valid number for field Year Pub.",
                          db::MessageAnswer::Ok);
    EXPECT_FALSE(model->setData(model->index(1, 2), QStringLiteral("x"), Qt::EditRole));
    EXPECT_EQ(table.state(), table::Table::State::Edit);
    ASSERT_TRUE(model->post());
    EXPECT_EQ(cell(1, 0), "Kept");
    EXPECT_EQ(cell(1, 2), before);
}

TEST_F(BookTableModelTest, InsertCancelAndDeleteKeepRowsAndRecordsInStep) {
    open(10);
    model->setEditingEnabled(true);
    ASSERT_TRUE(model->beginInsert());
    EXPECT_EQ(model->rowCount(), 11);
    EXPECT_EQ(model->currentRow(), 10);
    model->cancel();
    EXPECT_EQ(model->rowCount(), 10);
    EXPECT_EQ(table.recordCount(), 10u);

    ASSERT_TRUE(model->beginInsert());
    ASSERT_TRUE(
        model->setData(model->index(10, 1), QStringLiteral("Author 000004a"), Qt::EditRole));
    ASSERT_TRUE(model->post());
    EXPECT_EQ(model->rowCount(), 11);
    EXPECT_EQ(model->currentRow(), 5); // between 000004 and 000005
    EXPECT_EQ(cell(5, 1), "Author 000004a");
    EXPECT_EQ(cell(6, 1).toStdString(), authorName(5));

    ASSERT_TRUE(model->moveToRow(2));
    ASSERT_TRUE(model->deleteCurrent());
    EXPECT_EQ(model->rowCount(), 10);
    EXPECT_EQ(table.recordCount(), 10u);
    EXPECT_EQ(cell(2, 1).toStdString(), authorName(3));
    EXPECT_EQ(model->currentRow(), 2);
    EXPECT_EQ(table.asText(kAuthorField), authorName(3));
}

TEST_F(BookTableModelTest, AnEmptyTableTakesItsFirstRecord) {
    open(0);
    model->setEditingEnabled(true);
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(model->currentRow(), -1);
    EXPECT_FALSE(model->moveToRow(0));
    EXPECT_FALSE(model->deleteCurrent()); // nothing to delete, and nothing to say
    ASSERT_TRUE(model->beginInsert());
    ASSERT_TRUE(model->setData(model->index(0, 0), QStringLiteral("First"), Qt::EditRole));
    ASSERT_TRUE(model->post());
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->currentRow(), 0);
    EXPECT_EQ(cell(0, 0), "First");
    ASSERT_TRUE(model->deleteCurrent());
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_EQ(model->currentRow(), -1);
}

// What other code does through the table (the edit window adds, changes and moves records,
// a search filters, a sort order reorders) shows at once, with the table's current record on
// the current row, without anyone reloading the grid.
TEST_F(BookTableModelTest, ChangesMadeThroughTheTableShowAtOnce) {
    open(30);
    const auto physical = [this] {
        std::vector<std::string> authors;
        table::Table reader;
        reader.setDirectory(dir.path().string());
        reader.setTableName("BOOKS");
        reader.setOpenMode(table::OpenMode::ReadOnly);
        reader.open();
        for (reader.first(); !reader.eof() && reader.recordNumber() != 0; reader.next())
            authors.push_back(reader.asText(kAuthorField));
        return authors;
    };
    const auto sorted = [&physical] {
        std::vector<std::string> authors = physical();
        std::sort(authors.begin(), authors.end());
        return authors;
    };
    const auto endsInSeven = [&physical] {
        std::vector<std::string> authors;
        for (const std::string& author : physical())
            if (author.back() == '7')
                authors.push_back(author);
        std::sort(authors.begin(), authors.end());
        return authors;
    };
    struct Case {
        const char* name;
        std::function<void()> act;
        std::function<std::vector<std::string>()> rows;
        const char* currentTitle; // of the table's current record, "" for no check
    };
    const std::vector<Case> cases = {
        {"a record added",
         [this] {
             table.insert();
             table.setText(kAuthorField, "Author 000003a");
             table.setText(kTitleField, "Added");
             table.post();
         },
         sorted, "Added"},
        {"a record changed in place",
         [this] {
             table.findNearest("AUTHOR 000010");
             table.edit();
             table.setText(kTitleField, "Changed");
             table.post();
         },
         sorted, "Changed"},
        {"a record changed so that it moves",
         [this] {
             table.findNearest("AUTHOR 000012");
             table.edit();
             table.setText(kAuthorField, "Author 000025b");
             table.setText(kTitleField, "Moved");
             table.post();
         },
         sorted, "Moved"},
        {"a record deleted",
         [this] {
             table.findNearest("AUTHOR 000020");
             table.deleteRecord();
         },
         sorted, ""},
        {"a new record dropped",
         [this] {
             table.findNearest("AUTHOR 000005");
             table.append();
             table.setText(kAuthorField, "Never");
             table.cancel();
         },
         sorted, ""},
        {"a filter applied",
         [this] {
             table.setFilter([](const table::RecordView& record) {
                 return record.text(kAuthorField).back() == '7';
             });
             table.refresh();
         },
         endsInSeven, ""},
        {"the filter taken away, in the order of the records",
         [this] {
             table.setFilter({});
             table.selectTag("");
             table.refresh();
         },
         physical, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.act();
        settle();
        const std::vector<std::string> expected = c.rows();
        ASSERT_EQ(model->rowCount(), static_cast<int>(expected.size()));
        for (int row = 0; row < model->rowCount(); ++row)
            EXPECT_EQ(cell(row, 1).toStdString(), expected[static_cast<size_t>(row)]) << row;
        ASSERT_GE(model->currentRow(), 0);
        EXPECT_EQ(model->recordAt(model->currentRow()), table.recordNumber());
        EXPECT_EQ(cell(model->currentRow(), 1).toStdString(), table.asText(kAuthorField));
        if (*c.currentTitle != 0) {
            EXPECT_EQ(cell(model->currentRow(), 0).toStdString(), c.currentTitle);
        }
    }
}

// Another program deleted the record a walk would start from: the walk starts from an end of
// the table instead, and the rows scrolled to still show records.
TEST_F(BookTableModelTest, AWalkFromARecordDeletedElsewhereStillFillsTheRows) {
    open(300);
    cell(10, 1); // the rows from the top to a screen past it are known now
    std::vector<uint32_t> doomed;
    for (int row = 50; row < 75; ++row)
        doomed.push_back(model->recordAt(row));
    table::Table other;
    other.setDirectory(dir.path().string());
    other.setTableName("BOOKS");
    other.open();
    for (uint32_t recno : doomed) {
        ASSERT_TRUE(other.goToRecord(recno));
        other.deleteRecord();
    }
    std::set<QString> shown;
    for (int row = 100; row < 100 + widgets::kReadAheadRows; ++row) {
        const QString author = cell(row, 1);
        EXPECT_TRUE(author.startsWith("Author ")) << row << ": " << author.toStdString();
        shown.insert(author);
    }
    EXPECT_EQ(shown.size(), size_t(widgets::kReadAheadRows));
}

TEST_F(BookTableModelTest, ClosingAndOpeningTheTableIsNoticed) {
    open(8);
    table.close();
    EXPECT_EQ(model->rowCount(), 0);
    EXPECT_FALSE(model->data(model->index(0, 0)).isValid());
    table.open();
    EXPECT_EQ(model->rowCount(), 8);
    EXPECT_EQ(cell(7, 1).toStdString(), authorName(7));
}

// A big table is read a screen at a time: opening, the last row and a row in the middle each
// cost a number of cursor moves near the rows shown, never near the table's size.
TEST_F(BookTableModelTest, BigTableIsReadOnlyWhereRowsAreShown) {
    constexpr int kCount = 6000;
    constexpr int kScreen = 40;
    open(kCount);
    const uint64_t atOpen = model->cursorMoves();
    for (int row = 0; row < kScreen; ++row)
        for (int column = 0; column < 4; ++column)
            model->data(model->index(row, column));
    EXPECT_LT(model->cursorMoves() - atOpen, 3u * kScreen);
    EXPECT_LE(model->rowsRead(), 2u * kScreen);

    const uint64_t beforeEnd = model->cursorMoves();
    for (int row = kCount - kScreen; row < kCount; ++row)
        model->data(model->index(row, 1));
    EXPECT_LT(model->cursorMoves() - beforeEnd, 4u * kScreen);
    EXPECT_EQ(cell(kCount - 1, 1).toStdString(), authorName(kCount - 1));
    EXPECT_EQ(cell(kCount - kScreen, 1).toStdString(), authorName(kCount - kScreen));

    // Scrolling back a little walks from the rows already known.
    const uint64_t beforeBack = model->cursorMoves();
    EXPECT_EQ(cell(kCount - 2 * kScreen, 1).toStdString(), authorName(kCount - 2 * kScreen));
    EXPECT_LT(model->cursorMoves() - beforeBack, 4u * kScreen);
    EXPECT_LE(model->rowsRead(), 6u * kScreen);

    // Moving the table to the end finds the row without walking the table.
    const uint64_t beforeLast = model->cursorMoves();
    table.last();
    settle();
    EXPECT_EQ(model->currentRow(), kCount - 1);
    EXPECT_LT(model->cursorMoves() - beforeLast, 10u);
}

} // namespace

namespace {

// A row far from every known one is walked to from the event loop, a step at a time, and the
// view is told when it arrives; painting never waits for the whole walk.
TEST_F(BookTableModelTest, FarRowsArriveLaterWithoutBlockingThePainting) {
    open(3000);
    model->setSynchronousWalkLimit(100);
    std::vector<std::pair<int, int>> changed;
    QObject::connect(model.get(), &QAbstractItemModel::dataChanged,
                     [&changed](const QModelIndex& first, const QModelIndex& last) {
                         changed.emplace_back(first.row(), last.row());
                     });
    const uint64_t before = model->cursorMoves();
    EXPECT_FALSE(model->data(model->index(1500, 1)).isValid());
    EXPECT_TRUE(model->walkPending());
    EXPECT_LT(model->cursorMoves() - before, 5u);

    int rounds = 0;
    while (model->walkPending() && rounds++ < 1000)
        QApplication::processEvents();
    EXPECT_GT(rounds, 5); // it took several steps
    ASSERT_FALSE(model->walkPending());
    ASSERT_FALSE(changed.empty());
    EXPECT_LE(changed.back().first, 1500);
    EXPECT_GE(changed.back().second, 1500);
    EXPECT_EQ(cell(1500, 1).toStdString(), authorName(1500));
    EXPECT_EQ(cell(1510, 1).toStdString(), authorName(1510));
    // Near rows are then read at once.
    EXPECT_EQ(cell(1400, 1).toStdString(), authorName(1400));
    EXPECT_EQ(table.asText(kAuthorField), authorName(0)); // the cursor is back where it was

    // A record located far from every known row: its row is searched for the same way.
    model->reload();
    table.findNearest("AUTHOR 002100");
    settle();
    EXPECT_EQ(model->currentRow(), -1);
    EXPECT_TRUE(model->walkPending());
    rounds = 0;
    while (model->walkPending() && rounds++ < 1000)
        QApplication::processEvents();
    EXPECT_EQ(model->currentRow(), 2100);
    EXPECT_EQ(table.asText(kAuthorField), authorName(2100));
    EXPECT_EQ(cell(2100, 1).toStdString(), authorName(2100));
    EXPECT_EQ(cell(2099, 1).toStdString(), authorName(2099));

    // Choosing a row meanwhile ends the search.
    model->reload();
    table.findNearest("AUTHOR 001200");
    settle();
    ASSERT_TRUE(model->walkPending());
    ASSERT_TRUE(model->moveToRow(3));
    EXPECT_FALSE(model->walkPending());
    QApplication::processEvents();
    EXPECT_EQ(model->currentRow(), 3);
}

} // namespace

namespace {

// Rows kept up to date piece by piece (inserts, deletes, moved keys, far reads) must always be
// what a fresh walk of the table shows.
TEST_F(BookTableModelTest, RowsStayInStepWithTheTableThroughManyChanges) {
    open(300);
    model->setEditingEnabled(true);
    model->setSynchronousWalkLimit(40);
    auto tableOrder = [this] {
        table::Table reader;
        reader.setDirectory(dir.path().string());
        reader.setTableName("BOOKS");
        reader.setOpenMode(table::OpenMode::ReadOnly);
        reader.selectTag("NewIndex");
        reader.open();
        std::vector<std::string> authors;
        for (reader.first(); !reader.eof() && reader.recordNumber() != 0; reader.next())
            authors.push_back(reader.asText(kAuthorField));
        return authors;
    };
    auto finishWalks = [this] {
        for (int rounds = 0; model->walkPending() && rounds < 10000; ++rounds)
            QApplication::processEvents();
        QApplication::processEvents();
    };
    unsigned seed = 12345;
    auto next = [&seed](int bound) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<unsigned>(bound));
    };
    for (int step = 0; step < 60; ++step) {
        const int rows = model->rowCount();
        const int row = next(rows);
        switch (step % 4) {
        case 0: // a far read, then a key change that moves the record
            cell(row, 1);
            finishWalks();
            ASSERT_TRUE(model->setData(model->index(row, 1),
                                       QString::fromStdString(authorName(next(400)) + "k")));
            break;
        case 1:
            finishWalks();
            ASSERT_TRUE(model->moveToRow(row)) << step;
            ASSERT_TRUE(model->deleteCurrent()) << step;
            break;
        case 2:
            ASSERT_TRUE(model->beginInsert());
            model->setData(model->index(rows, 1),
                           QString::fromStdString(authorName(next(400)) + "n"));
            ASSERT_TRUE(model->post());
            break;
        case 3: // the table moved by someone else
            table.findNearest(authorName(next(300)).substr(0, 11));
            settle();
            break;
        }
        finishWalks();
        const std::vector<std::string> expected = tableOrder();
        ASSERT_EQ(model->rowCount(), static_cast<int>(expected.size())) << "step " << step;
        // A few scattered rows (so that the rows found stay in separate stretches), and every
        // row now and then.
        std::vector<int> checked;
        for (int i = 0; i < 4; ++i)
            checked.push_back(next(model->rowCount()));
        if (step % 15 == 14)
            for (int r = 0; r < model->rowCount(); ++r)
                checked.push_back(r);
        for (int r : checked) {
            cell(r, 1);
            finishWalks();
            ASSERT_EQ(cell(r, 1).toStdString(), expected[static_cast<size_t>(r)])
                << "step " << step << " row " << r;
        }
        finishWalks();
        ASSERT_GE(model->currentRow(), 0) << "step " << step;
        ASSERT_EQ(cell(model->currentRow(), 1).toStdString(), table.asText(kAuthorField))
            << "step " << step;
    }
}

} // namespace

namespace {

// Amounts show at least two decimals; what is edited is the value as stored.
TEST_F(BookTableModelTest, AmountsShowTwoDecimals) {
    open(3);
    constexpr int kCostField = 6;
    model->setColumns({{kCostField, "Cost", 12}});
    model->setEditingEnabled(true);
    const QStringList typed{"186.3", "12", "1.2345", "-0.5"};
    const QStringList shown{"186.30", "12.00", "1.2345", "-0.50"};
    for (qsizetype i = 0; i < typed.size(); ++i) {
        ASSERT_TRUE(model->setData(model->index(0, 0), typed[i], Qt::EditRole));
        settle();
        EXPECT_EQ(model->data(model->index(0, 0)).toString(), shown[i]);
        EXPECT_EQ(model->data(model->index(0, 0), Qt::EditRole).toString(), typed[i]);
    }
    EXPECT_EQ(model->data(model->index(1, 0)).toString(), ""); // blank stays blank
}

} // namespace
