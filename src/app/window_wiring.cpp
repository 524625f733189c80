#include "app/window_wiring.h"

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/table_maintenance_window.h"
#include "app/tip_of_day.h"
#include "appearance/colour_config.h"
#include "appearance/view_config_window.h"
#include "backup/backup_window.h"
#include "backup/restore_window.h"
#include "edit/tmy_edit.h"
#include "reports/preview_window.h"
#include "reports/report_designer_window.h"
#include "reports/report_window.h"
#include "search/main_window_search.h"
#include "search/replace_undo.h"
#include "search/replace_window.h"
#include "search/search_window.h"
#include "search/wait_cursor.h"
#include "settings/display_formats.h"
#include "transfer/export_window.h"
#include "transfer/import_windows.h"
#include "transfer/transfer_host.h"
#include "widgets/progress_window.h"
#include "widgets/record_grid.h"

#include <QApplication>

#include <cstdio>

namespace app {

// What the edit window, the maintenance commands and backup and restore need of the main window.
class ProgramWindows::Hosts final : public edit::EditHost,
                                    public MaintenanceHost,
                                    public backup::BackupHost {
public:
    Hosts(TMain& main, widgets::Seams& seams)
        : main_(main), seams_(seams), search(main), locate(main) {}

    // Shared by all
    table::Table& bookTable() override { return main_.MyTable(); }
    QString programDirectory() const override { return main_.programDirectory(); }
    db::PickLists& pickLists() override { return main_.gridPickLists(); }

    // edit::EditHost
    double windowSizeFactor() const override { return main_.windowSizeFactor(); }
    void displayCount() override { main_.DisplayCount(); }
    bool browseMode() const override { return main_.browseMode(); }
    widgets::UserFonts userFonts() const override { return main_.userFonts(); }
    const Settings& settings() const override { return main_.settings(); }

    // MaintenanceHost
    QWidget* hostWindow() override { return &main_; }
    widgets::Seams& seams() override { return seams_; }
    TMyEditBox::Look configureWindowLook() override {
        return {main_.windowSizeFactor(), main_.userFonts(),
                main_.settings().colours(WindowGroup::Configure)};
    }
    void SetViewerOptions() override { main_.SetViewerOptions(); }
    void DisplayCount() override { main_.DisplayCount(); }

    // backup::BackupHost (sortExpression serves the maintenance commands too)
    QString currentDatabasePath() const override { return main_.currentDatabasePath(); }
    std::string sortExpression() const override { return main_.sortExpression(); }
    db::UserMessages& messages() override { return seams_.messages; }
    backup::Storage& storage() override { return *storage_; }
    bool searchActive() const override { return main_.searchActive(); }
    void doEndSearch() override { main_.DoEndSearch(); }
    void enableEndSearch() override { main_.EnableEndSearch(); }
    void setViewerOptions() override { main_.SetViewerOptions(); }
    void saveAllLists() override { main_.gridPickLists().saveAll(main_.programDirectory()); }
    void loadAllLists() override { main_.gridPickLists().loadAll(main_.programDirectory()); }
    void reloadReportList() override {
        if (reloadReportList_)
            reloadReportList_();
    }
    void databaseSwitched(const QString& path, const QString& indexFilePath,
                          const QString& caption) override {
        main_.tableRestored(path, indexFilePath);
        main_.setWindowTitle(caption);
    }
    void runCopy(const db::EngineWork& work) override {
        widgets::runWithProgress(QApplication::activeModalWidget(), QStringLiteral("Copying..."),
                                 work);
    }
    void setBusy(bool busy) override {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    backup::DialogLook backupLook() const {
        return {main_.windowSizeFactor(), main_.userFonts(),
                main_.settings().colours(WindowGroup::Configure)};
    }

    backup::SystemStorage systemStorage;
    backup::Storage* storage_ = &systemStorage;
    std::function<void()> reloadReportList_;

private:
    TMain& main_;
    widgets::Seams& seams_;

public:
    search::MainWindowSearchHost<TMain> search;
    search::MainWindowLocateHost<TMain> locate;

    // What import and export need of the main window.
    class Transfer final : public transfer::TransferHost {
    public:
        explicit Transfer(TMain& main) : main_(main) {}
        table::Table& bookTable() override { return main_.MyTable(); }
        app::Settings& settings() override { return main_.settings(); }
        bool searchActive() const override { return main_.searchActive(); }
        void doEndSearch() override { main_.DoEndSearch(); }
        void enableEndSearch() override { main_.EnableEndSearch(); }
        QString columnTitle(int number) const override { return main_.columnTitle(number); }
        void displayCount() override { main_.DisplayCount(); }
        double windowSizeFactor() const override { return main_.windowSizeFactor(); }
        const widgets::UserFonts& userFonts() const override { return main_.userFonts(); }

    private:
        TMain& main_;
    } transfer{main_};
};

// What the report selection window needs of the main window.
class ProgramWindows::ReportHost final : public reports::ReportHost {
public:
    ReportHost(TMain& main, widgets::Seams& seams) : main_(main), seams_(seams) {}
    table::Table& bookTable() override { return main_.MyTable(); }
    Settings& settings() override { return main_.settings(); }
    QString programDirectory() const override { return main_.programDirectory(); }
    bool searchActive() const override { return main_.searchActive(); }
    void doEndSearch() override { main_.DoEndSearch(); }
    void enableEndSearch() override {
        main_.EnableEndSearch();
        main_.DisplayCount();
    }
    QPrinter* printer() override {
        return seams_.printers.printerNames().isEmpty() ? nullptr : &main_.printer();
    }
    double windowSizeFactor() const override { return main_.windowSizeFactor(); }
    const widgets::UserFonts& userFonts() const override { return main_.userFonts(); }

private:
    TMain& main_;
    widgets::Seams& seams_;
};

ProgramWindows::ProgramWindows(TMain& main, const widgets::Seams& seams)
    : main_(main), seams_(seams), hosts_(std::make_unique<Hosts>(main, seams_)) {
    editWindow_ = std::make_unique<edit::TMyEdit>(*hosts_, seams_, &main_);
    reportHost_ = std::make_unique<ReportHost>(main_, seams_);
    reportWindow_ = std::make_unique<reports::TMyReport>(&main_, seams_, *reportHost_);
    reportWindow_->setOpenDesigner(
        [this](reports::ReportDefinition& definition, std::optional<int> existingIndex) {
            return reports::runReportDesigner(reportWindow_.get(), seams_, *reportHost_, definition,
                                              existingIndex);
        });
    reportWindow_->setShowPreview([this](QIODevice& pageStore) {
        reports::TMyPreview preview(reportWindow_.get(), seams_, main_.settings(), main_.printer(),
                                    pageStore, reportWindow_->currentDefinition().reportName,
                                    &main_.userFonts());
        preview.exec();
    });
    // A restored VLMBOOK.URP is what the report list shows from then on.
    hosts_->reloadReportList_ = [this] { reportWindow_->reloadList(); };
    searchWindow_ = std::make_unique<search::TMySearch>(&main_, seams_, main_.settings(),
                                                        main_.gridPickLists(), hosts_->search);
    locateDialog_ =
        std::make_unique<search::TMyLocateDialog>(&main_, seams_, main_.settings(), hosts_->locate);
    wireRecordCommands();
    wireSearchCommands();
    wireReportCommands();
    wireReplaceCommands();
    wireTransferCommands();
    wireAppearanceCommands();
    wireMaintenanceCommands();
    wireBackupCommands();
    wireFormatMenus();
    wireHelpCommands();
}

// The undo of a replace is offered for this run only.
ProgramWindows::~ProgramWindows() {
    withdrawUndo();
}

namespace {

search::ReplaceContext replaceContext(TMain& main) {
    return search::ReplaceContext{main.MyTable(),
                                  main.sortExpression(),
                                  main.seams().messages,
                                  [&main] { main.SetViewerOptions(); },
                                  [&main] { return main.searchActive(); },
                                  [&main] { main.DoEndSearch(); },
                                  [&main] { main.EnableEndSearch(); }};
}

} // namespace

void ProgramWindows::withdrawUndo() {
    if (!undoPath_.empty())
        std::remove(undoPath_.c_str());
    undoPath_.clear();
    main_.setCommandWithheld(Command::UndoReplace, true);
}

void ProgramWindows::wireReplaceCommands() {
    main_.wireCommand(Command::SearchAndReplace, [this] {
        if (!main_.postPendingEdit() || !main_.MyTable().isOpen())
            return;
        search::ReplaceContext context = replaceContext(main_);
        const std::string undoPath = search::replaceUndoPath(main_.MyTable());
        search::TSearchAndReplace dialog(&main_, seams_, main_.settings(), context, undoPath,
                                         main_.windowSizeFactor(), main_.userFonts());
        dialog.exec();
        if (dialog.runStarted()) {
            // The run wrote its own undo file over the last one, or changed nothing.
            undoPath_ = undoPath;
            if (dialog.lastCounters().changed == 0)
                withdrawUndo();
            else
                main_.setCommandWithheld(Command::UndoReplace, false);
        }
        main_.DisplayCount();
    });
    main_.wireCommand(Command::UndoReplace, [this] {
        if (undoPath_.empty() || !main_.postPendingEdit())
            return;
        search::ReplaceContext context = replaceContext(main_);
        search::UndoResult result;
        {
            search::WaitCursor hourglass;
            result = search::undoLastReplace(context, undoPath_);
        }
        if (result.start == search::ExclusiveTableRun::Start::InUse)
            return; // still on offer for another try
        if (result.start == search::ExclusiveTableRun::Start::Started)
            seams_.messages.show("Finished", search::undoCompleteMessage(result),
                                 db::MessageIcon::Information, db::MessageButtons::Ok,
                                 db::MessageAnswer::Ok);
        withdrawUndo();
        main_.DisplayCount();
    });
    withdrawUndo();
    // Another table, or a pack, leaves the old values nowhere to go back to.
    main_.whenDatabaseChanges([this] { withdrawUndo(); });
}

void ProgramWindows::wireRecordCommands() {
    const auto editIn = [this](EditMode mode) {
        main_.setEditMode(mode);
        editWindow_->execFor(static_cast<edit::EditMode>(mode));
    };
    main_.wireCommand(Command::Add, [editIn] { editIn(EditMode::Add); });
    main_.wireCommand(Command::Edit, [editIn] { editIn(EditMode::Edit); });
    main_.wireCommand(Command::Copy, [editIn] { editIn(EditMode::Copy); });
}

void ProgramWindows::wireSearchCommands() {
    main_.wireCommand(Command::Search, [this] {
        searchWindow_->execSearch();
        main_.DisplayCount();
    });
    main_.wireCommand(Command::Locate, [this] { locateDialog_->Execute(); });
    main_.wireCommand(Command::LocateNext, [this] { locateDialog_->LocateNext(); });
    main_.wireCommand(Command::SortOrder,
                      [this] { search::runSortOrder(main_, seams_, main_.settingsFilePath()); });
}

// "&Reports" and "&Print" open the same window.
void ProgramWindows::wireReportCommands() {
    for (Command command : {Command::Reports, Command::Print}) {
        main_.wireCommand(command, [this] {
            if (!main_.postPendingEdit())
                return;
            reportWindow_->showModal();
            main_.DisplayCount();
        });
    }
}

void ProgramWindows::wireTransferCommands() {
    main_.wireCommand(Command::Import, [this] {
        if (!main_.postPendingEdit())
            return;
        transfer::TImportFormat dialog(&main_, hosts_->transfer, seams_);
        dialog.exec();
        main_.DisplayCount();
    });
    main_.wireCommand(Command::Export, [this] {
        if (!main_.postPendingEdit())
            return;
        transfer::TMyExport dialog(&main_, hosts_->transfer, seams_);
        dialog.exec();
        main_.DisplayCount();
    });
}

void ProgramWindows::wireAppearanceCommands() {
    main_.wireCommand(Command::Viewer, [this] {
        appearance::runViewConfig(&main_, main_.settings(), seams_, main_.windowSizeFactor(),
                                  main_.userFonts(), [this] { main_.SetViewerOptions(); });
    });
    constexpr std::array<Command, 6> kColourCommands{
        Command::ColourMain,   Command::ColourEdit,      Command::ColourSearch,
        Command::ColourReport, Command::ColourConfigure, Command::ColourAll};
    for (size_t i = 0; i < kColourCommands.size(); ++i) {
        const int kind = static_cast<int>(i) + 1; // 1 main .. 5 configure, 6 all windows
        main_.wireCommand(kColourCommands[i], [this, kind] {
            const appearance::ColourWindowResult result =
                appearance::runColourWindow(&main_, main_.settings(), kind, seams_,
                                            main_.windowSizeFactor(), main_.userFonts());
            if (result.mainWindowChanged)
                main_.SetColors();
        });
    }
}

void ProgramWindows::wireMaintenanceCommands() {
    main_.wireCommand(Command::PackDatabase, [this] {
        runPackDatabase(*hosts_);
        withdrawUndo(); // packing renumbers the records
    });
    main_.wireCommand(Command::RebuildIndexes, [this] { runRebuildIndexes(*hosts_); });
    main_.wireListMaintenance([this](int entry) { runListMaintenance(*hosts_, entry); });
}

void ProgramWindows::useStorage(backup::Storage& storage) {
    hosts_->storage_ = &storage;
}

// The count follows too after a backup: a search ended for the copy and switched on again
// narrows the grid as before.
void ProgramWindows::wireBackupCommands() {
    main_.wireCommand(Command::BackUp, [this] {
        if (!main_.postPendingEdit())
            return;
        backup::TMyBackup dialog(*hosts_, seams_, hosts_->backupLook(), &main_);
        dialog.exec();
        main_.DisplayCount();
    });
    main_.wireCommand(Command::Restore, [this] {
        if (!main_.postPendingEdit())
            return;
        backup::TMyRestore dialog(*hosts_, seams_, hosts_->backupLook(), &main_);
        dialog.exec();
        withdrawUndo(); // a restored table holds other records than the replace changed
        main_.DisplayCount();
    });
}

void ProgramWindows::wireFormatMenus() {
    main_.wireFormatMenu(TMain::FormatMenu::Date, [this](int number) {
        if (chooseDateFormat(main_.settings(), number))
            main_.ViewerGrid().reload(); // every date on show, in the new format
    });
    main_.wireFormatMenu(TMain::FormatMenu::Currency,
                         [this](int number) { chooseCurrencyFormat(main_.settings(), number); });
    main_.wireFormatMenu(TMain::FormatMenu::Numeric,
                         [this](int number) { chooseNumericFormat(main_.settings(), number); });
}

void ProgramWindows::wireHelpCommands() {
    main_.wireCommand(Command::HelpContents, [this] { seams_.help.showContents(); });
    main_.wireCommand(Command::Tips, [this] {
        showTipOfDay(&main_, seams_, main_.settings(), main_.windowSizeFactor());
    });
    main_.wireCommand(Command::About,
                      [this] { showAboutBox(&main_, seams_, main_.windowSizeFactor()); });
}

} // namespace app
