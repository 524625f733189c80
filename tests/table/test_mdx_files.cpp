// Files of other programs read correctly, files we write read correctly in an independent
// reader (Debian's index_dump), damaged files fail cleanly.

#include "support/temp_dir.h"
#include "table/mdx_file.h"
#include "table/table_error.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <random>
#include <set>

using table::MdxFile;
using table::TableError;
using table::TagInfo;

namespace {

using Entry = std::pair<std::string, uint32_t>;
using Entries = std::vector<Entry>;

bool haveIndexDump() {
    return std::system("command -v index_dump >/dev/null 2>&1") == 0;
}

// The (key, recno) sequence index_dump prints for one tag.
Entries indexDump(const std::string& path, const std::string& tag, size_t keyLength) {
    const std::string command = "index_dump '" + path + "' " + tag + " 2>&1";
    Entries entries;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return entries;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        std::string text(line);
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        const size_t space = text.rfind(' ');
        if (text.size() < keyLength + 2 || space == std::string::npos)
            break;
        entries.emplace_back(text.substr(0, keyLength), uint32_t(std::stoul(text.substr(space))));
    }
    pclose(pipe);
    return entries;
}

Entries walk(const MdxFile& file, const std::string& tag) {
    Entries entries;
    auto cursor = file.cursor(tag);
    for (bool more = cursor.first(); more && entries.size() < 200000; more = cursor.next())
        entries.emplace_back(std::string(cursor.key()), cursor.recno());
    return entries;
}

std::string padded(const std::string& text, size_t length) {
    return text + std::string(length - text.size(), ' ');
}

std::string discoPath() {
    return (testsupport::samplesDir() / "tDBF" / "disco.mdx").string();
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

uint32_t get32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}
void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

} // namespace

TEST(MdxFiles, DiscoIndexOfADbaseToolWalksInItsOwnOrder) {
    VOLUMARA_REQUIRE_SAMPLES();
    auto file = MdxFile::open(discoPath(), false);
    ASSERT_EQ(file->tags().size(), 1u);
    EXPECT_EQ(file->tags()[0].name, "AUTHOR");
    EXPECT_EQ(file->tags()[0].keyLength, 20u);
    EXPECT_EQ(file->indexedRecordCount(), MdxFile::kUnknownRecordCount);
    EXPECT_FALSE(file->changeInProgress());
    const Entries entries = walk(*file, "AUTHOR");
    ASSERT_EQ(entries.size(), 1561u);
    // Pairs as index_dump lists them.
    EXPECT_EQ(entries[0], Entry(padded("\"D\"TRAIN", 20), 915));
    EXPECT_EQ(entries[1], Entry(padded("\"O\" RYAN", 20), 1311));
    EXPECT_EQ(entries[499], Entry(padded("FLASH AND THE PAN", 20), 608));
    EXPECT_EQ(entries[779], Entry(padded("KOOL & THE GANG", 20), 703));
    EXPECT_EQ(entries[1199], Entry(padded("ROSE", 20), 1455));
    EXPECT_EQ(entries[1560], Entry(padded("pp", 20), 225));
    if (haveIndexDump()) {
        EXPECT_EQ(entries, indexDump(discoPath(), "AUTHOR", 20));
    }

    auto cursor = file->cursor("author");
    ASSERT_TRUE(cursor.last());
    EXPECT_EQ(cursor.recno(), 225u);
    ASSERT_TRUE(cursor.seek("KOOL"));
    EXPECT_EQ(cursor.key().substr(0, 4), "KOOL");
}

TEST(MdxFiles, TdbfDemoIndexIsRead) {
    VOLUMARA_REQUIRE_SAMPLES();
    const auto path = testsupport::samplesDir() / "tDBF" / "tdbf_demo.mdx";
    auto file = MdxFile::open(path.string(), false);
    ASSERT_TRUE(file->hasTag("ID"));
    const Entries entries = walk(*file, "ID");
    EXPECT_FALSE(entries.empty());
    EXPECT_TRUE(std::is_sorted(entries.begin(), entries.end()));
    if (haveIndexDump()) {
        EXPECT_EQ(entries, indexDump(path.string(), "ID", file->tags()[0].keyLength));
    }
}

// Our files, as an independent reader walks them, at 1, 2 and 3 levels and after edits.
TEST(MdxFiles, IndexDumpWalksOurFilesInTheExpectedOrder) {
    if (!haveIndexDump())
        GTEST_SKIP() << "index_dump (libdbd-xbase-perl) is not installed";
    testsupport::TempDir dir;
    std::mt19937 random(11);
    for (uint32_t count : {10u, 1000u, 30000u}) {
        SCOPED_TRACE(count);
        std::vector<std::string> keys;
        std::set<Entry> model;
        for (uint32_t recno = 1; recno <= count; ++recno) {
            char text[21];
            std::snprintf(text, sizeof text, "AUTHOR %-13u", unsigned(random() % (count / 2 + 1)));
            keys.emplace_back(text, 20);
            model.emplace(keys.back(), recno);
        }
        const std::string path = dir.file("b" + std::to_string(count) + ".mdx");
        auto file = MdxFile::create(path, "BOOKS");
        file->addTag(TagInfo{"NEWINDEX", "Upper(Left(Author,20))", 'C', 20}, count,
                     [&](uint32_t recno, std::string& key) { key = keys[recno - 1]; });
        EXPECT_EQ(indexDump(path, "NEWINDEX", 20), Entries(model.begin(), model.end()));
        // Deletes, then edits (remove the old key, insert the new one).
        for (uint32_t recno = 1; recno <= count; recno += 3) {
            file->removeKey("NEWINDEX", keys[recno - 1], recno);
            model.erase(Entry(keys[recno - 1], recno));
        }
        for (uint32_t recno = 2; recno <= count; recno += 3) {
            file->removeKey("NEWINDEX", keys[recno - 1], recno);
            model.erase(Entry(keys[recno - 1], recno));
            keys[recno - 1] = "EDITED " + keys[recno - 1].substr(7);
            file->insertKey("NEWINDEX", keys[recno - 1], recno);
            model.emplace(keys[recno - 1], recno);
        }
        EXPECT_EQ(indexDump(path, "NEWINDEX", 20), Entries(model.begin(), model.end()));
    }
}

class DamagedMdx : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("bad.mdx");
        auto file = MdxFile::create(path_, "BOOKS");
        file->addTag(TagInfo{"NEWINDEX", "Author", 'C', 20}, 5000,
                     [](uint32_t recno, std::string& key) { key = std::to_string(recno % 977); });
        file.reset();
        bytes_ = readBytes(path_);
        tagHeader_ = size_t(get32(bytes_, 544)) * 512;
        root_ = size_t(get32(bytes_, tagHeader_)) * 512;
    }
    // Opening and walking both directions fails with TableError, in bounded time.
    void expectCleanFailure() {
        writeBytes(path_, bytes_);
        EXPECT_THROW(
            {
                auto file = MdxFile::open(path_, true);
                walk(*file, "NEWINDEX");
                auto cursor = file->cursor("NEWINDEX");
                cursor.last();
                file->insertKey("NEWINDEX", std::string(20, 'A'), 1);
            },
            TableError);
    }
    testsupport::TempDir dir_;
    std::string path_;
    std::vector<uint8_t> bytes_;
    size_t tagHeader_ = 0;
    size_t root_ = 0;
};

TEST_F(DamagedMdx, TruncatedFiles) {
    for (size_t size : {size_t(0), size_t(100), size_t(600), size_t(2048), root_ + 100}) {
        SCOPED_TRACE(size);
        bytes_.resize(size);
        expectCleanFailure();
    }
}

TEST_F(DamagedMdx, PointersOutsideTheFile) {
    put32(bytes_, root_ + 8, 0xFFFFFFF0u); // first child of the root
    expectCleanFailure();
}

TEST_F(DamagedMdx, ChildPointingBackAtItsAncestor) {
    put32(bytes_, root_ + 8, uint32_t(root_ / 512));
    expectCleanFailure();
}

TEST_F(DamagedMdx, ImpossibleCountsAndSizes) {
    put32(bytes_, root_, 5000); // keys in the root
    expectCleanFailure();
    SetUp();
    bytes_[tagHeader_ + 18] = 2; // item length shorter than the key
    expectCleanFailure();
    SetUp();
    bytes_[28] = 200; // tags in use
    expectCleanFailure();
}
