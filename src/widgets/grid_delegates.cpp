#include "widgets/grid_delegates.h"

#include "db/field_catalogue.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace widgets {

QString pickListEditorName(int fieldNumber) {
    const db::FieldInfo* field = db::fieldByNumber(fieldNumber);
    if (field == nullptr || !field->hasPickList())
        return {};
    // The drop-downs are named after the list files' subjects, as the main window names them.
    switch (fieldNumber) {
    case 2:
        return QStringLiteral("MyComboAuthor");
    case 4:
        return QStringLiteral("MyComboPublisher");
    case 5:
        return QStringLiteral("MyComboCategory");
    case 6:
        return QStringLiteral("MyComboBought");
    case 11:
        return QStringLiteral("MyComboRating");
    case 13:
        return QStringLiteral("MyComboBookType");
    case 19:
        return QStringLiteral("MyComboCheckOut");
    case 25:
        return QStringLiteral("MyComboLocation");
    case 26:
        return QStringLiteral("MyComboCondition");
    default:
        return {};
    }
}

// --- Lines
// -----------------------------------------------------------------------------------------

void GridCellDelegate::setLines(bool rowLines, bool columnLines) {
    rowLines_ = rowLines;
    columnLines_ = columnLines;
}

void GridCellDelegate::paintLines(QPainter* painter, const QStyleOptionViewItem& option) const {
    if (!rowLines_ && !columnLines_)
        return;
    painter->save();
    const QColor colour = option.palette.color(QPalette::Mid);
    painter->setPen(QPen(colour, 0));
    const QRect& cell = option.rect;
    if (rowLines_)
        painter->drawLine(cell.bottomLeft(), cell.bottomRight());
    if (columnLines_)
        painter->drawLine(cell.topRight(), cell.bottomRight());
    painter->restore();
}

void GridCellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    paintLines(painter, option);
}

// --- Pick lists
// ---------------------------------------------------------------------------------------

PickListDelegate::PickListDelegate(db::PickList& list, QObject* parent)
    : GridCellDelegate(parent), list_(list) {}

QWidget* PickListDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                        const QModelIndex&) const {
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert); // the list grows only when a record is stored
    combo->setMaxVisibleItems(12);
    combo->addItems(list_.entries());
    // Follow changes made to the list while the drop-down is open (the pick-list editor).
    db::PickList* list = &list_;
    const int observer = list->addObserver([combo, list] {
        const QString typed = combo->currentText();
        combo->clear();
        combo->addItems(list->entries());
        combo->setCurrentText(typed);
    });
    QObject::connect(combo, &QObject::destroyed,
                     [list, observer] { list->removeObserver(observer); });
    return combo;
}

void PickListDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (combo == nullptr)
        return;
    const QString text = index.data(Qt::EditRole).toString();
    const int found = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found >= 0)
        combo->setCurrentIndex(found);
    else
        combo->setEditText(text);
    if (combo->lineEdit() != nullptr)
        combo->lineEdit()->selectAll();
}

void PickListDelegate::setModelData(QWidget* editor, QAbstractItemModel* model,
                                    const QModelIndex& index) const {
    auto* combo = qobject_cast<QComboBox*>(editor);
    if (combo == nullptr)
        return;
    const QString text = combo->currentText();
    if (text != index.data(Qt::EditRole).toString())
        model->setData(index, text, Qt::EditRole);
}

// --- Check box
// --------------------------------------------------------------------------------------------

namespace {
QRect checkBoxRect(const QStyleOptionViewItem& option) {
    QStyleOptionButton box;
    box.rect = option.rect;
    const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    const QRect indicator =
        style->subElementRect(QStyle::SE_CheckBoxIndicator, &box, option.widget);
    return QStyle::alignedRect(option.direction, Qt::AlignCenter, indicator.size(), option.rect);
}
} // namespace

void CheckBoxDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    const QStyle* style = option.widget != nullptr ? option.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, option.widget);

    QStyleOptionButton box;
    box.rect = checkBoxRect(option);
    box.state = QStyle::State_Enabled;
    box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On
                                                                       : QStyle::State_Off;
    if (!(index.flags() & Qt::ItemIsUserCheckable))
        box.state &= ~QStyle::State_Enabled;
    box.palette = option.palette;
    style->drawPrimitive(QStyle::PE_IndicatorCheckBox, &box, painter, option.widget);
    paintLines(painter, option);
}

bool CheckBoxDelegate::editorEvent(QEvent* event, QAbstractItemModel* model,
                                   const QStyleOptionViewItem& option, const QModelIndex& index) {
    if (!(index.flags() & Qt::ItemIsUserCheckable))
        return false;
    bool toggle = false;
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        toggle =
            mouse->button() == Qt::LeftButton && option.rect.contains(mouse->position().toPoint());
    } else if (event->type() == QEvent::MouseButtonDblClick) {
        return true; // no editor to open
    } else if (event->type() == QEvent::KeyPress) {
        toggle = static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space;
    }
    if (!toggle)
        return false;
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

} // namespace widgets
