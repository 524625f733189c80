#pragma once

// Which fields the viewer grid shows, in which order, under which titles and how wide, as the
// viewer settings say.

#include "settings/settings.h"
#include "widgets/book_table_model.h"

#include <vector>

namespace app {

// For display positions 1..36, the first field whose "Field Order" is that position (field 1 when
// none is); a field already placed is not placed twice. Fields that no position reaches follow in
// field order. Fields whose "Display Fields" is off are left out.
std::vector<widgets::ColumnDef> viewerColumns(const Settings& settings);

} // namespace app
