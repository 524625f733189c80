#include "support_table.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tabletest;
using table::OpenMode;
using table::Table;

namespace {

class CursorTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string path = createBooks(dir);
    Table books;

    void fill(const std::vector<std::string>& authors) {
        for (const std::string& author : authors)
            addBook(books, author, "Title of " + author);
    }
};

TEST_F(CursorTest, EmptyTableIsAtBothEndsWhateverTheMove) {
    openAt(books, path);
    EXPECT_TRUE(books.isEmpty());
    EXPECT_EQ(books.recordCount(), 0u);
    for (auto move : {&Table::first, &Table::last, &Table::next, &Table::prior}) {
        (books.*move)();
        EXPECT_TRUE(books.bof());
        EXPECT_TRUE(books.eof());
        EXPECT_EQ(books.recordNumber(), 0u);
        EXPECT_EQ(books.asText(kAuthor), "");
    }
}

TEST_F(CursorTest, MovesPastEitherEndStayOnTheEndRecord) {
    openAt(books, path);
    fill({"Only"});
    books.first();
    EXPECT_TRUE(books.bof());
    EXPECT_FALSE(books.eof());
    books.next();
    EXPECT_TRUE(books.eof());
    EXPECT_EQ(books.asText(kAuthor), "Only");
    books.prior();
    EXPECT_TRUE(books.bof());
    EXPECT_EQ(books.recordNumber(), 1u);

    fill({"Second", "Third"});
    books.first();
    books.next();
    EXPECT_FALSE(books.bof());
    EXPECT_FALSE(books.eof());
    books.last();
    EXPECT_TRUE(books.eof());
    EXPECT_EQ(books.asText(kAuthor), "Third");
}

TEST_F(CursorTest, DeletedRecordsAreNeverDeliveredNorCounted) {
    openAt(books, path);
    fill({"A", "B", "C", "D"});
    books.goToRecord(2);
    books.deleteRecord();
    EXPECT_EQ(books.asText(kAuthor), "C"); // moved on to the next record
    books.last();
    books.deleteRecord();
    EXPECT_EQ(books.asText(kAuthor), "C"); // no next one: the prior
    EXPECT_EQ(books.recordCount(), 2u);
    EXPECT_EQ(walk(books), (std::vector<std::string>{"A", "C"}));
    EXPECT_FALSE(books.goToRecord(2));
    EXPECT_FALSE(books.goToBookmark(4));
    EXPECT_EQ(books.recordNumber(), 3u); // a failed jump leaves the position alone

    books.goToRecord(1);
    books.deleteRecord();
    books.deleteRecord();
    EXPECT_TRUE(books.isEmpty());
    EXPECT_TRUE(books.bof() && books.eof());
    EXPECT_EQ(books.recordCount(), 0u);

    books.close(); // the count of deleted records survives a reopen
    openAt(books, path);
    EXPECT_EQ(books.recordCount(), 0u);
    EXPECT_EQ(books.header().recordCount, 4u);
}

TEST_F(CursorTest, FilterAppliesToMovesAndCountsAfterRefresh) {
    openAt(books, path);
    fill({"Austen", "Byron", "Auden", "Blake", "Atwood"});
    books.setFilter([](const table::RecordView& record) { return record.text(kAuthor)[0] == 'A'; });
    EXPECT_EQ(books.recordCount(), 5u); // not in force before refresh
    books.goToRecord(2);
    books.refresh();
    EXPECT_EQ(books.recordCount(), 3u);
    EXPECT_EQ(books.asText(kAuthor), "Auden"); // Byron fails: its nearest follower
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Austen", "Auden", "Atwood"}));
    EXPECT_FALSE(books.goToRecord(4));

    books.setFilter([](const table::RecordView&) { return false; });
    books.refresh();
    EXPECT_TRUE(books.isEmpty());
    EXPECT_EQ(books.recordCount(), 0u);
    books.next();
    EXPECT_TRUE(books.bof() && books.eof());

    books.setFilter({});
    books.refresh();
    EXPECT_EQ(books.recordCount(), 5u);
}

TEST_F(CursorTest, TagOrderAndPhysicalOrder) {
    openAt(books, path);
    fill({"tolkien", "Austen", "le Carré", "Byron", "austen"});
    books.addTag("AUTHORS", kAuthorKey);
    books.selectTag("AUTHORS");
    EXPECT_EQ(books.selectedTag(), "AUTHORS");
    // Case-insensitive key; equal keys in record-number order.
    std::vector<std::string> expected = {"Austen", "austen", "Byron", "le Carré", "tolkien"};
    EXPECT_EQ(walk(books), expected);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(walkBackwards(books), expected);

    books.selectTag("");
    EXPECT_EQ(walk(books),
              (std::vector<std::string>{"tolkien", "Austen", "le Carré", "Byron", "austen"}));
    EXPECT_THROW(books.selectTag("NOSUCH"), table::TableError);
}

// A scan from another handle's position: the record to start after need not pass the filter.
TEST_F(CursorTest, GoToNextAfterStartsFromARecordTheFilterRejects) {
    openAt(books, path);
    fill({"Byron", "Austen", "Blake", "Atwood", "Auden"});
    books.addTag("AUTHORS", kAuthorKey);
    books.setFilter([](const table::RecordView& record) { return record.text(kAuthor)[0] == 'A'; });
    struct Case {
        const char* tag;
        uint32_t after;    // physical record to start after
        uint32_t expected; // record landed on, 0 when none follows
    };
    for (const Case& c : {Case{"AUTHORS", 3, 0}, Case{"AUTHORS", 1, 0}, Case{"AUTHORS", 4, 5},
                          Case{"AUTHORS", 5, 2}, Case{"", 1, 2}, Case{"", 3, 4}, Case{"", 5, 0},
                          Case{"", 0, 0}, Case{"", 99, 0}}) {
        SCOPED_TRACE(std::string(c.tag) + " after " + std::to_string(c.after));
        books.selectTag(c.tag);
        books.refresh();
        books.first();
        const uint32_t before = books.recordNumber();
        EXPECT_EQ(books.goToNextAfter(c.after), c.expected != 0);
        EXPECT_EQ(books.recordNumber(), c.expected != 0 ? c.expected : before);
        EXPECT_FALSE(books.eof());
    }
}

TEST_F(CursorTest, FindNearestLandsOnEqualOrFollowingKey) {
    openAt(books, path);
    EXPECT_THROW(books.findNearest("X"), table::TableError); // no tag selected
    fill({"Dickens", "Brontë", "Eliot", "Austen"});
    books.addTag("AUTHORS", kAuthorKey);
    books.selectTag("AUTHORS");
    EXPECT_TRUE(books.findNearest("BRON"));
    EXPECT_EQ(books.asText(kAuthor), "Brontë");
    EXPECT_FALSE(books.findNearest("C"));
    EXPECT_EQ(books.asText(kAuthor), "Dickens");
    EXPECT_FALSE(books.findNearest("ZOLA"));
    EXPECT_TRUE(books.eof());
    EXPECT_EQ(books.asText(kAuthor), "Eliot");
}

TEST_F(CursorTest, RefreshSeesAnotherHandlesAppendsAndDeletes) {
    openAt(books, path);
    fill({"Mann", "Hesse"});
    books.addTag("AUTHORS", kAuthorKey);
    books.selectTag("AUTHORS");
    books.goToRecord(1); // on Mann
    EXPECT_EQ(books.recordCount(), 2u);
    Table other;
    other.selectTag("AUTHORS");
    openAt(other, path);
    addBook(other, "Grass");
    addBook(other, "Zweig");
    other.goToRecord(1);
    other.deleteRecord(); // Mann

    books.refresh();
    EXPECT_EQ(books.recordCount(), 3u);
    EXPECT_EQ(books.asText(kAuthor), "Zweig"); // Mann's follower in key order
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Grass", "Hesse", "Zweig"}));

    // A key changed elsewhere: the next move finds its place in the changed tree.
    books.findNearest("HESSE");
    other.goToRecord(3);
    other.edit();
    other.setText(kAuthor, "Kafka");
    other.post();
    books.next();
    EXPECT_EQ(books.asText(kAuthor), "Kafka");
}

TEST_F(CursorTest, FieldsByNameAndDisplayDefaults) {
    openAt(books, path);
    EXPECT_EQ(books.fieldIndex("author"), kAuthor);
    EXPECT_EQ(books.fieldIndex("AUTHORX"), -1);
    EXPECT_THROW(books.fieldIndexOrThrow("Nope"), table::TableError);
    EXPECT_THROW(books.fieldDescriptor(36), table::TableError);
    EXPECT_THROW(books.asText(-1), table::TableError);
    EXPECT_EQ(books.display(kPurchDate).width, 10);
    std::vector<int> order = books.displayOrder();
    order[1] = 0; // not a permutation
    EXPECT_THROW(books.setDisplayOrder(order), table::TableError);
}

} // namespace
