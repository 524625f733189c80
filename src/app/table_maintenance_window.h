#pragma once

// The main window's maintenance commands: Tools "&Pack Database" and "&Rebuild Indexes", and the
// nine entries of Options "List &Maintenance". The main window hands itself in through
// MaintenanceHost; each command is one call.

#include "app/list_editor.h"
#include "db/table_maintenance.h"
#include "widgets/seams.h"

class QWidget;

namespace app {

class MaintenanceHost {
public:
    virtual ~MaintenanceHost() = default;
    virtual QWidget* hostWindow() = 0;     // parent of the dialogs
    virtual table::Table& bookTable() = 0; // MyTable, open shared
    virtual widgets::Seams& seams() = 0;
    virtual db::PickLists& pickLists() = 0;             // the lists the grid and the edit form show
    virtual TMyEditBox::Look configureWindowLook() = 0; // size factor, user fonts, colours
    virtual void SetViewerOptions() = 0;
    virtual void DisplayCount() = 0;
};

// Tools "&Pack Database".
db::MaintenanceResult runPackDatabase(MaintenanceHost& host);
// Tools "&Rebuild Indexes".
db::MaintenanceResult runRebuildIndexes(MaintenanceHost& host);
// Options "List &Maintenance", entry `position` (0 .. 8) of kListMaintenanceEntries in menu
// order; the menu is disabled in browse mode. Returns whether the edits were accepted.
bool runListMaintenance(MaintenanceHost& host, int position);

} // namespace app
