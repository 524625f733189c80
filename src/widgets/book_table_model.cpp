#include "widgets/book_table_model.h"

#include "db/field_catalogue.h"

#include <QMetaObject>

namespace widgets {

std::vector<ColumnDef> columnsFromTableDisplay(const table::Table& table) {
    std::vector<ColumnDef> columns;
    for (int field : table.displayOrder()) {
        const table::FieldDisplay& display = table.display(field);
        if (display.visible)
            columns.push_back({field, QString::fromStdString(display.label), display.width});
    }
    return columns;
}

// While the model reads rows it moves the table's cursor; afterwards the cursor goes back to the
// record it stood on, and observers are told once.
BookTableModel::CursorGuard::CursorGuard(const BookTableModel& model)
    : model_(const_cast<BookTableModel&>(model)), saved_(model_.table_.recordNumber()) {
    ++model_.busy_;
    model_.table_.suspendObservers();
}

BookTableModel::CursorGuard::~CursorGuard() {
    table::Table& table = model_.table_;
    try {
        if (saved_ != 0 && table.isOpen() && table.recordNumber() != saved_) {
            ++model_.ownMoves_;
            table.goToRecord(saved_);
        }
    } catch (const std::exception&) {
        // The record could not be read again: the cursor stays where reading left it.
    }
    table.resumeObservers();
    --model_.busy_;
}

BookTableModel::BookTableModel(table::Table& table, db::UserMessages& messages, QObject* parent)
    : QAbstractTableModel(parent), table_(table), messages_(messages), rows_(table),
      longWalkTimer_(new QTimer(this)) {
    longWalkTimer_->setSingleShot(true);
    longWalkTimer_->setInterval(0);
    connect(longWalkTimer_, &QTimer::timeout, this, &BookTableModel::continueLongWalk);
    observerId_ =
        table_.addObserver([this](const table::TableChange& change) { tableChanged(change); });
    resetRows();
}

BookTableModel::~BookTableModel() {
    table_.removeObserver(observerId_);
}

void BookTableModel::setColumns(std::vector<ColumnDef> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    texts_.clear();
    checkOutField_ = -1;
    if (table_.isOpen())
        checkOutField_ = table_.fieldIndex("CheckOut");
    endResetModel();
}

int BookTableModel::fieldIndexAt(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size()))
        return -1;
    return columns_[static_cast<size_t>(column)].fieldIndex;
}

int BookTableModel::columnOfField(std::string_view fieldName) const {
    if (!table_.isOpen())
        return -1;
    const int field = table_.fieldIndex(fieldName);
    for (size_t column = 0; column < columns_.size(); ++column)
        if (field >= 0 && columns_[column].fieldIndex == field)
            return static_cast<int>(column);
    return -1;
}

void BookTableModel::setEditingEnabled(bool enabled) {
    if (enabled == editingEnabled_)
        return;
    editingEnabled_ = enabled;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

void BookTableModel::setTitleAlignment(Qt::Alignment alignment) {
    titleAlignment_ = alignment;
    if (columnCount() > 0)
        emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void BookTableModel::reload() {
    resetRows();
}

bool BookTableModel::isEditing() const {
    const table::Table::State state = table_.state();
    return state == table::Table::State::Edit || state == table::Table::State::Insert;
}

int BookTableModel::insertedRow() const {
    return inserting_ ? rowCount_ : -1;
}

void BookTableModel::resetRows() {
    // Counted before the reset starts, so that an error box cannot show a half-reset model.
    const bool open = table_.isOpen();
    int count = 0;
    std::string countError;
    try {
        count =
            open ? static_cast<int>(std::min<uint32_t>(table_.recordCount(), INT32_MAX - 1)) : 0;
    } catch (const std::exception& error) {
        countError = error.what();
    }
    beginResetModel();
    lastState_ = table_.state();
    texts_.clear();
    reloadQueued_ = false;
    readErrorShown_ = false;
    rowCount_ = count;
    rows_.reset(rowCount_);
    longWalkTarget_ = -1;
    findPending_ = false;
    longWalkTimer_->stop();
    inserting_ = lastState_ == table::Table::State::Insert;
    checkOutField_ = open ? table_.fieldIndex("CheckOut") : -1;
    currentRow_ = -1;
    endResetModel();
    if (!countError.empty())
        messages_.error(countError);
    if (inserting_)
        setCurrentRow(insertedRow());
    else
        followTableRecord();
}

// Finds the row of the table's current record and makes it the current row.
void BookTableModel::followTableRecord() {
    if (!table_.isOpen() || table_.state() != table::Table::State::Browse) {
        setCurrentRow(inserting_ ? insertedRow() : currentRow_);
        return;
    }
    const uint32_t recno = table_.recordNumber();
    int row = rows_.knownRowOf(recno, currentRow_);
    findPending_ = false;
    if (row < 0 && recno != 0) {
        // Far from every known row (a record located in the middle of a big table) the search
        // goes on from the event loop; the current row shows once it is found.
        CursorGuard guard(*this);
        try {
            row = rows_.findRow(recno, walkLimit_);
        } catch (const std::exception&) {
            row = RecordRows::kNotFound;
        }
        if (row == RecordRows::kSearching) {
            findPending_ = true;
            longWalkTimer_->start();
        }
        row = std::max(row, -1);
    }
    if (rows_.stale())
        queueReload();
    setCurrentRow(row);
}

void BookTableModel::setCurrentRow(int row) {
    if (row == currentRow_)
        return;
    const int old = currentRow_;
    currentRow_ = row;
    if (old >= 0 && old < rowCount())
        emit headerDataChanged(Qt::Vertical, old, old);
    if (row >= 0 && row < rowCount())
        emit headerDataChanged(Qt::Vertical, row, row);
    emit currentRowChanged(row);
}

void BookTableModel::queueReload() const {
    if (reloadQueued_)
        return;
    reloadQueued_ = true;
    auto* self = const_cast<BookTableModel*>(this);
    QMetaObject::invokeMethod(
        self,
        [self] {
            if (self->reloadQueued_)
                self->reload();
        },
        Qt::QueuedConnection);
}

// The table told its observers what it did: through the edit window, a search, a reopen, any
// code but this model's own. Every change is put right here, so that the rows always show the
// table and the current row is its current record.
void BookTableModel::tableChanged(const table::TableChange& change) {
    if (busy_ > 0)
        return;
    using Kind = table::TableChange::Kind;
    switch (change.kind) {
    case Kind::Reset:
        resetRows();
        emit editStateChanged();
        return;
    case Kind::InsertStarted:
        lastState_ = table_.state();
        if (!inserting_) {
            beginInsertRows({}, rowCount_, rowCount_);
            inserting_ = true;
            endInsertRows();
        }
        setCurrentRow(insertedRow());
        emit editStateChanged();
        return;
    case Kind::EditStarted:
        lastState_ = table_.state();
        if (currentRow_ >= 0)
            emit headerDataChanged(Qt::Vertical, currentRow_, currentRow_);
        emit editStateChanged();
        return;
    case Kind::Cancelled:
        afterCancel();
        return;
    case Kind::Stored:
        afterRecordStored(change.inserted);
        emit editStateChanged();
        return;
    case Kind::Deleted:
        afterDelete(change.recno);
        return;
    case Kind::Moved:
        break;
    }
    if (table_.state() == table::Table::State::Browse && !followQueued_) {
        // A move made elsewhere is followed once control is back in the event loop: code that
        // walks the whole table (a report, an export) then costs the grid nothing per record.
        followQueued_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                followQueued_ = false;
                if (busy_ == 0 && !settling_)
                    followTableRecord();
            },
            Qt::QueuedConnection);
    }
}

// The edit or the new record was dropped: the new row goes, the edited row shows the record.
void BookTableModel::afterCancel() {
    const bool wasInsert = inserting_;
    lastState_ = table_.state();
    if (wasInsert) {
        beginRemoveRows({}, rowCount_, rowCount_);
        inserting_ = false;
        endRemoveRows();
        currentRow_ = -1;
        followTableRecord();
    } else if (currentRow_ >= 0) {
        texts_.erase(currentRow_);
        emit dataChanged(index(currentRow_, 0), index(currentRow_, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, currentRow_, currentRow_);
    }
    emit editStateChanged();
}

// Record `recno` left the table: its row goes (every row when it is not known), and the table's
// new current record becomes the current row.
void BookTableModel::afterDelete(uint32_t recno) {
    const int row = rows_.knownRowOf(recno, currentRow_);
    if (row < 0) {
        resetRows();
        return;
    }
    beginRemoveRows({}, row, row);
    --rowCount_;
    rows_.removeRow(row);
    std::map<int, QStringList> shifted;
    for (auto& [cached, texts] : texts_)
        if (cached != row)
            shifted[cached > row ? cached - 1 : cached] = std::move(texts);
    texts_ = std::move(shifted);
    currentRow_ = -1;
    endRemoveRows();
    followTableRecord();
}

// An edit or insert was stored. The record may have moved in the index order, or been added:
// fix its row without forgetting the others.
void BookTableModel::afterRecordStored(bool wasInsert) {
    // Until the rows are put right the map may be wrong: nothing may walk the table meanwhile.
    settling_ = true;
    lastState_ = table_.state();
    const uint32_t recno = table_.recordNumber();
    enum class Outcome { Reload, InPlace, Moved, Added, Dropped } outcome = Outcome::Reload;
    int oldRow = -1;
    int newRow = -1;
    {
        CursorGuard guard(*this);
        try {
            oldRow = rows_.knownRowOf(recno, wasInsert ? rowCount_ : currentRow_);
            if (wasInsert) {
                const uint32_t count = table_.recordCount();
                if (count == static_cast<uint32_t>(rowCount_) + 1 && recno != 0 && oldRow < 0) {
                    newRow = rows_.placeNewRecord(recno);
                    outcome = newRow >= 0 && !rows_.stale() ? Outcome::Added : Outcome::Reload;
                } else if (count == static_cast<uint32_t>(rowCount_)) {
                    outcome = Outcome::Dropped; // cancelled
                }
            } else if (oldRow >= 0) {
                outcome = keepsItsPlace(recno, oldRow) ? Outcome::InPlace : Outcome::Moved;
            }
        } catch (const std::exception&) {
            outcome = Outcome::Reload;
        }
    }
    if (inserting_) {
        beginRemoveRows({}, rowCount_, rowCount_);
        inserting_ = false;
        endRemoveRows();
    }
    switch (outcome) {
    case Outcome::InPlace:
        texts_.erase(oldRow);
        settling_ = false;
        emit dataChanged(index(oldRow, 0), index(oldRow, std::max(columnCount() - 1, 0)));
        setCurrentRow(oldRow);
        return;
    case Outcome::Added:
        settling_ = false;
        insertPlacedRow(newRow);
        return;
    case Outcome::Dropped:
        settling_ = false;
        followTableRecord();
        return;
    case Outcome::Moved:
        beginRemoveRows({}, oldRow, oldRow);
        rows_.removeRow(oldRow);
        --rowCount_;
        texts_.clear();
        currentRow_ = -1;
        endRemoveRows();
        {
            CursorGuard guard(*this);
            try {
                newRow = rows_.placeNewRecord(recno);
            } catch (const std::exception&) {
                newRow = -1;
            }
        }
        settling_ = false;
        if (newRow >= 0 && !rows_.stale()) {
            insertPlacedRow(newRow);
            return;
        }
        break;
    case Outcome::Reload:
        break;
    }
    settling_ = false;
    resetRows();
}

// Whether a record just edited still sits between the neighbours it had on `row` (a neighbour
// not known counts as moved: placing the record again is right either way).
bool BookTableModel::keepsItsPlace(uint32_t recno, int row) {
    if (row > 0) {
        table_.goToRecord(recno);
        table_.prior();
        if (table_.recordNumber() != rows_.knownRecordAt(row - 1))
            return false;
    }
    if (row + 1 < rowCount_) {
        table_.goToRecord(recno);
        table_.next();
        if (table_.recordNumber() != rows_.knownRecordAt(row + 1))
            return false;
    }
    return true;
}

// One step of the search for the current record's row (see followTableRecord).
void BookTableModel::continueFind() {
    const uint32_t recno = table_.recordNumber();
    if (!table_.isOpen() || table_.state() != table::Table::State::Browse || settling_ ||
        !rows_.searching()) {
        findPending_ = false;
        rows_.cancelFind();
        return;
    }
    int row = RecordRows::kNotFound;
    {
        CursorGuard guard(*this);
        try {
            row = rows_.continueFind(walkLimit_);
        } catch (const std::exception&) {
            row = RecordRows::kNotFound;
        }
    }
    if (row == RecordRows::kSearching) {
        longWalkTimer_->start();
        return;
    }
    findPending_ = false;
    if (rows_.stale())
        queueReload();
    if (row >= 0 && table_.recordNumber() == recno)
        setCurrentRow(row);
    if (longWalkTarget_ >= 0)
        longWalkTimer_->start();
}

// One step of a walk toward a far row (see setSynchronousWalkLimit).
void BookTableModel::continueLongWalk() {
    if (findPending_) {
        continueFind();
        if (findPending_)
            return;
    }
    const int target = longWalkTarget_;
    if (target < 0 || target >= rowCount_)
        return;
    if (!table_.isOpen() || table_.state() != table::Table::State::Browse || settling_) {
        longWalkTarget_ = -1; // the view asks again when it paints
        return;
    }
    bool arrived = false;
    {
        CursorGuard guard(*this);
        try {
            arrived = rows_.walkToward(target, walkLimit_);
        } catch (const std::exception&) {
            arrived = true; // nothing more to walk; the reload below finds the rows again
            queueReload();
        }
    }
    if (rows_.stale())
        queueReload();
    if (!arrived) {
        longWalkTimer_->start();
        return;
    }
    longWalkTarget_ = -1;
    const int first = std::max(0, target - kReadAheadRows);
    const int last = std::min(rowCount_ - 1, target + 2 * kReadAheadRows);
    if (columnCount() > 0 && last >= first)
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
}

// Announces the row placed by RecordRows::placeNewRecord and makes it current; cached texts of
// the rows after it move down with them.
void BookTableModel::insertPlacedRow(int row) {
    beginInsertRows({}, row, row);
    rows_.insertPlaced();
    ++rowCount_;
    std::map<int, QStringList> shifted;
    for (auto& [cached, texts] : texts_)
        shifted[cached >= row ? cached + 1 : cached] = std::move(texts);
    texts_ = std::move(shifted);
    endInsertRows();
    moveToRow(row);
    setCurrentRow(row);
}

uint32_t BookTableModel::recordAt(int row) {
    if (row < 0 || row >= rowCount_)
        return 0;
    if (settling_ || table_.state() != table::Table::State::Browse)
        return rows_.knownRecordAt(row); // walking now would post the edit
    CursorGuard guard(*this);
    try {
        return rows_.recordAt(row);
    } catch (const std::exception&) {
        return 0;
    }
}

bool BookTableModel::moveToRow(int row) {
    if (inserting_ && row == insertedRow())
        return true;
    if (!table_.isOpen() || table_.state() != table::Table::State::Browse || settling_)
        return false;
    if (findPending_) { // the user chose a row: the search for the old one is moot
        findPending_ = false;
        rows_.cancelFind();
    }
    const uint32_t recno = recordAt(row);
    if (recno == 0)
        return false;
    if (table_.recordNumber() != recno) {
        ++busy_;
        bool moved = false;
        try {
            moved = table_.goToRecord(recno);
        } catch (const std::exception&) {
        }
        --busy_;
        if (!moved) {
            queueReload();
            return false;
        }
    }
    setCurrentRow(row);
    return true;
}

} // namespace widgets
