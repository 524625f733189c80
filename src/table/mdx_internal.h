#pragma once

// Layout constants and block access shared by the .MDX reader, builder and cursor.
//
// File header bytes 48..79, which dBASE leaves zero and other readers skip, carry this program's
// consistency mark: "VLMX" at 48, the indexed record count at 52, the change-in-progress flag at
// 56 and the generation counter (64-bit) at 64. A file without the mark was written elsewhere.
//
// Keys compare as plain bytes (our tables use language driver 0x57, Windows-1252; keys are made
// case-insensitive by Upper() in the expression, not by the collation), then by record number.

#include "mdx_file.h"
#include "table_error.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace table::mdx {

constexpr uint32_t kPageSize = 512;
constexpr uint32_t kBlockSize = 1024;
constexpr uint32_t kHeaderBytes = 2048; // file header plus tag table: pages 0..3
constexpr uint32_t kFirstDataPage = kHeaderBytes / kPageSize;
constexpr uint32_t kTagTableOffset = 544;
constexpr uint32_t kTagEntryLength = 32;
constexpr uint32_t kMaxTags = (kHeaderBytes - kTagTableOffset) / kTagEntryLength; // 47
constexpr uint32_t kMaxDepth = 16;

constexpr uint32_t kOffTagsUsed = 28;
constexpr uint32_t kOffPageCount = 32;
constexpr uint32_t kOffFirstFree = 36;
constexpr uint32_t kOffFreeCount = 40;
constexpr uint32_t kOffMark = 48;
constexpr uint32_t kOffIndexedCount = 52;
constexpr uint32_t kOffChangeFlag = 56;
constexpr uint32_t kOffGeneration = 64;
constexpr char kMark[4] = {'V', 'L', 'M', 'X'};

using Block = std::array<uint8_t, kBlockSize>;

inline uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline uint16_t get16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
inline void put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}
inline void put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// One tag as found in the tag table and its header block.
struct Tag {
    uint32_t slot = 0;       // 0-based position in the tag table
    uint32_t headerPage = 0; // page of the tag header block
    std::string name;
    std::string expression;
    char keyType = 'C';
    uint32_t rootPage = 0;
    uint32_t keyLength = 0;
    uint32_t itemLength = 0;
    uint32_t maxKeys = 0; // items that fit a node with room for the trailing pointer
};

// One B-tree node decoded. Leaves hold record numbers in `pointers`; interior nodes hold child
// pages, one more than keys (the last child has no key: it covers everything above).
struct Node {
    uint32_t page = 0;
    bool leaf = true;
    std::vector<uint32_t> pointers;
    std::string keys; // count() keys of keyLength bytes each

    uint32_t count(uint32_t keyLength) const { return uint32_t(keys.size() / keyLength); }
};

} // namespace table::mdx

namespace table {

// The open file. Reads and writes go to the descriptor (pread/pwrite); the file header is also
// mapped shared, so the generation counter is read without a system call. Blocks and tags read
// are kept only while the generation stays what it was when they were read: every change, by
// this handle or any other, bumps it first and last, and our own writes go through the cache.
struct MdxFile::Impl {
    using Block = mdx::Block;
    using Tag = mdx::Tag;
    using Node = mdx::Node;

    std::string path;
    int fd = -1;
    bool writable = false;
    const uint8_t* mappedHeader = nullptr; // the first kHeaderBytes of the file, mapped read-only
    mutable uint64_t knownSize = 0;        // the file is at least this long (it never shrinks)
    mutable std::unordered_map<uint32_t, Block> blocks; // by page, valid for cachedGeneration
    mutable std::optional<std::vector<Tag>> tagCache;
    mutable uint64_t cachedGeneration = 0; // 0: nothing is cached
    // During a batch: the blocks changed and not yet written, and the changes made since the
    // generation in the file was last bumped (cursors see them added to it).
    bool batch = false;
    std::unordered_map<uint32_t, Block> dirty;
    uint64_t batchChanges = 0;

    ~Impl();
    [[noreturn]] void corrupt(const std::string& what) const;
    uint64_t fileSize() const;
    void mapHeader();
    static constexpr size_t kMarkAreaBytes = 24; // bytes 48..71: mark, count, flag, generation
    void readMarkArea(uint8_t (&area)[kMarkAreaBytes]) const;
    uint64_t currentGeneration() const; // 0 for a file without our mark
    // Drops what was cached when the generation moved; false when nothing may be cached.
    bool cacheUsable() const;
    void forgetWritten(uint64_t offset, size_t size);
    void readAt(uint64_t offset, void* data, size_t size) const;
    void writeAt(uint64_t offset, const void* data, size_t size);
    void readBlock(uint32_t page, Block& block) const; // checks the page against the file
    // The block as held in memory (waiting to be written, or cached), or null.
    const Block* heldBlock(uint32_t page) const;
    void writeBlock(uint32_t page, const Block& block);
    void writeDirtyBlocks(); // in page order, neighbours in one write
    // Bumps the generation and, when given, sets the indexed record count and the
    // change-in-progress flag: one write of the mark area.
    void writeMark(std::optional<uint32_t> indexedCount, std::optional<bool> changing);

    std::vector<Tag> readTags() const;
    Tag findTag(std::string_view name) const; // throws when missing
    // findTag for a key change, into `changedTag` (whose text buffers a change then reuses).
    const Tag& tagForChange(std::string_view name);
    Tag changedTag;
    Tag decodeTag(const uint8_t* entry, uint32_t slot) const;
    Node readNode(const Tag& tag, uint32_t page) const;
    void writeNode(const Tag& tag, const Node& node);
    void setRoot(const Tag& tag, uint32_t rootPage);

    uint32_t allocatePage();
    void freePage(uint32_t page);
    void bumpGeneration() {
        if (batch)
            ++batchChanges;
        else
            writeMark(std::nullopt, std::nullopt);
    }
    void requireWritable() const;
    void writeTagTable(const std::vector<Tag>& tags);
    void releaseTagBlocks(const Tag& tag); // the tree's blocks and the tag header
};

} // namespace table

namespace table::mdx {

// Decodes `block` as a node of `tag`; throws TableError when the counts cannot be right.
Node decodeNode(const MdxFile::Impl& file, const Tag& tag, uint32_t page, const Block& block);

// One level of a descent: the node and the position taken in it (child index in an interior
// node, item index in the leaf at the bottom).
struct PathStep {
    Node node;
    uint32_t index = 0;
};
using Path = std::vector<PathStep>;

std::string_view keyAt(const Tag& tag, const Node& node, uint32_t index);
// Descends from the root to the leaf holding the first entry >= (key, recno); `key` is compared
// over min(key.size(), key length) bytes. The leaf position may equal the leaf's count when
// nothing follows in the whole tag.
Path lowerBound(const MdxFile::Impl& file, const Tag& tag, std::string_view key, uint32_t recno);
// Extends `path` (ending at an interior node and a chosen child) down to a leaf, always taking
// the first or the last child.
void descendEdge(const MdxFile::Impl& file, const Tag& tag, Path& path, bool last);
// Moves to the next (or previous) leaf; false, with `path` unchanged, when there is none.
bool stepLeaf(const MdxFile::Impl& file, const Tag& tag, Path& path, bool forward);

} // namespace table::mdx
