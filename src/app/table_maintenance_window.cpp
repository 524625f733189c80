#include "app/table_maintenance_window.h"

#include "db/book_database.h"
#include "widgets/progress_window.h"

namespace app {

namespace {

db::MaintenanceContext contextFor(MaintenanceHost& host, const QString& what) {
    return db::MaintenanceContext{host.bookTable(), host.seams().messages,
                                  [&host] { host.SetViewerOptions(); },
                                  [&host, what](const db::EngineWork& work) {
                                      widgets::runWithProgress(host.hostWindow(), what, work);
                                  }};
}

} // namespace

db::MaintenanceResult runPackDatabase(MaintenanceHost& host) {
    db::MaintenanceContext context = contextFor(host, QStringLiteral("Packing the database..."));
    db::MaintenanceResult result = db::packDatabase(context);
    if (result != db::MaintenanceResult::Cancelled)
        host.DisplayCount();
    return result;
}

db::MaintenanceResult runRebuildIndexes(MaintenanceHost& host) {
    db::MaintenanceContext context = contextFor(host, QStringLiteral("Rebuilding the indexes..."));
    db::MaintenanceResult result = db::rebuildIndexes(context);
    if (result != db::MaintenanceResult::Cancelled)
        host.DisplayCount();
    return result;
}

bool runListMaintenance(MaintenanceHost& host, int position) {
    if (position < 0 || position >= static_cast<int>(kListMaintenanceEntries.size()))
        return false;
    TMyEditBox editor(kListMaintenanceEntries[static_cast<size_t>(position)], host.pickLists(),
                      host.seams(), host.configureWindowLook(), host.hostWindow());
    return editor.exec() == QDialog::Accepted;
}

} // namespace app
