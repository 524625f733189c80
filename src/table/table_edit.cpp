// Editing: the edit buffer, record locks, and writing records with their index keys. Every change
// of the file happens under the header lock; a new record's bytes go to the file before the
// record count that makes them part of the table, so a process killed mid-append loses at most
// that record and leaves a table that opens.

#include "table/table_impl.h"

#include <algorithm>
#include <optional>

namespace table {

namespace {

int64_t recordLockOffset(uint32_t recno) {
    return detail::kRecordLockBase + recno;
}

[[noreturn]] void throwRecordLocked() {
    throw TableError("Record is locked by another user.");
}

uint32_t appendRecord(Table::Impl& d) {
    // A handle that has the table to itself (the open locks belong to the descriptor) needs no
    // header lock, and the count it holds is the file's.
    std::optional<detail::HeaderLockGuard> lock;
    uint32_t count = d.header.recordCount;
    if (!d.sole()) {
        lock.emplace(d.fd.get(), d.dbfFile);
        count = d.readRecordCountFromFile();
    }
    if (count == UINT32_MAX)
        d.fail("cannot hold more records");
    uint32_t recno = count + 1;
    d.header.recordCount = count;
    d.editBuffer[0] = ' ';
    d.editBuffer.push_back(0x1A);
    try {
        d.writeAt(d.editBuffer.data(), d.editBuffer.size(), d.recordOffset(recno));
    } catch (...) {
        d.editBuffer.pop_back();
        throw;
    }
    d.editBuffer.pop_back();
    // In a run of posts the index is marked as being changed from the run's start to its end.
    const bool eachPost = d.mdx && !d.mdx->inBatch();
    if (eachPost)
        d.mdx->beginChange();
    if (d.mdx) {
        for (const CompiledTag& tag : d.tags) {
            tag.expression.evaluate(d.editBuffer.data(), d.keyScratch);
            d.mdx->insertKey(tag.info.name, d.keyScratch, recno);
        }
    }
    d.writeHeaderCountAndDate(recno);
    d.header.recordCount = recno;
    if (eachPost)
        d.mdx->endChange(recno);
    return recno;
}

void rewriteRecord(Table::Impl& d) {
    // As for appends, a handle that has the table to itself needs no header lock, holds the
    // count, and reads the record as it stands from the map.
    std::optional<detail::HeaderLockGuard> lock;
    uint32_t count = d.header.recordCount;
    std::vector<uint8_t> before(d.header.recordLength);
    const uint8_t* mapped = nullptr;
    if (d.sole())
        mapped = d.recordBytes(d.editRecno);
    if (mapped != nullptr) {
        std::copy(mapped, mapped + before.size(), before.begin());
    } else {
        lock.emplace(d.fd.get(), d.dbfFile);
        count = d.readRecordCountFromFile();
        d.header.recordCount = std::max(d.header.recordCount, count);
        d.readAt(before.data(), before.size(), d.recordOffset(d.editRecno));
    }
    d.editBuffer[0] = before[0];
    // An index without tags has no keys for a crash to leave half changed.
    const bool keyed = d.mdx && !d.tags.empty();
    const bool eachPost = keyed && !d.mdx->inBatch();
    if (eachPost)
        d.mdx->beginChange();
    if (keyed) {
        for (const CompiledTag& tag : d.tags) {
            std::string oldKey = d.keyOf(tag, before.data());
            std::string newKey = d.keyOf(tag, d.editBuffer.data());
            if (oldKey == newKey)
                continue;
            d.mdx->removeKey(tag.info.name, oldKey, d.editRecno);
            d.mdx->insertKey(tag.info.name, newKey, d.editRecno);
        }
    }
    d.writeAt(d.editBuffer.data(), d.editBuffer.size(), d.recordOffset(d.editRecno));
    d.writeHeaderCountAndDate(count);
    if (eachPost)
        d.mdx->endChange(count);
}

bool editing(const Table::Impl& d) {
    return d.state == Table::State::Edit || d.state == Table::State::Insert;
}

} // namespace

void Table::Impl::settleBatch() {
    head.unmap();
    if (mdx && mdx->inBatch())
        mdx->endBatch(header.recordCount);
}

void Table::Impl::finishBatch() {
    batchDepth = 0;
    struct GiveBack { // whatever happens to the index, others may open the table again
        Table::Impl& d;
        ~GiveBack() {
            try {
                if (d.batchSole)
                    detail::tryLock(d.fd.get(), detail::kOpenLockOffset, detail::LockKind::Shared,
                                    d.dbfFile);
            } catch (const TableError&) { // the exclusive lock stays until the table is closed
            }
            d.batchSole = false;
        }
    } giveBack{*this};
    settleBatch();
}

void Table::Impl::releaseRecordLock() {
    if (recordLocked)
        detail::unlock(fd.get(), recordLockOffset(editRecno));
    recordLocked = false;
}

void Table::Impl::cancelEdit() {
    releaseRecordLock();
    state = isOpen ? State::Browse : State::Inactive;
    editBuffer.clear();
    editRecno = 0;
}

void Table::Impl::postPendingEdit() {
    if (!editing(*this))
        return;
    const bool inserted = state == State::Insert;
    uint32_t recno = editRecno;
    if (inserted)
        recno = appendRecord(*this);
    else
        rewriteRecord(*this);
    cancelEdit();
    setPosition(recno, false, false);
    pendingStore = TableChange{TableChange::Kind::Stored, recno, inserted};
}

const uint8_t* Table::Impl::readableRecord() {
    requireOpen();
    if (editing(*this))
        return editBuffer.data();
    if (const uint8_t* record = recordBytes(current))
        return record;
    return blankRecord.data();
}

// --- Public editing ------------------------------------------------------------------------------

Table::State Table::state() const {
    return impl_->state;
}

void Table::append() {
    Impl& d = *impl_;
    d.requireWritable();
    d.postPendingEdit();
    d.editBuffer = d.blankRecord;
    d.editRecno = 0;
    d.state = State::Insert;
    d.notify(TableChange{TableChange::Kind::InsertStarted});
}

void Table::insert() {
    append();
}

void Table::edit() {
    Impl& d = *impl_;
    d.requireWritable();
    if (editing(d))
        return;
    if (d.current == 0)
        d.fail("has no record to edit");
    // Nobody else can lock a record of a table open exclusively.
    if (d.mode != OpenMode::Exclusive) {
        if (!detail::tryLock(d.fd.get(), recordLockOffset(d.current), detail::LockKind::Exclusive,
                             d.dbfFile))
            throwRecordLocked();
        d.recordLocked = true;
    }
    d.editRecno = d.current;
    const uint8_t* record = d.recordBytes(d.current);
    if (record == nullptr || record[0] == '*') {
        d.releaseRecordLock();
        d.editRecno = 0;
        throw TableError("The record has been deleted by another user.");
    }
    d.editBuffer.assign(record, record + d.header.recordLength);
    d.state = State::Edit;
    d.notify(TableChange{TableChange::Kind::EditStarted, d.current});
}

void Table::post() {
    Impl& d = *impl_;
    d.requireOpen();
    if (!editing(d))
        return;
    d.postPendingEdit();
    const TableChange stored = *d.pendingStore;
    d.pendingStore.reset();
    d.tell(stored);
}

void Table::beginBatch() {
    Impl& d = *impl_;
    d.requireWritable();
    if (d.batchDepth++ > 0)
        return;
    try {
        if (d.mode != OpenMode::Exclusive)
            d.batchSole = detail::tryLock(d.fd.get(), detail::kOpenLockOffset,
                                          detail::LockKind::Exclusive, d.dbfFile);
        if (d.sole()) {
            d.head.map(d.fd.get()); // where it cannot be mapped, the header is written as usual
            if (d.mdx && !d.tags.empty())
                d.mdx->beginBatch();
        }
    } catch (...) {
        d.finishBatch();
        throw;
    }
}

void Table::endBatch() {
    Impl& d = *impl_;
    if (d.batchDepth == 0 || --d.batchDepth > 0)
        return;
    d.finishBatch();
}

void Table::cancel() {
    Impl& d = *impl_;
    if (!editing(d))
        return;
    d.cancelEdit();
    d.notify(TableChange{TableChange::Kind::Cancelled, d.current});
}

void Table::deleteRecord() {
    Impl& d = *impl_;
    d.requireWritable();
    if (d.state == State::Insert) {
        // The new record is not in the table yet: deleting it is dropping it. The record that
        // was current before append() is not the one the caller means.
        cancel();
        return;
    }
    d.cancelEdit();
    uint32_t doomed = d.current;
    if (doomed == 0)
        d.fail("has no record to delete");
    if (!detail::tryLock(d.fd.get(), recordLockOffset(doomed), detail::LockKind::Exclusive,
                         d.dbfFile))
        throwRecordLocked();
    try {
        detail::HeaderLockGuard lock(d.fd.get(), d.dbfFile);
        const uint8_t* record = d.recordBytes(doomed);
        if (record != nullptr && record[0] != '*') {
            uint8_t mark = '*';
            d.writeAt(&mark, 1, d.recordOffset(doomed));
            d.writeHeaderCountAndDate(d.readRecordCountFromFile());
            if (doomed <= d.deletedCountedUpTo)
                ++d.deletedCount;
        }
    } catch (...) {
        detail::unlock(d.fd.get(), recordLockOffset(doomed));
        throw;
    }
    detail::unlock(d.fd.get(), recordLockOffset(doomed));
    d.moveNext();
    if (d.current == doomed)
        d.movePrior();
    if (d.current == doomed)
        d.setPosition(0, true, true);
    else
        d.bof = d.eof = false;
    d.notify(TableChange{TableChange::Kind::Deleted, doomed});
}

// --- Field read ----------------------------------------------------------------------------------

std::string Table::asText(int index) const {
    Impl& d = *impl_;
    const FieldDescriptor& f = d.field(index);
    return fieldText(d.header, f, d.readableRecord(), currentDateFormat(), d.memo.get());
}

double Table::asNumber(int index) const {
    const FieldDescriptor& f = impl_->field(index);
    return fieldNumber(f, impl_->readableRecord());
}

Date Table::asDate(int index) const {
    const FieldDescriptor& f = impl_->field(index);
    return fieldDate(f, impl_->readableRecord());
}

bool Table::isBlank(int index) const {
    const FieldDescriptor& f = impl_->field(index);
    return fieldIsBlank(f, impl_->readableRecord());
}

RecordView Table::currentRecord() const {
    return RecordView(&impl_->header, impl_->readableRecord());
}

// --- Field write ---------------------------------------------------------------------------------

namespace {

// Runs `write` on the edit buffer. The field writers change the record only once the value is
// known to fit, so a failure leaves the field as it was.
template <typename Write> void writeField(Table::Impl& d, int index, Write&& write) {
    const FieldDescriptor& f = d.field(index);
    if (!editing(d))
        d.fail("is not being edited; field \"" + f.name + "\" cannot be set");
    try {
        write(f, d.editBuffer.data());
    } catch (const TableError&) {
        throw;
    } catch (const std::exception& error) {
        throw TableError("The field \"" + f.name + "\" cannot take that value: " + error.what());
    }
}

} // namespace

void Table::setText(int index, std::string_view utf8) {
    Impl& d = *impl_;
    writeField(d, index, [&](const FieldDescriptor& f, uint8_t* record) {
        setFieldText(d.header, f, record, utf8, currentDateFormat(), currentYear());
    });
}

void Table::setNumber(int index, double value) {
    writeField(*impl_, index, [&](const FieldDescriptor& f, uint8_t* record) {
        setFieldNumber(f, record, value);
    });
}

void Table::setDate(int index, const Date& date) {
    writeField(*impl_, index,
               [&](const FieldDescriptor& f, uint8_t* record) { setFieldDate(f, record, date); });
}

void Table::setBlank(int index) {
    writeField(*impl_, index,
               [&](const FieldDescriptor& f, uint8_t* record) { blankField(f, record); });
}

} // namespace table
