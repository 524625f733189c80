// Opens the input as an .MDX and walks every tag both ways, seeks and edits a little: a damaged
// index must give TableError, never a crash or a hang.

#include "table/mdx_file.h"
#include "table/table_error.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// MdxFile works on a path; one scratch file serves every input.
const std::string& scratchPath() {
    static const std::string path = [] {
        std::string pattern = "/tmp/fuzz-mdx-XXXXXX";
        const int fd = mkstemp(pattern.data());
        if (fd >= 0)
            close(fd);
        return pattern;
    }();
    return path;
}

void walkTag(table::MdxFile& file, const table::TagInfo& tag) {
    auto cursor = file.cursor(tag.name);
    int steps = 0;
    for (bool more = cursor.first(); more && steps < 100000; more = cursor.next())
        ++steps;
    for (bool more = cursor.last(); more && steps < 200000; more = cursor.prior())
        ++steps;
    cursor.seek("M");
    if (tag.keyLength > 0 && tag.keyLength < 1000) {
        file.insertKey(tag.name, std::string(tag.keyLength, 'M'), 7);
        file.removeKey(tag.name, std::string(tag.keyLength, 'M'), 7);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchPath();
    FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        return 0;
    std::fwrite(data, 1, size, out);
    std::fclose(out);
    try {
        auto file = table::MdxFile::open(path, true);
        for (const table::TagInfo& tag : file->tags())
            walkTag(*file, tag);
    } catch (const table::TableError&) {
    }
    return 0;
}
