#include "table_bench_ops.h"
#include "table/codepage.h"
#include "table/table.h"
#include "table/table_error.h"
#include "table_bench_data.h"
#include "table_bench_fields.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string_view>

namespace fs = std::filesystem;

namespace benchfixture {
namespace {

// Keeps the results of reads alive so the compiler cannot drop them.
volatile uint64_t g_bytesRead = 0;

class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (fs::temp_directory_path() / "table-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// The .MDX beside a .DBF, in whichever letter case it was written.
fs::path companionIndex(const fs::path& dbf) {
    for (const char* extension : {".MDX", ".mdx"}) {
        fs::path candidate = dbf;
        candidate.replace_extension(extension);
        if (fs::exists(candidate))
            return candidate;
    }
    return {};
}

// Copies file by file through the OS, never holding the table in memory.
fs::path copyTable(const fs::path& source, const fs::path& folder) {
    fs::path target = folder / "BOOKS.DBF";
    fs::copy_file(source, target);
    fs::path index = companionIndex(source);
    if (!index.empty())
        fs::copy_file(index, folder / "BOOKS.MDX");
    return target;
}

void openTable(table::Table& books, const fs::path& dbf, table::OpenMode mode) {
    books.close();
    books.setDirectory(dbf.parent_path().string());
    books.setTableName(dbf.filename().string());
    books.setOpenMode(mode);
    books.selectTag("NewIndex");
    books.open();
}

bool hasTag(const table::Table& books, std::string_view name) {
    for (const table::TagInfo& tag : books.tags())
        if (tag.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), tag.name.begin(),
                       [](char a, char b) { return std::toupper(a) == std::toupper(b); }))
            return true;
    return false;
}

// Reads `rows` records moving with `step` (next or prior); returns how many were read.
template <typename Step> uint64_t readScreen(table::Table& books, Step step, bool atEnd) {
    uint64_t rows = 0;
    if (books.isEmpty())
        return 0;
    while (rows < kScreenRows) {
        g_bytesRead = g_bytesRead + readRecordAsText(books);
        ++rows;
        step();
        if (atEnd ? books.bof() : books.eof())
            break;
    }
    return rows;
}

uint64_t scanAll(table::Table& books) {
    uint64_t records = 0;
    for (books.first(); !books.eof(); books.next()) {
        g_bytesRead = g_bytesRead + readRecordAsText(books);
        ++records;
    }
    return records;
}

// Upper-cased Author contains "SMITH", tested on the raw 1252 bytes as dBASE's
// "SMITH" $ Upper(Author) would.
bool authorContainsSmith(const table::RecordView& record) {
    return table::containsUpperCp1252(record.raw(kAuthor), "SMITH");
}

void timeScreens(table::Table& books, const fs::path& dbf) {
    timed("open_first_screen", [&] {
        openTable(books, dbf, table::OpenMode::Shared);
        books.first();
        return readScreen(
            books, [&] { books.next(); }, false);
    });
    timed("last_screen", [&] {
        books.last();
        return readScreen(
            books, [&] { books.prior(); }, true);
    });
}

void timeIndexBuilds(table::Table& books) {
    uint32_t records = books.recordCount();
    timed("build_index_author", [&] {
        books.addTag("NewIndex", kAuthorKey);
        return records;
    });
    timed("build_index_3level", [&] {
        books.addTag("Level3", kThreeLevelKey);
        return records;
    });
    // Later steps maintain the one tag the program keeps, as SQLite maintains one index.
    books.selectTag("NewIndex");
    books.deleteTag("Level3");
    books.refresh();
}

void timeScans(table::Table& books) {
    timed("count_author_contains", [&] {
        books.setFilter(authorContainsSmith);
        books.refresh();
        return books.recordCount();
    });
    books.setFilter({});
    books.refresh();
    timed("scan_all_indexed", [&] { return scanAll(books); });
    books.selectTag("");
    books.refresh();
    timed("scan_all", [&] { return scanAll(books); });
    books.selectTag("NewIndex");
    books.refresh();
}

void timeAppend(table::Table& books) {
    SyntheticBooks generator(kAppendSeed);
    timed("append_10k", [&] {
        for (int n = 0; n < kAppendCount; ++n) {
            books.append();
            setBookFields(books, generator.next());
            books.post();
        }
        return static_cast<uint64_t>(kAppendCount);
    });
}

void timePack(table::Table& books) {
    books.selectTag("");
    books.refresh();
    uint32_t total = books.recordCount();
    for (uint32_t recno = 10; recno <= total; recno += 10)
        if (books.goToRecord(recno))
            books.deleteRecord();
    timed("pack", [&] {
        books.pack();
        return books.recordCount();
    });
}

} // namespace

void runBenchmark(const std::string& dbfPath) {
    if (!fs::exists(dbfPath))
        throw std::runtime_error("no such table: " + dbfPath);
    ScratchFolder scratch;
    fs::path dbf = copyTable(fs::absolute(dbfPath), scratch.path());
    table::Table books;
    openTable(books, dbf, table::OpenMode::Exclusive);
    if (!hasTag(books, "NewIndex")) {
        std::fprintf(stderr, "table_bench: building the missing tag NewIndex first\n");
        books.addTag("NewIndex", kAuthorKey);
    }
    books.close();

    timeScreens(books, dbf);
    openTable(books, dbf, table::OpenMode::Exclusive);
    timeIndexBuilds(books);
    timeScans(books);
    timeSearches(books);
    openTable(books, dbf, table::OpenMode::Shared);
    timeLocate(books);
    timeReplace(books);
    openTable(books, dbf, table::OpenMode::Exclusive);
    timeAppend(books);
    timePack(books);
    books.close();
}

} // namespace benchfixture
