#include "widgets/record_grid.h"

#include "db/field_catalogue.h"
#include "widgets/grid_delegates.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QStyleOptionHeader>

#include <algorithm>

namespace widgets {

namespace {
constexpr int kCellPadding = 8; // pixels around a column's text
constexpr int kIndicatorWidth = 16;

QString colourName(const QColor& colour) {
    return colour.name(QColor::HexRgb);
}

// Column titles: a title wider than its column shows its beginning and an ellipsis, rather than
// its middle with both ends cut off, as a centred title would. (The style sheet that colours the
// titles drops the header's own elide mode, so the text is shortened here.)
class TitleHeader : public QHeaderView {
public:
    explicit TitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setSectionsClickable(true);
    }

protected:
    void initStyleOptionForIndex(QStyleOptionHeader* option, int logicalIndex) const override {
        QHeaderView::initStyleOptionForIndex(option, logicalIndex);
        constexpr int kTitleMargins = 12; // padding and border of both sides
        const int room = std::max(0, sectionSize(logicalIndex) - kTitleMargins);
        const QFontMetrics metrics(font());
        if (metrics.horizontalAdvance(option->text) <= room)
            return;
        option->text = metrics.elidedText(option->text, Qt::ElideRight, room);
        option->textAlignment = (option->textAlignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignLeft;
    }
};
} // namespace

RecordGrid::RecordGrid(table::Table& table, db::UserMessages& messages, QWidget* parent)
    : QTableView(parent), model_(new BookTableModel(table, messages, this)), messages_(messages),
      plainDelegate_(new GridCellDelegate(this)), checkDelegate_(new CheckBoxDelegate(this)) {
    setHorizontalHeader(new TitleHeader(this));
    setModel(model_);
    setItemDelegate(plainDelegate_);
    setShowGrid(false); // the delegates draw the row and column lines the options ask for
    setWordWrap(false);
    setTabKeyNavigation(true);
    setCornerButtonEnabled(false);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(kIndicatorWidth);
    verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    connect(model_, &BookTableModel::currentRowChanged, this, &RecordGrid::followTableRow);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        applyColumnWidths();
        applyColumnDelegates();
        followTableRow(model_->currentRow());
    });
    setOptions(options_);
    followTableRow(model_->currentRow());
}

RecordGrid::~RecordGrid() = default;

void RecordGrid::setColumns(std::vector<ColumnDef> columns) {
    model_->setColumns(std::move(columns));
    applyColumnWidths();
    applyColumnDelegates();
    followTableRow(model_->currentRow());
}

void RecordGrid::applyColumnWidths() {
    const QFontMetrics metrics(font());
    const auto& columns = model_->columns();
    for (size_t column = 0; column < columns.size(); ++column) {
        const int chars = std::max(columns[column].widthChars, 1);
        setColumnWidth(static_cast<int>(column), chars * metrics.averageCharWidth() + kCellPadding);
    }
}

void RecordGrid::applyColumnDelegates() {
    const int columns = model_->columnCount();
    for (int column = 0; column < columns; ++column)
        setItemDelegateForColumn(column, nullptr);
    if (!model_->table().isOpen())
        return;
    for (int column = 0; column < columns; ++column) {
        const int field = model_->fieldIndexAt(column);
        if (field < 0 || field >= model_->table().fieldCount())
            continue;
        const std::string name = model_->table().fieldDescriptor(field).name;
        const int number = db::fieldNumberByName(name);
        if (db::sameFieldName(name, "CheckOut"))
            setItemDelegateForColumn(column, checkDelegate_);
        else if (number > 0 && pickDelegates_[static_cast<size_t>(number)] != nullptr)
            setItemDelegateForColumn(column, pickDelegates_[static_cast<size_t>(number)]);
    }
}

void RecordGrid::setPickLists(db::PickLists& lists) {
    for (const db::FieldInfo* field : db::pickListFields()) {
        auto& slot = pickDelegates_[static_cast<size_t>(field->number)];
        delete slot;
        slot = nullptr;
        if (db::PickList* list = lists.forField(field->number)) {
            slot = new PickListDelegate(*list, this);
            slot->setObjectName(pickListEditorName(field->number));
            slot->setLines(options_.rowLines, options_.columnLines);
        }
    }
    applyColumnDelegates();
}

PickListDelegate* RecordGrid::pickListEditor(int fieldNumber) const {
    if (fieldNumber < 1 || fieldNumber >= static_cast<int>(pickDelegates_.size()))
        return nullptr;
    return pickDelegates_[static_cast<size_t>(fieldNumber)];
}

void RecordGrid::applyRowHeight() {
    const int height = QFontMetrics(font()).height() + 6;
    verticalHeader()->setMinimumSectionSize(std::min(height, 12));
    verticalHeader()->setDefaultSectionSize(height);
}

void RecordGrid::setOptions(const GridOptions& options) {
    options_ = options;
    // Row indicator, titles and lines.
    verticalHeader()->setVisible(options.rowIndicator);
    horizontalHeader()->setVisible(options.showTitles);
    plainDelegate_->setLines(options.rowLines, options.columnLines);
    checkDelegate_->setLines(options.rowLines, options.columnLines);
    for (PickListDelegate* delegate : pickDelegates_)
        if (delegate != nullptr)
            delegate->setLines(options.rowLines, options.columnLines);

    // Cell editing, or whole-row selection.
    model_->setEditingEnabled(options.editing);
    if (options.editing) {
        setSelectionBehavior(QAbstractItemView::SelectItems);
        setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                        QAbstractItemView::AnyKeyPressed);
    } else {
        closePersistentEditor(currentIndex());
        setSelectionBehavior(QAbstractItemView::SelectRows);
        setEditTriggers(QAbstractItemView::NoEditTriggers);
    }

    // Fonts and colours. The selection stays visible when the grid loses the focus.
    setFont(options.cellFont);
    QPalette cells = palette();
    cells.setColor(QPalette::Base, options.cellColour);
    cells.setColor(QPalette::Text, options.cellTextColour);
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        cells.setColor(QPalette::Inactive, role, cells.color(QPalette::Active, role));
    setPalette(cells);

    horizontalHeader()->setFont(options.titleFont);
    horizontalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; "
                       "border: 0px; border-right: 1px solid palette(mid); "
                       "border-bottom: 1px solid palette(mid); padding: 1px 4px; }")
            .arg(colourName(options.titleColour), colourName(options.titleTextColour)));
    verticalHeader()->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; "
                       "border: 0px; border-right: 1px solid palette(mid); "
                       "border-bottom: 1px solid palette(mid); padding: 0px; }")
            .arg(colourName(options.titleColour), colourName(options.titleTextColour)));
    switch (options.titleAlignment) {
    case 1:
        model_->setTitleAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        break;
    case 2:
        model_->setTitleAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        break;
    case 3:
        model_->setTitleAlignment(Qt::AlignRight | Qt::AlignVCenter);
        break;
    default:
        break; // any other value leaves the alignment as it was
    }
    applyRowHeight();
    applyColumnWidths();
    viewport()->update();
}

void RecordGrid::reload() {
    model_->reload();
}

QWidget* RecordGrid::openCellEditor() const {
    if (state() != QAbstractItemView::EditingState)
        return nullptr;
    QWidget* editor = QApplication::focusWidget();
    while (editor != nullptr && editor->parentWidget() != viewport())
        editor = editor->parentWidget();
    // The focus may be elsewhere (a menu opened by the mouse): the open editor is the visible
    // child of the viewport.
    for (QWidget* child : viewport()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (editor == nullptr && child->isVisible())
            editor = child;
    return editor;
}

bool RecordGrid::finishCellEdit() {
    QWidget* editor = openCellEditor();
    if (editor == nullptr)
        return true;
    const uint64_t refusedBefore = model_->refusedEdits();
    commitData(editor);
    if (model_->refusedEdits() != refusedBefore)
        return false; // the user was told why; the text stays in the editor to be put right
    closeEditor(editor, QAbstractItemDelegate::NoHint);
    return true;
}

void RecordGrid::dropCellEdit() {
    if (QWidget* editor = openCellEditor())
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

bool RecordGrid::confirmAndDelete() {
    if (model_->currentRow() < 0 || model_->isEditing())
        return false;
    const db::MessageAnswer answer =
        messages_.show("Confirm", "Delete this record?", db::MessageIcon::Question,
                       db::MessageButtons::YesNo, db::MessageAnswer::No);
    if (answer != db::MessageAnswer::Yes)
        return false;
    return model_->deleteCurrent();
}

void RecordGrid::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Delete && (event->modifiers() & Qt::ControlModifier) &&
        options_.editing && state() != QAbstractItemView::EditingState) {
        if (confirmAndDelete())
            emit currentRecordChanged();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Insert && event->modifiers() == Qt::NoModifier &&
        options_.editing && !model_->isEditing()) {
        if (model_->beginInsert()) {
            const int column = std::max(currentIndex().column(), 0);
            const QModelIndex cell = model_->index(model_->currentRow(), column);
            scrollTo(cell);
            edit(cell);
        }
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape && model_->isEditing() &&
        state() != QAbstractItemView::EditingState) {
        model_->cancel();
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Ctrl+End goes to the last record and stays in the column, as in a database grid (a table view
// goes to the last cell of the last row).
QModelIndex RecordGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    if (action == MoveEnd && (modifiers & Qt::ControlModifier) && model_->rowCount() > 0 &&
        model_->columnCount() > 0)
        return model_->index(model_->rowCount() - 1, std::max(currentIndex().column(), 0));
    return QTableView::moveCursor(action, modifiers);
}

// The user chose another row: it becomes the table's current record. While the table is editing
// the row cannot change (the edit is posted or cancelled first).
void RecordGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (following_ || !current.isValid())
        return;
    if (current.row() == model_->currentRow()) {
        return;
    }
    if (model_->isEditing()) {
        // Rows may move when the record is stored: follow the chosen one through the change.
        const QPersistentModelIndex chosen(current);
        const bool posted = model_->post();
        following_ = true;
        if (posted && chosen.isValid())
            setCurrentIndex(chosen);
        else
            setCurrentIndex(model_->index(model_->currentRow(), current.column()));
        following_ = false;
        if (!posted || !chosen.isValid())
            return;
        if (model_->moveToRow(chosen.row()))
            emit currentRecordChanged();
        return;
    }
    if (model_->moveToRow(current.row()))
        emit currentRecordChanged();
}

// The table moved (navigator, locate, reload): show its row as current.
void RecordGrid::followTableRow(int row) {
    if (following_)
        return;
    following_ = true;
    const int column = std::max(currentIndex().column(), 0);
    if (row >= 0 && row < model_->rowCount() && model_->columnCount() > 0) {
        const QModelIndex target = model_->index(row, std::min(column, model_->columnCount() - 1));
        if (currentIndex() != target) {
            setCurrentIndex(target);
            scrollTo(target);
        }
    } else {
        selectionModel()->clearCurrentIndex();
    }
    following_ = false;
    emit currentRecordChanged();
}

} // namespace widgets
