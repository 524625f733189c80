#pragma once

// A program directory with a book table open in it, behind a BackupHost that records what
// backup and restore asked of the main window, and storage whose volumes and free space the
// test chooses.

#include "backup/backup_host.h"
#include "db/pick_list.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"

#include <QProcess>
#include <QString>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

class FakeStorage : public backup::Storage {
public:
    std::vector<backup::Volume> mountedVolumes() override { return volumes; }
    std::optional<qint64> bytesAvailable(const QString& directory) override {
        asked.push_back(directory);
        return freeBytes;
    }
    std::vector<backup::Volume> volumes;
    std::optional<qint64> freeBytes; // nothing: unknown
    QStringList asked;
};

// A book table at `path` with one record per author.
void makeBooks(const QString& path, const std::vector<std::string>& authors);
// The authors of the table at `path`, in physical order.
std::vector<std::string> authorsIn(const QString& path);
std::string readFile(const QString& path);
void writeFile(const QString& path, const std::string& bytes);
// Names of the files in `folder`, sorted, hidden ones included.
QStringList filesIn(const QString& folder);

class FakeMain : public backup::BackupHost {
public:
    FakeMain(db::UserMessages& messages, QString programDirectory);
    // Makes `name` in the program directory with the authors and opens it as the main window
    // does, with the tag NewIndex on Author.
    void openBooks(const char* name, const std::vector<std::string>& authors);

    table::Table& bookTable() override { return books; }
    QString currentDatabasePath() const override { return currentPath; }
    QString programDirectory() const override { return directory; }
    std::string sortExpression() const override { return expression; }
    db::UserMessages& messages() override { return messages_; }
    backup::Storage& storage() override { return storageFake; }
    bool searchActive() const override { return search; }
    void doEndSearch() override;
    void enableEndSearch() override;
    void setViewerOptions() override { ++viewerOptions; }
    void saveAllLists() override;
    void loadAllLists() override;
    void reloadReportList() override { ++reportListReloads; }
    void databaseSwitched(const QString& path, const QString& indexFilePath,
                          const QString& caption) override;
    void setBusy(bool busy) override { busyCalls.push_back(busy); }

    // The search narrows the grid to authors starting with "A" while it is on.
    void startSearch();

    table::Table books;
    QString directory;
    QString currentPath;
    std::string expression = "Upper(Left(Author,20))";
    FakeStorage storageFake;
    db::PickLists lists;
    bool listsSaveToFiles = true; // false: saveAllLists writes nothing (a read-only folder)
    bool search = false;
    int viewerOptions = 0;
    int listSaves = 0;
    int listLoads = 0;
    int reportListReloads = 0;
    QString lastDatabase;
    QString indexFile;
    QString caption;
    std::vector<bool> busyCalls;

private:
    db::UserMessages& messages_;
};

// Another process that holds the table open until the object goes.
class TableHolder {
public:
    explicit TableHolder(const QString& path, const char* mode = "shared");
    ~TableHolder();
    bool ready() const { return ready_; }

private:
    QProcess process_;
    bool ready_ = false;
};

// Writes to files beyond `bytes` fail (EFBIG) from now until the object goes, as on a full
// device.
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();

private:
    long long previousSoft_ = 0;
    void (*previousHandler_)(int) = nullptr;
};

} // namespace testsupport
