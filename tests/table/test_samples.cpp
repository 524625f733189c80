// Every table in the samples folder was written by another program; all of them must open and
// read without error. Expected values were taken with the independent dbfread library.

#include "support/temp_dir.h"
#include "table/dbf_format.h"
#include "table/memo_file.h"
#include "table/table_error.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

namespace {

using namespace table;
namespace fs = std::filesystem;

std::vector<uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct OpenedSample {
    std::vector<uint8_t> bytes;
    DbfHeader header;
    std::unique_ptr<MemoReader> memo;

    const uint8_t* record(size_t index) const {
        return bytes.data() + header.headerLength + index * header.recordLength;
    }
    std::string text(size_t index, const std::string& fieldName,
                     const DateFormat& format = DateFormat{}) const {
        for (const auto& field : header.fields) {
            if (field.name == fieldName) {
                return fieldText(header, field, record(index), format, memo.get());
            }
        }
        ADD_FAILURE() << "no field " << fieldName;
        return {};
    }
};

OpenedSample openSample(const std::string& relativePath) {
    OpenedSample sample;
    const fs::path path = testsupport::samplesDir() / relativePath;
    sample.bytes = fileBytes(path);
    sample.header = parseDbfHeader(sample.bytes, sample.bytes.size(), path.string());
    sample.memo = MemoReader::open(path.string(), sample.header.memoKind);
    return sample;
}

std::vector<fs::path> sampleTables() {
    std::vector<fs::path> tables;
    for (const auto& entry : fs::recursive_directory_iterator(testsupport::samplesDir())) {
        std::string extension = entry.path().extension().string();
        for (auto& c : extension) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (extension == ".dbf") {
            tables.push_back(entry.path());
        }
    }
    return tables;
}

TEST(Samples, EveryTableOpensAndEveryFieldReads) {
    VOLUMARA_REQUIRE_SAMPLES();
    const auto tables = sampleTables();
    ASSERT_GE(tables.size(), 20u);
    for (const auto& path : tables) {
        SCOPED_TRACE(path.string());
        const std::string relative = fs::relative(path, testsupport::samplesDir()).string();
        try {
            const OpenedSample sample = openSample(relative);
            for (size_t i = 0; i < sample.header.recordCount; ++i) {
                for (const auto& field : sample.header.fields) {
                    fieldText(sample.header, field, sample.record(i), DateFormat{},
                              sample.memo.get());
                    fieldNumber(field, sample.record(i));
                    fieldDate(field, sample.record(i));
                    fieldIsBlank(field, sample.record(i));
                }
            }
        } catch (const TableError& error) {
            ADD_FAILURE() << error.what();
        }
    }
}

TEST(Samples, ValuesMatchAnIndependentReader) {
    VOLUMARA_REQUIRE_SAMPLES();
    const auto dbase3 = openSample("dbf/dbase_03.dbf");
    EXPECT_EQ(dbase3.text(0, "Point_ID"), "0507121"); // a C field, read from the raw bytes
    EXPECT_EQ(dbase3.text(0, "Shape"), "circular");
    EXPECT_EQ(dbase3.text(0, "Non_circul"), "");

    const auto dbase4 = openSample("dbf/dbase_8b.dbf");
    EXPECT_EQ(dbase4.text(0, "CHARACTER"), "One");
    EXPECT_EQ(dbase4.text(0, "NUMERICAL"), "1");
    EXPECT_EQ(dbase4.text(0, "DATE"), "1/1/70");
    EXPECT_EQ(dbase4.text(0, "LOGICAL"), "T");
    EXPECT_EQ(dbase4.text(0, "MEMO"), "First memo\r\n");

    const auto fox = openSample("dbf/dbase_f5.dbf");
    EXPECT_EQ(fox.header.recordCount, 975u);
    EXPECT_EQ(fox.text(0, "NOM"), "joan-ramon");
    EXPECT_EQ(fox.text(0, "TELEFON"), "*77665875");

    const auto vfp = openSample("dbf/dbase_31.dbf");
    EXPECT_EQ(vfp.text(0, "PRODUCTID"), "1");
    EXPECT_EQ(vfp.text(0, "PRODUCTNAM"), "Chai");
    EXPECT_EQ(vfp.text(0, "UNITPRICE"), "18");
    EXPECT_TRUE(vfp.header.fields.back().hidden); // _NullFlags

    const auto calls = openSample("dbf/calls.dbf");
    EXPECT_EQ(calls.text(0, "CALL_DATE"), "11/21/94 13:35:39");
    EXPECT_EQ(calls.text(0, "SUBJECT"), "Buy flavored coffees.");
    EXPECT_EQ(calls.text(0, "NOTES").substr(0, 20), "Nancy told me about ");

    const auto cyrillic = openSample("dbf/cp1251.dbf");
    EXPECT_EQ(cyrillic.header.codepage, Codepage::Cp1251);
    EXPECT_EQ(cyrillic.text(0, "NAME"), "амбулаторно-поликлиническое");

    const auto varchar = openSample("dbf/dbase_32.dbf");
    EXPECT_EQ(varchar.text(0, "NAME"), "Bad Meets Evil");

    const auto smallBlocks = openSample("DBFFile/vfp9_memo_bs1.dbf");
    EXPECT_EQ(smallBlocks.text(0, "NOTES"), "Some notes here\r\n");
    EXPECT_EQ(smallBlocks.text(1, "NOTES"), "");

    const auto disco = openSample("tDBF/disco.DBF");
    EXPECT_EQ(disco.header.recordCount, 1561u);
    EXPECT_EQ(disco.text(0, "AUTHOR"), "2 IN A ROOM");
    EXPECT_EQ(disco.text(0, "PRICE"), "5");
}

TEST(Samples, UnusualLayoutsOpen) {
    VOLUMARA_REQUIRE_SAMPLES();
    const auto noFields = openSample("dbf/polygon.dbf");
    EXPECT_TRUE(noFields.header.fields.empty());

    const auto dbase2 = openSample("dbf/dbase_02.dbf");
    EXPECT_EQ(dbase2.header.recordCount, 9u);
    EXPECT_EQ(dbase2.text(0, "LAST"), "Stegman");

    const auto dbase7 = openSample("dbf/dbase_8c.dbf");
    EXPECT_TRUE(dbase7.header.dbase7);
    EXPECT_EQ(dbase7.text(0, "ID"), "1"); // autoincrement, big-endian with the sign flipped
    EXPECT_EQ(dbase7.text(0, "Name"), "Clown Triggerfish");
    EXPECT_EQ(dbase7.text(0, "Length CM"), "100");
    EXPECT_EQ(dbase7.text(0, "Description"), ""); // its memo file is not shipped

    // Data past the record count is ignored, not an error.
    const auto tooLong = openSample("pyshp/corrupt_too_long.dbf");
    EXPECT_EQ(tooLong.header.recordCount, 10u);

    // The memo file is absent: memo fields read empty, the rest as usual.
    const auto missingMemo = openSample("dbf/dbase_83_missing_memo.dbf");
    EXPECT_EQ(missingMemo.memo, nullptr);
    const auto withMemo = openSample("dbf/dbase_83.dbf");
    ASSERT_NE(withMemo.memo, nullptr);
    EXPECT_EQ(missingMemo.text(0, "NAME"), withMemo.text(0, "NAME"));
}

TEST(Samples, ShortenedSampleFilesAreTruncationErrors) {
    VOLUMARA_REQUIRE_SAMPLES();
    for (const char* name : {"dbf/dbase_30.dbf", "tDBF/disco.DBF", "dbf/dbase_8c.dbf"}) {
        const fs::path path = testsupport::samplesDir() / name;
        const auto bytes = fileBytes(path);
        const DbfHeader header = parseDbfHeader(bytes, bytes.size(), path.string());
        const uint64_t shortened =
            header.headerLength + uint64_t{header.recordLength} * header.recordCount - 1;
        try {
            parseDbfHeader(bytes, shortened, path.string());
            ADD_FAILURE() << name << " opened although shortened";
        } catch (const TableError& error) {
            EXPECT_NE(std::string(error.what()).find(path.string()), std::string::npos);
        }
    }
}

} // namespace
