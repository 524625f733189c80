#pragma once

// The definitions the program ships with and the starting points of new ones.

#include "reports/report_definition.h"

#include <vector>

namespace reports {

// Parts as the built-in layouts are written: a catalogue field, a constant text, empty space.
ReportPart fieldPart(const char* fieldName, int width);
ReportPart labelPart(const char* text, int width);
ReportPart fillerPart(int width);
// A line of the given parts followed by parts of width 0.
ReportLine lineOf(std::initializer_list<ReportPart> parts);

// Width 120, every font Arial 8, column headers, page numbers, date and totals on, one body
// line, half-inch margins, grouping by the first sort level, every line empty.
ReportDefinition standardDefaults();
// Labelled Cost, Value, Low Market and High Market totals.
ReportLine standardTotalsLine();

// The eight reports written into a new VLMBOOK.URP, in file order.
std::vector<ReportDefinition> builtInReports();

// What the New Report command starts from: width 90, Courier New 10 with bold titles, column
// headers and footnotes, cell lines on, every line empty.
ReportDefinition newReportDefaults();

} // namespace reports
