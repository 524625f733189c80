#pragma once

// The decisions of the report designer, free of widgets: fitting lines to the report width, the
// questions and notices of a width change, the number-of-lines check, saving with the rename
// question, deleting, and the change the part window makes to one line. The designer's windows
// only wire their controls to these; every question goes through the messages seam.

#include "db/user_messages.h"
#include "reports/report_definition.h"
#include "reports/report_file.h"

#include <QString>

#include <optional>

namespace reports {

// The line number the layout and part windows use for the totals line.
inline constexpr int kTotalsLineNumber = 100;

inline constexpr const char* kNumLinesRangeMessage =
    "Number of lines must be in range of 0 to 12.  Please correct.";
inline constexpr const char* kInvalidWidthMessage = "Invalid width entered.  Please correct.";
inline constexpr const char* kRenameQuestion =
    "Report Title has changed!  Do you wish to save this as a new report?   (YES saves as new "
    "report.  NO overwrites old report.  CANCEL aborts.)";
inline constexpr const char* kDeleteQuestion = "Are you sure you want to delete this report?";
inline constexpr const char* kTo90Question =
    "Switching to 90 characters from 120 or 150 will truncate the current defined lines.  In "
    "addition, the font size will be reset to a 10 point as a default.  Are you sure you wish to "
    "do this?";
inline constexpr const char* kTo120Question =
    "Switching to 120 characters from 150 will truncate the current defined lines.  In "
    "addition, the font size will be reset to a 8 point as a default.  Are you sure you wish to "
    "do this?";
inline constexpr const char* kBody8Notice =
    "The Report Body font size has been set to a 8 Point default size as.";
inline constexpr const char* kBody6Notice =
    "The Report Body font size has been set to a 6 Point default size as a result of switching "
    "to 150 characters per line.";

// Makes the widths of `line` add up to exactly `width`: 0-width parts met on the way take the
// whole width, the part that reaches the width is cut (or part 20 widened) and every later part
// gets width 0, ending the line there.
void fitLine(ReportLine& line, int width);

// Width change in the definition window from `from` to `to` characters (90, 120 or 150). Asks
// and tells what the user must know; on Yes (or when nothing is asked) fits body lines
// 1..NumLines, sets Width and the body font's default size. Returns false when the user said
// No or the width is already set: the definition is then unchanged.
bool changeReportWidth(ReportDefinition& definition, int from, int to, db::UserMessages& messages);

// The typed number of lines as a whole number; nothing when it does not convert.
std::optional<int> numLinesFromText(const QString& text);
// The check before Update and before the layout window: 0..12, or the notice and nothing.
std::optional<int> checkNumLines(const QString& text, db::UserMessages& messages);

// A typed margin in inches: the number when it converts and lies in 0..10, else nothing.
std::optional<double> marginFromText(const QString& text);
QString marginText(double inches);

enum class SaveOutcome { Saved, Stayed };
struct SaveResult {
    SaveOutcome outcome = SaveOutcome::Stayed;
    int index = -1; // the saved report's position in the file
    bool appended = false;
};

// Update's saving: a new report is appended; an existing one whose name differs from
// `openingName` asks whether to save as a new report (Yes appends, No overwrites, Cancel stays);
// otherwise it replaces its record. A file that cannot be written is reported and the window
// stays, so nothing is lost.
SaveResult saveReport(ReportFile& file, const ReportDefinition& definition,
                      std::optional<int> existingIndex, const QString& openingName,
                      db::UserMessages& messages);

// Delete after its question; true when the record is gone.
bool deleteReport(ReportFile& file, int index, db::UserMessages& messages);

// What the part window's OK applies to one part.
struct PartChoice {
    enum class Kind { Field, Label, Filler };
    Kind kind = Kind::Filler;
    QString labelText; // for a label
    int listRow = -1;  // for a field: position in the list (field or total), -1 for none
    QString widthText; // the typed width
};

// Applies `choice` to part `part` (1..20) of `line`, fitting the line to `designWidth`. A field
// choice with no list entry keeps the part's kind and text (only its width changes). Nothing
// (after the error message) when the width is not a whole number of 0 or more.
std::optional<ReportLine> applyPartChoice(const ReportLine& line, int part, bool totalsLine,
                                          const PartChoice& choice, int designWidth,
                                          db::UserMessages& messages);

} // namespace reports
