#pragma once

// Opening, creating and checking book tables, and the index tag that keeps them in the user's
// sort order. The file dialogs belong to the main window: these operations start from the path
// the user already chose and tell the caller what happened, so that it can refresh the
// recent-files list and the record count.

#include "db/user_messages.h"
#include "table/table.h"

#include <QString>

#include <array>
#include <functional>
#include <string>

namespace db {

inline constexpr const char* kProgramTitle = "Volumara Books 95";
inline constexpr const char* kIndexTag = "NewIndex";
inline constexpr const char* kNotABookTableMessage =
    "This DBase file was not created with Volumara Books 95.  It cannot be opened.  You may, "
    "however, import data from this file using the import function.";
inline constexpr const char* kInvalidFileTypeMessage = "Invalid file type selected.";

// Field numbers of the four sort levels, 0 for a level not in use.
using SortLevels = std::array<int, 4>;

// The dBASE key expression for the sort levels, e.g. "Upper(Left(Author,20))+STR(YearPub,8,0)";
// empty when no level is in use. Numbers outside 1..36 count as not in use.
std::string buildSortExpression(const SortLevels& levels);

// The table's name as the caption shows it: the file name without its last extension
// ("books.2024.dbf" is the table books.2024, whose index is books.2024.MDX).
QString tableNameOf(const QString& path);
// Points a handle at exactly the file a path names: its absolute directory and file name.
void pointTableAt(table::Table& handle, const QString& path);

// Writes 0 over the header's production-index flag so that the engine opens the table without
// an .MDX that has gone missing. Silent when the file cannot be opened; leaves alone files that
// are not dBASE tables (a FoxPro header keeps other flags in that byte). Returns whether the
// flag is clear now.
bool clearProductionIndexFlag(const QString& dbfPath);

// True when the file holds exactly the 36 catalogue fields in catalogue order (names compared
// without regard to case); otherwise tells the user so and returns false. Clears the index flag
// first when the table's .MDX is missing. Engine errors (a missing or damaged file) are thrown as
// table::TableError.
bool checkFormat(const QString& path, UserMessages& messages);

// True when the table cannot be opened for exclusive use right now.
bool isInUse(const QString& path);

// Creates (replacing) an empty book table at `path`, unless it exists and another program holds
// it, in which case the user is told. Returns whether the file exists afterwards. Engine errors
// are thrown.
bool makeNewTable(const QString& path, UserMessages& messages);

// Replaces the tag NewIndex with one for `sortExpression` and selects it; an empty expression
// drops the tag and selects no index. A closed handle is opened exclusively for the change and
// closed again. Engine errors are thrown.
void installIndex(table::Table& handle, const std::string& sortExpression);

// What an open or create needs of the main window.
struct DatabaseContext {
    table::Table& table;          // the grid's table
    QString& currentDatabasePath; // updated when another table becomes current
    std::string sortExpression;
    UserMessages& messages;
    std::function<void()> endSearchIfActive;
    std::function<void(const QString&)> setCaption;
    std::function<void()> applyViewerOptions;
};

enum class OpenOutcome {
    Opened,  // the table is open and current
    Refused, // a check failed; the user was told and the current table is unchanged
    Failed,  // the engine raised an error, shown to the user; steps before it stay done
};

struct OpenResult {
    OpenOutcome outcome = OpenOutcome::Refused;
    QString oldPath; // current database path before; with newPath for the recent files
    QString newPath;
    QString indexFilePath; // of the table now open
    bool opened() const { return outcome == OpenOutcome::Opened; }
};

// The Open command after its dialog: file type, format check, end of an active search, switch
// to the table, its index (left alone when another program uses the table), open shared.
OpenResult openDatabase(DatabaseContext& context, const QString& chosenPath);
// A recent-files entry: as openDatabase without the file type test.
OpenResult openKnownDatabase(DatabaseContext& context, const QString& path);
// The New command after its dialog: ends an active search at once, then file type, create,
// switch to the table, install the index, open shared.
OpenResult newDatabase(DatabaseContext& context, const QString& chosenPath);
// The first open at start-up of a table that passed the check: the tag NewIndex is selected
// when the .MDX exists and built otherwise; an empty sort expression selects no index.
OpenResult openStartupDatabase(DatabaseContext& context, const QString& path);

} // namespace db
