// A process killed at any moment while it appends, edits, deletes and packs must leave a table
// that opens, holds every record it finished, and an index that walks exactly the live records.

#include "support_table.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <thread>

using namespace tabletest;
using table::OpenMode;
using table::Table;

namespace {

struct Expected {
    std::set<long> live;
};

// Reads the child's report of what it finished.
void noteReport(const std::string& line, Expected& expected) {
    if (line.rfind("error", 0) == 0)
        ADD_FAILURE() << "the writer failed: " << line;
    if (line.size() < 3 || line[1] != ' ')
        return;
    long seq = std::stol(line.substr(2));
    if (line[0] == 'A')
        expected.live.insert(seq);
    else if (line[0] == 'D')
        expected.live.erase(seq);
}

// Checks the table against what the child reported.
void checkTable(const std::string& path, const Expected& expected) {
    Table books;
    books.selectTag("AUTHORS");
    ASSERT_NO_THROW(openAt(books, path, OpenMode::Exclusive));
    ASSERT_EQ(books.selectedTag(), "AUTHORS");

    std::set<long> found;
    std::vector<std::string> keys;
    books.first();
    while (!books.eof() && !books.isEmpty()) {
        std::string title = books.asText(kTitle);
        std::string author = books.asText(kAuthor);
        ASSERT_EQ(title.size(), 6u) << title;
        long seq = std::stol(title.substr(1));
        EXPECT_EQ(author.substr(0, title.size()), 'A' + title.substr(1)) << author; // intact
        EXPECT_TRUE(found.insert(seq).second) << "twice: " << seq;
        keys.push_back(author);
        books.next();
    }
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    EXPECT_EQ(found.size(), books.recordCount());

    std::vector<long> difference;
    std::set_symmetric_difference(found.begin(), found.end(), expected.live.begin(),
                                  expected.live.end(), std::back_inserter(difference));
    EXPECT_LE(difference.size(), 1u) << "only the step under way when killed may differ";
}

TEST(CrashTest, KilledWriterLeavesAConsistentTable) {
    testsupport::TempDir dir;
    std::string path = dir.file("BOOKS.DBF");
    std::mt19937 random(20240611);
    for (int round = 0; round < 6; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        // The child numbers its records from 1 each round, so start each round afresh.
        Table::create(path, bookFields());
        {
            Table setup;
            openAt(setup, path, OpenMode::Exclusive);
            setup.addTag("AUTHORS", kAuthorKey);
        }
        Expected expected;
        Child writer({"churn", path, std::to_string(random())});
        std::string line;
        ASSERT_TRUE(writer.readLine(line)) << "the writer did not start";
        noteReport(line, expected);
        std::this_thread::sleep_for(std::chrono::milliseconds(100 + random() % 400));
        writer.kill();
        int steps = 1;
        while (writer.readLine(line)) {
            noteReport(line, expected);
            ++steps;
        }
        writer.wait();
        EXPECT_GT(steps, 20) << "the writer was killed before it did much";
        checkTable(path, expected);
    }
}

} // namespace
