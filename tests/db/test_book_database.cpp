#include "db/book_database.h"

#include "db/field_catalogue.h"
#include "support/scripted_messages.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <filesystem>
#include <fstream>

namespace {

using testsupport::ScriptedMessages;
using testsupport::TempDir;

const std::string kAuthorOrder = "Upper(Left(Author,20))";

TEST(SortExpression, TermsFollowTheFieldKindsInLevelOrder) {
    EXPECT_EQ(db::buildSortExpression({2, 0, 0, 0}), kAuthorOrder);
    EXPECT_EQ(db::buildSortExpression({2, 3, 12, 0}),
              "Upper(Left(Author,20))+STR(YearPub,8,0)+DTOS(PurchDate)");
    EXPECT_EQ(db::buildSortExpression({0, 7, 0, 9}), "STR(Cost,12,2)+Upper(Left(Descriptio,20))");
    EXPECT_EQ(db::buildSortExpression({0, 0, 0, 0}), "");
    EXPECT_EQ(db::buildSortExpression({37, -1, 0, 0}), "");
}

TEST(TableName, IsTheFileNameWithoutItsLastExtension) {
    EXPECT_EQ(db::tableNameOf("/data/MASTER.DBF"), "MASTER");
    EXPECT_EQ(db::tableNameOf("/data/BOOKS.OLD.DBF"), "BOOKS.OLD");
    EXPECT_EQ(db::tableNameOf("/my.dir/books.2024.dbf"), "books.2024");
    EXPECT_EQ(db::tableNameOf("NAME"), "NAME");
}

// A main window stand-in: the grid's table, the current path and a record of what was done.
class BookDatabaseTest : public ::testing::Test {
protected:
    db::DatabaseContext context() {
        return {table_,
                currentPath_,
                sortExpression_,
                messages_,
                [this] { ++searchesEnded_; },
                [this](const QString& caption) { caption_ = caption; },
                [this] { ++viewerOptionsApplied_; }};
    }
    QString path(const std::string& name) const { return QString::fromStdString(dir_.file(name)); }
    void makeBookTable(const std::string& name) {
        ASSERT_TRUE(db::makeNewTable(path(name), messages_));
    }
    void makeTableWith(const std::string& name, std::vector<table::FieldDef> defs) {
        table::Table::create(dir_.file(name), defs);
    }
    std::vector<std::string> tagExpressions(const std::string& name) {
        table::Table handle;
        db::pointTableAt(handle, path(name));
        handle.open();
        std::vector<std::string> expressions;
        for (const table::TagInfo& tag : handle.tags())
            expressions.push_back(tag.name + ":" + tag.expression);
        return expressions;
    }

    TempDir dir_;
    table::Table table_;
    QString currentPath_;
    std::string sortExpression_ = kAuthorOrder;
    ScriptedMessages messages_;
    int searchesEnded_ = 0;
    int viewerOptionsApplied_ = 0;
    QString caption_;
};

TEST_F(BookDatabaseTest, NewTableHasTheCatalogueFieldsInOrderAndOpensIndexed) {
    auto ctx = context();
    db::OpenResult result = db::newDatabase(ctx, path("NEW.DBF"));
    ASSERT_TRUE(result.opened()) << testing::PrintToString(messages_.texts());
    EXPECT_EQ(searchesEnded_, 1);
    EXPECT_EQ(viewerOptionsApplied_, 1);
    EXPECT_EQ(caption_, "Volumara Books 95 (NEW)");
    EXPECT_EQ(currentPath_, path("NEW.DBF"));
    EXPECT_EQ(result.newPath, path("NEW.DBF"));
    EXPECT_TRUE(QFileInfo::exists(result.indexFilePath));
    ASSERT_EQ(table_.fieldCount(), 36);
    for (int i = 0; i < 36; ++i)
        EXPECT_TRUE(
            db::sameFieldName(table_.fieldDescriptor(i).name, db::fieldByNumber(i + 1)->name));
    EXPECT_EQ(table_.fieldDescriptor(2).type, 'N');
    EXPECT_EQ(table_.selectedTag(), "NewIndex");
    EXPECT_TRUE(messages_.messages.empty());
}

TEST_F(BookDatabaseTest, CheckFormatAcceptsOtherLetterCaseAndRefusesOtherLayouts) {
    makeBookTable("GOOD.DBF");
    // Rewrite the stored names in lower case, as some programs write them.
    {
        std::fstream file(dir_.file("GOOD.DBF"), std::ios::in | std::ios::out | std::ios::binary);
        for (int i = 0; i < 36; ++i) {
            file.seekg(32 + 32 * i);
            char name[11] = {};
            file.read(name, 10);
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            file.seekp(32 + 32 * i);
            file.write(name, static_cast<std::streamsize>(std::strlen(name)));
        }
    }
    EXPECT_TRUE(db::checkFormat(path("GOOD.DBF"), messages_));
    EXPECT_TRUE(messages_.messages.empty());

    std::vector<table::FieldDef> defs = db::bookTableFieldDefs();
    auto fewer = defs;
    fewer.pop_back();
    auto more = defs;
    more.push_back({"EXTRA", 'C', 10, 0});
    auto swapped = defs;
    std::swap(swapped[3], swapped[4]);
    makeTableWith("FEWER.DBF", fewer);
    makeTableWith("MORE.DBF", more);
    makeTableWith("SWAPPED.DBF", swapped);
    for (const char* name : {"FEWER.DBF", "MORE.DBF", "SWAPPED.DBF"}) {
        SCOPED_TRACE(name);
        messages_.clearRecord();
        EXPECT_FALSE(db::checkFormat(path(name), messages_));
        ASSERT_EQ(messages_.messages.size(), 1u);
        EXPECT_EQ(messages_.messages[0].caption, "Error");
        EXPECT_EQ(messages_.messages[0].text,
                  "This DBase file was not created with Volumara Books 95.  It cannot be opened.  "
                  "You may, however, import data from this file using the import function.");
    }
}

TEST_F(BookDatabaseTest, MissingIndexFileIsRebuiltOnOpen) {
    auto ctx = context();
    ASSERT_TRUE(db::newDatabase(ctx, path("BOOKS.DBF")).opened());
    table_.close();
    std::filesystem::remove(dir_.file("BOOKS.MDX"));
    currentPath_.clear();
    db::OpenResult result = db::openKnownDatabase(ctx, path("BOOKS.DBF"));
    ASSERT_TRUE(result.opened()) << testing::PrintToString(messages_.texts());
    EXPECT_TRUE(QFileInfo::exists(result.indexFilePath));
    EXPECT_EQ(table_.selectedTag(), "NewIndex");
}

// A name with more than one full stop is the file the user chose, and its index is that name with
// its last extension replaced; a table beside it whose name is a shorter cut is left alone.
TEST_F(BookDatabaseTest, NameWithTwoFullStopsOpensAndCreatesExactlyThatFile) {
    auto ctx = context();
    ASSERT_TRUE(db::newDatabase(ctx, path("books.DBF")).opened());
    table_.close();
    const auto bookIndexSize = std::filesystem::file_size(dir_.file("books.MDX"));
    db::OpenResult created = db::newDatabase(ctx, path("books.2024.dbf"));
    ASSERT_TRUE(created.opened()) << testing::PrintToString(messages_.texts());
    EXPECT_EQ(std::filesystem::path(table_.dbfPath()).filename(), "books.2024.dbf");
    EXPECT_EQ(std::filesystem::path(table_.mdxPath()).filename(), "books.2024.MDX");
    EXPECT_EQ(created.indexFilePath, path("books.2024.MDX"));
    EXPECT_TRUE(std::filesystem::exists(dir_.file("books.2024.MDX")));
    EXPECT_EQ(caption_, "Volumara Books 95 (books.2024)");
    EXPECT_EQ(std::filesystem::file_size(dir_.file("books.MDX")), bookIndexSize);
    table_.close();

    ASSERT_TRUE(db::openDatabase(ctx, path("books.2024.dbf")).opened())
        << testing::PrintToString(messages_.texts());
    EXPECT_EQ(std::filesystem::path(table_.dbfPath()).filename(), "books.2024.dbf");
    EXPECT_EQ(currentPath_, path("books.2024.dbf"));

    // Not a table at all: refused, never mistaken for books.DBF.
    std::ofstream(dir_.file("books.old.dbf")) << "not a table";
    EXPECT_NE(db::openDatabase(ctx, path("books.old.dbf")).outcome, db::OpenOutcome::Opened);
    EXPECT_EQ(std::filesystem::path(table_.dbfPath()).filename(), "books.2024.dbf");
}

TEST_F(BookDatabaseTest, RefusedOrFailedOpensLeaveTheCurrentTableAlone) {
    auto ctx = context();
    ASSERT_TRUE(db::newDatabase(ctx, path("CURRENT.DBF")).opened());
    makeTableWith("FOREIGN.DBF", {{"NAME", 'C', 20, 0}});
    searchesEnded_ = 0;

    EXPECT_EQ(db::openDatabase(ctx, path("NOTES.TXT")).outcome, db::OpenOutcome::Refused);
    EXPECT_EQ(db::openDatabase(ctx, path("FOREIGN.DBF")).outcome, db::OpenOutcome::Refused);
    db::OpenResult missing = db::openKnownDatabase(ctx, path("GONE.DBF"));
    EXPECT_EQ(missing.outcome, db::OpenOutcome::Failed);

    ASSERT_EQ(messages_.messages.size(), 3u);
    EXPECT_EQ(messages_.messages[0].text, "Invalid file type selected.");
    EXPECT_EQ(messages_.messages[2].caption, "Error");
    EXPECT_FALSE(messages_.messages[2].text.empty());
    EXPECT_EQ(searchesEnded_, 0); // only a file that passes the check ends the search
    EXPECT_TRUE(table_.isOpen());
    EXPECT_EQ(std::filesystem::path(table_.dbfPath()).filename(), "CURRENT.DBF");
    EXPECT_EQ(currentPath_, path("CURRENT.DBF"));

    // New ends the search before it even looks at the name.
    EXPECT_EQ(db::newDatabase(ctx, path("NEW.TXT")).outcome, db::OpenOutcome::Refused);
    EXPECT_EQ(searchesEnded_, 1);
}

TEST_F(BookDatabaseTest, TableHeldElsewhereKeepsItsIndexAndOpensShared) {
    auto ctx = context();
    ASSERT_TRUE(db::newDatabase(ctx, path("SHARED.DBF")).opened());
    table_.close();
    table::Table otherUser;
    db::pointTableAt(otherUser, path("SHARED.DBF"));
    otherUser.setOpenMode(table::OpenMode::Shared);
    otherUser.open();
    ASSERT_TRUE(db::isInUse(path("SHARED.DBF")));

    sortExpression_ = db::buildSortExpression({1, 0, 0, 0});
    auto ctx2 = context();
    ASSERT_TRUE(db::openKnownDatabase(ctx2, path("SHARED.DBF")).opened())
        << testing::PrintToString(messages_.texts());
    EXPECT_EQ(table_.openMode(), table::OpenMode::Shared);
    otherUser.close();
    table_.close();
    EXPECT_EQ(tagExpressions("SHARED.DBF"), std::vector<std::string>({"NEWINDEX:" + kAuthorOrder}));
}

TEST_F(BookDatabaseTest, MakeNewTableRefusesATableInUse) {
    makeBookTable("BUSY.DBF");
    table::Table otherUser;
    db::pointTableAt(otherUser, path("BUSY.DBF"));
    otherUser.open();
    EXPECT_FALSE(db::makeNewTable(path("BUSY.DBF"), messages_));
    ASSERT_EQ(messages_.messages.size(), 1u);
    EXPECT_EQ(messages_.messages[0].text,
              "The table \"" + dir_.file("BUSY.DBF") +
                  "\" is currently in use by another program.  New table creation will be "
                  "aborted.");
}

TEST_F(BookDatabaseTest, EmptySortOrderSelectsNoIndex) {
    makeBookTable("PLAIN.DBF");
    sortExpression_.clear();
    auto ctx = context();
    ASSERT_TRUE(db::openStartupDatabase(ctx, path("PLAIN.DBF")).opened());
    EXPECT_EQ(table_.selectedTag(), "");
    table_.close();
    ASSERT_TRUE(db::openKnownDatabase(ctx, path("PLAIN.DBF")).opened())
        << testing::PrintToString(messages_.texts());
    EXPECT_EQ(table_.selectedTag(), "");
}

} // namespace
