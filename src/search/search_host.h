#pragma once

// What the search window needs of the main window, which owns the book table, the search-active
// state and the End Search controls.

#include "table/table.h"
#include "widgets/window_geometry.h"

namespace search {

class SearchHost {
public:
    virtual ~SearchHost() = default;

    virtual table::Table& bookTable() = 0;
    virtual bool searchActive() const = 0;
    // Closes the book table and opens it shared again, then applies the viewer options.
    virtual void reopenBookTable() = 0;
    // Installs the filter the book table runs for every record (it takes effect at the next
    // refresh or open). The filter stays until End Search removes it.
    virtual void setRecordFilter(table::RecordFilter filter) = 0;
    // Search-active state on: the End Search button, menu item and speed button enabled and
    // "SEARCH ON" shown.
    virtual void enableEndSearch() = 0;
    // End Search: controls disabled, state off, "SEARCH ON" hidden, the filter removed, the table
    // closed and reopened, viewer options applied, the count displayed.
    virtual void doEndSearch() = 0;
    // The window-size factor in effect and the user fonts, applied whenever the window is shown.
    virtual double windowSizeFactor() const = 0;
    virtual const widgets::UserFonts& userFonts() const = 0;
};

} // namespace search
