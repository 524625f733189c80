#pragma once

// What backup and restore need of the program that runs them: the open book table and the
// operations of the main window around it (the search state, the viewer, the pick lists, the
// report list, the caption). The main window implements it for the windows; a command-line
// program can implement it without any window.

#include "backup/storage.h"
#include "db/table_maintenance.h"
#include "db/user_messages.h"
#include "table/table.h"

#include <QString>

#include <string>

namespace backup {

class BackupHost {
public:
    virtual ~BackupHost() = default;

    virtual table::Table& bookTable() = 0; // `MyTable`, open shared
    virtual QString currentDatabasePath() const = 0;
    virtual QString programDirectory() const = 0; // no trailing separator
    virtual std::string sortExpression() const = 0;
    virtual db::UserMessages& messages() = 0;
    virtual Storage& storage() = 0;

    virtual bool searchActive() const = 0;
    virtual void doEndSearch() = 0;     // ends the search and reopens the table
    virtual void enableEndSearch() = 0; // the search is on again
    virtual void setViewerOptions() = 0;

    virtual void saveAllLists() = 0; // writes the pick lists to their list files
    virtual void loadAllLists() = 0; // reads them back from the files
    virtual void reloadReportList() = 0;

    // A restored table is the open one now: it is recorded as "Last Database", its index file
    // is the one the program keeps, and the window caption names it.
    virtual void databaseSwitched(const QString& path, const QString& indexFilePath,
                                  const QString& caption) = 0;

    // Runs a file copy to its end, rethrowing what it threw; a window shows its progress.
    virtual void runCopy(const db::EngineWork& work) { work({}); }
    // The hourglass cursor while files are copied.
    virtual void setBusy(bool) {}
};

// The nine list files, in the order they are copied.
inline constexpr const char* kListFiles[] = {"AUTHOR.LST",   "LOCATION.LST", "BOUGHT.LST",
                                             "CATEGORY.LST", "PUBLISH.LST",  "RATING.LST",
                                             "BOOKTYPE.LST", "CHECKOUT.LST", "CONDITION.LST"};
inline constexpr const char* kReportDefinitionsFile = "VLMBOOK.URP";

// Outcome of one backup or restore.
enum class Outcome {
    Done,    // the user has been told it succeeded
    Stopped, // the user has been told why nothing (or not everything) was done
};

} // namespace backup
