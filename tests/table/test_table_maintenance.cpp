#include "support_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace tabletest;
using table::OpenMode;
using table::Table;
namespace fs = std::filesystem;

namespace {

class MaintenanceTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string path = createBooks(dir);
    Table books;

    void SetUp() override {
        books.selectTag("AUTHORS");
        openAt(books, path, OpenMode::Exclusive);
        books.addTag("AUTHORS", kAuthorKey);
        for (const char* author : {"Eco", "Calvino", "Svevo", "Levi", "Moravia", "Pavese"})
            addBook(books, author, std::string("by ") + author);
    }
    void deleteAuthor(const std::string& author) {
        ASSERT_TRUE(books.findNearest(author));
        books.deleteRecord();
    }
    void writeRecordCount(uint32_t count) {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(4);
        char bytes[4] = {char(count), char(count >> 8), char(count >> 16), char(count >> 24)};
        file.write(bytes, 4);
    }
};

TEST_F(MaintenanceTest, PackDropsDeletedRecordsAndRebuildsTheIndex) {
    deleteAuthor("CALVINO");
    deleteAuthor("PAVESE");
    std::vector<double> progress;
    books.pack([&](double done) { progress.push_back(done); });
    EXPECT_EQ(books.header().recordCount, 4u);
    EXPECT_EQ(books.recordCount(), 4u);
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Eco", "Levi", "Moravia", "Svevo"}));
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 1.0);
    addBook(books, "Buzzati"); // the new index takes keys
    books.close();

    openAt(books, path, OpenMode::Shared);
    EXPECT_EQ(walk(books),
              (std::vector<std::string>{"Buzzati", "Eco", "Levi", "Moravia", "Svevo"}));
    books.selectTag("");
    EXPECT_EQ(walk(books),
              (std::vector<std::string>{"Eco", "Svevo", "Levi", "Moravia", "Buzzati"}));
    EXPECT_EQ(fs::file_size(path),
              books.header().headerLength + 5u * books.header().recordLength + 1);
    for (const auto& entry : fs::directory_iterator(dir.path())) // no temporary files left
        EXPECT_TRUE(entry.path().extension() == ".DBF" || entry.path().extension() == ".MDX")
            << entry.path();
}

TEST_F(MaintenanceTest, PackAndReindexNeedExclusiveUse) {
    books.close();
    openAt(books, path, OpenMode::Shared);
    EXPECT_THROW(books.pack(), table::TableError);
    EXPECT_THROW(books.regenerateIndexes(), table::TableError);
    Table other;
    EXPECT_THROW(openAt(other, path, OpenMode::Exclusive), table::TableError);
    EXPECT_EQ(books.recordCount(), 6u);
}

TEST_F(MaintenanceTest, StaleIndexIsRebuiltAtOpen) {
    books.close();
    // What a process killed between writing a record and its keys leaves: one record more in the
    // table than the index knows.
    {
        Table raw;
        openAt(raw, path, OpenMode::Exclusive);
        raw.deleteTag("AUTHORS");
        addBook(raw, "Tabucchi");
        raw.addTag("AUTHORS", kAuthorKey);
        addBook(raw, "Bassani");
    }
    writeRecordCount(6); // the index says 8 now: Bassani and Tabucchi are beyond the table
    openAt(books, path, OpenMode::Shared);
    EXPECT_EQ(walk(books),
              (std::vector<std::string>{"Calvino", "Eco", "Levi", "Moravia", "Pavese", "Svevo"}));
    writeRecordCount(8);
    books.close();
    openAt(books, path, OpenMode::Shared);
    EXPECT_EQ(books.recordCount(), 8u);
    EXPECT_EQ(walk(books).size(), 8u);
    EXPECT_EQ(walk(books).front(), "Bassani");
}

TEST_F(MaintenanceTest, IndexFlagWithoutIndexFileOpensInPhysicalOrder) {
    books.close();
    fs::remove(books.mdxPath());
    openAt(books, path, OpenMode::Shared);
    EXPECT_TRUE(books.tags().empty());
    EXPECT_EQ(books.selectedTag(), "");
    EXPECT_EQ(walk(books).front(), "Eco");
    books.deleteTag("AUTHORS"); // nothing to delete: no error
    books.addTag("AUTHORS", kAuthorKey);
    books.selectTag("AUTHORS");
    EXPECT_EQ(walk(books).front(), "Calvino");
}

TEST_F(MaintenanceTest, RegenerateRepairsAStaleOrADamagedIndex) {
    const std::vector<std::string> sorted{"Calvino", "Levi", "Moravia", "Pavese", "Svevo", "Zeno"};
    const auto overwrite = [](const std::string& file, uint64_t offset, const std::string& bytes) {
        std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(std::streamoff(offset));
        out.write(bytes.data(), std::streamsize(bytes.size()));
    };
    struct Case {
        const char* name;
        std::function<void()> spoil;
        bool damaged;
    };
    const std::vector<Case> cases = {
        {"a record changed behind the index's back",
         [&] {
             const table::DbfHeader& header = books.header();
             const table::FieldDescriptor& author = header.fields[kAuthor];
             std::string zeno = "Zeno";
             zeno.resize(author.length, ' ');
             overwrite(path, header.headerLength + author.offset, zeno); // Eco, record 1
         },
         false},
        {"the index header overwritten",
         [&] { overwrite(books.mdxPath(), 0, std::string(600, '\xff')); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string index = books.mdxPath();
        c.spoil();
        books.close();
        openAt(books, path, OpenMode::Exclusive);
        EXPECT_EQ(books.indexProblem().empty(), !c.damaged) << books.indexProblem();
        if (c.damaged) {
            EXPECT_NE(books.indexProblem().find("is not a dBASE production index"),
                      std::string::npos);
            EXPECT_TRUE(books.tags().empty());
            EXPECT_EQ(walk(books).size(), 6u); // every record, in physical order
        } else {
            EXPECT_NE(walk(books), sorted); // the index really is out of step
        }
        books.regenerateIndexes();
        EXPECT_EQ(books.indexProblem(), "");
        if (c.damaged) {
            EXPECT_TRUE(books.tags().empty()); // a new index; the old tags could not be read
            books.addTag("AUTHORS", kAuthorKey);
            books.selectTag("AUTHORS");
        }
        EXPECT_EQ(walk(books), sorted);
        books.close();
        openAt(books, path, OpenMode::Shared);
        EXPECT_EQ(books.indexProblem(), "");
        EXPECT_EQ(walk(books), sorted);
        EXPECT_FALSE(Table::inUse(path + "-missing")); // nobody holds what does not exist
    }
}

TEST_F(MaintenanceTest, TagsCanBeChangedOnAClosedHandle) {
    books.close();
    books.deleteTag("AUTHORS");
    books.addTag("TITLES", "Upper(Title)");
    EXPECT_FALSE(books.isOpen());
    books.selectTag("TITLES");
    books.open();
    ASSERT_EQ(books.tags().size(), 1u);
    EXPECT_EQ(walk(books, kTitle).front(), "by Calvino");
    EXPECT_THROW(books.addTag("BAD", "Upper(NoSuchField)"), table::TableError);
}

TEST_F(MaintenanceTest, CreateReplacesTableAndDropsItsIndex) {
    books.close();
    std::string index = books.mdxPath();
    ASSERT_TRUE(fs::exists(index));
    Table::create(path, bookFields());
    EXPECT_FALSE(fs::exists(index));
    openAt(books, path);
    EXPECT_TRUE(books.isEmpty());
    EXPECT_TRUE(books.tags().empty());
}

} // namespace
