// Replays the delimited-text fuzzer's seed corpus, and every prefix of each input, through the
// fuzz target's entry point, so that the sanitizer builds check them.

#include "../../fuzz/fuzz_delimited_entry.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

TEST(FuzzCorpus, DelimitedTextReplays) {
    size_t inputs = 0;
    for (const auto& entry :
         fs::directory_iterator(fs::path(VOLUMARA_SOURCE_DIR) / "fuzz/corpus/fuzz_delimited")) {
        SCOPED_TRACE(entry.path().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                         std::istreambuf_iterator<char>()};
        for (size_t length = 0; length <= bytes.size(); ++length) {
            // Each prefix in a buffer of its own size, so that a read past its end is caught.
            std::vector<uint8_t> prefix(bytes.begin(),
                                        bytes.begin() + static_cast<std::ptrdiff_t>(length));
            fuzzing::readDelimitedFile(prefix.data(), prefix.size());
        }
        ++inputs;
    }
    EXPECT_GE(inputs, 20u);
}

} // namespace
