#pragma once

// Pack and index rebuild of the open book table. Both need the table file to themselves: the
// grid's handle is closed, a second handle opens the file exclusively and does the work, and the
// grid's handle is opened shared again with the same index tag and the viewer options applied,
// whether the work succeeded or not.

#include "db/user_messages.h"
#include "table/table.h"

#include <functional>
#include <string>

namespace db {

inline constexpr const char* kPackQuestion =
    "Deleted items are not permanently removed from the database until packing occurs.  Packing "
    "simply removes them to free up space.  Continue?";
inline constexpr const char* kRebuildQuestion =
    "It is possible for your index files to become corrupted.  As a result, some items may not "
    "show up in the viewer or in reports.  This will rebuild your index files correctly.  "
    "Continue?";
inline constexpr const char* kPackNeedsExclusiveMessage =
    "Unable to pack table.  Packing requires exclusive use of the DBase File.  Make sure that the "
    "DBase File is not in use by another program  or that no other users are running the "
    "software or that no other copies of the software are in use.";
inline constexpr const char* kReindexNeedsExclusiveMessage =
    "Unable to reindex table.  Reindexing requires exclusive use of the DBase File.  Make sure "
    "that the DBase File is not in use by another program  or that no other users are running "
    "the software or that no other copies of the software are in use.";

// Engine work that reports how far it got (0 .. 1).
using EngineWork = std::function<void(const table::Progress&)>;
// Runs the work to its end and rethrows whatever it threw. A window runs it on a worker thread
// while it shows the progress; when empty the work runs at once on the caller's thread.
using WorkRunner = std::function<void(const EngineWork&)>;

struct MaintenanceContext {
    table::Table& table; // the grid's table, open shared
    UserMessages& messages;
    std::function<void()> applyViewerOptions;
    WorkRunner runWork;
    // The key of the tag NewIndex, built again when the index was damaged ("" for none).
    std::string sortExpression;
};

enum class MaintenanceResult {
    Cancelled, // the user answered No; nothing was touched
    Done,
    Failed, // the user was told; the table is open shared again if the engine allowed it
};

// Asks, then removes deleted records for good and rebuilds every index tag.
MaintenanceResult packDatabase(MaintenanceContext& context);
// Asks, then rebuilds every index tag from the records. A damaged index is replaced by a new
// one holding the tag NewIndex for the sort expression.
MaintenanceResult rebuildIndexes(MaintenanceContext& context);

} // namespace db
