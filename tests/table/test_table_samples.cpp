// Tables written by other programs open read-only and every field of every record reads as text.

#include "support_table.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace tabletest;
using table::OpenMode;
using table::Table;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> sampleTables() {
    std::vector<fs::path> found;
    for (const auto& entry : fs::recursive_directory_iterator(testsupport::samplesDir())) {
        std::string extension = entry.path().extension().string();
        if (extension == ".dbf" || extension == ".DBF")
            found.push_back(entry.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

TEST(SampleTablesTest, EveryFieldOfEveryRecordReadsAsText) {
    VOLUMARA_REQUIRE_SAMPLES();
    std::vector<fs::path> samples = sampleTables();
    ASSERT_GE(samples.size(), 20u);
    size_t opened = 0;
    for (const fs::path& sample : samples) {
        SCOPED_TRACE(sample.string());
        Table foreign;
        try {
            openAt(foreign, sample.string(), OpenMode::ReadOnly);
        } catch (const table::TableError& error) {
            // A broken sample must be refused with a message that names it.
            EXPECT_NE(std::string(error.what()).find(sample.filename().string()), std::string::npos)
                << error.what();
            continue;
        }
        ++opened;
        uint32_t visited = 0;
        for (foreign.first(); !foreign.eof() && !foreign.isEmpty(); foreign.next()) {
            for (int field = 0; field < foreign.fieldCount(); ++field)
                foreign.asText(field);
            ++visited;
        }
        EXPECT_EQ(visited, foreign.recordCount());
        EXPECT_EQ(Table::inUse(sample.string()), true); // our own handle holds it
    }
    EXPECT_GE(opened, samples.size() - 3);
}

TEST(SampleTablesTest, ForeignVersionsAreNotOpenedForWriting) {
    VOLUMARA_REQUIRE_SAMPLES();
    testsupport::TempDir dir;
    fs::path source = testsupport::samplesDir() / "dbf" / "dbase_30.dbf";
    fs::copy_file(source, dir.path() / "FOX.DBF");
    fs::permissions(dir.path() / "FOX.DBF", fs::perms::owner_write, fs::perm_options::add);
    Table fox;
    EXPECT_THROW(openAt(fox, dir.file("FOX.DBF"), OpenMode::Shared), table::TableError);
    EXPECT_NO_THROW(openAt(fox, dir.file("FOX.DBF"), OpenMode::ReadOnly));
}

TEST(SampleTablesTest, TruncatedBookTableIsRefusedByName) {
    testsupport::TempDir dir;
    std::string path = createBooks(dir, "SHORT.DBF");
    {
        Table books;
        openAt(books, path);
        for (int i = 0; i < 5; ++i)
            addBook(books, "Author " + std::to_string(i));
    }
    fs::resize_file(path, fs::file_size(path) - 700);
    Table books;
    try {
        openAt(books, path, OpenMode::ReadOnly);
        FAIL() << "a truncated table opened";
    } catch (const table::TableError& error) {
        EXPECT_NE(std::string(error.what()).find("SHORT.DBF"), std::string::npos) << error.what();
    }
    fs::resize_file(path, 100); // inside the field descriptors
    EXPECT_THROW(openAt(books, path, OpenMode::ReadOnly), table::TableError);
    fs::resize_file(path, 0);
    EXPECT_THROW(openAt(books, path, OpenMode::ReadOnly), table::TableError);
}

} // namespace
