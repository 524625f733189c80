#pragma once

// The parts of start-up that decide rather than show: the browse switch, which table to open,
// creating the default table and insisting on a valid book table. The main window supplies the
// open dialog; everything else runs here so that tests can drive it without a window.

#include "db/book_database.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace app {

inline constexpr const char* kDefaultTableName = "MASTER.DBF";
inline constexpr const char* kInvalidStoredDatabaseMessage =
    "The last database used as recorded in the INI file is not a valid Volumara Books 95 file.  "
    "You will need to choose a new file.";

// True when the first argument after the program name, in capitals and cut to 30 characters,
// is exactly "/BROWSE".
bool isBrowseArgument(const QStringList& argumentsAfterProgram);

// The table named on the command line, as a desktop passes a file it opens with the program:
// the first argument after an optional leading browse switch, made absolute against the start
// directory. Empty when none is given, or when that word looks like a switch ("/BROWSE1",
// "--foo") rather than a file.
QString tableArgument(const QStringList& argumentsAfterProgram, const QString& startDirectory);

// The stored database when a file exists there, else MASTER.DBF in the program directory.
QString startupDatabasePath(const QString& lastDatabase, const QString& programDirectory);

// Opens the book table at start-up, creating MASTER.DBF when it is the table chosen and it does
// not exist. When the chosen file is not a book table the user is told and asked for another
// file until one opens.
class StartupDatabase {
public:
    // Shows the open dialog; an empty path when the user cancelled.
    using AskForFile = std::function<QString()>;

    StartupDatabase(db::DatabaseContext& context, QString programDirectory)
        : context_(context), programDirectory_(std::move(programDirectory)) {}

    // True when a book table is open; false when the program must end (the default table could
    // not be created, or the user gave up choosing a file). `lastDatabase` is the stored path.
    bool open(const QString& lastDatabase, const AskForFile& askForFile);

    // The index file of the table now open.
    const QString& indexFilePath() const { return indexFilePath_; }

private:
    bool createIfMissing(const QString& path);
    bool passesCheck(const QString& path);
    bool askUntilOpened(const AskForFile& askForFile);

    db::DatabaseContext& context_;
    QString programDirectory_;
    QString indexFilePath_;
};

} // namespace app
