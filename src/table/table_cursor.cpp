// The cursor: the current record in the order of the selected tag (or physical order), through
// the record filter, skipping deleted records.

#include "table/table_impl.h"

#include <algorithm>

namespace table {

void Table::Impl::prefetchRecord(uint32_t recno) const {
    if (recno == 0 || recno > header.recordCount)
        return;
    // The first line is enough: fetching it also loads the page's address translation, which
    // is what a record far from the last one mostly waits for; the lines after it stream in.
    if (const uint8_t* record = map.at(recordOffset(recno), 1))
        __builtin_prefetch(record);
}

namespace {

// A move that passes over record after record (a filter rejecting them, or deleted ones) may
// go on through much of the file; in index order each record lies on a page of its own. Past
// this many, the map around every record visited is populated in one call (once per stretch
// and mapping) instead of faulting a few pages at a time. Moving to the next record on screen
// never gets that far.
constexpr uint32_t kLongIndexWalk = 512;

} // namespace

void Table::Impl::populateAroundRecord(uint32_t recno, uint32_t& stepsTaken) const {
    if (++stepsTaken > kLongIndexWalk && recno >= 1 && recno <= header.recordCount)
        map.populateStretch(recordOffset(recno) >> detail::MappedFile::kStretchShift);
}

bool Table::Impl::acceptsOnWalk(uint32_t recno, uint32_t& stepsTaken) {
    // In index order every record visited is a cache and TLB miss somewhere in the file; past
    // a sixteenth of the table a single pass in file order costs less than going on.
    if (filter && (stepsTaken >= std::max(kLongIndexWalk, header.recordCount / 16) ||
                   passingRecordsValid())) {
        ++stepsTaken;
        // A record that passed is read again: another handle may have deleted it since.
        return ensurePassingRecords().has(recno) && accepts(recno);
    }
    if (accepts(recno))
        return true;
    populateAroundRecord(recno, stepsTaken);
    return false;
}

void Table::Impl::prefetchAhead() const {
    constexpr uint32_t kStepsAhead = 8;
    // A walk over the passing records reads none of the records it passes.
    if (passingRecords.computed && passingRecordsValid())
        return;
    if (indexCursor)
        prefetchRecord(indexCursor->recnoAhead(kStepsAhead));
}

bool Table::Impl::accepts(uint32_t recno) {
    const uint8_t* record = recordBytes(recno);
    if (record == nullptr || record[0] == '*')
        return false;
    return !filter || filter(RecordView(&header, record));
}

void Table::Impl::setPosition(uint32_t recno, bool atBof, bool atEof) {
    current = recno;
    bof = atBof;
    eof = atEof;
    cursorOnCurrent = false;
}

namespace {

// The index cursor now stands on an accepted entry: it becomes the current record.
void takeIndexPosition(Table::Impl& d, bool atBof, bool atEof) {
    d.prefetchAhead();
    d.setPosition(d.indexCursor->recno(), atBof, atEof);
    d.cursorOnCurrent = true;
    d.cursorGeneration = d.mdx->generation();
}

void becomeEmpty(Table::Impl& d) {
    d.setPosition(0, true, true);
}

bool indexed(const Table::Impl& d) {
    return d.activeTag >= 0 && d.indexCursor.has_value();
}

} // namespace

void Table::Impl::moveFirst() {
    if (indexed(*this)) {
        MdxFile::Cursor& entry = *indexCursor;
        bool found = entry.first();
        uint32_t steps = 0;
        while (found && !acceptsOnWalk(entry.recno(), steps)) {
            prefetchAhead();
            found = entry.next();
        }
        if (found)
            return takeIndexPosition(*this, true, false);
        return becomeEmpty(*this);
    }
    detail::ReadAhead ahead(map);
    for (uint32_t recno = 1; recno <= header.recordCount; ++recno) {
        ahead.reach(recordOffset(recno), header.recordLength);
        if (accepts(recno))
            return setPosition(recno, true, false);
    }
    becomeEmpty(*this);
}

void Table::Impl::moveLast() {
    if (indexed(*this)) {
        MdxFile::Cursor& entry = *indexCursor;
        bool found = entry.last();
        uint32_t steps = 0;
        while (found && !acceptsOnWalk(entry.recno(), steps))
            found = entry.prior();
        if (found)
            return takeIndexPosition(*this, false, true);
        return becomeEmpty(*this);
    }
    uint32_t steps = 0;
    for (uint32_t recno = header.recordCount; recno >= 1; --recno) {
        populateAroundRecord(recno, steps);
        if (accepts(recno))
            return setPosition(recno, false, true);
    }
    becomeEmpty(*this);
}

void Table::Impl::moveNext() {
    if (current == 0)
        return becomeEmpty(*this);
    if (indexed(*this)) {
        MdxFile::Cursor& entry = *indexCursor;
        bool found = seekCurrentInIndex() ? entry.next() : entry.valid();
        uint32_t steps = 0;
        while (found && (entry.recno() == current || !acceptsOnWalk(entry.recno(), steps))) {
            prefetchAhead();
            found = entry.next();
        }
        if (found)
            return takeIndexPosition(*this, false, false);
    } else {
        uint32_t steps = 0;
        for (uint32_t recno = current + 1; recno <= header.recordCount && recno > current;
             ++recno) {
            populateAroundRecord(recno, steps);
            prefetchRecord(recno + 4);
            if (accepts(recno))
                return setPosition(recno, false, false);
        }
    }
    setPosition(current, false, true);
}

void Table::Impl::movePrior() {
    if (current == 0)
        return becomeEmpty(*this);
    if (indexed(*this)) {
        MdxFile::Cursor& entry = *indexCursor;
        bool found = seekCurrentInIndex() || entry.valid() ? entry.prior() : entry.last();
        uint32_t steps = 0;
        while (found && (entry.recno() == current || !acceptsOnWalk(entry.recno(), steps)))
            found = entry.prior();
        if (found)
            return takeIndexPosition(*this, false, false);
    } else {
        uint32_t steps = 0;
        for (uint32_t recno = current - 1; recno >= 1; --recno) {
            populateAroundRecord(recno, steps);
            if (accepts(recno))
                return setPosition(recno, false, false);
        }
    }
    setPosition(current, true, false);
}

void Table::Impl::findAgain() {
    if (current != 0 && accepts(current))
        return setPosition(current, false, false);
    if (current == 0)
        return moveFirst();
    uint32_t lost = current;
    if (indexed(*this)) {
        MdxFile::Cursor& entry = *indexCursor;
        bool found = seekCurrentInIndex() ? entry.next() : entry.valid();
        uint32_t steps = 0;
        while (found && (entry.recno() == lost || !acceptsOnWalk(entry.recno(), steps))) {
            prefetchAhead();
            found = entry.next();
        }
        if (found)
            return takeIndexPosition(*this, false, false);
    } else {
        detail::ReadAhead ahead(map);
        for (uint32_t recno = lost + 1; recno <= header.recordCount && recno > lost; ++recno) {
            ahead.reach(recordOffset(recno), header.recordLength);
            if (accepts(recno))
                return setPosition(recno, false, false);
        }
    }
    moveLast();
    if (current != 0)
        eof = false;
}

void Table::Impl::ensureDeletedCount() {
    detail::ReadAhead ahead(map);
    for (uint32_t recno = deletedCountedUpTo + 1;
         recno <= header.recordCount && recno > deletedCountedUpTo; ++recno) {
        ahead.reach(recordOffset(recno), header.recordLength);
        prefetchRecord(recno + 8);
        const uint8_t* record = recordBytes(recno);
        if (record == nullptr || record[0] == '*')
            ++deletedCount;
    }
    deletedCountedUpTo = header.recordCount;
}

uint32_t Table::Impl::liveCount() {
    ensureDeletedCount();
    return header.recordCount - deletedCount;
}

// --- Public cursor operations --------------------------------------------------------------------

void Table::first() {
    impl_->requireOpen();
    impl_->postPendingEdit();
    impl_->moveFirst();
    impl_->notify();
}

void Table::last() {
    impl_->requireOpen();
    impl_->postPendingEdit();
    impl_->moveLast();
    impl_->notify();
}

void Table::next() {
    impl_->requireOpen();
    impl_->postPendingEdit();
    impl_->moveNext();
    impl_->notify();
}

void Table::prior() {
    impl_->requireOpen();
    impl_->postPendingEdit();
    impl_->movePrior();
    impl_->notify();
}

bool Table::bof() const {
    return impl_->bof;
}
bool Table::eof() const {
    return impl_->eof;
}

bool Table::isEmpty() {
    Impl& d = *impl_;
    if (!d.isOpen)
        return true;
    if (d.current != 0 && d.accepts(d.current))
        return false;
    if (!d.filter)
        return d.liveCount() == 0;
    detail::ReadAhead ahead(d.map);
    for (uint32_t recno = 1; recno <= d.header.recordCount; ++recno) {
        ahead.reach(d.recordOffset(recno), d.header.recordLength);
        if (d.accepts(recno))
            return false;
    }
    return true;
}

uint32_t Table::recordCount() {
    Impl& d = *impl_;
    if (!d.isOpen)
        return 0;
    if (!d.filter)
        return d.liveCount();
    return d.ensurePassingRecords().passing;
}

uint32_t Table::recordNumber() const {
    if (impl_->state == State::Insert)
        return 0;
    return impl_->current;
}

bool Table::goToRecord(uint32_t recno) {
    Impl& d = *impl_;
    d.requireOpen();
    d.postPendingEdit();
    if (!d.accepts(recno))
        return false;
    d.setPosition(recno, false, false);
    d.notify();
    return true;
}

bool Table::goToNextAfter(Bookmark mark) {
    Impl& d = *impl_;
    d.requireOpen();
    d.postPendingEdit();
    if (mark == 0 || mark > d.header.recordCount)
        return false;
    const uint32_t current = d.current;
    const bool bof = d.bof;
    const bool eof = d.eof;
    d.setPosition(mark, false, false);
    d.moveNext();
    if (d.eof) { // nothing follows: moveNext stayed on `mark`
        d.setPosition(current, bof, eof);
        return false;
    }
    d.notify();
    return true;
}

Table::Bookmark Table::bookmark() const {
    return recordNumber();
}
bool Table::goToBookmark(Bookmark mark) {
    return goToRecord(mark);
}

void Table::setFilter(RecordFilter filter) {
    impl_->pendingFilter = std::move(filter);
}
bool Table::hasFilter() const {
    return static_cast<bool>(impl_->pendingFilter);
}

void Table::refresh() {
    Impl& d = *impl_;
    d.requireOpen();
    d.postPendingEdit();
    d.header.recordCount = d.readRecordCountFromFile();
    d.filter = d.pendingFilter;
    d.forgetPassingRecords(); // other handles may have changed any record
    d.deletedCount = 0;       // other handles may have deleted records too
    d.deletedCountedUpTo = 0;
    d.cursorOnCurrent = false;
    d.findAgain();
    d.notify();
}

bool Table::findNearest(std::string_view keyUtf8) {
    Impl& d = *impl_;
    d.requireOpen();
    d.postPendingEdit();
    if (d.activeTag < 0 || !d.indexCursor)
        d.fail("has no index tag selected to search in");
    std::string bad;
    std::optional<std::string> key = encodeFromUtf8(keyUtf8, d.header.codepage, &bad);
    if (!key)
        throw TableError("The character \"" + bad + "\" cannot be searched for in the table \"" +
                         d.dbfFile + "\".");
    MdxFile::Cursor& entry = *d.indexCursor;
    bool found = entry.seek(*key);
    uint32_t steps = 0;
    while (found && !d.acceptsOnWalk(entry.recno(), steps))
        found = entry.next();
    if (!found) {
        d.moveLast();
        d.notify();
        return false;
    }
    takeIndexPosition(d, false, false);
    std::string_view stored = entry.key();
    std::string_view wanted = *key;
    size_t compared = std::min(stored.size(), wanted.size());
    bool matches = stored.substr(0, compared) == wanted.substr(0, compared) &&
                   wanted.find_first_not_of(' ', compared) == std::string_view::npos;
    d.notify();
    return matches;
}

} // namespace table
