#include "db/table_maintenance.h"

#include "db/book_database.h"
#include "db/field_catalogue.h"
#include "support/scripted_messages.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QString>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

using db::MaintenanceResult;
using db::MessageAnswer;
using testsupport::ScriptedMessages;
using testsupport::TempDir;

const int kAuthor = db::fieldNumberByName("Author") - 1;

// A book table sorted by author with five books, two of them deleted, open shared.
class MaintenanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = QString::fromStdString(dir.file("BOOKS.DBF"));
        ASSERT_TRUE(db::makeNewTable(path, messages));
        db::pointTableAt(books, path);
        db::installIndex(books, db::buildSortExpression({2, 0, 0, 0}));
        books.setOpenMode(table::OpenMode::Shared);
        books.selectTag(db::kIndexTag);
        books.open();
        for (const char* author : {"Orwell", "Austen", "Dickens", "Byron", "Eliot"}) {
            books.append();
            books.setText(kAuthor, author);
            books.post();
        }
        deleteAuthor("Byron");
        deleteAuthor("Orwell");
        messages.clearRecord();
    }

    void deleteAuthor(const std::string& author) {
        for (books.first(); !books.eof(); books.next()) {
            if (books.asText(kAuthor) == author) {
                books.deleteRecord();
                return;
            }
        }
        FAIL() << author << " not found";
    }

    std::vector<std::string> authorsInOrder() {
        std::vector<std::string> seen;
        for (books.first(); !books.eof() && !books.isEmpty(); books.next())
            seen.push_back(books.asText(kAuthor));
        return seen;
    }

    db::MaintenanceContext context() {
        return db::MaintenanceContext{books, messages, [this] { ++viewerOptionsApplied; }, {}, {}};
    }

    TempDir dir;
    QString path;
    table::Table books;
    ScriptedMessages messages;
    int viewerOptionsApplied = 0;
};

TEST_F(MaintenanceTest, PackRemovesDeletedRecordsAndKeepsTheIndexInOrder) {
    messages.script({MessageAnswer::Yes});
    auto ctx = context();
    int progressReports = 0;
    ctx.runWork = [&](const db::EngineWork& work) { work([&](double) { ++progressReports; }); };
    EXPECT_EQ(db::packDatabase(ctx), MaintenanceResult::Done);

    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].caption, "Confirm");
    EXPECT_EQ(messages.messages[0].text, db::kPackQuestion);
    EXPECT_GT(progressReports, 0);
    EXPECT_TRUE(books.isOpen());
    EXPECT_EQ(books.openMode(), table::OpenMode::Shared);
    EXPECT_EQ(books.selectedTag(), db::kIndexTag);
    EXPECT_EQ(viewerOptionsApplied, 1);
    EXPECT_EQ(books.header().recordCount, 3u);
    EXPECT_EQ(authorsInOrder(), (std::vector<std::string>{"Austen", "Dickens", "Eliot"}));

    // The rebuilt index is maintained by later edits.
    books.append();
    books.setText(kAuthor, "Chaucer");
    books.post();
    EXPECT_EQ(authorsInOrder(),
              (std::vector<std::string>{"Austen", "Chaucer", "Dickens", "Eliot"}));
}

TEST_F(MaintenanceTest, AnsweringNoLeavesTheTableAlone) {
    messages.script({MessageAnswer::No, MessageAnswer::No});
    auto ctx = context();
    EXPECT_EQ(db::packDatabase(ctx), MaintenanceResult::Cancelled);
    EXPECT_EQ(db::rebuildIndexes(ctx), MaintenanceResult::Cancelled);
    EXPECT_EQ(messages.texts(),
              (std::vector<std::string>{db::kPackQuestion, db::kRebuildQuestion}));
    EXPECT_TRUE(books.isOpen());
    EXPECT_EQ(books.header().recordCount, 5u);
    EXPECT_EQ(viewerOptionsApplied, 0);
}

TEST_F(MaintenanceTest, RebuildPutsAStaleOrADamagedIndexRight) {
    const auto overwrite = [](const std::string& file, uint64_t offset, const std::string& bytes) {
        std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(std::streamoff(offset));
        out.write(bytes.data(), std::streamsize(bytes.size()));
    };
    struct Case {
        const char* name;
        std::function<void()> spoil;
        std::vector<std::string> authors; // in index order once rebuilt
    };
    const std::vector<Case> cases = {
        {"a record changed behind the index's back",
         [&] {
             const table::DbfHeader& header = books.header();
             const table::FieldDescriptor& author = header.fields[size_t(kAuthor)];
             std::string zola = "Zola";
             zola.resize(author.length, ' ');
             const uint64_t austen = 2; // the second record added
             overwrite(books.dbfPath(),
                       header.headerLength + (austen - 1) * header.recordLength + author.offset,
                       zola);
         },
         {"Dickens", "Eliot", "Zola"}},
        {"the index header overwritten",
         [&] { overwrite(books.mdxPath(), 0, std::string(600, '\xff')); },
         {"Dickens", "Eliot", "Zola"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.spoil();
        books.close(); // the grid's handle opens again as the program left it
        books.open();
        EXPECT_NE(authorsInOrder(), c.authors); // out of order, or in the order of the records
        messages.clearRecord();
        messages.script({MessageAnswer::Yes});
        viewerOptionsApplied = 0;
        auto ctx = context();
        ctx.sortExpression = db::buildSortExpression({2, 0, 0, 0});
        EXPECT_EQ(db::rebuildIndexes(ctx), MaintenanceResult::Done);
        EXPECT_EQ(messages.texts(), std::vector<std::string>{db::kRebuildQuestion});
        EXPECT_TRUE(books.isOpen());
        EXPECT_EQ(books.openMode(), table::OpenMode::Shared);
        EXPECT_EQ(books.indexProblem(), "");
        EXPECT_EQ(books.selectedTag(), db::kIndexTag);
        EXPECT_EQ(viewerOptionsApplied, 1);
        EXPECT_EQ(books.header().recordCount, 5u);
        EXPECT_EQ(authorsInOrder(), c.authors);
    }
}

TEST_F(MaintenanceTest, AnotherHandleHoldingTheTableStopsBothWithTheirMessage) {
    table::Table other;
    db::pointTableAt(other, path);
    other.setOpenMode(table::OpenMode::Shared);
    other.open();

    messages.script({MessageAnswer::Yes, MessageAnswer::Yes});
    auto ctx = context();
    EXPECT_EQ(db::packDatabase(ctx), MaintenanceResult::Failed);
    EXPECT_EQ(db::rebuildIndexes(ctx), MaintenanceResult::Failed);
    ASSERT_EQ(messages.messages.size(), 4u);
    EXPECT_EQ(messages.messages[1].caption, "Error");
    EXPECT_EQ(messages.messages[1].text, db::kPackNeedsExclusiveMessage);
    EXPECT_EQ(messages.messages[3].text, db::kReindexNeedsExclusiveMessage);

    // Still open shared, in index order, with every record kept for a later pack.
    EXPECT_TRUE(books.isOpen());
    EXPECT_EQ(books.selectedTag(), db::kIndexTag);
    EXPECT_EQ(viewerOptionsApplied, 2);
    EXPECT_EQ(books.header().recordCount, 5u);
    EXPECT_EQ(authorsInOrder(), (std::vector<std::string>{"Austen", "Dickens", "Eliot"}));
}

TEST_F(MaintenanceTest, AnOpenThatFailsWithNobodyHoldingTheTableIsNotBlamedOnOthers) {
    books.close();
    {
        std::fstream file(path.toStdString(), std::ios::in | std::ios::out | std::ios::binary);
        file.put(char(0x83)); // a dBASE III table with memos: ours to read only
    }
    messages.script({MessageAnswer::Yes});
    auto ctx = context();
    EXPECT_EQ(db::packDatabase(ctx), MaintenanceResult::Failed);
    ASSERT_GE(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].text.rfind("Unable to pack table.  ", 0), 0u)
        << messages.messages[1].text;
    EXPECT_NE(messages.messages[1].text, db::kPackNeedsExclusiveMessage);
}

TEST_F(MaintenanceTest, AFailureAfterTheExclusiveOpenIsToldAsTheEngineReportedIt) {
    messages.script({MessageAnswer::Yes});
    auto ctx = context();
    ctx.runWork = [](const db::EngineWork& work) {
        work({});
        throw table::TableError("The disk is full.");
    };
    EXPECT_EQ(db::rebuildIndexes(ctx), MaintenanceResult::Failed);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].text, "Unable to reindex table.  The disk is full.");
    EXPECT_TRUE(books.isOpen());
    EXPECT_EQ(authorsInOrder(), (std::vector<std::string>{"Austen", "Dickens", "Eliot"}));
}

} // namespace
