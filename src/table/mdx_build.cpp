// Building a tag in one pass: every key computed once, (key, recno) pairs sorted in memory,
// leaves and interior levels written bottom-up. Leaves are packed full (keys are spread evenly
// over the fewest leaves): a book table grows at the end far more than in the middle, and a
// later insert into a full leaf costs only one split.

#include "mdx_internal.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <optional>
#include <set>

namespace table {

using namespace mdx;

namespace {

constexpr uint32_t kMaxExpressionLength = 220; // bytes 24..243 of the tag header
constexpr uint32_t kMaxKeyLength = 240;
constexpr uint32_t kProgressEvery = 65536;

void checkTag(const MdxFile::Impl& file, const TagInfo& info) {
    const auto badName = [&](const std::string& why) {
        throw TableError("Cannot add the index tag \"" + info.name + "\" to \"" + file.path +
                         "\": " + why + ".");
    };
    if (info.name.empty() || info.name.size() > 10)
        badName("a tag name has 1 to 10 characters");
    for (char c : info.name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            badName("a tag name has only letters, digits and \"_\"");
    if (info.keyLength == 0 || info.keyLength > kMaxKeyLength)
        badName("the key length is out of range");
    if (info.expression.empty() || info.expression.size() > kMaxExpressionLength)
        badName("the expression is empty or too long");
}

// Blocks for a new tag: freed ones first, then a run at the end of the file.
std::vector<uint32_t> allocatePages(MdxFile::Impl& file, size_t count) {
    std::vector<uint32_t> pages;
    pages.reserve(count);
    uint8_t fields[8];
    while (pages.size() < count) {
        file.readAt(kOffFirstFree, fields, 4);
        if (get32(fields) == 0)
            break;
        pages.push_back(file.allocatePage());
    }
    const uint32_t first = pages.size() < count ? file.allocatePage() : 0;
    if (first != 0) {
        const size_t rest = count - pages.size();
        for (size_t i = 0; i < rest; ++i)
            pages.push_back(uint32_t(first + 2 * i));
        file.readAt(kOffPageCount, fields, 4);
        put32(fields, uint32_t(first + 2 * rest));
        file.writeAt(kOffPageCount, fields, 4);
    }
    return pages;
}

// Collects consecutive blocks into one write.
class BlockWriter {
public:
    explicit BlockWriter(MdxFile::Impl& file) : file_(file) {}
    ~BlockWriter() = default;
    void write(uint32_t page, const Block& block) {
        if (!buffer_.empty() && (page != nextPage_ || buffer_.size() >= kMaxBuffer))
            flush();
        if (buffer_.empty())
            firstPage_ = page;
        buffer_.insert(buffer_.end(), block.begin(), block.end());
        nextPage_ = page + 2;
    }
    void flush() {
        if (!buffer_.empty())
            file_.writeAt(uint64_t(firstPage_) * kPageSize, buffer_.data(), buffer_.size());
        buffer_.clear();
    }

private:
    static constexpr size_t kMaxBuffer = 256 * kBlockSize;
    MdxFile::Impl& file_;
    std::vector<uint8_t> buffer_;
    uint32_t firstPage_ = 0;
    uint32_t nextPage_ = 0;
};

struct Built {
    uint32_t page;
    std::string_view maxKey;
};

// Number of nodes on each level, leaves first, for `entries` keys.
std::vector<size_t> levelSizes(size_t entries, uint32_t maxKeys) {
    std::vector<size_t> sizes{std::max<size_t>(1, (entries + maxKeys - 1) / maxKeys)};
    while (sizes.back() > 1)
        sizes.push_back((sizes.back() + maxKeys) / (maxKeys + 1));
    return sizes;
}

class TreeBuilder {
public:
    TreeBuilder(const Tag& tag, const std::vector<char>& keys, const std::vector<uint32_t>& order,
                std::vector<uint32_t> pages, BlockWriter& out)
        : tag_(tag), keys_(keys), order_(order), pages_(std::move(pages)), out_(out) {}

    uint32_t build() {
        std::vector<Built> level = buildLeaves();
        while (level.size() > 1)
            level = buildInterior(level);
        return level.front().page;
    }

private:
    std::string_view keyOf(uint32_t recno) const {
        return std::string_view(keys_.data() + size_t(recno - 1) * tag_.keyLength, tag_.keyLength);
    }
    uint8_t* item(Block& block, size_t i) const { return block.data() + 8 + i * tag_.itemLength; }

    std::vector<Built> buildLeaves() {
        const size_t count = levelSizes(order_.size(), tag_.maxKeys).front();
        std::vector<Built> built;
        for (size_t leaf = 0; leaf < count; ++leaf) {
            const size_t from = order_.size() * leaf / count;
            const size_t to = order_.size() * (leaf + 1) / count;
            Block block{};
            put32(block.data(), uint32_t(to - from));
            for (size_t i = from; i < to; ++i) {
                put32(item(block, i - from), order_[i]);
                std::memcpy(item(block, i - from) + 4, keyOf(order_[i]).data(), tag_.keyLength);
            }
            const uint32_t page = pages_[next_++];
            out_.write(page, block);
            built.push_back({page, to > from ? keyOf(order_[to - 1]) : std::string_view()});
        }
        return built;
    }

    std::vector<Built> buildInterior(const std::vector<Built>& children) {
        const size_t count = (children.size() + tag_.maxKeys) / (tag_.maxKeys + 1);
        std::vector<Built> built;
        for (size_t node = 0; node < count; ++node) {
            const size_t from = children.size() * node / count;
            const size_t to = children.size() * (node + 1) / count;
            Block block{};
            const size_t keys = to - from - 1;
            put32(block.data(), uint32_t(keys));
            for (size_t i = from; i < to - 1; ++i) {
                put32(item(block, i - from), children[i].page);
                std::memcpy(item(block, i - from) + 4, children[i].maxKey.data(),
                            children[i].maxKey.size());
            }
            put32(item(block, keys), children[to - 1].page);
            const uint32_t page = pages_[next_++];
            out_.write(page, block);
            built.push_back({page, children[to - 1].maxKey});
        }
        return built;
    }

    const Tag& tag_;
    const std::vector<char>& keys_;
    const std::vector<uint32_t>& order_;
    std::vector<uint32_t> pages_;
    size_t next_ = 0;
    BlockWriter& out_;
};

std::vector<char> computeKeys(const Tag& tag, uint32_t recordCount, const KeySource& keyOf,
                              const Progress& progress) {
    std::vector<char> keys(size_t(recordCount) * tag.keyLength);
    std::string key;
    for (uint32_t recno = 1; recno <= recordCount; ++recno) {
        key.clear();
        keyOf(recno, key);
        key.resize(tag.keyLength, ' ');
        std::memcpy(keys.data() + size_t(recno - 1) * tag.keyLength, key.data(), tag.keyLength);
        if (progress && recno % kProgressEvery == 0)
            progress(0.5 * recno / recordCount);
    }
    return keys;
}

Block tagHeaderBlock(const Tag& tag, uint32_t pages) {
    Block block{};
    put32(block.data(), tag.rootPage);
    put32(block.data() + 4, pages * 2);
    block[8] = 0x10;
    block[9] = uint8_t(tag.keyType);
    put16(block.data() + 12, uint16_t(tag.keyLength));
    put16(block.data() + 14, uint16_t(tag.maxKeys));
    put16(block.data() + 18, uint16_t(tag.itemLength));
    std::memcpy(block.data() + 24, tag.expression.data(), tag.expression.size());
    block[246] = 1;
    return block;
}

} // namespace

void MdxFile::addTag(const TagInfo& info, uint32_t recordCount, const KeySource& keyOf,
                     const Progress& progress) {
    impl_->requireWritable();
    checkTag(*impl_, info);
    std::vector<Tag> tags = impl_->readTags();
    Tag tag;
    tag.name = info.name;
    for (char& c : tag.name)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    tag.expression = info.expression;
    tag.keyType = 'C';
    tag.keyLength = info.keyLength;
    tag.itemLength = (info.keyLength + 4 + 3) / 4 * 4;
    tag.maxKeys = (kBlockSize - 12) / tag.itemLength;
    auto old = std::find_if(tags.begin(), tags.end(), [&](const Tag& t) {
        return std::equal(t.name.begin(), t.name.end(), tag.name.begin(), tag.name.end(),
                          [](char a, char b) {
                              return std::toupper(static_cast<unsigned char>(a)) ==
                                     std::toupper(static_cast<unsigned char>(b));
                          });
    });
    if (old == tags.end() && tags.size() >= kMaxTags)
        throw TableError("The index file \"" + impl_->path + "\" cannot hold more tags.");

    const std::vector<char> keys = computeKeys(tag, recordCount, keyOf, progress);
    std::vector<uint32_t> order(recordCount);
    std::iota(order.begin(), order.end(), 1u);
    const uint32_t kl = tag.keyLength;
    std::stable_sort(order.begin(), order.end(), [&](uint32_t a, uint32_t b) {
        return std::memcmp(keys.data() + size_t(a - 1) * kl, keys.data() + size_t(b - 1) * kl, kl) <
               0;
    });
    if (progress)
        progress(0.7);

    size_t nodes = 0;
    for (size_t size : levelSizes(order.size(), tag.maxKeys))
        nodes += size;
    std::vector<uint32_t> pages = allocatePages(*impl_, nodes + 1);
    tag.headerPage = pages.front();
    pages.erase(pages.begin());
    BlockWriter out(*impl_);
    tag.rootPage = TreeBuilder(tag, keys, order, std::move(pages), out).build();
    out.write(tag.headerPage, tagHeaderBlock(tag, uint32_t(nodes)));
    out.flush();

    impl_->bumpGeneration();
    std::optional<Tag> replaced;
    if (old != tags.end()) {
        replaced = *old;
        *old = tag;
    } else {
        tags.push_back(tag);
    }
    impl_->writeTagTable(tags);
    if (replaced)
        impl_->releaseTagBlocks(*replaced);
    impl_->bumpGeneration();
    if (progress)
        progress(1.0);
}

void MdxFile::Impl::releaseTagBlocks(const Tag& tag) {
    // A damaged tree keeps its blocks: leaking a few is better than freeing one still in use.
    std::set<uint32_t> pages{tag.headerPage};
    try {
        std::vector<std::pair<uint32_t, uint32_t>> pending{{tag.rootPage, 0}};
        while (!pending.empty()) {
            const auto [page, depth] = pending.back();
            pending.pop_back();
            if (depth > kMaxDepth || !pages.insert(page).second)
                return;
            const Node node = readNode(tag, page);
            if (!node.leaf)
                for (uint32_t child : node.pointers)
                    pending.emplace_back(child, depth + 1);
        }
    } catch (const TableError&) {
        return;
    }
    for (uint32_t page : pages)
        freePage(page);
}

} // namespace table
