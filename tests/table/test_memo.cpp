#include "support/temp_dir.h"
#include "table/memo_file.h"
#include "table/table_error.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

using namespace table;

std::string bigEndian(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
            static_cast<char>(value >> 8), static_cast<char>(value)};
}

std::string littleEndian(uint32_t value) {
    return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
            static_cast<char>(value >> 24)};
}

// FoxPro memo file with 64-byte blocks; block 8 (offset 512) holds `text`.
std::string fptWith(const std::string& text, uint32_t claimedLength) {
    std::string file(512, '\0');
    file.replace(0, 4, bigEndian(9));
    file[7] = 64;
    file += bigEndian(1) + bigEndian(claimedLength) + text;
    return file;
}

// dBASE IV memo file with 512-byte blocks; block 1 holds `text`.
std::string dbt4With(const std::string& text, uint32_t claimedLength) {
    std::string file(512, '\0');
    file[21] = 0x02; // block size 512, little-endian at 20
    file += std::string("\xFF\xFF\x08\x00", 4) + littleEndian(claimedLength) + text;
    return file;
}

void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

TEST(Memo, EachDialectReadsItsBlocks) {
    const auto fox = MemoReader::fromBytes(fptWith("Fox memo", 8), MemoKind::Fpt, "T.FPT");
    EXPECT_EQ(fox->read(8), "Fox memo");

    const auto dbase4 = MemoReader::fromBytes(dbt4With("Four", 12), MemoKind::Dbt4, "T.DBT");
    EXPECT_EQ(dbase4->read(1), "Four");

    std::string dbase3(512, '\0');
    dbase3 += "Three\x1A\x1A";
    dbase3 += std::string(512 - 7, '\0') + std::string(700, 'x') + "\x1A";
    const auto reader3 = MemoReader::fromBytes(dbase3, MemoKind::Dbt3, "T.DBT");
    EXPECT_EQ(reader3->read(1), "Three");
    EXPECT_EQ(reader3->read(2), std::string(700, 'x')); // runs over a block boundary
}

TEST(Memo, PointersAndLengthsOutsideTheFileAreHarmless) {
    const auto fox = MemoReader::fromBytes(fptWith("short", 0xFFFFFFF0), MemoKind::Fpt, "T.FPT");
    EXPECT_EQ(fox->read(8), "short");
    EXPECT_EQ(fox->read(0), "");
    EXPECT_EQ(fox->read(9), "");
    EXPECT_EQ(fox->read(0xFFFFFFFFFFFFull), "");

    const auto dbase4 = MemoReader::fromBytes(dbt4With("x", 3), MemoKind::Dbt4, "T.DBT");
    EXPECT_EQ(dbase4->read(1), ""); // a length below the 8 header bytes

    std::string unterminated(512, '\0');
    unterminated += "no end mark";
    EXPECT_EQ(MemoReader::fromBytes(unterminated, MemoKind::Dbt3, "T.DBT")->read(1), "no end mark");
}

TEST(Memo, UnusableHeadersAreErrorsNamingTheFile) {
    std::string zeroBlockSize(512, '\0');
    for (const auto& [contents, kind] :
         {std::pair{std::string("abc"), MemoKind::Fpt}, std::pair{zeroBlockSize, MemoKind::Fpt},
          std::pair{std::string(10, '\0'), MemoKind::Dbt4}}) {
        try {
            MemoReader::fromBytes(contents, kind, "D:/x/BOOKS.FPT");
            ADD_FAILURE() << "accepted";
        } catch (const TableError& error) {
            EXPECT_NE(std::string(error.what()).find("D:/x/BOOKS.FPT"), std::string::npos);
        }
    }
}

TEST(Memo, FilesAreFoundWhateverTheCaseOfTheExtension) {
    testsupport::TempDir dir;
    writeFile(dir.file("books.fpt"), fptWith("lower case", 10));
    const auto reader = MemoReader::open(dir.file("books.DBF"), MemoKind::Fpt);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(reader->read(8), "lower case");

    writeFile(dir.file("OTHER.DBT"), dbt4With("upper", 13));
    EXPECT_NE(MemoReader::open(dir.file("OTHER.dbf"), MemoKind::Dbt4), nullptr);
    EXPECT_EQ(MemoReader::open(dir.file("OTHER.dbf"), MemoKind::Fpt), nullptr);
    EXPECT_EQ(MemoReader::open(dir.file("missing.dbf"), MemoKind::Dbt3), nullptr);
    EXPECT_EQ(MemoReader::open(dir.file("OTHER.dbf"), MemoKind::None), nullptr);
}

} // namespace
