#pragma once

// The windows that live beside the main window for the whole run (the record edit window, the
// search window and the locate component) and the commands of the main window that open every other
// window. Made once, after the main window's FormCreate and before it is shown, in the order of
// creation the program needs: the edit window first, then the search window. Must be destroyed
// before the main window, whose table, settings and pick lists the windows use.

#include "widgets/seams.h"

#include <functional>
#include <memory>
#include <string>

namespace edit {
class TMyEdit;
}
namespace reports {
class TMyReport;
}
namespace search {
class TMySearch;
class TMyLocateDialog;
} // namespace search
namespace backup {
class Storage;
}

namespace app {

class TMain;

class ProgramWindows {
public:
    ProgramWindows(TMain& main, const widgets::Seams& seams);
    ~ProgramWindows();
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;

    edit::TMyEdit& editWindow() { return *editWindow_; }
    search::TMySearch& searchWindow() { return *searchWindow_; }
    reports::TMyReport& reportWindow() { return *reportWindow_; }
    search::TMyLocateDialog& locateDialog() { return *locateDialog_; }

    // Backup and restore find volumes and free space through `storage` from now on (the
    // machine's own until then); it must outlive these windows.
    void useStorage(backup::Storage& storage);

private:
    class Hosts;
    class ReportHost;

    void wireRecordCommands();
    void wireSearchCommands();
    void wireReportCommands();
    void wireReplaceCommands();
    void withdrawUndo();
    void wireTransferCommands();
    void wireAppearanceCommands();
    void wireMaintenanceCommands();
    void wireBackupCommands();
    void wireFormatMenus();
    void wireHelpCommands();

    TMain& main_;
    widgets::Seams seams_;
    std::unique_ptr<Hosts> hosts_;
    std::unique_ptr<edit::TMyEdit> editWindow_;
    std::unique_ptr<ReportHost> reportHost_;
    std::unique_ptr<reports::TMyReport> reportWindow_;
    std::unique_ptr<search::TMySearch> searchWindow_;
    std::unique_ptr<search::TMyLocateDialog> locateDialog_;
    std::string undoPath_; // the undo file of the last replace, while it is on offer
};

} // namespace app
