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
    // A handle open exclusively is the only one (the open locks belong to the descriptor): it
    // needs no header lock, and the count it holds is the file's.
    std::optional<detail::HeaderLockGuard> lock;
    uint32_t count = d.header.recordCount;
    if (d.mode != OpenMode::Exclusive) {
        lock.emplace(d.fd.get(), d.dbfFile);
        count = d.readRecordCountFromFile();
    }
    if (count == UINT32_MAX)
        d.fail("cannot hold more records");
    uint32_t recno = count + 1;
    d.header.recordCount = count;
    d.editBuffer[0] = ' ';
    std::vector<uint8_t> bytes = d.editBuffer;
    bytes.push_back(0x1A);
    d.writeAt(bytes.data(), bytes.size(), d.recordOffset(recno));
    if (d.mdx) {
        d.mdx->beginChange();
        for (const CompiledTag& tag : d.tags)
            d.mdx->insertKey(tag.info.name, d.keyOf(tag, d.editBuffer.data()), recno);
    }
    d.writeHeaderCountAndDate(recno);
    d.header.recordCount = recno;
    if (d.mdx)
        d.mdx->endChange(recno);
    return recno;
}

void rewriteRecord(Table::Impl& d) {
    // As for appends, a handle open exclusively is the only one: no header lock, its own count,
    // and the record as it stands read from the map.
    std::optional<detail::HeaderLockGuard> lock;
    uint32_t count = d.header.recordCount;
    std::vector<uint8_t> before(d.header.recordLength);
    const uint8_t* mapped = nullptr;
    if (d.mode == OpenMode::Exclusive)
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
    if (keyed) {
        d.mdx->beginChange();
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
    if (keyed)
        d.mdx->endChange(count);
}

bool editing(const Table::Impl& d) {
    return d.state == Table::State::Edit || d.state == Table::State::Insert;
}

} // namespace

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
    if (state == State::Insert) {
        uint32_t recno = appendRecord(*this);
        cancelEdit();
        setPosition(recno, false, false);
    } else {
        rewriteRecord(*this);
        uint32_t recno = editRecno;
        cancelEdit();
        setPosition(recno, false, false);
    }
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
}

void Table::post() {
    Impl& d = *impl_;
    d.requireOpen();
    if (!editing(d))
        return;
    d.postPendingEdit();
    d.notify();
}

void Table::cancel() {
    Impl& d = *impl_;
    if (!editing(d))
        return;
    d.cancelEdit();
    d.notify();
}

void Table::deleteRecord() {
    Impl& d = *impl_;
    d.requireWritable();
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
    d.notify();
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

// Runs `write` on the edit buffer; when it fails the field keeps its bytes.
template <typename Write> void writeField(Table::Impl& d, int index, Write&& write) {
    const FieldDescriptor& f = d.field(index);
    if (!editing(d))
        d.fail("is not being edited; field \"" + f.name + "\" cannot be set");
    uint8_t* record = d.editBuffer.data();
    std::vector<uint8_t> saved(record + f.offset, record + f.offset + f.length);
    try {
        write(f, record);
    } catch (const TableError&) {
        std::copy(saved.begin(), saved.end(), record + f.offset);
        throw;
    } catch (const std::exception& error) {
        std::copy(saved.begin(), saved.end(), record + f.offset);
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
