// The main window's file commands (new, open, recent files, printer set-up) and the record
// commands it runs itself.

#include "app/main_window.h"

#include "widgets/record_grid.h"

#include <QAction>
#include <QFileInfo>
#include <QPrinter>

namespace app {

namespace {

// The dialog widens the pattern to lower-case names as well.
const QString kDatabaseFilter = QStringLiteral("Database Files (*.DBF)");

} // namespace

widgets::FileDialogRequest TMain::openDialogRequest() const {
    widgets::FileDialogRequest request;
    request.title = QStringLiteral("Open Database File");
    request.directory = QFileInfo(currentDatabasePath_).absolutePath();
    request.filters = QStringList{kDatabaseFilter};
    request.defaultSuffix = QStringLiteral("DBF");
    return request;
}

void TMain::DoOpen() {
    const QString chosen = env_.seams.files.openFileName(this, openDialogRequest());
    if (!chosen.isEmpty()) {
        db::DatabaseContext context = databaseContext();
        tableOpened(db::openDatabase(context, chosen));
    }
    DisplayCount();
}

void TMain::DoNew() {
    widgets::FileDialogRequest request = openDialogRequest();
    request.title = QStringLiteral("New Database File");
    const QString chosen = env_.seams.files.saveFileName(this, request);
    if (!chosen.isEmpty()) {
        db::DatabaseContext context = databaseContext();
        tableOpened(db::newDatabase(context, chosen));
    }
    DisplayCount();
}

void TMain::openRecentFile(int index) {
    if (index < 0 || index >= RecentFiles::kCount)
        return;
    const QString path = settings_.recentFiles.entry(index);
    if (!path.isEmpty()) {
        db::DatabaseContext context = databaseContext();
        tableOpened(db::openKnownDatabase(context, path));
    }
    DisplayCount();
}

// After an open or create: the recent-files list gains the table that was open before. Opening
// the table that is already open leaves the list alone, so that it never names the open table.
void TMain::tableOpened(const db::OpenResult& result) {
    if (!result.opened())
        return;
    indexFilePath_ = result.indexFilePath;
    settings_.lastDatabase = currentDatabasePath_;
    if (result.oldPath != result.newPath)
        settings_.recentFiles.update(result.oldPath, result.newPath);
    SetMenuLastFiles();
    for (const auto& handler : databaseChanged_)
        handler();
}

void TMain::tableRestored(const QString& path, const QString& indexFilePath) {
    currentDatabasePath_ = path;
    settings_.lastDatabase = path;
    indexFilePath_ = indexFilePath;
}

void TMain::SetMenuLastFiles() {
    recentFilesSeparator_->setVisible(settings_.recentFiles.anyVisible());
    const auto items = settings_.recentFiles.menuItems();
    for (size_t i = 0; i < items.size(); ++i) {
        recentFileItems_[i]->setVisible(items[i].visible);
        recentFileItems_[i]->setText(items[i].caption);
    }
}

// A record being edited in the grid is stored first, as leaving the row would store it.
void TMain::DoDelete() {
    if (myTable_.isOpen() && postPendingEdit())
        viewerGrid_->confirmAndDelete();
    DisplayCount();
}

void TMain::DoPrinterSetup() {
    env_.seams.printers.setUpPrinter(this, printer());
}

void TMain::updateFormatChecks() {
    for (size_t i = 0; i < dateFormatItems_.size(); ++i)
        dateFormatItems_[i]->setChecked(static_cast<int>(i) + 1 == settings_.dateFormat);
    for (size_t i = 0; i < 2; ++i) {
        currencyFormatItems_[i]->setChecked(static_cast<int>(i) + 1 == settings_.currencyFormat);
        numericFormatItems_[i]->setChecked(static_cast<int>(i) + 1 == settings_.numericFormat);
    }
}

} // namespace app
