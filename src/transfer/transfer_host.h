#pragma once

// What the import and export windows need of the main window, which owns the book table, the
// settings and the search state.

#include "settings/settings.h"
#include "table/table.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QString>

namespace transfer {

class TransferHost {
public:
    virtual ~TransferHost() = default;

    virtual table::Table& bookTable() = 0;
    virtual app::Settings& settings() = 0;
    virtual bool searchActive() const = 0;
    // End Search, as its button does: the table reopened without the search's filter.
    virtual void doEndSearch() = 0;
    // The search active again, its controls shown and its filter applied to the table.
    virtual void enableEndSearch() = 0;
    // The title the viewer last gave the field's column during this run; empty when the field
    // has not been shown since the program started.
    virtual QString columnTitle(int fieldNumber) const = 0;
    virtual void displayCount() = 0;
    virtual double windowSizeFactor() const = 0;
    virtual const widgets::UserFonts& userFonts() const = 0;
};

} // namespace transfer
