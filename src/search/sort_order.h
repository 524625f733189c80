#pragma once

// Putting a new sort order in place: the tag NewIndex of the book table is rebuilt for the
// chosen fields while the table is open for sole use, and the choice is saved with the settings.

#include "db/book_database.h"
#include "db/user_messages.h"
#include "table/table.h"

#include <functional>
#include <string>

namespace search {

inline constexpr const char* kSortOrderInUseMessage =
    "Creating a new sort order requires exclusive use of the DBase File.  Make sure that the "
    "DBase File is not in use by another program  or that no other users are running the "
    "software or that no other copies of the software are in use.";
inline constexpr const char* kSortOrderFailedMessage =
    "Error in implementing sort order.  New sort order not implemented.";

// What the change needs of the main window.
struct SortOrderContext {
    table::Table& table;         // the grid's book table, open shared
    db::SortLevels& sortLevels;  // the levels kept in the settings
    std::string& sortExpression; // the expression the table's index is built from
    db::UserMessages& messages;
    std::function<bool()> saveSettings; // writes the settings file; false when it could not
    std::function<void()> applyViewerOptions;
};

enum class SortOrderOutcome {
    Applied, // the new order is in place and saved
    InUse,   // another program holds the table; nothing changed, the user was told
    Failed,  // the change failed; the old order is back, the user was told
};

// The table is closed, changed under exclusive use, and reopened shared in every case (a filter
// set on it stays in force).
SortOrderOutcome putSortOrderInPlace(SortOrderContext& context, const db::SortLevels& chosen);

} // namespace search
