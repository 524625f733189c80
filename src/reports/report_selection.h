#pragma once

// The parts of the report selection window that decide rather than show: the sort order text,
// the definition a new report starts from, and one run from the chosen report to its output.
// The window only wires its controls to these.

#include "reports/report_definition.h"
#include "reports/report_generator.h"
#include "settings/settings.h"

#include <QString>

namespace reports {

inline constexpr const char* kNoReportSelectedMessage =
    "No Report has been selected.  Please choose one.";
inline constexpr const char* kNoSortOrderText = "No Sort Order Selected";

// The labels of the sort levels in use, joined by ", "; "No Sort Order Selected" when none is.
QString sortOrderText(const app::Settings& settings);

// What "&New Report" starts from: no name, 90 characters, Courier New 10 in every font slot
// (bold for titles, column headers and footnotes), half-inch margins, lines between cells and
// rows, grouping on the first sort level, one empty body line and an empty totals line.
ReportDefinition newReportDefinition();

} // namespace reports
