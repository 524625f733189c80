// The book table model's cells: reading rows a screen at a time, and storing edits.

#include "widgets/book_table_model.h"

#include <algorithm>

namespace widgets {

namespace {
constexpr size_t kCacheLimit = 1500; // rows of text kept; trimmed to kCacheKeep
constexpr size_t kCacheKeep = 1000;

bool isCheckedText(const QString& text) {
    return text.trimmed().compare(QLatin1String("Yes"), Qt::CaseInsensitive) == 0;
}
} // namespace

int BookTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rowCount_ + (inserting_ ? 1 : 0);
}

int BookTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

void BookTableModel::dropFarRows(int nearRow) const {
    while (texts_.size() > kCacheKeep) {
        auto first = texts_.begin();
        auto last = std::prev(texts_.end());
        if (nearRow - first->first > last->first - nearRow)
            texts_.erase(first);
        else
            texts_.erase(last);
    }
}

// Reads the texts of `row` and the rows after it in one visit, walking the cursor once.
void BookTableModel::readRows(int row) const {
    if (texts_.size() > kCacheLimit)
        dropFarRows(row);
    if (!settling_ && rows_.distanceToKnown(row) > walkLimit_) {
        if (longWalkTarget_ != row) {
            longWalkTarget_ = row;
            longWalkTimer_->start();
        }
        return;
    }
    CursorGuard guard(*this);
    try {
        const int end = std::min(row + kReadAheadRows, rowCount_);
        for (int current = row; current < end; ++current) {
            if (texts_.count(current) != 0)
                continue;
            const uint32_t recno =
                settling_ ? rows_.knownRecordAt(current) : rows_.recordAt(current);
            if (recno == 0)
                break;
            if (table_.recordNumber() != recno) {
                ++ownMoves_;
                if (!table_.goToRecord(recno)) {
                    rows_.reset(rowCount_); // a record went away: find the rows again
                    queueReload();
                    break;
                }
            }
            QStringList texts;
            texts.reserve(static_cast<qsizetype>(columns_.size()));
            const int fields = table_.fieldCount();
            for (const ColumnDef& column : columns_) {
                const bool known = column.fieldIndex >= 0 && column.fieldIndex < fields;
                texts.push_back(known ? QString::fromStdString(table_.asText(column.fieldIndex))
                                      : QString());
            }
            texts_[current] = std::move(texts);
            ++rowsRead_;
        }
    } catch (const std::exception& error) {
        // A record that cannot be read (a damaged file) shows blank; the user is told once, after
        // the painting, and the rows are not read again and again.
        for (int current = row; current < std::min(row + kReadAheadRows, rowCount_); ++current)
            texts_.try_emplace(current, QStringList());
        if (!readErrorShown_) {
            readErrorShown_ = true;
            auto* self = const_cast<BookTableModel*>(this);
            const std::string text = error.what();
            QMetaObject::invokeMethod(
                self, [self, text] { self->messages_.error(text); }, Qt::QueuedConnection);
        }
    }
    if (rows_.stale())
        queueReload();
}

const QStringList* BookTableModel::rowTexts(int row) const {
    auto found = texts_.find(row);
    if (found != texts_.end())
        return &found->second;
    if (!table_.isOpen() || table_.state() != table::Table::State::Browse)
        return nullptr; // moving the cursor now would post the edit
    readRows(row);
    found = texts_.find(row);
    return found == texts_.end() ? nullptr : &found->second;
}

// Numbers line up on their last digit, as in a ledger; everything else reads from the left.
Qt::Alignment BookTableModel::cellAlignment(int fieldIndex) const {
    constexpr std::string_view kNumberTypes = "NFIBY+O";
    if (table_.isOpen() && fieldIndex >= 0 && fieldIndex < table_.fieldCount() &&
        kNumberTypes.find(table_.fieldDescriptor(fieldIndex).type) != std::string_view::npos)
        return Qt::AlignRight | Qt::AlignVCenter;
    return Qt::AlignLeft | Qt::AlignVCenter;
}

QVariant BookTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const ColumnDef& column = columns_[static_cast<size_t>(index.column())];
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(cellAlignment(column.fieldIndex));
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole)
        return {};
    const bool checkColumn = column.fieldIndex == checkOutField_ && checkOutField_ >= 0;
    if (role == Qt::CheckStateRole && !checkColumn)
        return {};
    QString text;
    const bool bufferRow =
        (inserting_ && index.row() == insertedRow()) ||
        (table_.state() == table::Table::State::Edit && index.row() == currentRow_);
    if (bufferRow) {
        try {
            text = QString::fromStdString(table_.asText(column.fieldIndex));
        } catch (const std::exception&) {
            return {};
        }
    } else {
        const QStringList* texts = rowTexts(index.row());
        if (texts == nullptr)
            return {};
        text = texts->value(index.column());
    }
    if (role == Qt::CheckStateRole)
        return isCheckedText(text) ? Qt::Checked : Qt::Unchecked;
    if (checkColumn && role == Qt::DisplayRole)
        return {}; // the check box says it
    if (role == Qt::DisplayRole)
        return withAllDecimals(text, column.fieldIndex);
    return text;
}

// The table gives numbers without trailing zeros ("186.3"); the grid shows at least two
// decimals where the field holds them ("186.30"), so that amounts read as amounts and line up on
// the decimal point. Further digits show only when the value has them.
QString BookTableModel::withAllDecimals(const QString& text, int fieldIndex) const {
    if (text.isEmpty() || !table_.isOpen() || fieldIndex < 0 || fieldIndex >= table_.fieldCount())
        return text;
    const table::FieldDescriptor& field = table_.fieldDescriptor(fieldIndex);
    if ((field.type != 'N' && field.type != 'F') || field.decimals == 0)
        return text;
    const qsizetype point = text.indexOf(u'.');
    const qsizetype shown = point < 0 ? 0 : text.size() - point - 1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (!text[i].isDigit() && i != point && !(i == 0 && text[i] == u'-'))
            return text; // not a plain number: shown as it stands
    const qsizetype wanted = std::min<qsizetype>(field.decimals, 2);
    if (shown >= wanted)
        return text;
    return text + (point < 0 ? QStringLiteral(".") : QString()) + QString(wanted - shown, u'0');
}

QVariant BookTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount())
            return {};
        if (role == Qt::DisplayRole)
            return columns_[static_cast<size_t>(section)].title;
        if (role == Qt::TextAlignmentRole)
            return static_cast<int>(titleAlignment_);
        return {};
    }
    // The row indicator marks the current row: a triangle, a pencil while editing, a star on
    // the new row.
    if (role == Qt::DisplayRole) {
        if (section != currentRow_)
            return QString();
        if (inserting_ && section == insertedRow())
            return QStringLiteral("*");
        if (table_.state() == table::Table::State::Edit)
            return QStringLiteral("\u270E");
        return QStringLiteral("\u25B6");
    }
    if (role == Qt::TextAlignmentRole)
        return static_cast<int>(Qt::AlignCenter);
    return {};
}

Qt::ItemFlags BookTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (editingEnabled_) {
        const int field = fieldIndexAt(index.column());
        if (field >= 0 && field == checkOutField_)
            result |= Qt::ItemIsUserCheckable;
        else
            result |= Qt::ItemIsEditable;
    }
    return result;
}

bool BookTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || !editingEnabled_ || index.row() >= rowCount())
        return false;
    QString text;
    if (role == Qt::CheckStateRole) {
        if (fieldIndexAt(index.column()) != checkOutField_ || checkOutField_ < 0)
            return false;
        text = value.toInt() == Qt::Checked ? QStringLiteral("Yes") : QStringLiteral("No");
    } else if (role == Qt::EditRole) {
        text = value.toString();
        // An editor left as it was opened writes nothing: the text shown may not read back as
        // what is stored (a date shown with two digits of its year would land in another
        // century).
        if (text == data(index, Qt::EditRole).toString())
            return true;
    } else {
        return false;
    }
    return storeText(index.row(), index.column(), text);
}

// A value refused for a field is told under the field's column title, the user's name for it.
void BookTableModel::reportError(const std::exception& error) {
    if (const auto* refusal = dynamic_cast<const table::FieldValueError*>(&error)) {
        const int field = table_.isOpen() ? table_.fieldIndex(refusal->fieldName()) : -1;
        for (const ColumnDef& column : columns_) {
            if (field >= 0 && column.fieldIndex == field && !column.title.isEmpty()) {
                messages_.error(refusal->naming(column.title.toStdString()));
                return;
            }
        }
    }
    messages_.error(error.what());
}

// Runs one engine call that moves or changes the record, marking the model busy so that the
// cursor observer does not take the move for one made elsewhere; an error is shown.
bool BookTableModel::callEngine(const std::function<void()>& call) {
    ++busy_;
    try {
        call();
    } catch (const std::exception& error) {
        --busy_;
        reportError(error);
        return false;
    }
    --busy_;
    return true;
}

// A cell typed in: into the open edit or new record, or, while browsing, as a one-field edit
// stored at once. An engine error is shown; a one-field edit is then cancelled and the record
// stays as it was, while an open edit keeps its other changes.
bool BookTableModel::storeText(int row, int column, const QString& text) {
    const int field = fieldIndexAt(column);
    if (field < 0 || !table_.isOpen())
        return false;
    const std::string utf8 = text.toStdString();
    const table::Table::State state = table_.state();
    if (state == table::Table::State::Insert || state == table::Table::State::Edit) {
        const bool ownRow = inserting_ ? row == insertedRow() : row == currentRow_;
        if (!ownRow)
            return false;
        try {
            table_.setText(field, utf8);
        } catch (const std::exception& error) {
            ++refusedEdits_;
            reportError(error);
            return false;
        }
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        return true;
    }
    if (!moveToRow(row))
        return false;
    ++busy_;
    try {
        table_.edit();
        table_.setText(field, utf8);
        table_.post();
    } catch (const std::exception& error) {
        try {
            if (isEditing())
                table_.cancel();
        } catch (const std::exception&) {
        }
        --busy_;
        lastState_ = table_.state();
        ++refusedEdits_;
        reportError(error);
        texts_.erase(row);
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
        return false;
    }
    --busy_;
    lastState_ = table_.state();
    texts_.erase(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    // The record may have moved in the index order; the grid's cell editor is still closing, so
    // its row is moved once control is back in the event loop.
    const uint32_t recno = table_.recordNumber();
    settling_ = true;
    QMetaObject::invokeMethod(
        this,
        [this, recno] {
            if (table_.isOpen() && table_.state() == table::Table::State::Browse &&
                table_.recordNumber() == recno) {
                afterRecordStored(false);
            } else {
                settling_ = false;
                resetRows();
            }
        },
        Qt::QueuedConnection);
    return true;
}

bool BookTableModel::beginInsert() {
    if (!table_.isOpen() || table_.state() != table::Table::State::Browse)
        return false;
    if (!callEngine([this] { table_.append(); }))
        return false;
    lastState_ = table_.state();
    beginInsertRows({}, rowCount_, rowCount_);
    inserting_ = true;
    endInsertRows();
    setCurrentRow(insertedRow());
    emit editStateChanged();
    return true;
}

bool BookTableModel::beginEdit() {
    if (!table_.isOpen() || table_.state() != table::Table::State::Browse)
        return false;
    if (currentRow_ < 0 || !moveToRow(currentRow_))
        return false;
    if (!callEngine([this] { table_.edit(); }))
        return false;
    lastState_ = table_.state();
    emit headerDataChanged(Qt::Vertical, currentRow_, currentRow_);
    emit editStateChanged();
    return true;
}

// A failed post keeps the edit open, so that nothing typed is lost: the user may correct it or
// cancel.
bool BookTableModel::post() {
    if (!isEditing())
        return false;
    const bool wasInsert = table_.state() == table::Table::State::Insert;
    if (!callEngine([this] { table_.post(); }))
        return false;
    afterRecordStored(wasInsert);
    emit editStateChanged();
    return true;
}

void BookTableModel::cancel() {
    if (!isEditing())
        return;
    ++busy_;
    try {
        table_.cancel();
    } catch (const std::exception& error) {
        reportError(error);
    }
    --busy_;
    afterCancel();
}

bool BookTableModel::deleteCurrent() {
    const int row = currentRow_;
    if (row < 0 || !moveToRow(row))
        return false;
    const uint32_t recno = table_.recordNumber();
    if (!callEngine([this] { table_.deleteRecord(); }))
        return false;
    afterDelete(recno);
    return true;
}

} // namespace widgets
