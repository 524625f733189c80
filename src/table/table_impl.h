#pragma once

// The inside of a Table handle, shared by the files that implement it (handle and fields,
// cursor, editing, index tags, maintenance).

#include "table/file_lock.h"
#include "table/key_expression.h"
#include "table/mapped_file.h"
#include "table/mdx_file.h"
#include "table/memo_file.h"
#include "table/table.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace table {

struct CompiledTag {
    TagInfo info;
    KeyExpression expression;
};

// Which records passed the filter, one bit a record, from one pass through the file in
// physical order. It answers counts and long walks in index order (which would otherwise visit
// the file in random order) without reading the records again. Valid only as long as nothing
// it was computed from has changed; see Table::Impl::passingRecordsValid().
struct PassingRecords {
    bool computed = false;
    std::vector<uint64_t> bits; // bit (recno - 1)
    uint32_t passing = 0;
    uint32_t recordCount = 0;
    uint64_t indexGeneration = 0;
    uint64_t writes = 0;      // Table::Impl::writes when computed
    uint32_t countInFile = 0; // the file header's record count when computed

    bool has(uint32_t recno) const {
        uint32_t bit = recno - 1;
        return recno >= 1 && recno <= recordCount && (bits[bit >> 6] >> (bit & 63) & 1) != 0;
    }
};

struct Table::Impl {
    // --- The handle -------------------------------------------------------------------------
    std::string directory;
    std::string tableName;
    OpenMode mode = OpenMode::Shared;
    std::string requestedTag;   // chosen by selectTag(), kept across close and open
    RecordFilter pendingFilter; // becomes `filter` at the next open or refresh

    // --- The open table ---------------------------------------------------------------------
    bool isOpen = false;
    std::string dbfFile; // the path actually opened
    detail::UniqueFd fd;
    detail::MappedFile map;
    DbfHeader header;
    std::unique_ptr<MemoReader> memo;
    std::unique_ptr<MdxFile> mdx;
    std::vector<CompiledTag> tags;
    std::string indexProblem; // why the production index could not be used, "" when it could
    int activeTag = -1;       // index into `tags`, -1 for physical order
    std::optional<MdxFile::Cursor> indexCursor;
    uint64_t cursorGeneration = 0;
    bool cursorOnCurrent = false; // the index cursor stands on `current`
    RecordFilter filter;
    PassingRecords passingRecords; // of `filter`, computed on demand
    mutable uint64_t writes = 0;   // writes to the table through this handle

    uint32_t current = 0; // physical record number, 0 when the view is empty
    bool bof = true;
    bool eof = true;
    uint32_t deletedCount = 0; // deleted records among 1..deletedCountedUpTo
    uint32_t deletedCountedUpTo = 0;

    State state = State::Inactive;
    std::vector<uint8_t> editBuffer;
    uint32_t editRecno = 0;    // the record being edited; 0 while appending
    bool recordLocked = false; // the record lock of editRecno is held
    std::vector<uint8_t> blankRecord;
    int batchDepth = 0;        // beginBatch() calls not yet ended
    bool batchSole = false;    // the open lock was made exclusive for the run
    detail::WritableHead head; // during a run on a sole handle: the count and date go here
    std::string keyScratch;    // a new record's key, its buffer kept from post to post

    std::vector<FieldDisplay> displays;
    std::vector<int> displayOrder;

    std::map<int, Observer> observers;
    int nextObserverId = 1;
    int suspendCount = 0;
    std::optional<TableChange> heldChange;   // while suspended: what to tell at the end
    std::optional<TableChange> pendingStore; // stored by a move, told before the move

    // --- Shared helpers (table.cpp) -----------------------------------------------------------
    bool writable() const { return mode != OpenMode::ReadOnly; }
    void requireOpen() const;
    void requireWritable() const;
    void requireBrowse() const; // open and not editing
    // Tells the observers of a store made on the way (postPendingEdit), then of `change`.
    void notify(const TableChange& change);
    void notifyMoved() { notify(TableChange{TableChange::Kind::Moved}); }
    void notifyReset() { notify(TableChange{TableChange::Kind::Reset}); }
    void tell(const TableChange& change);
    const FieldDescriptor& field(int index) const;
    [[noreturn]] void fail(const std::string& what) const; // TableError naming the file
    void writeAt(const void* data, size_t length, uint64_t offset) const;
    void readAt(void* data, size_t length, uint64_t offset) const;
    uint64_t recordOffset(uint32_t recno) const {
        return header.headerLength + uint64_t{recno - 1} * header.recordLength;
    }
    // Bytes of record `recno` (flag byte first) or null when the file does not hold it.
    const uint8_t* recordBytes(uint32_t recno);
    // Re-reads the record count from the file (other handles' appends); caps it at what the
    // file really holds.
    uint32_t readRecordCountFromFile();
    void writeHeaderCountAndDate(uint32_t recordCount);

    // --- Cursor (table_cursor.cpp) -------------------------------------------------------------
    bool accepts(uint32_t recno);
    void setPosition(uint32_t recno, bool atBof, bool atEof);
    void moveFirst();
    void moveLast();
    void moveNext();
    void movePrior();
    void findAgain(); // current record, or its nearest neighbour in the current order
    // Asks the processor to fetch the record a few entries ahead in index order, so that
    // walking a tag does not wait on memory record by record.
    void prefetchAhead() const;
    void prefetchRecord(uint32_t recno) const;
    // Counts a step of a move past records that do not qualify; a long one populates the map
    // around the records it visits.
    void populateAroundRecord(uint32_t recno, uint32_t& stepsTaken) const;
    void ensureDeletedCount();
    uint32_t liveCount();
    // A step of a walk past records that do not qualify: whether `recno` qualifies. Past a
    // long stretch of misses with a filter set, it tests the passing records instead of the
    // record (and reads only a record that passed, to confirm it).
    bool acceptsOnWalk(uint32_t recno, uint32_t& stepsTaken);

    // --- Passing records (table_passing.cpp) --------------------------------------------------
    bool passingRecordsValid() const;
    // The passing records of `filter`, computed now unless still valid. Requires a filter.
    const PassingRecords& ensurePassingRecords();
    void forgetPassingRecords() { passingRecords.computed = false; }

    // --- Index (table_index.cpp) ---------------------------------------------------------------
    std::string indexPath() const;
    void openIndex();
    void compileTags();
    // A new, empty production index in place of a damaged or missing one (header flag set).
    void replaceDamagedIndex();
    void rebuildIfStale();
    void activateTag(const std::string& name);
    std::string keyOf(const CompiledTag& tag, const uint8_t* record) const;
    KeySource keySource(const CompiledTag& tag);
    // Puts the index cursor on the current record; false when it is not there (the cursor then
    // stands on the entry after where it would be, or is invalid past the end).
    bool seekCurrentInIndex();

    // --- Editing (table_edit.cpp) ----------------------------------------------------------------
    // No other handle can have the table open: changes need no header lock.
    bool sole() const { return mode == OpenMode::Exclusive || batchSole; }
    // Writes out what the index kept in memory for a run of posts and lets go of the header
    // page; the run goes on as single posts go (index tag changes and maintenance need that).
    void settleBatch();
    void finishBatch();
    void postPendingEdit(); // a move while editing posts first, as dBASE browsers do
    void releaseRecordLock();
    void cancelEdit();
    const uint8_t* readableRecord(); // the edit buffer, the current record or a blank one
};

namespace detail {
Date today();
// The path of `name` in `directory`, matched without regard to case when the exact name is
// missing (tables made on other systems come with .dbf, .DBF, .Dbf ...).
std::string resolvePath(const std::string& directory, const std::string& name);
// The table name without its extension: the name of the production index and of its table.
std::string tableStem(const std::string& tableName);
bool equalNoCase(std::string_view a, std::string_view b);
} // namespace detail

} // namespace table
