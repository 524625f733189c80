#include "app/startup.h"

#include <QDir>
#include <QFileInfo>

namespace app {

bool isBrowseArgument(const QStringList& argumentsAfterProgram) {
    if (argumentsAfterProgram.isEmpty())
        return false;
    return argumentsAfterProgram.first().toUpper().left(30) == QLatin1String("/BROWSE");
}

// A word such as "/BROWSE1" is a mistyped switch, not a file in the root folder, and words
// starting with "-" are options of other programs' conventions: neither names a table.
static bool looksLikeSwitch(const QString& word) {
    if (word.startsWith(QLatin1Char('-')))
        return true;
    return word.startsWith(QLatin1Char('/')) && word.indexOf(QLatin1Char('/'), 1) < 0 &&
           !word.contains(QLatin1Char('.'));
}

QString tableArgument(const QStringList& argumentsAfterProgram, const QString& startDirectory) {
    const qsizetype index = isBrowseArgument(argumentsAfterProgram) ? 1 : 0;
    if (index >= argumentsAfterProgram.size())
        return {};
    const QString& word = argumentsAfterProgram[index];
    if (word.isEmpty() || looksLikeSwitch(word))
        return {};
    return QFileInfo(QDir(startDirectory), word).absoluteFilePath();
}

QString startupDatabasePath(const QString& lastDatabase, const QString& programDirectory) {
    if (!lastDatabase.isEmpty() && QFileInfo(lastDatabase).isFile())
        return lastDatabase;
    return programDirectory + QLatin1Char('/') + QLatin1String(kDefaultTableName);
}

bool StartupDatabase::open(const QString& lastDatabase, const AskForFile& askForFile) {
    const QString path = startupDatabasePath(lastDatabase, programDirectory_);
    context_.currentDatabasePath = path;
    if (!createIfMissing(path))
        return false;
    if (!passesCheck(path)) {
        context_.messages.error(kInvalidStoredDatabaseMessage);
        return askUntilOpened(askForFile);
    }
    db::OpenResult result = db::openStartupDatabase(context_, path);
    if (!result.opened()) // the engine's message has been shown; let the user pick another
        return askUntilOpened(askForFile);
    indexFilePath_ = result.indexFilePath;
    return true;
}

bool StartupDatabase::createIfMissing(const QString& path) {
    if (QFileInfo::exists(path))
        return true;
    try {
        return db::makeNewTable(path, context_.messages);
    } catch (const std::exception& error) {
        context_.messages.error(error.what());
        return false;
    }
}

bool StartupDatabase::passesCheck(const QString& path) {
    try {
        return db::checkFormat(path, context_.messages);
    } catch (const std::exception& error) {
        context_.messages.error(error.what());
        return false;
    }
}

// Each pass runs the Open command on the user's choice. A pass that leaves no table open tells
// the user again why the current file will not do. Cancelling the dialog ends the program rather
// than trapping the user in the loop; nothing has been changed or saved by then.
bool StartupDatabase::askUntilOpened(const AskForFile& askForFile) {
    for (;;) {
        const QString chosen = askForFile();
        if (chosen.isEmpty())
            return false;
        db::OpenResult result = db::openDatabase(context_, chosen);
        if (result.opened()) {
            indexFilePath_ = result.indexFilePath;
            return true;
        }
        passesCheck(context_.currentDatabasePath);
    }
}

} // namespace app
