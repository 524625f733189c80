#pragma once

// A dBASE table as the program uses it: one .DBF with its production .MDX, opened shared or
// exclusive, walked by a cursor in the order of the selected index tag through an optional
// record filter, read and written field by field. Texts cross this interface as UTF-8; the
// file holds them in its code page (Windows-1252 for tables we create).

#include "date_format.h"
#include "dbf_format.h"
#include "mdx_file.h"
#include "table_error.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace table {

// Read-only view of one record's bytes, handed to the record filter so that it can test
// fields without any copying or parsing.
class RecordView {
public:
    RecordView(const DbfHeader* header, const uint8_t* bytes) : header_(header), bytes_(bytes) {}
    const uint8_t* bytes() const { return bytes_; } // the deletion-flag byte, then the fields
    const DbfHeader& header() const { return *header_; }
    // Raw bytes of field `index` (0-based) in the file's code page, trailing blanks included.
    std::string_view raw(int index) const;
    std::string text(int index) const; // as Table::asText
    double number(int index) const;
    Date date(int index) const;

private:
    const DbfHeader* header_;
    const uint8_t* bytes_;
};

using RecordFilter = std::function<bool(const RecordView&)>;

// What a handle's observers are told: the change it has just made, so that a control showing
// the table can put right exactly what changed instead of guessing from the cursor.
struct TableChange {
    enum class Kind {
        Moved,         // the cursor moved (or looked again); no record changed
        EditStarted,   // edit(): the current record is being changed in the edit buffer
        InsertStarted, // append() or insert(): a new record is being filled in
        Cancelled,     // the edit or the new record was dropped
        Stored,        // `recno` was written (`inserted` when it is new); it is current
        Deleted,       // `recno` was deleted; the cursor moved on
        Reset,         // anything may have changed: open, close, refresh, filter, order, pack
    };
    Kind kind = Kind::Reset;
    uint32_t recno = 0;
    bool inserted = false;
};

// How a field is shown by data-aware controls; the engine only keeps these.
struct FieldDisplay {
    bool visible = true;
    std::string label; // defaults to the field name
    int width = 0;     // in characters; defaults to the field's text width
};

enum class OpenMode { Shared, Exclusive, ReadOnly };

class Table {
public:
    Table();
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // --- The handle: where the table is and how it is opened ----------------------------------
    void setDirectory(const std::string& directory);
    void setTableName(const std::string& name); // "MASTER" or "MASTER.DBF"; ".DBF" is added if
                                                // the name has no extension
    const std::string& directory() const;
    const std::string& tableName() const;
    std::string dbfPath() const;
    std::string mdxPath() const;
    void setOpenMode(OpenMode mode); // takes effect at the next open
    OpenMode openMode() const;

    // Opens the table. Exclusive fails while any other handle (this process or another) holds
    // the file; a shared open fails while an exclusive one holds it. Opens the production index
    // when the header flag says so, rebuilding it when it no longer matches the table. Selects
    // the tag chosen by selectTag() before the open, if that tag exists. Positions on the first
    // record. Throws TableError.
    void open();
    void close(); // posts nothing: an unposted edit is cancelled
    bool isOpen() const;

    // Creates (replacing) a dBASE IV table with the given fields and no index. Fails while
    // another handle holds the file.
    static void create(const std::string& path, const std::vector<FieldDef>& fields);
    // True when another handle (of this process or another) holds the file, so that it cannot
    // be opened exclusively right now. False for a file that cannot be opened at all.
    static bool inUse(const std::string& path);

    // --- Fields ------------------------------------------------------------------------------
    int fieldCount() const;
    const FieldDescriptor& fieldDescriptor(int index) const; // 0-based, table order
    int fieldIndex(std::string_view name) const;             // -1 when missing
    int fieldIndexOrThrow(std::string_view name) const;      // TableError when missing
    const DbfHeader& header() const;
    FieldDisplay& display(int index); // visible, label, width
    const FieldDisplay& display(int index) const;
    std::vector<int> displayOrder() const;               // field indexes, shown order
    void setDisplayOrder(const std::vector<int>& order); // a permutation of 0..n-1

    // --- Index tags --------------------------------------------------------------------------
    std::vector<TagInfo> tags() const;
    // Adds (or replaces) an expression tag, creating the .MDX and setting the header flag when
    // needed. Keys of existing records are built at once.
    void addTag(const std::string& name, const std::string& expression,
                const Progress& progress = {});
    void deleteTag(const std::string& name);
    // Why the production index could not be used at the last open (it is damaged), "" when it
    // could or there is none. The table is then open without it, in physical order; a regenerate
    // or an added tag puts a new index in its place.
    const std::string& indexProblem() const;
    void selectTag(const std::string& name); // "" selects none (physical order)
    const std::string& selectedTag() const;
    // Moves to the first record (through the filter) whose key equals or follows `key`; returns
    // whether its key starts with `key`. Without a selected tag, throws TableError.
    bool findNearest(std::string_view keyUtf8);

    // --- Maintenance (exclusive use) ----------------------------------------------------------
    // Drops deleted records: writes a new file beside the old one and puts it in place only
    // when it is complete, then rebuilds every tag.
    void pack(const Progress& progress = {});
    // Rebuilds every tag from the records; a damaged index is replaced by a new one without
    // tags (its tags cannot be read).
    void regenerateIndexes(const Progress& progress = {});

    // --- Cursor ------------------------------------------------------------------------------
    void first();
    void last();
    void next();  // past the end: stays on the last record, eof() becomes true
    void prior(); // past the start: stays on the first record, bof() becomes true
    bool bof() const;
    bool eof() const;
    bool isEmpty(); // no record passes the filter; an empty view is at both ends at once
    // Records that are not deleted and pass the filter. Without a filter this is read from the
    // header and the deletion count; with one, every record is tested.
    uint32_t recordCount();
    uint32_t recordNumber() const; // physical 1-based number of the current record, 0 if none
    // Moves to a physical record (which must be live and pass the filter); false otherwise.
    bool goToRecord(uint32_t recno);

    using Bookmark = uint32_t; // a physical record number; 0 is no position
    Bookmark bookmark() const;
    bool goToBookmark(Bookmark mark); // false when the record is gone; position unchanged
    void freeBookmark(Bookmark) {}
    // Moves to the first record after physical record `mark` in the current order that passes
    // the filter; `mark` itself need not pass it (a scan for a value from another handle's
    // position). False, and the position unchanged, when none follows.
    bool goToNextAfter(Bookmark mark);

    void setFilter(RecordFilter filter); // takes effect at the next refresh or open
    bool hasFilter() const;
    // Re-reads the header (records other handles appended), applies a changed filter and finds
    // the current record again, or its nearest neighbour in the current order.
    void refresh();

    // --- Field read (current record, or the edit buffer while editing) ------------------------
    std::string asText(int index) const;
    double asNumber(int index) const;
    Date asDate(int index) const;
    bool isBlank(int index) const;
    RecordView currentRecord() const;

    // --- Editing -----------------------------------------------------------------------------
    enum class State { Inactive, Browse, Edit, Insert };
    State state() const;
    void append(); // a blank record to fill; becomes a real record at post()
    void insert(); // as append (dBASE tables have no physical insert)
    void edit();   // locks the current record against other handles; TableError if locked
    void post();   // writes the buffer, maintains every tag; the record stays current
    void cancel();
    // Marks the current record deleted and moves to the next (or prior). During an insert the
    // new record is not in the table yet: it is dropped (as cancel()) and nothing is deleted.
    void deleteRecord();

    // A run of posts by one writer (an import). When the handle can have the table to itself
    // for the run (no other handle has it open), nobody else can open it until the run ends,
    // and the index's changed blocks are written at the end of the run instead of at every
    // post; every post still puts its record and the header's record count in the file at
    // once. A process killed during the run leaves the index marked for rebuilding, which the
    // next open does. With other handles present the run goes as single posts go. Calls nest;
    // the outermost endBatch() ends the run, and so does close(). Adding or deleting a tag,
    // pack and reindexing write out what the run held; its later posts go as single posts do.
    void beginBatch();
    void endBatch();

    // Writers, only while editing or appending. Empty text blanks the field; longer text is cut
    // to a C field's width; text that does not convert throws TableError naming field and text.
    void setText(int index, std::string_view utf8);
    void setNumber(int index, double value);
    void setDate(int index, const Date& date);
    void setBlank(int index);

    // --- Observers (data-aware controls) -------------------------------------------------------
    // Told of every change the handle makes (see TableChange), unless suspended. A move that
    // stores a pending edit tells of the store first, then of the move.
    using Observer = std::function<void(const TableChange&)>;
    int addObserver(Observer observer); // returns an id for removeObserver
    void removeObserver(int id);
    void suspendObservers(); // counted
    // At zero the observers are told once: Moved when nothing but moves happened meanwhile,
    // Reset otherwise.
    void resumeObservers();
    bool observersSuspended() const;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace table
