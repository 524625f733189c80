#include "support_table.h"

#include <gtest/gtest.h>

#include "table/mdx_file.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <tuple>

using namespace tabletest;
using table::Table;

namespace {

class EditTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string path = createBooks(dir);
    Table books;

    void SetUp() override {
        table::setCurrentDateFormat(
            table::DateFormat{table::DateFormat::Order::MonthDayYear, '/', true});
        openAt(books, path);
        books.addTag("AUTHORS", kAuthorKey);
        books.selectTag("AUTHORS");
    }
    void TearDown() override { table::setCurrentDateFormat(table::DateFormat{}); }
};

TEST_F(EditTest, PostedRecordTakesItsPlaceInKeyOrderAndBecomesCurrent) {
    addBook(books, "Morrison");
    addBook(books, "Achebe");
    EXPECT_EQ(books.state(), Table::State::Browse);
    EXPECT_EQ(books.asText(kAuthor), "Achebe");
    EXPECT_EQ(books.recordNumber(), 2u);
    books.next();
    EXPECT_EQ(books.asText(kAuthor), "Morrison");
    books.next();
    EXPECT_TRUE(books.eof());
    EXPECT_EQ(books.recordCount(), 2u);
}

TEST_F(EditTest, EditMovesTheRecordToItsNewKeyPosition) {
    addBook(books, "Adams");
    addBook(books, "Baldwin");
    addBook(books, "Camus");
    books.first();
    books.edit();
    EXPECT_EQ(books.state(), Table::State::Edit);
    books.setText(kAuthor, "Zola");
    EXPECT_EQ(books.asText(kAuthor), "Zola"); // reads come from the buffer
    books.post();
    EXPECT_EQ(books.asText(kAuthor), "Zola");
    EXPECT_EQ(books.recordNumber(), 1u);
    books.next();
    EXPECT_TRUE(books.eof());
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Baldwin", "Camus", "Zola"}));

    books.close(); // the change reached the file and the index
    books.open();
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Baldwin", "Camus", "Zola"}));
}

TEST_F(EditTest, CancelLeavesNothingBehind) {
    addBook(books, "Kafka");
    books.append();
    books.setText(kAuthor, "Ghost");
    books.cancel();
    books.edit();
    books.setText(kAuthor, "Changed");
    books.cancel();
    EXPECT_EQ(books.state(), Table::State::Browse);
    EXPECT_EQ(books.header().recordCount, 1u);
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Kafka"}));
    books.close();
    books.open();
    EXPECT_EQ(books.header().recordCount, 1u);
}

TEST_F(EditTest, MovingWhileEditingPostsTheEdit) {
    addBook(books, "Kafka");
    books.append();
    books.setText(kAuthor, "Ibsen");
    books.first();
    EXPECT_EQ(books.recordCount(), 2u);
    EXPECT_EQ(books.asText(kAuthor), "Ibsen");
}

TEST_F(EditTest, FieldWritesConvertTextAndRefuseBadValues) {
    books.append();
    books.setText(kYearPub, "1962");
    books.setText(kCost, "12.5");
    books.setText(kPurchDate, "3/4/1999");
    EXPECT_EQ(books.asNumber(kYearPub), 1962);
    EXPECT_EQ(books.asText(kPurchDate), "3/4/1999");
    EXPECT_EQ(books.asDate(kPurchDate), (table::Date{1999, 3, 4}));

    books.setText(kAuthor, "Brontë");
    EXPECT_THROW(books.setText(kYearPub, "nineteen"), table::TableError);
    EXPECT_THROW(books.setText(kYearPub, "123456789012"), table::TableError);
    EXPECT_THROW(books.setNumber(kCost, 1e30), table::TableError);
    EXPECT_THROW(books.setText(kPurchDate, "2/30/1999"), table::TableError);
    EXPECT_THROW(books.setText(kAuthor, "Bront\u00eb \u6f22"), table::TableError);
    EXPECT_EQ(books.asNumber(kYearPub), 1962); // the buffer kept the old values
    EXPECT_EQ(books.asNumber(kCost), 12.5);
    EXPECT_EQ(books.asText(kPurchDate), "3/4/1999");
    EXPECT_EQ(books.asText(kAuthor), "Brontë");

    books.setText(kTitle, std::string(10000, 'x'));
    EXPECT_EQ(books.asText(kTitle), std::string(90, 'x'));
    books.setText(kYearPub, "");
    EXPECT_TRUE(books.isBlank(kYearPub));
    EXPECT_EQ(books.asNumber(kYearPub), 0);
    books.setBlank(kPurchDate);
    EXPECT_TRUE(books.asDate(kPurchDate).isNull());
    books.setDate(kPurchDate, table::Date{2001, 12, 24});
    books.post();

    table::setCurrentDateFormat(
        table::DateFormat{table::DateFormat::Order::DayMonthYear, '.', true});
    EXPECT_EQ(books.asText(kPurchDate), "24.12.2001");
    books.edit();
    books.setText(kPurchDate, "1.2.2003");
    books.post();
    EXPECT_EQ(books.asDate(kPurchDate), (table::Date{2003, 2, 1}));
}

TEST_F(EditTest, WritesOutsideEditingAndToReadOnlyTablesAreRefused) {
    addBook(books, "Woolf");
    EXPECT_THROW(books.setText(kAuthor, "X"), table::TableError);
    books.close();
    books.setOpenMode(table::OpenMode::ReadOnly);
    books.open();
    EXPECT_THROW(books.append(), table::TableError);
    EXPECT_THROW(books.deleteRecord(), table::TableError);
}

TEST_F(EditTest, RecordLockKeepsOtherHandlesOff) {
    addBook(books, "Hugo");
    addBook(books, "Sand");
    Table other;
    openAt(other, path);
    books.goToRecord(1);
    books.edit();
    other.goToRecord(1);
    try {
        other.edit();
        FAIL() << "edit of a locked record succeeded";
    } catch (const table::TableError& error) {
        EXPECT_STREQ(error.what(), "Record is locked by another user.");
    }
    EXPECT_THROW(other.deleteRecord(), table::TableError);
    other.goToRecord(2);
    other.edit(); // another record is free
    other.cancel();
    books.post(); // posting releases the lock
    other.goToRecord(1);
    other.edit();
    other.cancel();
}

TEST_F(EditTest, ObserversAreToldWhatChangedUnlessSuspended) {
    using Kind = table::TableChange::Kind;
    addBook(books, "Verne");  // record 1
    addBook(books, "Austen"); // record 2
    std::vector<table::TableChange> told;
    int id = books.addObserver([&](const table::TableChange& change) { told.push_back(change); });
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<std::tuple<Kind, uint32_t, bool>> expected; // kind, record, inserted
    };
    const std::vector<Case> cases = {
        {"a move", [&] { books.first(); }, {{Kind::Moved, 0, false}}},
        {"an edit begun", [&] { books.edit(); }, {{Kind::EditStarted, 2, false}}},
        {"the edit stored", [&] { books.post(); }, {{Kind::Stored, 2, false}}},
        {"an insert begun", [&] { books.append(); }, {{Kind::InsertStarted, 0, false}}},
        {"the new record stored by a move, then the move",
         [&] {
             books.setText(kAuthor, "Borges");
             books.first();
         },
         {{Kind::Stored, 3, true}, {Kind::Moved, 0, false}}},
        {"an edit cancelled",
         [&] {
             books.edit();
             books.cancel();
         },
         {{Kind::EditStarted, 2, false}, {Kind::Cancelled, 2, false}}},
        {"a delete", [&] { books.deleteRecord(); }, {{Kind::Deleted, 2, false}}},
        {"a refresh", [&] { books.refresh(); }, {{Kind::Reset, 0, false}}},
        {"another order", [&] { books.selectTag(""); }, {{Kind::Reset, 0, false}}},
        {"moves while suspended are one move",
         [&] {
             books.suspendObservers();
             books.suspendObservers();
             books.next();
             books.prior();
             books.resumeObservers();
             books.resumeObservers();
         },
         {{Kind::Moved, 0, false}}},
        {"a store while suspended asks to look at everything",
         [&] {
             books.suspendObservers();
             addBook(books, "Eco");
             books.first();
             books.resumeObservers();
         },
         {{Kind::Reset, 0, false}}},
        {"close", [&] { books.close(); }, {{Kind::Reset, 0, false}}},
        {"open", [&] { books.open(); }, {{Kind::Reset, 0, false}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        told.clear();
        c.act();
        ASSERT_EQ(told.size(), c.expected.size());
        for (size_t i = 0; i < told.size(); ++i) {
            const auto [kind, recno, inserted] = c.expected[i];
            EXPECT_EQ(told[i].kind, kind) << i;
            if (recno != 0) {
                EXPECT_EQ(told[i].recno, recno) << i;
            }
            EXPECT_EQ(told[i].inserted, inserted) << i;
        }
    }
    books.removeObserver(id);
    told.clear();
    books.first();
    EXPECT_TRUE(told.empty());
}

TEST_F(EditTest, DeleteDuringAnInsertDropsTheNewRecordAndNothingElse) {
    addBook(books, "Verne");
    addBook(books, "Austen");
    ASSERT_EQ(books.asText(kAuthor), "Austen");
    books.append();
    books.setText(kAuthor, "Borges");
    books.deleteRecord();
    EXPECT_EQ(books.state(), Table::State::Browse);
    EXPECT_EQ(books.asText(kAuthor), "Austen"); // still current, and not deleted
    EXPECT_EQ(books.recordCount(), 2u);
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Austen", "Verne"}));
}

// The record count and the date of the last change, as other programs read them from the file.
std::pair<uint32_t, table::Date> headerInFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    unsigned char bytes[8] = {};
    file.read(reinterpret_cast<char*>(bytes), sizeof bytes);
    return {uint32_t(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24),
            table::Date{1900 + bytes[1], bytes[2], bytes[3]}};
}

bool indexMarkedChanging(const Table& books) {
    return table::MdxFile::open(books.mdxPath(), false)->changeInProgress();
}

TEST_F(EditTest, BatchOnTheOnlyHandleKeepsOthersOutAndPutsEveryPostInTheFile) {
    std::vector<std::string> authors;
    books.beginBatch();
    Table other;
    EXPECT_THROW(openAt(other, path), table::TableError);
    for (int i = 0; i < 400; ++i) {
        authors.push_back("Author " + std::to_string((i * 7919) % 400 + 1000));
        addBook(books, authors.back());
        if (i % 100 == 99) {
            EXPECT_EQ(headerInFile(path), std::make_pair(uint32_t(i + 1), table::localToday()));
            EXPECT_TRUE(indexMarkedChanging(books));
        }
    }
    ASSERT_TRUE(books.goToRecord(1));
    books.edit();
    books.setText(kAuthor, "Zweig");
    books.post();
    authors[0] = "Zweig";
    std::sort(authors.begin(), authors.end());
    EXPECT_EQ(walk(books), authors); // the handle reads its own changes
    books.endBatch();

    EXPECT_FALSE(indexMarkedChanging(books));
    openAt(other, path);
    other.selectTag("AUTHORS");
    EXPECT_EQ(walk(other), authors);
    EXPECT_EQ(walkBackwards(other).size(), authors.size());
}

TEST_F(EditTest, BatchBesideAnotherHandleShowsItEveryPost) {
    Table other;
    openAt(other, path);
    other.selectTag("AUTHORS");
    books.beginBatch();
    addBook(books, "Tolstoy");
    addBook(books, "Austen");
    EXPECT_FALSE(indexMarkedChanging(books));
    other.refresh();
    EXPECT_EQ(walk(other), (std::vector<std::string>{"Austen", "Tolstoy"}));
    books.endBatch();
}

TEST_F(EditTest, ClosingEndsABatch) {
    books.beginBatch();
    books.beginBatch(); // nested: the outer one ends it
    addBook(books, "Woolf");
    books.endBatch();
    EXPECT_TRUE(indexMarkedChanging(books));
    addBook(books, "Eliot");
    books.close();
    EXPECT_FALSE(table::MdxFile::open(books.mdxPath(), false)->changeInProgress());
    Table other;
    openAt(other, path, table::OpenMode::Exclusive);
    other.selectTag("AUTHORS");
    EXPECT_EQ(walk(other), (std::vector<std::string>{"Eliot", "Woolf"}));
}

} // namespace
