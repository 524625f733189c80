#include "backup/backup_core.h"

#include "backup/copy_steps.h"
#include "backup/file_copy.h"
#include "db/book_database.h"

#include <QFileInfo>

namespace backup {

namespace {

// The book table closed for the copy and opened shared again afterwards, on the same record and
// with the search that was active switched back on.
class TableClosedForCopy {
public:
    explicit TableClosedForCopy(BackupHost& host) : host_(host), table_(host.bookTable()) {}
    ~TableClosedForCopy() { reopen(); }
    TableClosedForCopy(const TableClosedForCopy&) = delete;
    TableClosedForCopy& operator=(const TableClosedForCopy&) = delete;

    void endSearch() {
        if (!host_.searchActive())
            return;
        host_.doEndSearch();
        searchEnded_ = true;
    }
    // Closes the table and tries to open it for sole use; false when another program holds it.
    bool testExclusiveUse() {
        mark_ = table_.isOpen() ? table_.bookmark() : 0;
        table_.close();
        table_.setOpenMode(table::OpenMode::Exclusive);
        bool exclusive = true;
        try {
            table_.open();
        } catch (const table::TableError&) {
            exclusive = false;
        }
        table_.close();
        table_.setOpenMode(table::OpenMode::Shared);
        return exclusive;
    }
    void reopen() {
        if (reopened_)
            return;
        reopened_ = true;
        if (searchEnded_)
            host_.enableEndSearch();
        try {
            table_.setOpenMode(table::OpenMode::Shared);
            if (!table_.isOpen())
                table_.open();
            if (mark_ != 0)
                table_.goToBookmark(mark_);
        } catch (const std::exception& error) {
            host_.messages().error(error.what());
        }
        host_.setViewerOptions();
    }

private:
    BackupHost& host_;
    table::Table& table_;
    table::Table::Bookmark mark_ = 0;
    bool searchEnded_ = false;
    bool reopened_ = false;
};

// Copies one whole file when the destination has room for it; says why not otherwise.
bool copyIfRoom(BackupHost& host, const QString& source, const QString& target,
                const QString& destination, const char* noRoomMessage) {
    if (!fileSize(source)) {
        host.messages().error(kBackupFailedMessage);
        return false;
    }
    if (!enoughRoomFor(source, target, host.storage().bytesAvailable(destination))) {
        host.messages().error(noRoomMessage);
        return false;
    }
    BusyCursor busy(host);
    if (!copyWithProgress(host, source, target)) {
        busy.release();
        host.messages().error(kBackupFailedMessage);
        return false;
    }
    return true;
}

Outcome backUpDatabase(BackupHost& host, const QString& destination) {
    TableClosedForCopy closed(host);
    closed.endSearch();
    if (!closed.testExclusiveUse()) {
        host.messages().error(kBackupInUseMessage);
        return Outcome::Stopped;
    }
    const QString source = host.currentDatabasePath();
    const QString target = joinPath(destination, db::tableNameOf(source) + QLatin1String(".DBF"));
    if (!copyIfRoom(host, source, target, destination, kBackupNoRoomMessage))
        return Outcome::Stopped;
    closed.reopen();
    return Outcome::Done;
}

Outcome backUpLists(BackupHost& host, const QString& destination) {
    BusyCursor busy(host);
    host.saveAllLists();
    for (const char* name : kListFiles) {
        const QString source = joinPath(host.programDirectory(), QString::fromLatin1(name));
        if (!QFileInfo(source).isFile())
            continue; // a list never used has no file
        if (!copyWithProgress(host, source, joinPath(destination, QString::fromLatin1(name)))) {
            busy.release();
            host.messages().error(kBackupFailedMessage);
            return Outcome::Stopped;
        }
    }
    return Outcome::Done;
}

Outcome backUpReportDefinitions(BackupHost& host, const QString& destination) {
    const QString name = QString::fromLatin1(kReportDefinitionsFile);
    const QString source = joinPath(host.programDirectory(), name);
    const QString target = joinPath(destination, name);
    return copyIfRoom(host, source, target, destination, kBackupReportsNoRoomMessage)
               ? Outcome::Done
               : Outcome::Stopped;
}

} // namespace

Outcome backUp(BackupHost& host, BackupKind kind, const QString& destination) {
    Outcome outcome = Outcome::Stopped;
    switch (kind) {
    case BackupKind::Database:
        outcome = backUpDatabase(host, destination);
        break;
    case BackupKind::Lists:
        outcome = backUpLists(host, destination);
        break;
    case BackupKind::ReportDefinitions:
        outcome = backUpReportDefinitions(host, destination);
        break;
    }
    if (outcome == Outcome::Done)
        showNotice(host, kBackupDoneMessage);
    return outcome;
}

} // namespace backup
