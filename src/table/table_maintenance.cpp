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

constexpr uint32_t kProgressEvery = 1u << 14;
// From this size on, the packed table is written past the page cache (see ReplacementFile).
constexpr uint64_t kDirectWritesFrom = uint64_t{32} << 20;

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

// Copies the header and the live records into `out`, runs of neighbouring records in one
// piece; `kept` receives the old record number of each record written.
void writeLiveRecords(Table::Impl& d, uint32_t live, detail::ReplacementFile& out,
                      std::vector<uint32_t>& kept, const Progress& progress) {
    std::vector<uint8_t> head(d.map.at(0, d.header.headerLength),
                              d.map.at(0, d.header.headerLength) + d.header.headerLength);
    writeLastUpdate(head.data(), detail::today());
    writeRecordCount(head.data(), live);
    out.write(head.data(), head.size());

    kept.reserve(live);
    const uint8_t* run = nullptr;
    size_t runLength = 0;
    for (uint32_t recno = 1; recno <= d.header.recordCount; ++recno) {
        const uint8_t* record = d.recordBytes(recno);
        const bool keep = record != nullptr && record[0] != '*' && kept.size() < live;
        if (keep && run != nullptr && run + runLength == record) {
            runLength += d.header.recordLength;
        } else {
            if (run != nullptr)
                out.write(run, runLength);
            run = keep ? record : nullptr;
            runLength = keep ? d.header.recordLength : 0;
        }
        if (keep)
            kept.push_back(recno);
        if (recno % kProgressEvery == 0)
            report(progress, 0.5 * recno / d.header.recordCount);
    }
    if (run != nullptr)
        out.write(run, runLength);
    const uint8_t endOfFile = 0x1A;
    out.write(&endOfFile, 1);
    if (kept.size() != live)
        d.fail("changed while it was being packed");
}

void syncFile(const std::string& path) {
    detail::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.valid())
        ::fsync(fd.get());
}

// Keys of the packed table's records, read from the old file (still mapped, and in the page
// cache, where the new one may not be).
KeySource keptKeys(Table::Impl& d, const CompiledTag& tag, const std::vector<uint32_t>& kept) {
    return [&d, &tag, &kept](uint32_t recno, std::string& key) {
        const uint8_t* record =
            recno >= 1 && recno <= kept.size() ? d.recordBytes(kept[recno - 1]) : nullptr;
        if (record == nullptr)
            key.assign(tag.expression.keyLength(), ' ');
        else
            tag.expression.evaluate(record, key);
    };
}

// Writes a new index with every tag beside the old one and puts it in place.
void rebuildIndexBeside(Table::Impl& d, const std::vector<uint32_t>& kept,
                        const Progress& progress) {
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
            index->addTag(d.tags[i].info, uint32_t(kept.size()), keptKeys(d, d.tags[i], kept),
                          [&](double done) { report(progress, start + span * done); });
        }
        index->endChange(uint32_t(kept.size()));
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
    const uint32_t live = d.liveCount();
    const bool large = uint64_t{live} * d.header.recordLength >= kDirectWritesFrom;
    detail::ReplacementFile replacement(d.dbfFile, large
                                                       ? detail::ReplacementFile::Writes::Direct
                                                       : detail::ReplacementFile::Writes::Buffered);
    std::vector<uint32_t> kept; // a few bytes a record: the old number of each one kept
    writeLiveRecords(d, live, replacement, kept, progress);
    // Nobody may open the new file before it is complete and indexed.
    detail::tryLock(replacement.fd(), detail::kOpenLockOffset, detail::LockKind::Exclusive,
                    d.dbfFile);
    if (d.mdx) {
        d.mdx->beginChange(); // a crash from here on leaves an index marked for rebuilding
        d.mdx->flush();
    }
    replacement.commit();
    d.indexCursor.reset();
    const auto adoptPackedFile = [&] {
        d.fd = replacement.releaseFd();
        d.map.map(d.fd.get(), d.dbfFile);
        d.header.recordCount = live;
        d.deletedCount = 0;
        d.deletedCountedUpTo = live;
    };
    try {
        if (d.mdx)
            rebuildIndexBeside(d, kept, progress); // before the old records are unmapped
    } catch (...) {
        adoptPackedFile(); // the index stays marked for rebuilding at the next open
        throw;
    }
    adoptPackedFile();
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
