#pragma once

// Bringing back what backup wrote: a table file, which becomes the open database with a freshly
// built index; the nine list files, which the pick lists then reload; or the report
// definitions, which the report list then reloads. Copies always land in the program directory
// and replace a file there only once they are complete.

#include "backup/backup_host.h"

#include <QString>

namespace backup {

inline constexpr const char* kRestoreInUseMessage =
    "Unable to restore the database.  Make sure the database is not in use by any other users or "
    "by another copy of the software.";
inline constexpr const char* kRestoreNoRoomMessage =
    "There is not enough room on the destination drive to perform a restore.  You will need to "
    "free up hard drive space before completing the restore.";
inline constexpr const char* kRestoreFailedMessage =
    "An error occurred during restore.  Restore not completed.";
inline constexpr const char* kRestoreDoneMessage = "Restore completed successfully.";
inline constexpr const char* kListsRestoredMessage = "ALL proper LST files restored successfully.";
inline constexpr const char* kListsIncompleteMessage =
    "One or more files were not restored.  Restore may not have completed successfully.";
// The caption of the plain message box that tells the open table is in use.
inline constexpr const char* kRestoreInUseCaption = "Restore";

// "The following file "AUTHOR.LST" could not be located on the specified source drive."
std::string missingListFileMessage(const char* fileName);
// "The Report Definitions file "VLMBOOK.URP" could not be  located on the specified source
// drive."
std::string missingReportDefinitionsMessage();
// Asked before a restored table replaces another table of the same name in the program
// directory (never the open one, which is replaced after the in-use test).
std::string replaceTableQuestion(const QString& target);

enum class RestoreKind { Database, Lists, ReportDefinitions };

// Restores one kind from `chosenFile`, the file the user picked: for a database the table file
// itself; for lists and report definitions only its folder counts. Tells the user how it went.
// A database restore ends an active search for good.
Outcome restore(BackupHost& host, RestoreKind kind, const QString& chosenFile);

// The file `name` in `directory`, found also when its letters are in another case (copies
// made on other systems); the exact path when there is no such file.
QString fileInFolder(const QString& directory, const QString& name);

} // namespace backup
