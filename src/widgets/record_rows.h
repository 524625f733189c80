#pragma once

// Which record stands on which row of the grid, found lazily: a table of a million records opens
// without reading them all. A row's record is found by walking the table's cursor from the
// nearest row already known, or from the top (first/next) or the bottom (last/prior), whichever
// is closest; every record passed on the way is remembered (four bytes a row). The walk moves
// the table's cursor: callers put it back (see BookTableModel).

#include "table/table.h"

#include <cstdint>
#include <map>
#include <vector>

namespace widgets {

class RecordRows {
public:
    explicit RecordRows(table::Table& table) : table_(table) {}

    // Forgets every row and takes `rowCount` rows (the table's record count).
    void reset(int rowCount);
    int rowCount() const { return static_cast<int>(recnos_.size()); }

    // The record number on `row`, or 0 when the row is out of range or the table turned out to
    // hold fewer records than rows (stale() then says so). Leaves the cursor anywhere.
    uint32_t recordAt(int row);
    // The row of record `recno`, -1 when it is not in the view. Walks outward from the record in
    // both directions until it meets a known row or an end of the table. Leaves the cursor
    // anywhere.
    int rowOf(uint32_t recno);
    // The row a record just added to the table takes, found like rowOf without changing any
    // row yet; -1 when the record is not in the view. insertPlaced() then puts it there: every
    // row from there down moves one further. (Two steps, so that a model can announce the new
    // row in between.)
    int placeNewRecord(uint32_t recno);
    void insertPlaced();
    // Row `row` left the view (its record was deleted or moved): the rows below move up.
    void removeRow(int row);
    // The record on `row` when already known, else 0; never moves the cursor.
    uint32_t knownRecordAt(int row) const {
        return row >= 0 && row < rowCount() ? recnos_[static_cast<size_t>(row)] : 0;
    }
    // A row already known to hold `recno` near `hint`, without moving the cursor; -1 if none.
    int knownRowOf(uint32_t recno, int hint) const;

    // The table held fewer or more records than rows while walking: the caller should reload.
    bool stale() const { return stale_; }

    // Cursor moves made so far (first, last, next, prior, go to record): the cost of laziness.
    uint64_t cursorMoves() const { return moves_; }
    int knownRows() const;

private:
    void remember(int row, uint32_t recno);
    bool walkTo(int target, int from, uint32_t fromRecno);
    bool walkFromTop(int target);
    bool walkFromBottom(int target);
    int nearestKnownAtOrBelow(int row) const;
    int nearestKnownAtOrAbove(int row) const;
    bool step(bool forward);
    int locate(uint32_t recno, bool isNew);
    void commit();

    struct Placement {
        int row = -1;
        uint32_t recno = 0;
        bool isNew = false;
        std::vector<uint32_t> behind; // records before it, nearest first
        std::vector<uint32_t> ahead;  // records after it, nearest first
    };
    Placement placement_;
    void shiftRanges(int from, int by);

    table::Table& table_;
    std::vector<uint32_t> recnos_;   // 0 while unknown
    std::map<int, int> knownRanges_; // first row -> one past the last row, disjoint
    bool stale_ = false;
    uint64_t moves_ = 0;
};

} // namespace widgets
