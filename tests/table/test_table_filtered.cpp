// Filtered views over a table long enough that walks in index order pass hundreds of records
// that do not qualify: counts, first records and walks must follow every change, whether made
// through this handle, by another one, or by a new filter.

#include "support_table.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tabletest;
using table::OpenMode;
using table::RecordView;
using table::Table;

namespace {

using Authors = std::vector<std::string>;

bool titleIsWanted(const RecordView& record) {
    return record.text(kTitle).starts_with("Wanted");
}

class FilteredViewTest : public ::testing::Test {
protected:
    static constexpr uint32_t kTotal = 700;
    testsupport::TempDir dir;
    std::string path = createBooks(dir);
    Table books;

    // "Writer nnnn" everywhere, except three wanted books whose authors sort after every
    // writer, so the first wanted one in key order lies behind 697 that are not.
    void SetUp() override {
        openAt(books, path, OpenMode::Exclusive);
        for (uint32_t recno = 1; recno <= kTotal; ++recno) {
            char author[16];
            std::snprintf(author, sizeof author, "Writer %04u", recno);
            if (recno == 100 || recno == 350 || recno == 600)
                addBook(books, "Zweig " + std::to_string(recno), "Wanted");
            else
                addBook(books, author, "Other");
        }
        books.addTag("AUTHORS", kAuthorKey);
        books.close();
        books.selectTag("AUTHORS");
        openAt(books, path);
        books.setFilter(titleIsWanted);
        books.refresh();
    }

    void retitle(Table& handle, uint32_t recno, const std::string& title) {
        ASSERT_TRUE(handle.goToRecord(recno) || !handle.hasFilter());
        handle.edit();
        handle.setText(kTitle, title);
        handle.post();
    }
};

TEST_F(FilteredViewTest, RefreshCountAndWalksInKeyOrder) {
    EXPECT_EQ(books.recordNumber(), 100u);
    EXPECT_EQ(books.recordCount(), 3u);
    EXPECT_EQ(walk(books), (Authors{"Zweig 100", "Zweig 350", "Zweig 600"}));
    EXPECT_EQ(walkBackwards(books), (Authors{"Zweig 600", "Zweig 350", "Zweig 100"}));
    books.findNearest("WRITER 0400"); // lands on the next wanted key
    EXPECT_EQ(books.asText(kAuthor), "Zweig 100");
}

TEST_F(FilteredViewTest, ChangesThroughThisHandleAreFollowedAtOnce) {
    ASSERT_EQ(books.recordCount(), 3u);
    books.setFilter({});
    books.refresh();
    retitle(books, 5, "Wanted too"); // no key changes: only the record tells
    books.setFilter(titleIsWanted);
    books.refresh();
    EXPECT_EQ(books.recordCount(), 4u);
    EXPECT_EQ(books.recordNumber(), 5u);

    retitle(books, 350, "Other"); // the record leaves the view
    EXPECT_EQ(books.recordCount(), 3u);
    EXPECT_EQ(walk(books), (Authors{"Writer 0005", "Zweig 100", "Zweig 600"}));

    ASSERT_TRUE(books.goToRecord(600));
    books.deleteRecord();
    EXPECT_EQ(books.recordCount(), 2u);
    EXPECT_EQ(walkBackwards(books), (Authors{"Zweig 100", "Writer 0005"}));

    addBook(books, "Anders", "Wanted new");
    EXPECT_EQ(books.recordCount(), 3u);
    EXPECT_EQ(walk(books), (Authors{"Anders", "Writer 0005", "Zweig 100"}));
}

TEST_F(FilteredViewTest, AnotherHandlesChangesAreSeenAtRefreshAndDeletionsAtOnce) {
    ASSERT_EQ(books.recordCount(), 3u);
    Table other;
    other.selectTag("AUTHORS");
    openAt(other, path);
    ASSERT_TRUE(other.goToRecord(350));
    other.deleteRecord();
    // Before the refresh, the deleted record is never delivered.
    EXPECT_EQ(walk(books), (Authors{"Zweig 100", "Zweig 600"}));

    addBook(other, "Zola", "Wanted by the other");
    retitle(other, 42, "Wanted elsewhere"); // changes no key and no count
    books.refresh();
    EXPECT_EQ(books.recordCount(), 4u);
    EXPECT_EQ(walk(books), (Authors{"Writer 0042", "Zola", "Zweig 100", "Zweig 600"}));
    EXPECT_EQ(books.recordNumber(), 600u);
}

TEST_F(FilteredViewTest, ANewFilterReplacesTheRecordsOfTheOldOne) {
    ASSERT_EQ(books.recordCount(), 3u);
    books.setFilter([](const RecordView& record) { return record.text(kAuthor).ends_with("7"); });
    EXPECT_EQ(books.recordCount(), 3u); // a filter applies from the refresh on
    books.refresh();
    EXPECT_EQ(books.recordCount(), 70u);
    EXPECT_EQ(books.asText(kAuthor), "Writer 0697"); // the nearest after Zweig 100, backwards
    books.first();
    EXPECT_EQ(books.asText(kAuthor), "Writer 0007");

    books.setFilter([](const RecordView& record) { return record.text(kAuthor) == "Zweig 600"; });
    books.refresh();
    EXPECT_EQ(walk(books), (Authors{"Zweig 600"}));
    EXPECT_EQ(books.recordCount(), 1u);

    books.setFilter({});
    books.refresh();
    EXPECT_EQ(books.recordCount(), kTotal);
}

} // namespace
