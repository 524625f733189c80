// backup: the open table's .DBF, the nine list files or the report definitions copied to a
// folder by the backup rules of the Back Up window (free space, a temporary name, then rename).

#include "backup/backup_core.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "db/book_database.h"

namespace cli {

namespace {

// The program around a backup, without windows: the table opened as File > Open opens it (for
// a table backup), no search, and pick lists that live only in their files.
class ConsoleBackupHost final : public backup::BackupHost {
public:
    ConsoleBackupHost(BookTable& book, const Session& session, ConsoleMessages& messages)
        : book_(book), session_(session), messages_(messages) {}

    table::Table& bookTable() override { return book_.table(); }
    QString currentDatabasePath() const override { return book_.path(); }
    QString programDirectory() const override { return session_.programDirectory; }
    std::string sortExpression() const override {
        return db::buildSortExpression(session_.settings.sortLevels);
    }
    db::UserMessages& messages() override { return messages_; }
    backup::Storage& storage() override { return storage_; }
    bool searchActive() const override { return false; }
    void doEndSearch() override {}
    void enableEndSearch() override {}
    void setViewerOptions() override {}
    // The lists are read from and written to their files by the program that edits them; here
    // the files are all there is.
    void saveAllLists() override {}
    void loadAllLists() override {}
    void reloadReportList() override {}
    void databaseSwitched(const QString&, const QString&, const QString&) override {}
    void runCopy(const db::EngineWork& work) override {
        ProgressBar bar("Copying", session_.quiet);
        work([&bar](double done) { bar.update(done); });
    }

private:
    BookTable& book_;
    const Session& session_;
    ConsoleMessages& messages_;
    backup::SystemStorage storage_;
};

} // namespace

int runBackup(const Words& words) {
    const Arguments arguments(words, withCommonOptions({{"lists"}, {"reports"}}), 1, 2);
    const bool lists = arguments.has("lists");
    const bool reportFile = arguments.has("reports");
    if (lists && reportFile)
        throw UsageError("give only one of --lists or --reports");
    const size_t expected = lists || reportFile ? 1 : 2;
    if (arguments.positional().size() != expected)
        throw UsageError(expected == 1 ? "--lists and --reports take only the folder"
                                       : "give the table and the folder");
    const Session session = startSession(arguments);
    ConsoleMessages messages;
    BookTable book;
    if (!lists && !reportFile && !book.open(arguments.positional(0), session, messages))
        return 1;
    ConsoleBackupHost host(book, session, messages);
    const backup::BackupKind kind = lists        ? backup::BackupKind::Lists
                                    : reportFile ? backup::BackupKind::ReportDefinitions
                                                 : backup::BackupKind::Database;
    const QString destination = qPath(arguments.positional().back());
    const backup::Outcome outcome = backup::backUp(host, kind, destination);
    return outcome == backup::Outcome::Done && !messages.errorShown() ? 0 : 1;
}

} // namespace cli
