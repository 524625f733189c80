#pragma once

// The look the import and export windows share: a field grid sized by the window-size factor
// and the colours of the configuration windows.

#include "settings/settings.h"

#include <initializer_list>
#include <vector>

class QCheckBox;
class QDialog;
class QTableWidget;
class QWidget;

namespace transfer {

// Columns of the given widths (at factor 1), the grid as wide as they are plus room for its
// scroll bar, and rows as tall as the factor makes them.
void scaleFieldGrid(QTableWidget& grid, std::initializer_list<int> columnWidths, double factor);

// Swaps the cells of grid rows `a` and `b` (counted from 1) in the columns from `firstColumn` up
// to, not including, `endColumn` (counted from 0).
void swapGridRows(QTableWidget& grid, int a, int b, int firstColumn, int endColumn);

// The window's background, the field grid, the minor titles and the window's check box in the
// colours of the configuration windows.
void paintTransferWindow(QDialog& window, QTableWidget& grid,
                         const std::vector<QWidget*>& minorTitles, QCheckBox& check,
                         const app::ColourSet& colours);

} // namespace transfer
