// Reading the B-trees: node decoding, descents and the cursor.

#include "mdx_internal.h"

#include <algorithm>

namespace table {

using namespace mdx;

namespace mdx {

Node decodeNode(const MdxFile::Impl& file, const Tag& tag, uint32_t page, const Block& block) {
    const uint32_t count = get32(block.data());
    if (count > (kBlockSize - 8) / tag.itemLength)
        file.corrupt("a node of tag " + tag.name + " claims too many keys");
    const uint32_t trailer = 8 + count * tag.itemLength;
    Node node;
    node.page = page;
    node.leaf = trailer + 4 > kBlockSize || get32(block.data() + trailer) == 0;
    node.pointers.reserve(count + 1);
    node.keys.resize(size_t(count) * tag.keyLength);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* item = block.data() + 8 + i * tag.itemLength;
        node.pointers.push_back(get32(item));
        std::memcpy(node.keys.data() + size_t(i) * tag.keyLength, item + 4, tag.keyLength);
    }
    if (!node.leaf)
        node.pointers.push_back(get32(block.data() + trailer));
    return node;
}

std::string_view keyAt(const Tag& tag, const Node& node, uint32_t index) {
    return std::string_view(node.keys).substr(size_t(index) * tag.keyLength, tag.keyLength);
}

namespace {

// Reads the child that `path` points at, refusing loops and runaway depth in damaged files.
Node readChild(const MdxFile::Impl& file, const Tag& tag, const Path& path, uint32_t page) {
    if (path.size() >= kMaxDepth)
        file.corrupt("tag " + tag.name + " is nested too deeply");
    for (const PathStep& step : path)
        if (step.node.page == page)
            file.corrupt("tag " + tag.name + " has a node pointing back at itself");
    return file.readNode(tag, page);
}

bool entryBefore(const Tag& tag, const Node& leaf, uint32_t index, std::string_view key,
                 uint32_t recno) {
    const int order = keyAt(tag, leaf, index).substr(0, key.size()).compare(key);
    return order < 0 || (order == 0 && leaf.pointers[index] < recno);
}

uint32_t leafPosition(const Tag& tag, const Node& leaf, std::string_view key, uint32_t recno) {
    uint32_t low = 0, high = leaf.count(tag.keyLength);
    while (low < high) {
        const uint32_t mid = (low + high) / 2;
        if (entryBefore(tag, leaf, mid, key, recno))
            low = mid + 1;
        else
            high = mid;
    }
    return low;
}

// Descends from the root to the leaf position of `key` and `recno`. Interior keys carry no record
// numbers, so among equal keys the descent cannot tell where `recno` belongs: `pastEqualKeys`
// goes to the leaf after every key equal to `key`, otherwise to the first that may hold it.
Path descendTo(const MdxFile::Impl& file, const Tag& tag, std::string_view key, uint32_t recno,
               bool pastEqualKeys) {
    Path path;
    uint32_t page = tag.rootPage;
    while (true) {
        PathStep step{readChild(file, tag, path, page), 0};
        const uint32_t count = step.node.count(tag.keyLength);
        if (step.node.leaf) {
            step.index = leafPosition(tag, step.node, key, recno);
            path.push_back(std::move(step));
            return path;
        }
        // Interior keys ascend: the first one past `key` is found by halving.
        uint32_t low = 0, high = count;
        while (low < high) {
            const uint32_t mid = (low + high) / 2;
            const std::string_view entry = keyAt(tag, step.node, mid);
            if (pastEqualKeys ? entry > key : entry.substr(0, key.size()) >= key)
                high = mid;
            else
                low = mid + 1;
        }
        step.index = low;
        page = step.node.pointers[step.index];
        path.push_back(std::move(step));
    }
}

} // namespace

namespace {

bool rightmost(const Path& path) {
    for (size_t level = 0; level + 1 < path.size(); ++level)
        if (path[level].index + 1 != path[level].node.pointers.size())
            return false;
    return true;
}

// Whether the position that the descent past equal keys found is where (key, recno) belongs.
// Interior keys carry no record numbers, so that needs proof that nothing at or after
// (key, recno) comes before the position: an entry before it in the same leaf, the last entry
// of the leaf before, or no leaf before at all. A position past the leaf's last entry is right
// only in the rightmost leaf (elsewhere the parent's key promises a greater entry here).
bool provenPosition(const MdxFile::Impl& file, const Tag& tag, const Path& past,
                    std::string_view key, uint32_t recno) {
    const PathStep& leaf = past.back();
    const uint32_t count = leaf.node.count(tag.keyLength);
    if (count == 0)
        return past.size() == 1;
    if (leaf.index == count)
        return rightmost(past);
    if (leaf.index > 0)
        return true;
    Path before = past;
    if (!stepLeaf(file, tag, before, false))
        return true; // the first leaf
    const uint32_t beforeCount = before.back().node.count(tag.keyLength);
    return beforeCount > 0 && entryBefore(tag, before.back().node, beforeCount - 1, key, recno);
}

} // namespace

Path lowerBound(const MdxFile::Impl& file, const Tag& tag, std::string_view key, uint32_t recno) {
    key = key.substr(0, tag.keyLength);
    if (key.size() == tag.keyLength) {
        // A new record's key goes after all its equals: found in one descent, where walking
        // from the first equal key would step through every leaf of a common key.
        Path past = descendTo(file, tag, key, recno, true);
        if (provenPosition(file, tag, past, key, recno))
            return past;
    }
    Path path = descendTo(file, tag, key, recno, false);
    // Equal keys may run on into following leaves (and deleted keys may leave empty ones).
    while (path.back().index == path.back().node.count(tag.keyLength) &&
           stepLeaf(file, tag, path, true))
        path.back().index = leafPosition(tag, path.back().node, key, recno);
    return path;
}

void descendEdge(const MdxFile::Impl& file, const Tag& tag, Path& path, bool last) {
    while (!path.back().node.leaf) {
        const PathStep& parent = path.back();
        PathStep step{readChild(file, tag, path, parent.node.pointers[parent.index]), 0};
        const uint32_t count = step.node.count(tag.keyLength);
        if (last)
            step.index = step.node.leaf ? (count > 0 ? count - 1 : 0) : count;
        path.push_back(std::move(step));
    }
}

bool stepLeaf(const MdxFile::Impl& file, const Tag& tag, Path& path, bool forward) {
    Path saved = path;
    path.pop_back();
    while (!path.empty()) {
        PathStep& top = path.back();
        if (forward && top.index + 1 < top.node.pointers.size()) {
            ++top.index;
            descendEdge(file, tag, path, false);
            return true;
        }
        if (!forward && top.index > 0) {
            --top.index;
            descendEdge(file, tag, path, true);
            return true;
        }
        path.pop_back();
    }
    path = std::move(saved);
    return false;
}

} // namespace mdx

Node MdxFile::Impl::readNode(const Tag& tag, uint32_t page) const {
    if (const Block* held = heldBlock(page))
        return decodeNode(*this, tag, page, *held);
    Block block;
    readBlock(page, block);
    return decodeNode(*this, tag, page, block);
}

// --- Cursor ----------------------------------------------------------------------------------

struct MdxFile::Cursor::State {
    const MdxFile::Impl* file = nullptr;
    const MdxFile* owner = nullptr;
    Tag tag;
    Path path;
    bool valid = false;
    uint64_t generation = 0;

    // Another handle (or process) changed the file: reload the tag and find our entry again.
    // Returns true when the entry we stood on is still there.
    bool refresh(bool& moved);
    uint32_t leafCount() const { return path.back().node.count(tag.keyLength); }
    bool skipEmptyLeaves(bool forward) {
        while (leafCount() == 0)
            if (!stepLeaf(*file, tag, path, forward))
                return false;
        if (!forward)
            path.back().index = leafCount() - 1;
        return true;
    }
    bool edge(bool last) {
        path.clear();
        PathStep root{file->readNode(tag, tag.rootPage), 0};
        if (last && !root.node.leaf)
            root.index = uint32_t(root.node.pointers.size() - 1);
        path.push_back(std::move(root));
        descendEdge(*file, tag, path, last);
        if (last && leafCount() > 0)
            path.back().index = leafCount() - 1;
        valid = skipEmptyLeaves(!last);
        return valid;
    }
};

bool MdxFile::Cursor::State::refresh(bool& moved) {
    moved = false;
    const uint64_t now = owner->generation();
    if (now == generation)
        return true;
    generation = now;
    tag = file->findTag(tag.name);
    if (!valid)
        return true;
    const std::string key(keyAt(tag, path.back().node, path.back().index));
    const uint32_t recno = path.back().node.pointers[path.back().index];
    path = lowerBound(*file, tag, key, recno);
    moved = true;
    valid = path.back().index < leafCount();
    return valid && keyAt(tag, path.back().node, path.back().index) == key &&
           path.back().node.pointers[path.back().index] == recno;
}

MdxFile::Cursor::Cursor(std::unique_ptr<State> state) : state_(std::move(state)) {}
MdxFile::Cursor::~Cursor() = default;
MdxFile::Cursor::Cursor(Cursor&&) noexcept = default;
MdxFile::Cursor& MdxFile::Cursor::operator=(Cursor&&) noexcept = default;

MdxFile::Cursor MdxFile::cursor(std::string_view tag) const {
    auto state = std::make_unique<Cursor::State>();
    state->file = impl_.get();
    state->owner = this;
    state->tag = impl_->findTag(tag);
    state->generation = generation();
    return Cursor(std::move(state));
}

bool MdxFile::Cursor::first() {
    bool moved = false;
    state_->refresh(moved);
    return state_->edge(false);
}

bool MdxFile::Cursor::last() {
    bool moved = false;
    state_->refresh(moved);
    return state_->edge(true);
}

bool MdxFile::Cursor::next() {
    State& s = *state_;
    bool moved = false;
    const bool same = s.refresh(moved);
    if (!s.valid) {
        if (moved)
            last(); // everything from our entry on went away: stay on the last one
        return false;
    }
    if (moved && !same)
        return true; // our entry went away; the one that followed it is now current
    PathStep& leaf = s.path.back();
    if (leaf.index + 1 < s.leafCount()) {
        ++leaf.index;
        return true;
    }
    Path saved = s.path;
    while (stepLeaf(*s.file, s.tag, s.path, true))
        if (s.leafCount() > 0)
            return true;
    s.path = std::move(saved);
    return false;
}

bool MdxFile::Cursor::prior() {
    State& s = *state_;
    bool moved = false;
    s.refresh(moved);
    if (!s.valid)
        return moved ? last() : false;
    PathStep& leaf = s.path.back();
    if (leaf.index > 0) {
        --leaf.index;
        return true;
    }
    Path saved = s.path;
    while (stepLeaf(*s.file, s.tag, s.path, false)) {
        if (s.leafCount() > 0) {
            s.path.back().index = s.leafCount() - 1;
            return true;
        }
    }
    s.path = std::move(saved);
    return false;
}

bool MdxFile::Cursor::seek(std::string_view key) {
    State& s = *state_;
    bool moved = false;
    s.refresh(moved);
    s.path = lowerBound(*s.file, s.tag, key, 0);
    s.valid = s.path.back().index < s.leafCount();
    return s.valid;
}

bool MdxFile::Cursor::seekEntry(std::string_view key, uint32_t recno) {
    State& s = *state_;
    bool moved = false;
    s.refresh(moved);
    std::string full(key.substr(0, s.tag.keyLength));
    full.resize(s.tag.keyLength, ' ');
    s.path = lowerBound(*s.file, s.tag, full, recno);
    s.valid = s.path.back().index < s.leafCount();
    return s.valid && this->key() == full && this->recno() == recno;
}

bool MdxFile::Cursor::valid() const {
    return state_ && state_->valid;
}

uint32_t MdxFile::Cursor::recno() const {
    if (!valid())
        return 0;
    const PathStep& leaf = state_->path.back();
    return leaf.node.pointers[leaf.index];
}

uint32_t MdxFile::Cursor::recnoAhead(uint32_t steps) const {
    if (!valid())
        return 0;
    const PathStep& leaf = state_->path.back();
    const size_t at = size_t(leaf.index) + steps;
    return at < state_->leafCount() ? leaf.node.pointers[at] : 0;
}

std::string_view MdxFile::Cursor::key() const {
    if (!valid())
        return {};
    const PathStep& leaf = state_->path.back();
    return keyAt(state_->tag, leaf.node, leaf.index);
}

} // namespace table
