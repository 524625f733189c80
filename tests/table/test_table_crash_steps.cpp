// A crash at any named step of pack or of the replacement-file writer must leave a table that
// opens with every record, and an index that either indexes exactly the table's records or is
// marked for rebuilding. The work runs in a child process that stops dead at the step. Of every
// file the crash keeps only what had reached the disk: its contents at the last fsync, or at the
// start for a file that was never synced since; a file created meanwhile and never synced is
// empty. (A rename counts as done once made.)

#include "support_table.h"
#include "table/durability.h"
#include "table/key_expression.h"
#include "table/mdx_file.h"
#include "table/replacement_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace tabletest;
using table::OpenMode;
using table::Table;
namespace fs = std::filesystem;
namespace step = table::detail::step;

namespace {

constexpr int kStopped = 42;

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

ino_t inodeOf(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::map<ino_t, std::string> filesByInode(const fs::path& folder) {
    std::map<ino_t, std::string> files;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.is_regular_file())
            files[inodeOf(entry.path())] = contentsOf(entry.path());
    return files;
}

// In the child: keeps a copy of every file as it reaches the disk, and stops at one step.
class StopAtStep : public table::detail::DurabilityProbe {
public:
    StopAtStep(std::string_view step, fs::path onDisk) : step_(step), onDisk_(std::move(onDisk)) {}
    void synced(int fd) override {
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
            return;
        std::string bytes(static_cast<size_t>(info.st_size), '\0');
        size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, off_t(got));
            if (n <= 0)
                ::_exit(2);
            got += size_t(n);
        }
        std::ofstream(onDisk_ / std::to_string(info.st_ino), std::ios::binary) << bytes;
    }
    void stepReached(std::string_view step) override {
        if (step == step_)
            ::_exit(kStopped);
    }

private:
    std::string_view step_;
    fs::path onDisk_;
};

// Runs `work` in a child process that stops at `step`; false when it never got there.
bool runUntil(std::string_view step, const fs::path& onDisk, const std::function<void()>& work) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        StopAtStep probe(step, onDisk);
        table::detail::setDurabilityProbe(&probe);
        try {
            work();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == kStopped;
}

// What the crash leaves of each file in `folder`.
void keepOnlyWhatReachedTheDisk(const fs::path& folder, const std::map<ino_t, std::string>& before,
                                const fs::path& onDisk) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (!entry.is_regular_file())
            continue;
        const ino_t inode = inodeOf(entry.path());
        const fs::path synced = onDisk / std::to_string(inode);
        std::string kept;
        if (fs::exists(synced))
            kept = contentsOf(synced);
        else if (auto old = before.find(inode); old != before.end())
            kept = old->second;
        std::ofstream(entry.path(), std::ios::binary | std::ios::trunc) << kept;
    }
}

class CrashStepTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    testsupport::TempDir onDisk;
    std::string path = dir.file("BOOKS.DBF");
    std::vector<std::string> liveAuthors; // physical order
    uint32_t recordsBefore = 0;

    void makeTable() {
        Table::create(path, bookFields());
        Table books;
        openAt(books, path, OpenMode::Exclusive);
        books.addTag("AUTHORS", kAuthorKey);
        books.addTag("TITLES", "Upper(Title)");
        books.selectTag("AUTHORS");
        const std::vector<std::string> authors{"Eco",     "Calvino", "Svevo",   "Levi",
                                               "Moravia", "Pavese",  "Morante", "Buzzati"};
        for (const std::string& author : authors)
            addBook(books, author, "by " + author);
        for (const char* gone : {"CALVINO", "PAVESE", "EC"}) {
            ASSERT_TRUE(books.findNearest(gone));
            books.deleteRecord();
        }
        recordsBefore = uint32_t(authors.size());
        liveAuthors = {"Svevo", "Levi", "Moravia", "Morante", "Buzzati"};
    }

    // The records as the .DBF holds them, in physical order, live ones only; and the count.
    std::vector<std::string> physicalAuthors(uint32_t& count) {
        Table raw;
        raw.selectTag("");
        openAt(raw, path, OpenMode::ReadOnly);
        count = raw.header().recordCount;
        return walk(raw);
    }

    // An index that is not marked for rebuilding must index exactly the table's records.
    void expectIndexTrueOrMarked() {
        const fs::path mdx = dir.path() / "BOOKS.MDX";
        ASSERT_TRUE(fs::exists(mdx));
        std::unique_ptr<table::MdxFile> index;
        ASSERT_NO_THROW(index = table::MdxFile::open(mdx.string(), false));
        if (index->changeInProgress())
            return;
        Table raw;
        raw.selectTag("");
        openAt(raw, path, OpenMode::ReadOnly);
        const table::DbfHeader& header = raw.header();
        EXPECT_EQ(index->indexedRecordCount(), header.recordCount);
        const std::string bytes = contentsOf(path);
        for (const table::TagInfo& tag : index->tags()) {
            SCOPED_TRACE(tag.name);
            const auto expression = table::KeyExpression::compile(tag.expression, header.fields);
            std::multiset<std::pair<std::string, uint32_t>> expected, found;
            for (uint32_t recno = 1; recno <= header.recordCount; ++recno) {
                std::string key;
                expression.evaluate(reinterpret_cast<const uint8_t*>(bytes.data()) +
                                        header.headerLength +
                                        uint64_t{recno - 1} * header.recordLength,
                                    key);
                expected.insert({key, recno});
            }
            table::MdxFile::Cursor entry = index->cursor(tag.name);
            for (bool more = entry.first(); more; more = entry.next())
                found.insert({std::string(entry.key()), entry.recno()});
            EXPECT_EQ(found, expected);
        }
    }

    void expectTableWhole() {
        uint32_t count = 0;
        std::vector<std::string> authors;
        ASSERT_NO_THROW(authors = physicalAuthors(count));
        EXPECT_EQ(authors, liveAuthors);
        EXPECT_TRUE(count == recordsBefore || count == liveAuthors.size()) << count;
        expectIndexTrueOrMarked();
        Table books;
        books.selectTag("AUTHORS");
        ASSERT_NO_THROW(openAt(books, path, OpenMode::Exclusive));
        std::vector<std::string> sorted = liveAuthors;
        std::sort(sorted.begin(), sorted.end());
        EXPECT_EQ(walk(books), sorted);
        EXPECT_EQ(books.recordCount(), liveAuthors.size());
        books.selectTag("TITLES");
        EXPECT_EQ(walk(books).size(), liveAuthors.size());
    }
};

TEST_F(CrashStepTest, PackStoppedAtAnyStepLeavesEveryRecordAndAUsableIndex) {
    for (std::string_view stop :
         {step::kPackRecordsWritten, step::kPackIndexMarked, step::kReplacementWritten,
          step::kReplacementSynced, step::kReplacementRenamed, step::kPackTableReplaced,
          step::kPackIndexSynced, step::kPackIndexReplaced}) {
        SCOPED_TRACE(std::string(stop));
        for (const auto& entry : fs::directory_iterator(dir.path()))
            fs::remove(entry.path());
        for (const auto& entry : fs::directory_iterator(onDisk.path()))
            fs::remove(entry.path());
        makeTable();
        const auto before = filesByInode(dir.path());
        ASSERT_TRUE(runUntil(stop, onDisk.path(), [&] {
            Table books;
            openAt(books, path, OpenMode::Exclusive);
            books.pack();
        })) << "pack never reached the step";
        keepOnlyWhatReachedTheDisk(dir.path(), before, onDisk.path());
        expectTableWhole();
    }
}

TEST(ReplacementCrashTest, StoppedAtAnyStepLeavesTheOldFileOrTheNewOne) {
    for (std::string_view stop :
         {step::kReplacementWritten, step::kReplacementSynced, step::kReplacementRenamed}) {
        SCOPED_TRACE(std::string(stop));
        testsupport::TempDir dir;
        testsupport::TempDir onDisk;
        const std::string target = dir.file("LIST.TXT");
        const std::string oldText = "the old contents";
        const std::string newText(100000, 'n');
        std::ofstream(target, std::ios::binary) << oldText;
        const auto before = filesByInode(dir.path());
        ASSERT_TRUE(runUntil(stop, onDisk.path(), [&] {
            table::detail::ReplacementFile file(target);
            file.write(newText.data(), newText.size());
            file.commit();
        })) << "the writer never reached the step";
        keepOnlyWhatReachedTheDisk(dir.path(), before, onDisk.path());
        const std::string left = contentsOf(target);
        EXPECT_TRUE(left == oldText || left == newText) << left.size() << " bytes";
        if (stop == step::kReplacementRenamed) {
            EXPECT_EQ(left, newText);
        }
    }
}

} // namespace
