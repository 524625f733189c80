// Changing the B-trees one key at a time: insertion with node splits and root growth, removal
// with interior-key fix-up, unlinking of emptied nodes and root shrinking.
//
// Every interior key equals the highest key below it (the last child has no key of its own), so
// a change to the last entry of a node travels up for as long as the node is its parent's last
// child. Node "previous block" fields are written as 0, as dBASE's own tools leave them.

#include "mdx_internal.h"

#include <optional>

namespace table {

using namespace mdx;

void MdxFile::Impl::writeNode(const Tag& tag, const Node& node) {
    const uint32_t count = node.count(tag.keyLength);
    if (count > tag.maxKeys)
        throw TableError("Internal error: an index node of tag " + tag.name + " overflowed.");
    Block block{};
    put32(block.data(), count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t* item = block.data() + 8 + i * tag.itemLength;
        put32(item, node.pointers[i]);
        std::memcpy(item + 4, node.keys.data() + size_t(i) * tag.keyLength, tag.keyLength);
    }
    if (!node.leaf)
        put32(block.data() + 8 + count * tag.itemLength, node.pointers[count]);
    writeBlock(node.page, block);
}

void MdxFile::Impl::setRoot(const Tag& tag, uint32_t rootPage) {
    uint8_t bytes[4];
    put32(bytes, rootPage);
    writeAt(uint64_t(tag.headerPage) * kPageSize, bytes, 4);
}

namespace {

void setKey(const Tag& tag, Node& node, uint32_t index, std::string_view key) {
    std::memcpy(node.keys.data() + size_t(index) * tag.keyLength, key.data(), tag.keyLength);
}

// The highest key below path[level] became `newMax`: fix the parents' keys.
void propagateMax(MdxFile::Impl& file, const Tag& tag, Path& path, size_t level,
                  std::string_view newMax) {
    for (size_t l = level; l > 0; --l) {
        PathStep& parent = path[l - 1];
        if (parent.index < parent.node.count(tag.keyLength)) {
            if (keyAt(tag, parent.node, parent.index) != newMax) {
                setKey(tag, parent.node, parent.index, newMax);
                file.writeNode(tag, parent.node);
            }
            return;
        }
    }
}

// Splits an overfull node in two (the left half keeps its page) and returns the left half's
// highest key; the right half goes to `right`.
std::string splitNode(const Tag& tag, Node& node, Node& right) {
    const uint32_t count = node.count(tag.keyLength);
    const uint32_t half = count / 2;
    const size_t kl = tag.keyLength;
    right.leaf = node.leaf;
    std::string leftMax;
    if (node.leaf) {
        right.pointers.assign(node.pointers.begin() + half, node.pointers.end());
        right.keys = node.keys.substr(half * kl);
        node.pointers.resize(half);
        node.keys.resize(half * kl);
        leftMax = std::string(keyAt(tag, node, half - 1));
    } else {
        // Children 0..half stay, with keys 0..half-1; key `half` (the highest key of child
        // `half`) becomes the left node's key in the parent.
        leftMax = std::string(keyAt(tag, node, half));
        right.pointers.assign(node.pointers.begin() + half + 1, node.pointers.end());
        right.keys = node.keys.substr((half + 1) * kl);
        node.pointers.resize(half + 1);
        node.keys.resize(half * kl);
    }
    return leftMax;
}

// Writes path[level] after a change, splitting it when it overflowed. `newMax` is set when the
// highest key below the node changed.
void settle(MdxFile::Impl& file, const Tag& tag, Path& path, size_t level,
            std::optional<std::string> newMax) {
    Node& node = path[level].node;
    if (node.count(tag.keyLength) <= tag.maxKeys) {
        file.writeNode(tag, node);
        if (newMax)
            propagateMax(file, tag, path, level, *newMax);
        return;
    }
    Node right;
    right.page = file.allocatePage();
    const std::string leftMax = splitNode(tag, node, right);
    file.writeNode(tag, right);
    file.writeNode(tag, node);
    if (level == 0) { // the root split: the tree grows a level
        Node root;
        root.leaf = false;
        root.page = file.allocatePage();
        root.pointers = {node.page, right.page};
        root.keys = leftMax;
        file.writeNode(tag, root);
        file.setRoot(tag, root.page);
        return;
    }
    PathStep& parent = path[level - 1];
    const uint32_t c = parent.index;
    parent.node.pointers.insert(parent.node.pointers.begin() + c + 1, right.page);
    parent.node.keys.insert(size_t(c) * tag.keyLength, leftMax);
    const bool rightIsLast = c + 1 == parent.node.count(tag.keyLength);
    if (!rightIsLast && newMax)
        setKey(tag, parent.node, c + 1, *newMax);
    settle(file, tag, path, level - 1, rightIsLast ? newMax : std::nullopt);
}

// Takes child path[level].index out of interior node path[level] (the child was emptied).
void removeChild(MdxFile::Impl& file, const Tag& tag, Path& path, size_t level) {
    Node& node = path[level].node;
    const uint32_t c = path[level].index;
    const uint32_t count = node.count(tag.keyLength);
    if (count == 0) { // its only child went: the node goes too
        if (level == 0) {
            node.leaf = true;
            node.pointers.clear();
            file.writeNode(tag, node);
            return;
        }
        file.freePage(node.page);
        removeChild(file, tag, path, level - 1);
        return;
    }
    std::optional<std::string> newMax;
    node.pointers.erase(node.pointers.begin() + c);
    if (c < count) {
        node.keys.erase(size_t(c) * tag.keyLength, tag.keyLength);
    } else { // the last child went: the one before it becomes last, and its key our maximum
        newMax = std::string(keyAt(tag, node, count - 1));
        node.keys.erase(size_t(count - 1) * tag.keyLength, tag.keyLength);
    }
    file.writeNode(tag, node);
    if (newMax)
        propagateMax(file, tag, path, level, *newMax);
    if (level == 0 && node.keys.empty()) { // a root with one child hands over to it
        file.setRoot(tag, node.pointers[0]);
        file.freePage(node.page);
    }
}

} // namespace

void MdxFile::insertKey(std::string_view tagName, std::string_view key, uint32_t recno) {
    impl_->requireWritable();
    const Tag& tag = impl_->tagForChange(tagName);
    if (key.size() != tag.keyLength)
        throw TableError("Internal error: a key of the wrong length for tag " + tag.name + ".");
    Path path = lowerBound(*impl_, tag, key, recno);
    PathStep& leaf = path.back();
    const bool atEnd = leaf.index == leaf.node.count(tag.keyLength);
    leaf.node.pointers.insert(leaf.node.pointers.begin() + leaf.index, recno);
    leaf.node.keys.insert(size_t(leaf.index) * tag.keyLength, key);
    impl_->bumpGeneration();
    settle(*impl_, tag, path, path.size() - 1,
           atEnd ? std::optional<std::string>(std::string(key)) : std::nullopt);
    impl_->bumpGeneration(); // what other handles read during the change is stale now
}

// Removing an entry that is not there leaves the tag as wanted, so it is not an error.
void MdxFile::removeKey(std::string_view tagName, std::string_view key, uint32_t recno) {
    impl_->requireWritable();
    const Tag& tag = impl_->tagForChange(tagName);
    if (key.size() != tag.keyLength)
        throw TableError("Internal error: a key of the wrong length for tag " + tag.name + ".");
    Path path = lowerBound(*impl_, tag, key, recno);
    PathStep& leaf = path.back();
    uint32_t count = leaf.node.count(tag.keyLength);
    if (leaf.index == count || keyAt(tag, leaf.node, leaf.index) != key ||
        leaf.node.pointers[leaf.index] != recno)
        return;
    impl_->bumpGeneration();
    leaf.node.pointers.erase(leaf.node.pointers.begin() + leaf.index);
    leaf.node.keys.erase(size_t(leaf.index) * tag.keyLength, tag.keyLength);
    --count;
    const size_t level = path.size() - 1;
    if (count > 0 || level == 0) {
        impl_->writeNode(tag, leaf.node);
        if (count > 0 && leaf.index == count)
            propagateMax(*impl_, tag, path, level, keyAt(tag, leaf.node, count - 1));
    } else {
        impl_->freePage(leaf.node.page);
        removeChild(*impl_, tag, path, level - 1);
    }
    impl_->bumpGeneration(); // what other handles read during the change is stale now
}

} // namespace table
