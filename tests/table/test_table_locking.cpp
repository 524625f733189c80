#include "support_table.h"

#include <gtest/gtest.h>

#include <set>

using namespace tabletest;
using table::OpenMode;
using table::Table;

namespace {

class LockingTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string path = createBooks(dir);

    std::string tryOpenElsewhere(const std::string& mode) {
        Child child({"tryopen", path, mode});
        std::string line;
        child.readLine(line);
        child.wait();
        return line;
    }
    static void waitReady(Child& child) {
        std::string line;
        ASSERT_TRUE(child.readLine(line));
        ASSERT_EQ(line, "ready");
    }
};

bool opens(Table& table, const std::string& path, OpenMode mode) {
    try {
        openAt(table, path, mode);
        return true;
    } catch (const table::TableError&) {
        return false;
    }
}

TEST_F(LockingTest, ExclusiveAndSharedHandlesInOneProcess) {
    Table first, second;
    ASSERT_TRUE(opens(first, path, OpenMode::Shared));
    EXPECT_TRUE(opens(second, path, OpenMode::ReadOnly));
    second.close();
    EXPECT_FALSE(opens(second, path, OpenMode::Exclusive));
    EXPECT_TRUE(Table::inUse(path));
    EXPECT_THROW(Table::create(path, bookFields()), table::TableError);
    first.close();
    EXPECT_FALSE(Table::inUse(path));

    ASSERT_TRUE(opens(first, path, OpenMode::Exclusive));
    EXPECT_FALSE(opens(second, path, OpenMode::Exclusive));
    EXPECT_FALSE(opens(second, path, OpenMode::Shared));
    EXPECT_FALSE(opens(second, path, OpenMode::ReadOnly));
    first.close();
    EXPECT_TRUE(opens(second, path, OpenMode::Exclusive));
}

TEST_F(LockingTest, ExclusiveAndSharedAcrossProcesses) {
    Table mine;
    openAt(mine, path, OpenMode::Shared);
    EXPECT_EQ(tryOpenElsewhere("shared"), "ok");
    EXPECT_EQ(tryOpenElsewhere("exclusive").rfind("error ", 0), 0u);
    mine.close();
    openAt(mine, path, OpenMode::Exclusive);
    EXPECT_EQ(tryOpenElsewhere("shared").rfind("error ", 0), 0u);
    EXPECT_EQ(tryOpenElsewhere("readonly").rfind("error ", 0), 0u);
    mine.close();

    {
        Child holder({"hold", path, "exclusive"});
        waitReady(holder);
        EXPECT_TRUE(Table::inUse(path));
        EXPECT_FALSE(opens(mine, path, OpenMode::Shared));
    } // killed: its locks go with it
    EXPECT_FALSE(Table::inUse(path));
    EXPECT_TRUE(opens(mine, path, OpenMode::Exclusive));
}

TEST_F(LockingTest, RecordLockHeldByAnotherProcess) {
    Table mine;
    openAt(mine, path);
    addBook(mine, "Locked");
    addBook(mine, "Free");
    Child editor({"edit", path, "1"});
    waitReady(editor);
    mine.goToRecord(1);
    EXPECT_THROW(mine.edit(), table::TableError);
    EXPECT_EQ(mine.state(), Table::State::Browse);
    mine.goToRecord(2);
    EXPECT_NO_THROW(mine.edit());
    mine.cancel();
    editor.kill();
    editor.wait();
    mine.goToRecord(1);
    EXPECT_NO_THROW(mine.edit());
}

TEST_F(LockingTest, ConcurrentAppendsFromTwoProcessesLoseNothing) {
    constexpr int kEach = 2000;
    {
        Table setup;
        openAt(setup, path, OpenMode::Exclusive);
        setup.addTag("AUTHORS", kAuthorKey);
    }
    Child one({"append", path, std::to_string(kEach), "ONE-"});
    Child two({"append", path, std::to_string(kEach), "TWO-"});
    std::string line;
    ASSERT_TRUE(one.readLine(line));
    EXPECT_EQ(line, "done");
    ASSERT_TRUE(two.readLine(line));
    EXPECT_EQ(line, "done");
    EXPECT_EQ(one.wait(), 0);
    EXPECT_EQ(two.wait(), 0);

    Table books;
    openAt(books, path);
    EXPECT_EQ(books.header().recordCount, 2u * kEach);
    EXPECT_EQ(books.recordCount(), 2u * kEach);
    std::vector<std::string> physical = walk(books);
    EXPECT_EQ(std::set<std::string>(physical.begin(), physical.end()).size(), 2u * kEach);

    books.selectTag("AUTHORS");
    std::vector<std::string> keyed = walk(books);
    ASSERT_EQ(keyed.size(), 2u * kEach);
    EXPECT_TRUE(std::is_sorted(keyed.begin(), keyed.end()));
    EXPECT_EQ(keyed.front(), "ONE-00001");
    EXPECT_EQ(keyed.back(), "TWO-02000");
}

} // namespace

// A table opens while another process appends to it: the header's count and the file's size
// are read at different moments, and must still agree.
TEST_F(LockingTest, OpensWhileAnotherProcessAppends) {
    {
        Table setup;
        openAt(setup, path, OpenMode::Exclusive);
        setup.addTag("AUTHORS", kAuthorKey);
    }
    Child appender({"append", path, "4000", "APP-"});
    int opened = 0;
    std::string failure;
    for (int attempt = 0; attempt < 300 && failure.empty(); ++attempt) {
        Table books;
        try {
            openAt(books, path, OpenMode::Shared);
            ++opened;
        } catch (const table::TableError& error) {
            failure = error.what();
        }
    }
    EXPECT_EQ(failure, "");
    EXPECT_EQ(opened, 300);
    std::string line;
    ASSERT_TRUE(appender.readLine(line));
    EXPECT_EQ(line, "done");
    EXPECT_EQ(appender.wait(), 0);
}
