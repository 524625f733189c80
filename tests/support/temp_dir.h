#pragma once

#include <filesystem>
#include <string>

namespace testsupport {

// A fresh directory under the system's temporary folder, removed with everything in it when the
// object goes away.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// The folder of sample tables made by other programs.
std::filesystem::path samplesDir();
// Whether the sample tables are where samplesDir() says; tests that read them skip otherwise.
bool samplesAvailable();

} // namespace testsupport

// Skips the current test, saying why, when the sample tables are missing.
#define VOLUMARA_REQUIRE_SAMPLES()                                                                 \
    do {                                                                                           \
        if (!testsupport::samplesAvailable())                                                      \
            GTEST_SKIP() << "no sample tables at " << testsupport::samplesDir();                   \
    } while (false)
