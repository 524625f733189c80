#pragma once

// The book viewer: a table view on BookTableModel with the options the viewer configuration
// sets, the pick-list drop-downs and the CheckOut check box. The main window creates it on its
// table, names it "ViewerGrid", and calls setColumns / setOptions from SetViewerOptions.
//
//     auto* grid = new widgets::RecordGrid(myTable, seams.messages, this);
//     grid->setObjectName("ViewerGrid");
//     grid->setPickLists(pickLists);          // the nine grid drop-downs
//     auto* navigator = new widgets::RecordNavigator(seams.messages, this);
//     navigator->setGrid(grid);
//     navigator->setBrowseMode(browseMode);
//     connect(navigator, &widgets::RecordNavigator::pressed, this, [this] { DisplayCount(); });
//
//     // SetViewerOptions, after setting the table's display properties:
//     grid->setColumns(widgets::columnsFromTableDisplay(myTable));
//     grid->setOptions(widgets::gridOptionsFromSettings(settings));  // grid_settings.h
//
// The table and the messages must outlive the grid (declare MyTable before the widgets, or
// destroy the grid first).
//
// Whatever is done to the table through its handle (the edit window, a search, a sort order, a
// reopen) shows by itself; call reload() when the way rows are shown changed (a date format).

#include "db/pick_list.h"
#include "db/user_messages.h"
#include "widgets/book_table_model.h"

#include <QColor>
#include <QFont>
#include <QTableView>

#include <array>

namespace widgets {

class GridCellDelegate;
class PickListDelegate;
class CheckBoxDelegate;

struct GridOptions {
    bool rowIndicator = true;
    bool rowLines = true;
    bool columnLines = true;
    bool showTitles = true;
    bool editing = false;   // cell editing; off gives whole-row selection
    int titleAlignment = 2; // 1 left, 2 centre, 3 right; other values keep the current one
    QColor titleColour{0x82, 0x82, 0x82}; // title background
    QColor cellColour{0xc0, 0xc0, 0xc0};
    QFont titleFont;
    QColor titleTextColour{Qt::black};
    QFont cellFont;
    QColor cellTextColour{Qt::black};
};

class RecordGrid : public QTableView {
    Q_OBJECT
public:
    RecordGrid(table::Table& table, db::UserMessages& messages, QWidget* parent = nullptr);
    ~RecordGrid() override;

    BookTableModel& bookModel() { return *model_; }
    table::Table& table() { return model_->table(); }

    // Columns in display order; widths in characters of the cell font.
    void setColumns(std::vector<ColumnDef> columns);
    void setOptions(const GridOptions& options);
    const GridOptions& options() const { return options_; }
    // Binds the nine pick-list columns to their lists (which outlive the grid).
    void setPickLists(db::PickLists& lists);
    // The drop-down of a pick-list field (1..36), null for other fields or before setPickLists.
    PickListDelegate* pickListEditor(int fieldNumber) const;

    void reload(); // see BookTableModel::reload
    // Stores the text of a cell editor that is open (before posting or moving elsewhere). False
    // when the text was refused (the user has been told): the editor then stays open.
    bool finishCellEdit();
    // Closes a cell editor that is open without storing its text (before a cancel).
    void dropCellEdit();
    // Asks "Delete this record?" (caption "Confirm", Yes/No, default No) and deletes the current
    // record on Yes. Returns whether a record was deleted. While editing is on, Ctrl+Del in the
    // grid does this, Insert starts a new record and Esc drops an edit not yet stored.
    bool confirmAndDelete();

signals:
    // The current record changed (row chosen in the grid, or the table moved).
    void currentRecordChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    QWidget* openCellEditor() const;
    void followTableRow(int row);
    void applyColumnWidths();
    void applyColumnDelegates();
    void applyRowHeight();

    BookTableModel* model_;
    db::UserMessages& messages_;
    GridOptions options_;
    GridCellDelegate* plainDelegate_;
    CheckBoxDelegate* checkDelegate_;
    std::array<PickListDelegate*, 37> pickDelegates_{}; // by field number
    bool following_ = false;
};

} // namespace widgets
