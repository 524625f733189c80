#include "support_table.h"
#include "table/mapped_file.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

using namespace tabletest;
using table::Table;
using table::detail::MappedFile;
using table::detail::ReadAhead;

namespace {

constexpr uint64_t kStretch = uint64_t{1} << MappedFile::kStretchShift;

// Kilobytes of the mapping starting at `start` that have page-table entries now, from
// /proc/self/smaps; -1 when the mapping is not listed.
long residentKb(const void* start) {
    std::ifstream smaps("/proc/self/smaps");
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "%lx-", reinterpret_cast<unsigned long>(start));
    std::string line;
    bool inMapping = false;
    while (std::getline(smaps, line)) {
        if (line.rfind(wanted, 0) == 0)
            inMapping = true;
        else if (inMapping && line.rfind("Rss:", 0) == 0)
            return std::stol(line.substr(4));
    }
    return -1;
}

class MappedFileTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string path = dir.file("DATA.BIN");
    int fd = -1;
    MappedFile map;

    // Writes `size` bytes, byte i holding i % 251, so every byte read can be checked.
    void writeFile(uint64_t from, uint64_t size) {
        std::vector<uint8_t> bytes(size);
        for (uint64_t i = 0; i < size; ++i)
            bytes[i] = static_cast<uint8_t>((from + i) % 251);
        ASSERT_EQ(::pwrite(fd, bytes.data(), size, static_cast<off_t>(from)), ssize_t(size));
    }
    void SetUp() override { fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0644); }
    void TearDown() override {
        map.unmap();
        ::close(fd);
    }
};

TEST_F(MappedFileTest, PopulatingFillsExactlyTheStretchesAsked) {
    writeFile(0, 3 * kStretch + 1234); // the last stretch ends inside a page
    map.map(fd, path);
    const uint8_t* base = map.at(0, 1);
    long before = residentKb(base);
    ASSERT_GE(before, 0);
    map.populateStretch(1);
    long after = residentKb(base);
    if (after == before)
        GTEST_SKIP() << "this kernel does not populate mappings on request";
    // The kernel may map more than asked where the page cache holds large folios.
    EXPECT_GE(after - before, long(kStretch / 1024));

    // A walk reading a record that straddles two stretches has both filled, the last one up
    // to the end of its page; stretches past the end are nothing.
    ReadAhead ahead(map);
    ahead.reach(3 * kStretch - 10, 20);
    map.populateStretch(4);
    map.populateStretch(~uint64_t{0});
    EXPECT_GE(residentKb(base) - before, long(3 * kStretch / 1024) + 4); // stretches 1 to 3
    EXPECT_EQ(*map.at(3 * kStretch + 1233, 1), (3 * kStretch + 1233) % 251);
    EXPECT_EQ(map.at(3 * kStretch + 1234, 1), nullptr);
}

TEST_F(MappedFileTest, EmptyAndGrownFiles) {
    map.map(fd, path); // nothing mapped, nothing to populate
    map.populateStretch(0);
    ReadAhead(map).reach(0, 1);
    EXPECT_EQ(map.at(0, 1), nullptr);

    writeFile(0, kStretch + 100); // another handle appends, twice
    ASSERT_TRUE(map.ensure(kStretch + 100));
    ReadAhead(map).reach(0, kStretch + 100);
    writeFile(kStretch + 100, 2 * kStretch);
    ASSERT_TRUE(map.ensure(3 * kStretch + 100));
    ReadAhead(map).reach(0, 3 * kStretch + 100); // the new mapping is populated afresh
    for (uint64_t offset : {uint64_t{0}, kStretch + 99, kStretch + 100, 3 * kStretch + 99})
        EXPECT_EQ(*map.at(offset, 1), offset % 251) << offset;
}

class LongWalkTest : public ::testing::Test {
protected:
    testsupport::TempDir dir;
    std::string path = createBooks(dir);
    Table books;
    uint32_t total = 0;

    // Enough books to cover several stretches of the map: "Writer nnnn", every seventh
    // deleted, and one "Zola" in the middle.
    void SetUp() override {
        openAt(books, path, table::OpenMode::Exclusive);
        uint64_t perRecord = books.header().recordLength;
        total = static_cast<uint32_t>(3 * kStretch / perRecord + 50);
        for (uint32_t i = 1; i <= total; ++i) {
            char author[16];
            std::snprintf(author, sizeof author, "Writer %04u", i);
            addBook(books, i == total / 2 ? "Zola" : author);
        }
        for (uint32_t recno = 7; recno <= total; recno += 7) {
            books.goToRecord(recno);
            books.deleteRecord();
        }
        books.addTag("AUTHORS", kAuthorKey);
        books.close();
    }
};

TEST_F(LongWalkTest, CountsAndFirstMatchesAcrossTheWholeFile) {
    openAt(books, path);
    uint32_t deleted = total / 7;
    EXPECT_EQ(books.recordCount(), total - deleted);

    // Physical order: the only match lies far from the first record.
    books.setFilter([](const table::RecordView& record) { return record.text(kAuthor) == "Zola"; });
    books.refresh();
    EXPECT_EQ(books.recordNumber(), total / 2);
    EXPECT_EQ(books.recordCount(), 1u);

    books.last();
    EXPECT_EQ(books.recordNumber(), total / 2);

    // Index order: the match is the last key, behind every other record.
    books.selectTag("AUTHORS");
    books.setFilter({});
    books.refresh();
    books.first();
    books.setFilter([](const table::RecordView& record) { return record.text(kAuthor) == "Zola"; });
    books.refresh();
    EXPECT_EQ(books.recordNumber(), total / 2);
    EXPECT_EQ(walk(books), (std::vector<std::string>{"Zola"}));
    EXPECT_EQ(walkBackwards(books), (std::vector<std::string>{"Zola"}));

    // Records appended by another handle lie beyond the first mapping.
    Table other;
    openAt(other, path);
    for (int i = 0; i < 1200; ++i)
        addBook(other, i == 1100 ? "Zola" : "Later");
    books.refresh();
    EXPECT_EQ(books.recordCount(), 2u);
    books.setFilter({});
    books.refresh();
    EXPECT_EQ(books.recordCount(), total - deleted + 1200);
}

} // namespace
