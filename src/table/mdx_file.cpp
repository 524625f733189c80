#include "mdx_file.h"

#include "mdx_internal.h"
#include "table/durability.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <set>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace table {

using namespace mdx;

namespace {

// Enough for the upper levels of every tag and the leaves around recent changes.
constexpr size_t kCachedBlocks = 2048;
// Changed blocks a batch keeps before writing them out: a block is rewritten many times
// while it fills, and only its last state needs to reach the file.
constexpr size_t kDirtyBlocks = 16384;

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

void putToday(uint8_t* p) {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    localtime_r(&now, &parts);
    p[0] = uint8_t(parts.tm_year);
    p[1] = uint8_t(parts.tm_mon + 1);
    p[2] = uint8_t(parts.tm_mday);
}

std::string trimmedText(const uint8_t* p, size_t size) {
    size_t n = 0;
    while (n < size && p[n] != 0)
        ++n;
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return std::string(reinterpret_cast<const char*>(p), n);
}

} // namespace

// --- Block access --------------------------------------------------------------------------------

MdxFile::Impl::~Impl() {
    if (mappedHeader != nullptr)
        ::munmap(const_cast<uint8_t*>(mappedHeader), kHeaderBytes);
    if (fd >= 0)
        ::close(fd);
}

void MdxFile::Impl::corrupt(const std::string& what) const {
    throw IndexDamagedError("The index file \"" + path + "\" is damaged (" + what +
                            "). Rebuild the indexes.");
}

uint64_t MdxFile::Impl::fileSize() const {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw TableError("Cannot read the index file \"" + path + "\".");
    knownSize = std::max(knownSize, uint64_t(info.st_size));
    return uint64_t(info.st_size);
}

// Called once the file is known to hold a header: an index is never truncated while open.
void MdxFile::Impl::mapHeader() {
    void* address = ::mmap(nullptr, kHeaderBytes, PROT_READ, MAP_SHARED, fd, 0);
    // Where the file cannot be mapped, the header is read with pread as needed instead.
    if (address != MAP_FAILED)
        mappedHeader = static_cast<const uint8_t*>(address);
}

void MdxFile::Impl::readMarkArea(uint8_t (&area)[kMarkAreaBytes]) const {
    if (mappedHeader == nullptr) {
        readAt(kOffMark, area, sizeof area);
        return;
    }
    std::memcpy(area, mappedHeader + kOffMark, sizeof area);
    // Another process may be writing the generation: one aligned load, never a torn mix.
    const uint64_t generation = __atomic_load_n(
        reinterpret_cast<const uint64_t*>(mappedHeader + kOffGeneration), __ATOMIC_ACQUIRE);
    std::memcpy(area + (kOffGeneration - kOffMark), &generation, 8);
}

uint64_t MdxFile::Impl::currentGeneration() const {
    uint8_t area[kMarkAreaBytes];
    readMarkArea(area);
    if (std::memcmp(area, kMark, 4) != 0)
        return 0;
    uint64_t generation = 0;
    std::memcpy(&generation, area + (kOffGeneration - kOffMark), 8);
    return generation;
}

bool MdxFile::Impl::cacheUsable() const {
    const uint64_t now = currentGeneration();
    if (now != cachedGeneration) {
        blocks.clear();
        tagCache.reset();
        cachedGeneration = now;
    }
    return now != 0; // a file from another program carries no generation to trust
}

void MdxFile::Impl::forgetWritten(uint64_t offset, size_t size) {
    const uint64_t end = offset + size;
    const auto overlaps = [&](uint64_t from, uint64_t to) { return offset < to && from < end; };
    if (tagCache) {
        bool tagsChanged = overlaps(kOffTagsUsed, kOffTagsUsed + 2) || overlaps(512, kHeaderBytes);
        for (const Tag& tag : *tagCache)
            tagsChanged =
                tagsChanged || overlaps(uint64_t(tag.headerPage) * kPageSize,
                                        uint64_t(tag.headerPage) * kPageSize + kBlockSize);
        if (tagsChanged)
            tagCache.reset();
    }
    if (size > 8 * kBlockSize) {
        blocks.clear();
        return;
    }
    const uint64_t firstPage = offset / kPageSize > 0 ? offset / kPageSize - 1 : 0;
    for (uint64_t page = firstPage; page * kPageSize < end; ++page)
        blocks.erase(uint32_t(page));
}

void MdxFile::Impl::readAt(uint64_t offset, void* data, size_t size) const {
    auto* out = static_cast<uint8_t*>(data);
    while (size > 0) {
        const ssize_t got = ::pread(fd, out, size, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw TableError("Cannot read the index file \"" + path + "\".");
        if (got == 0)
            corrupt("it ends early");
        out += got;
        offset += uint64_t(got);
        size -= size_t(got);
    }
}

void MdxFile::Impl::writeAt(uint64_t offset, const void* data, size_t size) {
    forgetWritten(offset, size);
    if (!dirty.empty()) { // the bytes belong in any block still waiting to be written
        const uint64_t end = offset + size;
        const uint64_t firstPage = offset / kPageSize > 0 ? offset / kPageSize - 1 : 0;
        for (uint64_t page = firstPage; page * kPageSize < end; ++page) {
            const auto waiting = dirty.find(uint32_t(page));
            if (waiting == dirty.end())
                continue;
            const uint64_t blockStart = page * kPageSize;
            const uint64_t from = std::max(offset, blockStart);
            const uint64_t to = std::min(end, blockStart + kBlockSize);
            if (from < to)
                std::memcpy(waiting->second.data() + (from - blockStart),
                            static_cast<const uint8_t*>(data) + (from - offset), to - from);
        }
    }
    knownSize = std::max(knownSize, offset + size);
    const auto* in = static_cast<const uint8_t*>(data);
    while (size > 0) {
        const ssize_t put = ::pwrite(fd, in, size, off_t(offset));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            throw TableError("Cannot write the index file \"" + path +
                             "\" (the disk may be full).");
        in += put;
        offset += uint64_t(put);
        size -= size_t(put);
    }
}

const Block* MdxFile::Impl::heldBlock(uint32_t page) const {
    if (!dirty.empty()) {
        const auto waiting = dirty.find(page);
        if (waiting != dirty.end())
            return &waiting->second;
    }
    if (!cacheUsable())
        return nullptr;
    const auto cached = blocks.find(page);
    return cached != blocks.end() ? &cached->second : nullptr;
}

void MdxFile::Impl::readBlock(uint32_t page, Block& block) const {
    if (const Block* held = heldBlock(page)) {
        block = *held;
        return;
    }
    const uint64_t end = uint64_t(page) * kPageSize + kBlockSize;
    if (page < 1 || (end > knownSize && end > fileSize()))
        corrupt("a block number points outside the file");
    const bool caching = cacheUsable();
    readAt(uint64_t(page) * kPageSize, block.data(), block.size());
    if (caching) {
        if (blocks.size() >= kCachedBlocks)
            blocks.clear();
        blocks.emplace(page, block);
    }
}

void MdxFile::Impl::writeBlock(uint32_t page, const Block& block) {
    if (batch) {
        forgetWritten(uint64_t(page) * kPageSize, kBlockSize);
        dirty[page] = block;
        if (dirty.size() >= kDirtyBlocks)
            writeDirtyBlocks();
        return;
    }
    writeAt(uint64_t(page) * kPageSize, block.data(), block.size());
    if (cachedGeneration != 0 && cachedGeneration == currentGeneration() &&
        blocks.size() < kCachedBlocks)
        blocks.emplace(page, block);
}

void MdxFile::Impl::writeDirtyBlocks() {
    std::vector<uint32_t> pages;
    pages.reserve(dirty.size());
    for (const auto& [page, block] : dirty)
        pages.push_back(page);
    std::sort(pages.begin(), pages.end());
    std::vector<uint8_t> run;
    for (size_t i = 0; i < pages.size();) {
        size_t j = i + 1;
        while (j < pages.size() && pages[j] == pages[j - 1] + kBlockSize / kPageSize && j - i < 256)
            ++j;
        run.clear();
        for (size_t k = i; k < j; ++k) {
            const Block& block = dirty.at(pages[k]);
            run.insert(run.end(), block.begin(), block.end());
        }
        writeAt(uint64_t(pages[i]) * kPageSize, run.data(), run.size());
        // Only what reached the file stops waiting: after a failed write the rest still reads
        // as changed.
        for (size_t k = i; k < j; ++k)
            dirty.erase(pages[k]);
        i = j;
    }
}

void MdxFile::Impl::requireWritable() const {
    if (!writable)
        throw TableError("The index file \"" + path + "\" is open for reading only.");
}

// --- Tags ----------------------------------------------------------------------------------------

Tag MdxFile::Impl::decodeTag(const uint8_t* entry, uint32_t slot) const {
    Tag tag;
    tag.slot = slot;
    tag.headerPage = get32(entry);
    tag.name = trimmedText(entry + 4, 11);
    Block header;
    readBlock(tag.headerPage, header);
    tag.rootPage = get32(header.data());
    tag.keyType = char(header[9]);
    tag.keyLength = get16(header.data() + 12);
    tag.itemLength = get16(header.data() + 18);
    tag.expression = trimmedText(header.data() + 24, 220);
    if (tag.keyLength == 0 || tag.itemLength < tag.keyLength + 4 || tag.itemLength > 500)
        corrupt("tag " + tag.name + " has impossible key sizes");
    tag.maxKeys = (kBlockSize - 12) / tag.itemLength;
    return tag;
}

std::vector<Tag> MdxFile::Impl::readTags() const {
    const bool caching = cacheUsable();
    if (caching && tagCache)
        return *tagCache;
    const uint64_t size = fileSize();
    if (size < kTagTableOffset)
        corrupt("it is too short for an index");
    uint8_t header[kHeaderBytes] = {};
    readAt(0, header, size_t(std::min<uint64_t>(size, kHeaderBytes)));
    if (get16(header + 20) != 2 || get16(header + 22) != kBlockSize || header[26] != 32)
        corrupt("it is not a dBASE production index with 1024-byte blocks");
    const uint32_t used = get16(header + kOffTagsUsed);
    if (used > kMaxTags || kTagTableOffset + used * kTagEntryLength > size)
        corrupt("its tag count is impossible");
    std::vector<Tag> tags;
    for (uint32_t slot = 0; slot < used; ++slot)
        tags.push_back(decodeTag(header + kTagTableOffset + slot * kTagEntryLength, slot));
    if (caching)
        tagCache = tags;
    return tags;
}

Tag MdxFile::Impl::findTag(std::string_view name) const {
    if (cacheUsable() && tagCache) // every key change asks: no copy of the whole table
        for (const Tag& tag : *tagCache)
            if (sameName(tag.name, name))
                return tag;
    for (Tag& tag : readTags())
        if (sameName(tag.name, name))
            return tag;
    throw TableError("The index file \"" + path + "\" has no tag \"" + std::string(name) + "\".");
}

const Tag& MdxFile::Impl::tagForChange(std::string_view name) {
    if (cacheUsable() && tagCache) {
        for (const Tag& tag : *tagCache) {
            if (sameName(tag.name, name)) {
                changedTag = tag;
                return changedTag;
            }
        }
    }
    changedTag = findTag(name);
    return changedTag;
}

// The tag table also forms a binary tree by name (threads at bytes 16..18 of each entry, the
// pseudo entry at 512 pointing at the root); dBASE keeps it, so we rebuild it on every change.
void MdxFile::Impl::writeTagTable(const std::vector<Tag>& tags) {
    uint8_t table[kHeaderBytes - 512] = {};
    for (size_t i = 0; i < tags.size(); ++i) {
        uint8_t* entry = table + 32 + i * kTagEntryLength;
        put32(entry, tags[i].headerPage);
        for (size_t c = 0; c < tags[i].name.size() && c < 10; ++c)
            entry[4 + c] = uint8_t(std::toupper(static_cast<unsigned char>(tags[i].name[c])));
        entry[15] = 0x10;
        entry[19] = 0x02;
        entry[20] = uint8_t(tags[i].keyType);
        if (i == 0) {
            table[17] = 1;
            continue;
        }
        uint32_t at = 0; // walk the tree of the entries placed so far
        while (true) {
            uint8_t* node = table + 32 + at * kTagEntryLength;
            const bool left = tags[i].name < tags[at].name;
            uint8_t& thread = node[left ? 16 : 17];
            if (thread == 0) {
                thread = uint8_t(i + 1);
                entry[18] = uint8_t(at + 1);
                break;
            }
            at = thread - 1u;
        }
    }
    writeAt(512, table, sizeof table);
    uint8_t used[2];
    put16(used, uint16_t(tags.size()));
    writeAt(kOffTagsUsed, used, 2);
}

// --- Block allocation: freed blocks are chained through bytes 4..7, head in header byte 36 ------

uint32_t MdxFile::Impl::allocatePage() {
    uint8_t fields[12];
    readAt(kOffPageCount, fields, sizeof fields);
    const uint32_t firstFree = get32(fields + 4);
    if (firstFree != 0) {
        Block block;
        readBlock(firstFree, block);
        put32(fields + 4, get32(block.data() + 4));
        put32(fields + 8, get32(fields + 8) > 0 ? get32(fields + 8) - 1 : 0);
        writeAt(kOffPageCount, fields, sizeof fields);
        return firstFree;
    }
    const uint64_t sizePages = (fileSize() + kBlockSize - 1) / kBlockSize * 2;
    const uint32_t page = std::max<uint32_t>(get32(fields), uint32_t(sizePages));
    if (page > UINT32_MAX / 2)
        throw TableError("The index file \"" + path + "\" is full.");
    put32(fields, page + 2);
    writeAt(kOffPageCount, fields, sizeof fields);
    return page;
}

void MdxFile::Impl::freePage(uint32_t page) {
    uint8_t fields[8];
    readAt(kOffFirstFree, fields, sizeof fields);
    Block block{};
    put32(block.data() + 4, get32(fields));
    writeBlock(page, block);
    put32(fields, page);
    put32(fields + 4, get32(fields + 4) + 1);
    writeAt(kOffFirstFree, fields, sizeof fields);
}

void MdxFile::Impl::writeMark(std::optional<uint32_t> indexedCount, std::optional<bool> changing) {
    uint8_t area[kMarkAreaBytes];
    readMarkArea(area);
    const uint64_t generation = currentGeneration();
    if (generation == 0 && std::memcmp(area, kMark, 4) != 0) {
        std::memset(area, 0, sizeof area);
        std::memcpy(area, kMark, 4);
        put32(area + (kOffIndexedCount - kOffMark), MdxFile::kUnknownRecordCount);
    }
    // Writers take turns (the table's header lock), so when what we cached was current before
    // the bump, all that changed since is ours and went through the cache.
    const bool cacheCurrent = generation != 0 && cachedGeneration == generation;
    const uint64_t next = generation + batchChanges + 1;
    batchChanges = 0;
    std::memcpy(area + (kOffGeneration - kOffMark), &next, 8);
    if (indexedCount)
        put32(area + (kOffIndexedCount - kOffMark), *indexedCount);
    if (changing)
        area[kOffChangeFlag - kOffMark] = *changing ? 1 : 0;
    writeAt(kOffMark, area, sizeof area);
    if (cacheCurrent)
        cachedGeneration = next;
}

// --- Public interface ----------------------------------------------------------------------------

MdxFile::MdxFile(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
MdxFile::~MdxFile() = default;

std::unique_ptr<MdxFile> MdxFile::open(const std::string& path, bool writable) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->writable = writable;
    impl->fd = ::open(path.c_str(), (writable ? O_RDWR : O_RDONLY) | O_CLOEXEC);
    if (impl->fd < 0)
        throw TableError("Cannot open the index file \"" + path + "\".");
    impl->readTags();
    impl->mapHeader();
    return std::unique_ptr<MdxFile>(new MdxFile(std::move(impl)));
}

std::unique_ptr<MdxFile> MdxFile::create(const std::string& path, const std::string& tableName) {
    auto impl = std::make_unique<Impl>();
    impl->path = path;
    impl->writable = true;
    impl->fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (impl->fd < 0)
        throw TableError("Cannot create the index file \"" + path + "\".");
    uint8_t header[kHeaderBytes] = {};
    header[0] = 2;
    putToday(header + 1);
    for (size_t i = 0; i < tableName.size() && i < 16; ++i)
        header[4 + i] = uint8_t(std::toupper(static_cast<unsigned char>(tableName[i])));
    put16(header + 20, 2);
    put16(header + 22, kBlockSize);
    header[24] = 1;
    header[25] = 48;
    header[26] = kTagEntryLength;
    put32(header + kOffPageCount, kFirstDataPage);
    putToday(header + 44);
    std::memcpy(header + kOffMark, kMark, 4);
    const uint64_t generation = 1;
    std::memcpy(header + kOffGeneration, &generation, 8);
    impl->writeAt(0, header, sizeof header);
    impl->mapHeader();
    return std::unique_ptr<MdxFile>(new MdxFile(std::move(impl)));
}

const std::string& MdxFile::path() const {
    return impl_->path;
}

std::vector<TagInfo> MdxFile::tags() const {
    std::vector<TagInfo> result;
    for (const Tag& tag : impl_->readTags())
        result.push_back(TagInfo{tag.name, tag.expression, tag.keyType, tag.keyLength});
    return result;
}

bool MdxFile::hasTag(std::string_view name) const {
    for (const Tag& tag : impl_->readTags())
        if (sameName(tag.name, name))
            return true;
    return false;
}

void MdxFile::deleteTag(std::string_view name) {
    impl_->requireWritable();
    std::vector<Tag> tags = impl_->readTags();
    auto found = std::find_if(tags.begin(), tags.end(),
                              [&](const Tag& tag) { return sameName(tag.name, name); });
    if (found == tags.end())
        throw TableError("The index file \"" + impl_->path + "\" has no tag \"" +
                         std::string(name) + "\".");
    const Tag removed = *found;
    tags.erase(found);
    impl_->writeTagTable(tags);
    impl_->bumpGeneration();
    impl_->releaseTagBlocks(removed);
    impl_->bumpGeneration();
}

void MdxFile::rebuildAll(uint32_t recordCount,
                         const std::function<KeySource(const TagInfo&)>& keySourceFor,
                         const Progress& progress) {
    const std::vector<TagInfo> all = tags();
    for (size_t i = 0; i < all.size(); ++i) {
        Progress part;
        if (progress)
            part = [&, i](double done) { progress((double(i) + done) / double(all.size())); };
        addTag(all[i], recordCount, keySourceFor(all[i]), part);
    }
    if (progress)
        progress(1.0);
}

uint32_t MdxFile::indexedRecordCount() const {
    uint8_t area[Impl::kMarkAreaBytes];
    impl_->readMarkArea(area);
    if (std::memcmp(area, kMark, 4) != 0)
        return kUnknownRecordCount;
    return get32(area + (kOffIndexedCount - kOffMark));
}

bool MdxFile::changeInProgress() const {
    uint8_t area[Impl::kMarkAreaBytes];
    impl_->readMarkArea(area);
    return std::memcmp(area, kMark, 4) == 0 && area[kOffChangeFlag - kOffMark] != 0;
}

void MdxFile::beginChange() {
    impl_->requireWritable();
    impl_->writeMark(std::nullopt, true);
}

void MdxFile::endChange(uint32_t recordCount) {
    impl_->requireWritable();
    impl_->writeMark(recordCount, false);
}

uint64_t MdxFile::generation() const {
    return impl_->currentGeneration() + impl_->batchChanges;
}

void MdxFile::beginBatch() {
    impl_->requireWritable();
    if (impl_->batch)
        return;
    impl_->writeMark(std::nullopt, true);
    impl_->batch = true;
}

void MdxFile::endBatch(uint32_t recordCount) {
    if (!impl_->batch)
        return;
    impl_->writeDirtyBlocks();
    impl_->batch = false;
    impl_->writeMark(recordCount, false);
}

bool MdxFile::inBatch() const {
    return impl_->batch;
}

void MdxFile::flush() {
    if (impl_->writable && !detail::syncDataToDisk(impl_->fd))
        throw TableError("Cannot write the index file \"" + impl_->path + "\".");
}

} // namespace table
