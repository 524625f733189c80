#include "support/temp_dir.h"
#include "table/replacement_file.h"
#include "table/table_error.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

using table::detail::ReplacementFile;

namespace {

std::string contentsOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Pieces of awkward sizes: a short header, records of odd length, one piece larger than any
// buffer, and a tail that ends mid-block.
std::vector<std::string> awkwardPieces() {
    std::vector<std::string> pieces{std::string(321, 'h')};
    for (int i = 0; i < 3000; ++i)
        pieces.push_back(std::string(1075, char('a' + i % 26)));
    pieces.push_back(std::string((size_t{5} << 20) + 7, 'B'));
    for (int i = 0; i < 10; ++i)
        pieces.push_back(std::string(size_t(i) * 97 + 1, char('0' + i)));
    pieces.push_back("\x1A");
    return pieces;
}

class ReplacementFileTest : public ::testing::TestWithParam<ReplacementFile::Writes> {
protected:
    testsupport::TempDir dir;
    std::string target = dir.file("BOOKS.DBF");

    void SetUp() override { std::ofstream(target, std::ios::binary) << "old contents"; }
};

TEST_P(ReplacementFileTest, CommittedFileHoldsExactlyWhatWasWritten) {
    std::string expected;
    ReplacementFile file(target, GetParam());
    for (const std::string& piece : awkwardPieces()) {
        file.write(piece.data(), piece.size());
        expected += piece;
    }
    EXPECT_EQ(contentsOf(target), "old contents"); // nothing visible before the commit
    file.commit();
    EXPECT_EQ(contentsOf(target), expected);
    EXPECT_FALSE(std::filesystem::exists(file.temporaryPath()));

    // The descriptor handed over takes small writes anywhere, as record edits need.
    table::detail::UniqueFd fd = file.releaseFd();
    ASSERT_EQ(::pwrite(fd.get(), "xyz", 3, 1001), 3);
    expected.replace(1001, 3, "xyz");
    EXPECT_EQ(contentsOf(target), expected);
}

TEST_P(ReplacementFileTest, AbandonedFileLeavesTheTargetAlone) {
    std::string temporary;
    {
        ReplacementFile file(target, GetParam());
        temporary = file.temporaryPath();
        const std::string big(size_t{3} << 20, 'n');
        file.write(big.data(), big.size());
    }
    EXPECT_EQ(contentsOf(target), "old contents");
    EXPECT_FALSE(std::filesystem::exists(temporary));
}

INSTANTIATE_TEST_SUITE_P(BothWays, ReplacementFileTest,
                         ::testing::Values(ReplacementFile::Writes::Buffered,
                                           ReplacementFile::Writes::Direct));

} // namespace
