#pragma once

// The search window's criteria grid: one row per field with its label, a narrow button column
// (grey "..." on number, date and pick-list rows) and the criterion the user types, edited
// through a mask that follows the row's kind and operator.

#include "search/search_items.h"

#include <QString>
#include <QStringList>
#include <QStyledItemDelegate>
#include <QTableWidget>

class QLineEdit;

namespace search {

// How a criterion cell is edited: a Qt input mask (empty for text rows) and the longest text.
struct CriterionEditRule {
    QString inputMask;
    int maxLength = 32767;
};
CriterionEditRule criterionEditRule(int row, RowOperator op, char dateSeparator);

// Rows whose button cell opens the Search Options dialog.
bool rowHasOptions(int row);

class CriteriaDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    CriteriaDelegate(const RowOperators& operators, QObject* parent)
        : QStyledItemDelegate(parent), operators_(operators) {}
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

private:
    const RowOperators& operators_;
};

class CriteriaGrid : public QTableWidget {
    Q_OBJECT
public:
    static constexpr int kLabelColumn = 0;
    static constexpr int kButtonColumn = 1;
    static constexpr int kCriterionColumn = 2;

    CriteriaGrid(const RowOperators& operators, QWidget* parent);

    void setFieldLabels(const QStringList& labels); // 36 labels, field order
    void setLevel(int level);
    QString headingText(int column) const;
    // Column widths and row heights for the window-size factor.
    void applyFactor(double factor);

    QString criterionText(int row) const; // rows 1..36
    void setCriterionText(int row, const QString& text);
    CriteriaTexts criteriaTexts(); // committing the open editor first
    void clearCriteria();
    // Makes the row's criterion cell current with its editor open (and its current mask).
    void makeCurrent(int row);
    void commitOpenEditor();
    // The editor of the current criterion cell, null when none is open.
    QLineEdit* openEditor() const;

signals:
    void optionsRequested(int row);

private:
    void openCurrentEditor();

    int designRowHeight_ = 0;
};

} // namespace search
