// Replays the report-definition fuzzer's seed corpus (the eight built-in reports) through the
// fuzzer's own entry point, whole and cut at many lengths, under the sanitizers.

#include "../../fuzz/fuzz_report_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

TEST(ReportFuzzCorpus, SeedsReplay) {
    const fs::path corpus =
        fs::path(VOLUMARA_SOURCE_DIR) / "fuzz" / "corpus" / "fuzz_report_definition";
    size_t inputs = 0;
    std::vector<uint8_t> all;
    for (const auto& entry : fs::directory_iterator(corpus)) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        EXPECT_EQ(bytes.size(), reports::kRecordSize);
        fuzzing::readReportRecords(bytes.data(), bytes.size());
        for (size_t length = 0; length < bytes.size(); length += 1 + length / 4) {
            const std::vector<uint8_t> prefix(bytes.begin(),
                                              bytes.begin() + static_cast<long>(length));
            fuzzing::readReportRecords(prefix.data(), prefix.size());
        }
        all.insert(all.end(), bytes.begin(), bytes.end());
        ++inputs;
    }
    EXPECT_EQ(inputs, 8u);
    fuzzing::readReportRecords(all.data(), all.size()); // a whole file, also as a BOOK.URP
}

} // namespace
