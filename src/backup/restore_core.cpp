#include "backup/restore_core.h"

#include "backup/copy_steps.h"
#include "backup/file_copy.h"
#include "db/book_database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace backup {

namespace {

QString comparablePath(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

bool samePath(const QString& a, const QString& b) {
    return comparablePath(a) == comparablePath(b);
}

void showInUse(BackupHost& host) {
    host.messages().show(kRestoreInUseCaption, kRestoreInUseMessage, db::MessageIcon::None,
                         db::MessageButtons::Ok, db::MessageAnswer::Ok);
}

bool passesFormatCheck(BackupHost& host, const QString& source) {
    try {
        return db::checkFormat(source, host.messages());
    } catch (const std::exception& error) {
        host.messages().error(error.what());
        return false;
    }
}

// Closes the open table and tries it for sole use; false (and the table open shared again) when
// another program holds it.
bool takeOpenTable(BackupHost& host) {
    table::Table& table = host.bookTable();
    table.close();
    table.setOpenMode(table::OpenMode::Exclusive);
    bool exclusive = true;
    try {
        table.open();
    } catch (const table::TableError&) {
        exclusive = false;
    }
    table.close();
    table.setOpenMode(table::OpenMode::Shared);
    if (!exclusive) {
        showInUse(host);
        openShared(host);
    }
    return exclusive;
}

// Another table of the restored name in the program directory is replaced only when nobody
// holds it and the user agrees.
bool mayReplaceOtherTable(BackupHost& host, const QString& target) {
    if (db::isInUse(target)) {
        showInUse(host);
        return false;
    }
    host.messages().beep(db::BeepKind::Question);
    return host.messages().show("Warning", replaceTableQuestion(target), db::MessageIcon::Warning,
                                db::MessageButtons::YesNo,
                                db::MessageAnswer::No) == db::MessageAnswer::Yes;
}

// The restored copy becomes the open database, its tag NewIndex built anew in the current sort
// order.
void switchToRestoredTable(BackupHost& host, const QString& target) {
    table::Table& table = host.bookTable();
    table.close();
    db::pointTableAt(table, target);
    const QString indexFile = QFile::decodeName(table.mdxPath().c_str());
    host.databaseSwitched(target, indexFile,
                          QString::fromLatin1(db::kProgramTitle) + QLatin1String(" (") +
                              db::tableNameOf(target) + QLatin1Char(')'));
    try {
        if (!QFileInfo::exists(indexFile))
            db::clearProductionIndexFlag(QFile::decodeName(table.dbfPath().c_str()));
        db::installIndex(table, host.sortExpression());
    } catch (const std::exception& error) {
        host.messages().error(error.what());
    }
    openShared(host);
}

Outcome restoreDatabase(BackupHost& host, const QString& source) {
    if (host.searchActive())
        host.doEndSearch();
    const QString target = joinPath(host.programDirectory(), QFileInfo(source).fileName());
    if (!passesFormatCheck(host, source))
        return Outcome::Stopped;
    // A copy picked in the program directory itself is restored where it is.
    const bool inPlace = samePath(source, target);
    const bool replacesOpenTable = samePath(target, host.currentDatabasePath());
    if (replacesOpenTable) {
        if (!takeOpenTable(host))
            return Outcome::Stopped;
    } else if (!inPlace && fileSize(target) && !mayReplaceOtherTable(host, target)) {
        return Outcome::Stopped;
    }
    if (!inPlace &&
        !enoughRoomFor(source, target, host.storage().bytesAvailable(host.programDirectory()))) {
        host.messages().error(kRestoreNoRoomMessage);
        if (replacesOpenTable)
            openShared(host);
        return Outcome::Stopped;
    }
    host.bookTable().close();
    BusyCursor busy(host);
    if (!inPlace && !copyWithProgress(host, source, target)) {
        busy.release();
        host.messages().error(kRestoreFailedMessage);
        openShared(host); // still the previous database
        return Outcome::Stopped;
    }
    switchToRestoredTable(host, target);
    busy.release();
    showNotice(host, kRestoreDoneMessage);
    return Outcome::Done;
}

Outcome restoreLists(BackupHost& host, const QString& folder) {
    BusyCursor busy(host);
    bool allRestored = true;
    for (const char* name : kListFiles) {
        const QString source = fileInFolder(folder, QString::fromLatin1(name));
        if (!QFileInfo(source).isFile()) {
            host.messages().show("Warning", missingListFileMessage(name), db::MessageIcon::Warning,
                                 db::MessageButtons::Ok, db::MessageAnswer::Ok);
            allRestored = false;
            continue;
        }
        if (!copyWithProgress(host, source,
                              joinPath(host.programDirectory(), QString::fromLatin1(name)))) {
            busy.release();
            host.messages().error(kRestoreFailedMessage);
            return Outcome::Stopped;
        }
    }
    busy.release();
    showNotice(host, allRestored ? kListsRestoredMessage : kListsIncompleteMessage);
    host.loadAllLists();
    return allRestored ? Outcome::Done : Outcome::Stopped;
}

Outcome restoreReportDefinitions(BackupHost& host, const QString& folder) {
    const QString name = QString::fromLatin1(kReportDefinitionsFile);
    const QString source = fileInFolder(folder, name);
    const QString target = joinPath(host.programDirectory(), name);
    if (!QFileInfo(source).isFile()) {
        host.messages().error(missingReportDefinitionsMessage());
        return Outcome::Stopped;
    }
    if (!samePath(source, target)) {
        if (!enoughRoomFor(source, target,
                           host.storage().bytesAvailable(host.programDirectory()))) {
            host.messages().error(kRestoreNoRoomMessage);
            return Outcome::Stopped;
        }
        BusyCursor busy(host);
        if (!copyWithProgress(host, source, target)) {
            busy.release();
            host.messages().error(kRestoreFailedMessage);
            return Outcome::Stopped;
        }
    }
    host.reloadReportList();
    showNotice(host, kRestoreDoneMessage);
    return Outcome::Done;
}

} // namespace

std::string missingListFileMessage(const char* fileName) {
    return std::string("The following file \"") + fileName +
           "\" could not be located on the specified source drive.";
}

std::string missingReportDefinitionsMessage() {
    return std::string("The Report Definitions file \"") + kReportDefinitionsFile +
           "\" could not be  located on the specified source drive.";
}

std::string replaceTableQuestion(const QString& target) {
    return "The database \"" + QDir::toNativeSeparators(target).toStdString() +
           "\" already exists.  Restoring will replace it with the backup copy.  Replace it?";
}

QString fileInFolder(const QString& directory, const QString& name) {
    const QString exact = joinPath(directory, name);
    if (QFileInfo::exists(exact))
        return exact;
    for (const QString& entry : QDir(directory).entryList(QDir::Files))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return joinPath(directory, entry);
    return exact;
}

Outcome restore(BackupHost& host, RestoreKind kind, const QString& chosenFile) {
    const QString folder = QFileInfo(chosenFile).absolutePath();
    switch (kind) {
    case RestoreKind::Database:
        return restoreDatabase(host, chosenFile);
    case RestoreKind::Lists:
        return restoreLists(host, folder);
    case RestoreKind::ReportDefinitions:
        return restoreReportDefinitions(host, folder);
    }
    return Outcome::Stopped;
}

} // namespace backup
