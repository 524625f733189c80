#pragma once

// Backing up the program's data to a folder of the user's choice: the open table's .DBF file
// (never its .MDX, which a restore rebuilds), the nine list files or the report definitions.
// Files are copied byte for byte; an earlier copy of the same name is replaced only by a
// complete one.

#include "backup/backup_host.h"

#include <QString>

namespace backup {

inline constexpr const char* kBackupInUseMessage =
    "Backing up the database requires exclusive use of the DBase File.  Make sure that the DBase "
    "File is not in use by another program  or that no other users are running the software or "
    "that no other copies of the software are in use.";
inline constexpr const char* kBackupNoRoomMessage =
    "There is not enough room on the destination drive to perform a backup.  If you are already "
    "using blank empty media, then you will need to use the ASCII Delimited Import/Export "
    "functions for backup and restore purposes.";
inline constexpr const char* kBackupReportsNoRoomMessage =
    "There is not enough room on the destination drive to backup this file.  You will need to "
    "free up space on the destination drive or use an alternative method to backup the "
    "\"VLMBOOK.URP\" file.";
inline constexpr const char* kBackupFailedMessage =
    "An error occurred during backup.  Backup not completed.";
inline constexpr const char* kBackupDoneMessage = "Backup completed successfully.";

enum class BackupKind { Database, Lists, ReportDefinitions };

// Backs up one kind into `destination` (a folder) and tells the user how it went. The database
// kind ends an active search for the copy and switches it back on afterwards; the table is
// open shared again afterwards whatever happened, on the record it was on.
Outcome backUp(BackupHost& host, BackupKind kind, const QString& destination);

} // namespace backup
