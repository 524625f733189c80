// Writes the seed indexes of fuzz_mdx: production indexes as this program makes them, whose trees
// are one, two and three levels deep, so that the fuzzer starts from every kind of node.
// Usage: make_mdx_seeds <folder>
//
// Nodes are 1 024-byte blocks holding (1 012 / item length) keys, an item being the key plus a
// four-byte pointer rounded up to four bytes; built leaves are packed full.

#include "table/mdx_file.h"
#include "table/table_error.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

using table::MdxFile;
using table::TagInfo;

// A key of `length` bytes for record `recno`: names in a shuffled order, with repeats, so that
// equal keys are ordered by record number.
std::string keyFor(uint32_t recno, uint32_t length) {
    static const char* const kNames[] = {"AUSTEN", "BRONTE",   "DICKENS", "ELIOT",    "HARDY",
                                         "JAMES",  "MELVILLE", "SHELLEY", "TROLLOPE", "WOOLF"};
    std::string key = kNames[(recno * 7) % 10];
    key += ' ';
    key += std::to_string((recno * 37) % 101);
    key.resize(length, ' ');
    return key;
}

void addTag(MdxFile& file, const std::string& name, uint32_t keyLength, uint32_t records) {
    file.addTag(TagInfo{name, "UPPER(" + name + ")", 'C', keyLength}, records,
                [keyLength](uint32_t recno, std::string& key) { key = keyFor(recno, keyLength); });
}

void writeSeeds(const std::filesystem::path& folder) {
    // One level: a root that is a leaf.
    {
        auto file = MdxFile::create((folder / "one_level.mdx").string(), "BOOKS");
        addTag(*file, "AUTHOR", 20, 6);
        file->endChange(6);
    }
    // Two levels (15 keys a leaf), a second tag, and keys inserted and removed afterwards so
    // that there are split and half-empty nodes and freed blocks.
    {
        auto file = MdxFile::create((folder / "two_levels.mdx").string(), "BOOKS");
        addTag(*file, "TITLE", 60, 40);
        addTag(*file, "AUTHOR", 10, 12);
        file->beginChange();
        for (uint32_t recno = 41; recno <= 60; ++recno)
            file->insertKey("TITLE", keyFor(recno, 60), recno);
        for (uint32_t recno = 1; recno <= 30; recno += 2)
            file->removeKey("TITLE", keyFor(recno, 60), recno);
        file->endChange(60);
    }
    // Three levels: 9 keys a leaf, 10 children an interior node, 200 keys.
    {
        auto file = MdxFile::create((folder / "three_levels.mdx").string(), "BOOKS");
        addTag(*file, "NOTES", 100, 200);
        file->endChange(200);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Usage: %s <folder>\n", argv[0]);
        return 2;
    }
    try {
        std::filesystem::create_directories(argv[1]);
        writeSeeds(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
