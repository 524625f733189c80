// Index tags: opening the production index, keeping it consistent with the table, adding,
// deleting and selecting tags.

#include "table/table_impl.h"

#include <memory>
#include <sys/stat.h>

namespace table {

namespace {

bool fileExists(const std::string& path) {
    struct stat info;
    return ::stat(path.c_str(), &info) == 0;
}

// Index work on a closed handle opens the table exclusively for the time of the change, as a
// dBASE engine does.
class ExclusiveWhileClosed {
public:
    explicit ExclusiveWhileClosed(Table& table) : table_(table) {
        if (table_.isOpen())
            return;
        OpenMode saved = table_.openMode();
        table_.setOpenMode(OpenMode::Exclusive);
        try {
            table_.open();
        } catch (...) {
            table_.setOpenMode(saved);
            throw;
        }
        table_.setOpenMode(saved);
        opened_ = true;
    }
    ~ExclusiveWhileClosed() {
        if (opened_)
            table_.close();
    }
    ExclusiveWhileClosed(const ExclusiveWhileClosed&) = delete;
    ExclusiveWhileClosed& operator=(const ExclusiveWhileClosed&) = delete;

private:
    Table& table_;
    bool opened_ = false;
};

} // namespace

std::string Table::Impl::keyOf(const CompiledTag& tag, const uint8_t* record) const {
    std::string key;
    tag.expression.evaluate(record, key);
    return key;
}

KeySource Table::Impl::keySource(const CompiledTag& tag) {
    // Index builds ask for every record in file order.
    auto ahead = std::make_shared<detail::ReadAhead>(map);
    return [this, &tag, ahead](uint32_t recno, std::string& key) {
        if (recno >= 1)
            ahead->reach(recordOffset(recno), header.recordLength);
        const uint8_t* record = recordBytes(recno);
        if (record == nullptr)
            key.assign(tag.expression.keyLength(), ' ');
        else
            tag.expression.evaluate(record, key);
    };
}

void Table::Impl::openIndex() {
    indexCursor.reset();
    tags.clear();
    activeTag = -1;
    mdx.reset();
    std::string path = indexPath();
    // A set flag without the file is what dBASE refuses to open; we open without the index.
    if (header.productionIndexFlag == 0 || !fileExists(path))
        return;
    try {
        mdx = MdxFile::open(path, writable());
        compileTags();
    } catch (const IndexDamagedError& error) {
        // The records are all there: the table opens in physical order, and regenerating the
        // indexes or adding a tag puts a new index in place of this one.
        tags.clear();
        mdx.reset();
        indexProblem = error.what();
        return;
    } catch (const TableError&) {
        if (writable())
            throw;
        // Reading a foreign table goes in physical order; an unusable index is no obstacle.
        tags.clear();
        mdx.reset();
        return;
    }
    rebuildIfStale();
}

void Table::Impl::compileTags() {
    for (const TagInfo& info : mdx->tags()) {
        try {
            tags.push_back(
                CompiledTag{info, KeyExpression::compile(info.expression, header.fields)});
        } catch (const TableError& error) {
            throw IndexDamagedError("The index file \"" + mdx->path() + "\" has a tag \"" +
                                    info.name + "\" that cannot be used (" + error.what() +
                                    "). Rebuild the indexes.");
        }
    }
}

void Table::Impl::replaceDamagedIndex() {
    indexCursor.reset();
    activeTag = -1;
    tags.clear();
    mdx = MdxFile::create(indexPath(), detail::tableStem(dbfFile));
    uint8_t flag = 1;
    writeAt(&flag, 1, kProductionIndexFlagOffset);
    header.productionIndexFlag = flag;
    mdx->endChange(header.recordCount);
    indexProblem.clear();
}

// An index that does not cover the table (a process died between writing the record and its
// keys, or another program changed the .DBF) is rebuilt, but only by a handle that has the table
// to itself: other handles are reading the tree and would be misled. With other handles present
// the index is used as it is, and the next sole opener rebuilds it. A read-only handle cannot
// rebuild and walks in physical order instead.
void Table::Impl::rebuildIfStale() {
    auto stale = [this] {
        return mdx->changeInProgress() || mdx->indexedRecordCount() != header.recordCount;
    };
    if (!stale())
        return;
    if (!writable()) {
        tags.clear();
        mdx.reset();
        return;
    }
    detail::HeaderLockGuard lock(fd.get(), dbfFile);
    header.recordCount = readRecordCountFromFile();
    if (!stale())
        return;
    if (mode != OpenMode::Exclusive) {
        if (!detail::tryLock(fd.get(), detail::kOpenLockOffset, detail::LockKind::Exclusive,
                             dbfFile))
            return;
        detail::tryLock(fd.get(), detail::kOpenLockOffset, detail::LockKind::Shared, dbfFile);
    }
    mdx->beginChange();
    mdx->rebuildAll(header.recordCount, [this](const TagInfo& info) {
        for (const CompiledTag& tag : tags)
            if (detail::equalNoCase(tag.info.name, info.name))
                return keySource(tag);
        throw TableError("The index \"" + mdx->path() + "\" has a tag \"" + info.name +
                         "\" that cannot be rebuilt.");
    });
    mdx->endChange(header.recordCount);
}

void Table::Impl::activateTag(const std::string& name) {
    indexCursor.reset();
    activeTag = -1;
    cursorOnCurrent = false;
    if (name.empty() || !mdx)
        return;
    for (size_t i = 0; i < tags.size(); ++i) {
        if (detail::equalNoCase(tags[i].info.name, name)) {
            activeTag = static_cast<int>(i);
            indexCursor.emplace(mdx->cursor(tags[i].info.name));
            return;
        }
    }
}

bool Table::Impl::seekCurrentInIndex() {
    MdxFile::Cursor& entry = *indexCursor;
    if (cursorOnCurrent && mdx->generation() == cursorGeneration && entry.valid() &&
        entry.recno() == current)
        return true;
    cursorGeneration = mdx->generation();
    const uint8_t* record = recordBytes(current);
    std::string key =
        record != nullptr ? keyOf(tags[static_cast<size_t>(activeTag)], record) : std::string();
    cursorOnCurrent = entry.seekEntry(key, current);
    if (!cursorOnCurrent)
        entry.seek(key);
    return cursorOnCurrent;
}

// --- Public tag operations -----------------------------------------------------------------------

std::vector<TagInfo> Table::tags() const {
    if (!impl_->mdx)
        return {};
    std::vector<TagInfo> result;
    for (const CompiledTag& tag : impl_->tags)
        result.push_back(tag.info);
    return result;
}

void Table::addTag(const std::string& name, const std::string& expression,
                   const Progress& progress) {
    ExclusiveWhileClosed openForChange(*this);
    Impl& d = *impl_;
    d.requireWritable();
    d.postPendingEdit();
    d.settleBatch();
    CompiledTag added{TagInfo{name, expression, 'C', 0},
                      KeyExpression::compile(expression, d.header.fields)};
    added.info.keyType = added.expression.keyType();
    added.info.keyLength = added.expression.keyLength();
    std::string selected = d.activeTag >= 0 ? d.tags[size_t(d.activeTag)].info.name : "";

    detail::HeaderLockGuard lock(d.fd.get(), d.dbfFile);
    d.header.recordCount = d.readRecordCountFromFile();
    if (!d.mdx)
        d.replaceDamagedIndex(); // or creates the first index
    d.mdx->beginChange();
    d.mdx->addTag(added.info, d.header.recordCount, d.keySource(added), progress);
    d.mdx->endChange(d.header.recordCount);
    std::erase_if(d.tags,
                  [&](const CompiledTag& t) { return detail::equalNoCase(t.info.name, name); });
    d.tags.push_back(std::move(added));
    if (selected.empty() && detail::equalNoCase(d.requestedTag, name))
        selected = name;
    d.activateTag(selected);
    d.notifyReset();
}

void Table::deleteTag(const std::string& name) {
    ExclusiveWhileClosed openForChange(*this);
    Impl& d = *impl_;
    d.requireWritable();
    d.postPendingEdit();
    d.settleBatch();
    // Deleting a tag that is not there is harmless, and lets "replace the tag" sequences recover
    // from an index that lost it.
    if (!d.mdx || !d.mdx->hasTag(name))
        return;
    std::string selected = d.activeTag >= 0 ? d.tags[size_t(d.activeTag)].info.name : "";
    if (detail::equalNoCase(selected, name)) {
        selected.clear();
        d.requestedTag.clear();
    }
    d.indexCursor.reset();
    detail::HeaderLockGuard lock(d.fd.get(), d.dbfFile);
    d.header.recordCount = d.readRecordCountFromFile();
    d.mdx->beginChange();
    d.mdx->deleteTag(name);
    d.mdx->endChange(d.header.recordCount);
    std::erase_if(d.tags,
                  [&](const CompiledTag& t) { return detail::equalNoCase(t.info.name, name); });
    d.activateTag(selected);
    d.notifyReset();
}

void Table::selectTag(const std::string& name) {
    Impl& d = *impl_;
    if (!d.isOpen) {
        d.requestedTag = name;
        return;
    }
    d.postPendingEdit();
    if (!name.empty() && (!d.mdx || !d.mdx->hasTag(name)))
        d.fail("has no index tag named \"" + name + "\"");
    d.requestedTag = name;
    d.activateTag(name);
    if (d.current != 0)
        d.setPosition(d.current, false, false);
    d.notifyReset();
}

const std::string& Table::indexProblem() const {
    return impl_->indexProblem;
}

const std::string& Table::selectedTag() const {
    static const std::string none;
    if (impl_->isOpen && impl_->activeTag < 0)
        return none;
    return impl_->requestedTag;
}

} // namespace table
