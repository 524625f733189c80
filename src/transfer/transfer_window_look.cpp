#include "transfer/transfer_window_look.h"

#include "search/window_colours.h"

#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QTableWidget>

namespace transfer {

void scaleFieldGrid(QTableWidget& grid, std::initializer_list<int> columnWidths, double factor) {
    int column = 0;
    int total = 0;
    for (const int width : columnWidths) {
        grid.setColumnWidth(column++, qRound(width * factor));
        total += width;
    }
    grid.setFixedWidth(qRound(total * factor) + 20);
    grid.verticalHeader()->setDefaultSectionSize(
        qRound(grid.verticalHeader()->defaultSectionSize() * factor));
}

void swapGridRows(QTableWidget& grid, int a, int b, int firstColumn, int endColumn) {
    for (int column = firstColumn; column < endColumn; ++column) {
        QTableWidgetItem* first = grid.takeItem(a - 1, column);
        QTableWidgetItem* second = grid.takeItem(b - 1, column);
        grid.setItem(a - 1, column, second);
        grid.setItem(b - 1, column, first);
    }
}

void paintTransferWindow(QDialog& window, QTableWidget& grid,
                         const std::vector<QWidget*>& minorTitles, QCheckBox& check,
                         const app::ColourSet& colours) {
    using app::ColourRole;
    search::paintBackground(window, colours[ColourRole::MainBackground]);
    search::paintList(grid, colours[ColourRole::ListBoxBackground],
                      colours[ColourRole::ListBoxText]);
    for (QWidget* title : minorTitles)
        search::paintBackground(*title, colours[ColourRole::MainBackground],
                                colours[ColourRole::MinorTitle]);
    search::paintBackground(check, colours[ColourRole::CheckBackground],
                            colours[ColourRole::CheckText]);
}

} // namespace transfer
