#pragma once

// What the record edit form needs of the main window, which creates it once at start-up and
// outlives it. The main window implements this interface and passes itself to TMyEdit.

#include "db/pick_list.h"
#include "settings/settings.h"
#include "table/table.h"
#include "widgets/window_geometry.h"

#include <QString>

namespace edit {

class EditHost {
public:
    virtual ~EditHost() = default;

    // `MyTable`: the open book table. The form moves its cursor, inserts, edits and posts; it
    // never opens or closes it.
    virtual table::Table& bookTable() = 0;
    // The nine pick lists the grid's drop-downs show. The form shows the same objects, so a
    // value it adds appears in both at once; it loads them when created and saves them to the
    // list files every time it closes.
    virtual db::PickLists& pickLists() = 0;
    // `DisplayCount`: called after every Add, Edit or Copy once the form has closed.
    virtual void displayCount() = 0;
    // Fixed for the run before the form is created.
    virtual bool browseMode() const = 0;
    // The window-size factor (1.0, 1.25, 1.6 or 2.0) in effect now.
    virtual double windowSizeFactor() const = 0;
    // The label, edit and button fonts in effect now.
    virtual widgets::UserFonts userFonts() const = 0;
    // Field labels and the edit window's colour set, read every time the form is shown.
    virtual const app::Settings& settings() const = 0;
    // Where the list files live.
    virtual QString programDirectory() const = 0;
};

} // namespace edit
