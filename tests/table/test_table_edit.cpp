#include "support_table.h"

#include <gtest/gtest.h>

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

    EXPECT_THROW(books.setText(kYearPub, "nineteen"), table::TableError);
    EXPECT_THROW(books.setText(kPurchDate, "2/30/1999"), table::TableError);
    EXPECT_EQ(books.asNumber(kYearPub), 1962); // the buffer kept the old values
    EXPECT_EQ(books.asText(kPurchDate), "3/4/1999");

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

TEST_F(EditTest, ObserversAreToldUnlessSuspended) {
    int told = 0;
    int id = books.addObserver([&] { ++told; });
    addBook(books, "Verne");
    books.first();
    EXPECT_EQ(told, 2);
    books.suspendObservers();
    books.suspendObservers();
    books.next();
    books.prior();
    books.resumeObservers();
    EXPECT_EQ(told, 2);
    books.resumeObservers();
    EXPECT_EQ(told, 3); // once at the end of the suspension
    books.removeObserver(id);
    books.first();
    EXPECT_EQ(told, 3);
}

} // namespace
