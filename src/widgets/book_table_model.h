#pragma once

// The book table as rows and columns for the record grid. Rows follow the table's cursor order
// (selected index tag, record filter); they are found lazily (RecordRows) and their texts cached
// a few hundred rows at a time, so opening a table of a million records reads only the first
// screen. The model keeps the table's current record and the grid's current row in step: a row
// chosen in the grid becomes the table's current record (so Delete and Edit act on it), and a
// move of the table made elsewhere (locate, edit window) moves the current row once control is
// back in the event loop.
//
// The cursor is never moved while the table is editing or inserting (that would post the edit);
// rows not yet read then show blank until the edit ends. To read rows the model moves the cursor
// with the table's observers suspended and puts it back on the same record; the table then tells
// its observers once, with the current record unchanged, so observers should stay cheap (compare
// the record number before doing real work).

#include "db/user_messages.h"
#include "table/table.h"
#include "widgets/record_rows.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace widgets {

// Rows read in one visit to the table: a screen and a little more.
inline constexpr int kReadAheadRows = 48;

struct ColumnDef {
    int fieldIndex = 0; // 0-based field of the table
    QString title;      // the field label
    int widthChars = 15;
};

// The visible fields of the table's display properties, in display order, with their labels and
// widths (Table::display, Table::displayOrder).
std::vector<ColumnDef> columnsFromTableDisplay(const table::Table& table);

class BookTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `messages` shows the engine's errors when an edit cannot be stored. Both outlive the model.
    BookTableModel(table::Table& table, db::UserMessages& messages, QObject* parent = nullptr);
    ~BookTableModel() override;

    table::Table& table() { return table_; }

    void setColumns(std::vector<ColumnDef> columns);
    const std::vector<ColumnDef>& columns() const { return columns_; }
    // The field shown in `column`, -1 when out of range.
    int fieldIndexAt(int column) const;
    // The column showing the field named `fieldName` (any letter case), -1 when not shown.
    int columnOfField(std::string_view fieldName) const;

    // Cells accept edits only while editing is on.
    void setEditingEnabled(bool enabled);
    bool editingEnabled() const { return editingEnabled_; }

    // Re-reads the record count and forgets every row, keeping the table's current record as the
    // current row. Whatever is done to the table through its handle is noticed by itself (the
    // table tells what changed); call this when the way rows are shown changed (a date format)
    // or the table may have been changed through another handle.
    void reload();

    // The row of the table's current record (the inserted row while inserting), -1 when none.
    int currentRow() const { return currentRow_; }
    // Makes the record on `row` the table's current one; false when the row holds none or the
    // table is editing.
    bool moveToRow(int row);
    uint32_t recordAt(int row);

    // Record operations on the current row, used by the navigator and the grid. Engine errors are
    // shown through the messages (caption "Error") and leave the table browsing, nothing lost.
    bool beginInsert();     // a new blank row at the end, becoming current
    bool beginEdit();       // locks the current record for editing
    bool post();            // stores the edit or the new record
    void cancel();          // drops the edit or the new row
    bool deleteCurrent();   // no confirmation here: the caller asks first
    bool isEditing() const; // the table is in edit or insert state

    // Cursor moves made to find rows; tests use it to prove that a big table is read lazily.
    uint64_t cursorMoves() const { return rows_.cursorMoves() + ownMoves_; }
    // Rows whose texts have been read from the table.
    uint64_t rowsRead() const { return rowsRead_; }
    // Texts typed into cells that the table refused (the user was told each time).
    uint64_t refusedEdits() const { return refusedEdits_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Edit role: the cell's text. Check-state role on the CheckOut column: "Yes" or "No".
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // A row farther than this many cursor moves from every row already found is not looked for
    // while the view paints: the walk to it goes on in steps of this size from the event loop,
    // the row shows blank meanwhile, and the view is told when it arrives. Dragging the scroll
    // bar across a big table thus never freezes the window.
    void setSynchronousWalkLimit(int moves) { walkLimit_ = std::max(moves, 1); }
    // Whether a walk toward a far row, or the search for the current record's row, is still
    // under way (the current row is -1 until that search ends).
    bool walkPending() const { return longWalkTarget_ >= 0 || findPending_; }

    // Header text alignment of the column titles.
    void setTitleAlignment(Qt::Alignment alignment);

signals:
    // The current row changed because the table moved (or the rows were reloaded).
    void currentRowChanged(int row);
    // Editing state of the table changed (edit, insert, post, cancel).
    void editStateChanged();

private:
    Qt::Alignment cellAlignment(int fieldIndex) const;
    QString withAllDecimals(const QString& text, int fieldIndex) const;
    class CursorGuard {
    public:
        explicit CursorGuard(const BookTableModel& model);
        ~CursorGuard();
        CursorGuard(const CursorGuard&) = delete;
        CursorGuard& operator=(const CursorGuard&) = delete;

    private:
        BookTableModel& model_;
        uint32_t saved_;
    };
    void tableChanged(const table::TableChange& change);
    void afterCancel();
    void afterDelete(uint32_t recno);
    void resetRows();
    void afterRecordStored(bool wasInsert);
    void insertPlacedRow(int row);
    bool keepsItsPlace(uint32_t recno, int row);
    void followTableRecord();
    void queueReload() const;
    void continueLongWalk();
    void continueFind();
    const QStringList* rowTexts(int row) const;
    void readRows(int row) const;
    void dropFarRows(int nearRow) const;
    bool storeText(int row, int column, const QString& text);
    void reportError(const std::exception& error);
    bool callEngine(const std::function<void()>& call);
    void setCurrentRow(int row);
    int insertedRow() const;

    table::Table& table_;
    db::UserMessages& messages_;
    std::vector<ColumnDef> columns_;
    bool editingEnabled_ = false;
    Qt::Alignment titleAlignment_ = Qt::AlignHCenter | Qt::AlignVCenter;
    int observerId_ = 0;
    mutable RecordRows rows_;
    int rowCount_ = 0;
    int currentRow_ = -1;
    table::Table::State lastState_ = table::Table::State::Inactive;
    mutable int busy_ = 0; // > 0 while the model itself moves the cursor
    mutable std::map<int, QStringList> texts_;
    mutable uint64_t rowsRead_ = 0;
    uint64_t refusedEdits_ = 0;
    mutable uint64_t ownMoves_ = 0;
    int checkOutField_ = -1;
    bool inserting_ = false;
    bool settling_ = false; // rows are being put right after a post: no walking meanwhile
    mutable bool reloadQueued_ = false;
    mutable bool readErrorShown_ = false;
    bool followQueued_ = false;
    int walkLimit_ = 20000;
    mutable int longWalkTarget_ = -1;
    bool findPending_ = false;
    QTimer* longWalkTimer_;
};

} // namespace widgets
