#pragma once

// Search criteria written as text, for scripts: the criteria of the search window, with the
// same compiler and record test, so that a criterion means exactly what it means there.
//
//   CRITERIA := LEVEL { " OR " LEVEL }        a record passes when one level holds
//   LEVEL    := ITEM { " AND " ITEM }         every item of the level must hold
//   ITEM     := FIELD " contains " TEXT       text fields (Key Words: any of its words)
//             | FIELD ( "=" | ">" | "<" ) VALUE          number and date fields
//             | FIELD ">" LOW "<" HIGH                   between, both ends excluded
//
// FIELD is a field label (as the user named it) or a catalogue field name, in any letter case.
// Dates are typed in the date format in force. At most one item per field in a level.

#include "db/user_messages.h"
#include "search/search_items.h"
#include "settings/settings.h"

#include <optional>
#include <string>
#include <vector>

namespace cli {

// The search items of `criteria`. Throws UsageError when the text does not follow the grammar
// (unknown field, operator not offered for the field's kind); a value that does not convert
// shows the search window's own message through `messages` and gives nothing.
std::optional<std::vector<search::SearchItem>> compileCriteria(const std::string& criteria,
                                                               const app::Settings& settings,
                                                               const search::DateReading& dates,
                                                               db::UserMessages& messages);

// The field number (1..36) a label or catalogue name stands for; 0 when none.
int fieldNumberNamed(const std::string& name, const app::Settings& settings);

} // namespace cli
