// Pack and index regeneration. Both need the table to themselves. Pack writes the live records to
// a new file and renames it over the old one, then does the same for the index, so that a crash
// leaves the old pair, or the new table with an index marked for rebuilding at the next open.

#include "table/replacement_file.h"
#include "table/table_impl.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace table {

namespace {

constexpr size_t kWriteChunk = size_t{1} << 20;
constexpr uint32_t kProgressEvery = 1u << 14;

void requireExclusive(Table::Impl& d, const std::string& work) {
    d.requireWritable();
    if (d.mode != OpenMode::Exclusive)
        d.fail("must be open for exclusive use to be " + work);
    d.cancelEdit();
}

void report(const Progress& progress, double done) {
    if (progress)
        progress(done);
}

// Copies the header and the live records into `out`; returns how many records it wrote.
uint32_t writeLiveRecords(Table::Impl& d, detail::ReplacementFile& out, const Progress& progress) {
    uint32_t live = d.liveCount();
    std::vector<uint8_t> head(d.map.at(0, d.header.headerLength),
                              d.map.at(0, d.header.headerLength) + d.header.headerLength);
    writeLastUpdate(head.data(), detail::today());
    writeRecordCount(head.data(), live);
    out.write(head.data(), head.size());

    std::vector<uint8_t> chunk;
    chunk.reserve(kWriteChunk + d.header.recordLength);
    uint32_t written = 0;
    for (uint32_t recno = 1; recno <= d.header.recordCount; ++recno) {
        const uint8_t* record = d.recordBytes(recno);
        if (record != nullptr && record[0] != '*' && written < live) {
            chunk.insert(chunk.end(), record, record + d.header.recordLength);
            ++written;
        }
        if (chunk.size() >= kWriteChunk) {
            out.write(chunk.data(), chunk.size());
            chunk.clear();
        }
        if (recno % kProgressEvery == 0)
            report(progress, 0.5 * recno / d.header.recordCount);
    }
    chunk.push_back(0x1A);
    out.write(chunk.data(), chunk.size());
    if (written != live)
        d.fail("changed while it was being packed");
    return written;
}

void syncFile(const std::string& path) {
    detail::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

// Writes a new index with every tag beside the old one and puts it in place.
void rebuildIndexBeside(Table::Impl& d, const Progress& progress) {
    std::string path = d.mdx->path();
    std::string selected = d.activeTag >= 0 ? d.tags[size_t(d.activeTag)].info.name : "";
    d.indexCursor.reset();
    d.activeTag = -1;
    d.mdx.reset();
    std::string fresh = path + ".new";
    {
        auto index = MdxFile::create(fresh, detail::tableStem(d.dbfFile));
        index->beginChange();
        for (size_t i = 0; i < d.tags.size(); ++i) {
            double start = 0.5 + 0.5 * double(i) / double(d.tags.size());
            double span = 0.5 / double(d.tags.size());
            index->addTag(d.tags[i].info, d.header.recordCount, d.keySource(d.tags[i]),
                          [&](double done) { report(progress, start + span * done); });
        }
        index->endChange(d.header.recordCount);
        index->flush();
    }
    syncFile(fresh);
    if (std::rename(fresh.c_str(), path.c_str()) != 0) {
        ::unlink(fresh.c_str());
        throw TableError("Cannot replace the index \"" + path + "\".");
    }
    detail::syncDirectoryOf(path);
    d.mdx = MdxFile::open(path, true);
    d.activateTag(selected);
}

} // namespace

void Table::pack(const Progress& progress) {
    Impl& d = *impl_;
    requireExclusive(d, "packed");
    detail::ReplacementFile replacement(d.dbfFile);
    uint32_t live = writeLiveRecords(d, replacement, progress);
    // Nobody may open the new file before it is complete and indexed.
    detail::tryLock(replacement.fd(), detail::kOpenLockOffset, detail::LockKind::Exclusive,
                    d.dbfFile);
    if (d.mdx) {
        d.mdx->beginChange(); // a crash from here on leaves an index marked for rebuilding
        d.mdx->flush();
    }
    replacement.commit();
    d.indexCursor.reset();
    d.fd = replacement.releaseFd();
    d.map.map(d.fd.get(), d.dbfFile);
    d.header.recordCount = live;
    d.deletedCount = 0;
    d.deletedCountedUpTo = live;
    if (d.mdx)
        rebuildIndexBeside(d, progress);
    report(progress, 1.0);
    d.moveFirst();
    d.notify();
}

void Table::regenerateIndexes(const Progress& progress) {
    Impl& d = *impl_;
    requireExclusive(d, "reindexed");
    if (d.mdx) {
        std::string selected = d.activeTag >= 0 ? d.tags[size_t(d.activeTag)].info.name : "";
        d.indexCursor.reset();
        d.mdx->beginChange();
        d.mdx->rebuildAll(
            d.header.recordCount,
            [&d](const TagInfo& info) -> KeySource {
                for (const CompiledTag& tag : d.tags)
                    if (detail::equalNoCase(tag.info.name, info.name))
                        return d.keySource(tag);
                d.fail("has an index tag \"" + info.name + "\" that cannot be rebuilt");
            },
            progress);
        d.mdx->endChange(d.header.recordCount);
        d.activateTag(selected);
    }
    report(progress, 1.0);
    d.findAgain();
    d.notify();
}

} // namespace table
