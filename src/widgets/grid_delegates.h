#pragma once

// How the record grid draws and edits its cells: every column draws the row and column lines
// that the grid options ask for; the nine pick-list columns edit through an editable drop-down
// list of the field's pick list (any text may still be typed); the CheckOut column is a check box
// writing "Yes" and "No".

#include "db/pick_list.h"

#include <QStyledItemDelegate>

namespace widgets {

class GridCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit GridCellDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}
    void setLines(bool rowLines, bool columnLines);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void paintLines(QPainter* painter, const QStyleOptionViewItem& option) const;

private:
    bool rowLines_ = true;
    bool columnLines_ = true;
};

// Named after the field's drop-down ("MyComboAuthor" ...). The list is read when the editor
// opens and followed while it is open.
class PickListDelegate : public GridCellDelegate {
    Q_OBJECT
public:
    PickListDelegate(db::PickList& list, QObject* parent = nullptr);
    db::PickList& pickList() { return list_; }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    db::PickList& list_;
};

// A centred check box; a click or the space bar toggles it when the cell is editable.
class CheckBoxDelegate : public GridCellDelegate {
    Q_OBJECT
public:
    using GridCellDelegate::GridCellDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    QWidget* createEditor(QWidget*, const QStyleOptionViewItem&,
                          const QModelIndex&) const override {
        return nullptr;
    }
};

// The object name of the drop-down for a pick-list field ("MyComboAuthor" for Author ...);
// empty for other fields.
QString pickListEditorName(int fieldNumber);

} // namespace widgets
