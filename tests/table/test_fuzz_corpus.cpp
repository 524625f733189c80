// Replays the fuzzers' seed corpus through the same entry points, so that every sanitizer
// build checks them, and pins down the binary field types of a table made for the corpus.

#include "../../fuzz/fuzz_entry_points.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

const fs::path kCorpus = fs::path(VOLUMARA_SOURCE_DIR) / "fuzz" / "corpus";

std::vector<uint8_t> fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Entry = void (*)(const uint8_t*, size_t);

void replayFile(const fs::path& path, Entry entry) {
    SCOPED_TRACE(path.string());
    const auto bytes = fileBytes(path);
    entry(bytes.data(), bytes.size());
    // Every prefix too: truncation is the commonest damage a real file suffers.
    for (size_t length = 0; length < bytes.size(); length += 1 + length / 8) {
        std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + length);
        entry(prefix.data(), prefix.size());
    }
}

void replay(const std::string& target, Entry entry, size_t minimumInputs = 4) {
    size_t inputs = 0;
    for (const auto& entryPath : fs::directory_iterator(kCorpus / target)) {
        replayFile(entryPath.path(), entry);
        ++inputs;
    }
    EXPECT_GE(inputs, minimumInputs);
}

TEST(FuzzCorpus, TablesReplay) {
    replay("fuzz_dbf_header", fuzzing::readWholeTable);
}

TEST(FuzzCorpus, MemosReplay) {
    replay("fuzz_memo", fuzzing::readMemoBlocks);
}

// Our own indexes at one, two and three levels, and one written by another program.
TEST(FuzzCorpus, IndexesReplay) {
    replay("fuzz_mdx", fuzzing::walkIndex, 3);
    if (testsupport::samplesAvailable())
        replayFile(testsupport::samplesDir() / "tDBF" / "disco.mdx", fuzzing::walkIndex);
}

TEST(BinaryFields, VisualFoxProTypesReadAsText) {
    using namespace table;
    const auto bytes = fileBytes(kCorpus / "fuzz_dbf_header" / "vfp_all_types.dbf");
    const DbfHeader header = parseDbfHeader(bytes, bytes.size(), "vfp_all_types.dbf");
    ASSERT_EQ(header.fields.size(), 11u);
    EXPECT_TRUE(header.visualFoxPro);
    EXPECT_TRUE(header.fields.back().hidden);
    const uint8_t* record = bytes.data() + header.headerLength;
    auto text = [&](size_t field) {
        return fieldText(header, header.fields[field], record, DateFormat{});
    };
    EXPECT_EQ(text(0), "Hello");
    EXPECT_EQ(text(1), "3.5");
    EXPECT_EQ(text(2), "3/7/26");
    EXPECT_EQ(text(3), "T");
    EXPECT_EQ(text(4), "3/7/26 12:34:56");
    EXPECT_EQ(text(5), "12.3456");
    EXPECT_EQ(text(6), "-7");
    EXPECT_EQ(text(7), "2.5");
    EXPECT_EQ(text(8), "abc"); // length from the last byte, flagged in _NullFlags
    EXPECT_EQ((fieldDate(header.fields[4], record)), (Date{2026, 3, 7}));
    EXPECT_DOUBLE_EQ(fieldNumber(header.fields[5], record), 12.3456);
    EXPECT_FALSE(fieldIsBlank(header.fields[6], record));
    // The second record is deleted and filled with '*': numbers read as overflow, i.e. blank.
    const uint8_t* starred = record + header.recordLength;
    EXPECT_EQ(fieldText(header, header.fields[1], starred, DateFormat{}), "");
    EXPECT_EQ(fieldText(header, header.fields[2], starred, DateFormat{}), "");
}

} // namespace
