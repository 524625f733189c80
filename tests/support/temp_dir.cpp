#include "support/temp_dir.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>

namespace testsupport {

TempDir::TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "volumara-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::filesystem::path samplesDir() {
    if (const char* dir = std::getenv("VOLUMARA_SAMPLES_DIR"))
        return dir;
    return VOLUMARA_SAMPLES_DIR;
}

bool samplesAvailable() {
    std::error_code error;
    return std::filesystem::is_directory(samplesDir(), error);
}

} // namespace testsupport
