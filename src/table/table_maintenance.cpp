// Pack and index regeneration. Both need the table to themselves. Pack writes the live records to
// a new file and renames it over the old one, then does the same for the index, so that a crash
// leaves the old pair, or the new table with an index marked for rebuilding at the next open.

#include "table/durability.h"
#include "table/replacement_file.h"
#include "table/table_impl.h"

#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <optional>
#include <thread>
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

// The old number of every record the packed table keeps, in order: a few bytes a record.
std::vector<uint32_t> keptRecords(Table::Impl& d, uint32_t live) {
    std::vector<uint32_t> kept;
    kept.reserve(live);
    for (uint32_t recno = 1; recno <= d.header.recordCount; ++recno) {
        d.prefetchRecord(recno + 8);
        const uint8_t* record = d.recordBytes(recno);
        if (record != nullptr && record[0] != '*' && kept.size() < live)
            kept.push_back(recno);
    }
    if (kept.size() != live)
        d.fail("changed while it was being packed");
    return kept;
}

// Copies the header and the kept records into `out`, runs of neighbours in one piece.
void writeKeptRecords(const Table::Impl& d, const uint8_t* records,
                      const std::vector<uint32_t>& kept, detail::ReplacementFile& out,
                      const Progress& progress) {
    std::vector<uint8_t> head(records, records + d.header.headerLength);
    writeLastUpdate(head.data(), detail::today());
    writeRecordCount(head.data(), uint32_t(kept.size()));
    out.write(head.data(), head.size());
    for (size_t i = 0; i < kept.size();) {
        size_t run = 1;
        while (i + run < kept.size() && kept[i + run] == kept[i] + run)
            ++run;
        out.write(records + d.recordOffset(kept[i]), run * d.header.recordLength);
        if ((i + run) / kProgressEvery != i / kProgressEvery)
            report(progress, 0.95 * double(i + run) / double(kept.size()));
        i += run;
    }
    const uint8_t endOfFile = 0x1A;
    out.write(&endOfFile, 1);
}

// A new index that cannot be put on the disk is of no use: it goes.
void syncNewIndex(const std::string& path) {
    detail::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid() || !detail::syncFileToDisk(fd.get())) {
        ::unlink(path.c_str());
        throw TableError("Cannot write the index \"" + path + "\".");
    }
}

// Builds the packed table's index in a file beside the old one, on a thread of its own while
// the records are written (that mostly waits for the disk). Its keys come from the old records,
// still mapped and cached where the new ones may not be. It touches nothing of the handle but
// the tags' expressions and those records, and reports no progress (callers' progress
// callbacks belong to their own thread).
class IndexBuilder {
public:
    IndexBuilder(const Table::Impl& d, const uint8_t* records, const std::vector<uint32_t>& kept)
        : fresh_(d.mdx->path() + ".new"),
          thread_([this, &d, records, &kept] { build(d, records, kept); }) {}
    ~IndexBuilder() { // left without finish(): the records could not be written
        if (thread_.joinable()) {
            thread_.join();
            ::unlink(fresh_.c_str());
        }
    }
    IndexBuilder(const IndexBuilder&) = delete;
    IndexBuilder& operator=(const IndexBuilder&) = delete;

    // Waits for the index; rethrows what stopped it. Returns the new file's path.
    const std::string& finish() {
        thread_.join();
        if (failure_) {
            ::unlink(fresh_.c_str());
            std::rethrow_exception(failure_);
        }
        return fresh_;
    }

private:
    void build(const Table::Impl& d, const uint8_t* records, const std::vector<uint32_t>& kept) {
        try {
            auto index = MdxFile::create(fresh_, detail::tableStem(d.dbfFile));
            index->beginChange();
            const auto count = uint32_t(kept.size());
            for (const CompiledTag& tag : d.tags) {
                index->addTag(tag.info, count, [&](uint32_t recno, std::string& key) {
                    tag.expression.evaluate(records + d.recordOffset(kept[recno - 1]), key);
                });
            }
            index->endChange(count);
            index->flush();
        } catch (...) {
            failure_ = std::current_exception();
        }
    }

    std::string fresh_;
    std::exception_ptr failure_;
    std::thread thread_; // last: starts once the members it uses exist
};

// Puts the new index in place of the old one and selects the tag that was selected.
void installIndex(Table::Impl& d, const std::string& fresh) {
    std::string path = d.mdx->path();
    std::string selected = d.activeTag >= 0 ? d.tags[size_t(d.activeTag)].info.name : "";
    d.indexCursor.reset();
    d.activeTag = -1;
    d.mdx.reset();
    syncNewIndex(fresh);
    detail::reachStep(detail::step::kPackIndexSynced);
    if (std::rename(fresh.c_str(), path.c_str()) != 0) {
        ::unlink(fresh.c_str());
        throw TableError("Cannot replace the index \"" + path + "\".");
    }
    detail::reachStep(detail::step::kPackIndexReplaced);
    detail::syncDirectoryOf(path);
    d.mdx = MdxFile::open(path, true);
    d.activateTag(selected);
}

} // namespace

void Table::pack(const Progress& progress) {
    Impl& d = *impl_;
    requireExclusive(d, "packed");
    d.settleBatch();
    const uint32_t live = d.liveCount();
    const std::vector<uint32_t> kept = keptRecords(d, live);
    // Every record is mapped now; nothing below maps again until the new file is adopted.
    const uint8_t* records = d.map.at(0, d.recordOffset(d.header.recordCount + 1));
    if (records == nullptr)
        d.fail("changed while it was being packed");
    const bool large = uint64_t{live} * d.header.recordLength >= kDirectWritesFrom;
    detail::ReplacementFile replacement(d.dbfFile, large
                                                       ? detail::ReplacementFile::Writes::Direct
                                                       : detail::ReplacementFile::Writes::Buffered);
    std::string freshIndex;
    {
        std::optional<IndexBuilder> indexBuilder;
        if (d.mdx)
            indexBuilder.emplace(d, records, kept);
        writeKeptRecords(d, records, kept, replacement, progress);
        if (indexBuilder)
            freshIndex = indexBuilder->finish();
    }
    // Nobody may open the new file before it is complete and indexed.
    detail::tryLock(replacement.fd(), detail::kOpenLockOffset, detail::LockKind::Exclusive,
                    d.dbfFile);
    detail::reachStep(detail::step::kPackRecordsWritten);
    if (d.mdx) {
        d.mdx->beginChange(); // a crash from here on leaves an index marked for rebuilding
        d.mdx->flush();
    }
    detail::reachStep(detail::step::kPackIndexMarked);
    try {
        replacement.commit();
    } catch (...) {
        if (!freshIndex.empty())
            ::unlink(freshIndex.c_str());
        throw;
    }
    detail::reachStep(detail::step::kPackTableReplaced);
    d.indexCursor.reset();
    const auto adoptPackedFile = [&] {
        d.fd = replacement.releaseFd();
        d.map.map(d.fd.get(), d.dbfFile);
        d.header.recordCount = live;
        d.deletedCount = 0;
        d.deletedCountedUpTo = live;
        d.forgetPassingRecords();
    };
    try {
        if (d.mdx)
            installIndex(d, freshIndex);
    } catch (...) {
        adoptPackedFile(); // the index stays marked for rebuilding at the next open
        throw;
    }
    adoptPackedFile();
    report(progress, 1.0);
    d.moveFirst();
    d.notifyReset();
}

void Table::regenerateIndexes(const Progress& progress) {
    Impl& d = *impl_;
    requireExclusive(d, "reindexed");
    d.settleBatch();
    if (!d.mdx && !d.indexProblem.empty())
        d.replaceDamagedIndex();
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
    d.notifyReset();
}

} // namespace table
