#include "appearance/view_config_grid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>

#include <algorithm>

#include <cmath>

namespace appearance {

namespace {

constexpr int kDesignRowHeight = 20;
constexpr int kScrollBarRoom = 20;

// Cell editor that refuses text beyond a column's limit, so a label is never typed longer than
// it can be stored.
class LimitedTextDelegate : public QStyledItemDelegate {
public:
    LimitedTextDelegate(int maxLength, QObject* parent)
        : QStyledItemDelegate(parent), maxLength_(maxLength) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor))
            line->setMaxLength(maxLength_);
        return editor;
    }

private:
    int maxLength_;
};

} // namespace

ViewConfigGrid::ViewConfigGrid(const QString& objectName, std::vector<Column> columns,
                               QWidget* parent)
    : QTableWidget(kViewConfigRows, static_cast<int>(columns.size()), parent),
      columns_(std::move(columns)) {
    setObjectName(objectName);
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    // The widths are set in design units; without this the header would widen a column to fit
    // its heading in a large font.
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setTabKeyNavigation(false);
    bool hasHeadings = false;
    QStringList headings;
    for (int column = 0; column < columnCount(); ++column) {
        const Column& layout = columns_[static_cast<size_t>(column)];
        headings << layout.heading;
        hasHeadings = hasHeadings || !layout.heading.isEmpty();
        if (layout.maxLength > 0)
            setItemDelegateForColumn(column, new LimitedTextDelegate(layout.maxLength, this));
        for (int row = 0; row < kViewConfigRows; ++row) {
            auto* item = new QTableWidgetItem;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (layout.editable)
                flags |= Qt::ItemIsEditable;
            item->setFlags(flags);
            setItem(row, column, item);
        }
    }
    setHorizontalHeaderLabels(headings);
    horizontalHeader()->setVisible(hasHeadings);
    applyFactor(1.0);
}

void ViewConfigGrid::setColumnTexts(int column, const GridColumnTexts& texts) {
    for (int row = 0; row < kViewConfigRows; ++row)
        setCellText(row, column, texts[static_cast<size_t>(row)]);
}

GridColumnTexts ViewConfigGrid::columnTexts(int column) const {
    GridColumnTexts texts;
    for (int row = 0; row < kViewConfigRows; ++row)
        texts[static_cast<size_t>(row)] = cellText(row, column);
    return texts;
}

QString ViewConfigGrid::cellText(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text() : QString();
}

void ViewConfigGrid::setCellText(int row, int column, const QString& text) {
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(text);
}

void ViewConfigGrid::applyFactor(double factor) {
    int total = 0;
    for (int column = 0; column < columnCount(); ++column) {
        const int width = static_cast<int>(
            std::lround(columns_[static_cast<size_t>(column)].designWidth * factor));
        setColumnWidth(column, width);
        total += width;
    }
    verticalHeader()->setDefaultSectionSize(
        static_cast<int>(std::lround(kDesignRowHeight * factor)));
    // Room for the vertical scroll bar and the frame, so no horizontal scroll bar is needed.
    const int room = std::max(kScrollBarRoom,
                              style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * frameWidth());
    resize(total + room, height());
}

void ViewConfigGrid::commitPendingEdit() {
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

} // namespace appearance
