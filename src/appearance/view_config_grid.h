#pragma once

// The string grids of the viewer configuration window: a fixed number of rows, optional heading
// row, column widths in design units scaled by the window-size factor, and only the columns that
// the window allows editable.

#include "appearance/view_config_editor.h"

#include <QStringList>
#include <QTableWidget>

#include <vector>

namespace appearance {

class ViewConfigGrid : public QTableWidget {
    Q_OBJECT
public:
    struct Column {
        QString heading;
        int designWidth;
        bool editable;
        int maxLength = 0; // longest text the cell editor takes; 0 for no limit
    };

    ViewConfigGrid(const QString& objectName, std::vector<Column> columns, QWidget* parent);

    void setColumnTexts(int column, const GridColumnTexts& texts);
    GridColumnTexts columnTexts(int column) const;
    QString cellText(int row, int column) const;
    void setCellText(int row, int column, const QString& text);

    // Column widths and row height by the window-size factor; the grid as wide as its columns
    // plus room for the scroll bar.
    void applyFactor(double factor);

    // Puts a cell editor's text into its cell, so that reading the grid while the user is still
    // typing gets what is typed.
    void commitPendingEdit();

private:
    std::vector<Column> columns_;
};

} // namespace appearance
