#pragma once

// The windows that live beside the main window for the whole run (the record edit window and the
// search window) and the commands of the main window that open every other window. Made once,
// after the main window's FormCreate and before it is shown, in the order of creation the
// program needs: the edit window first, then the search window. Must be destroyed before the
// main window, whose table, settings and pick lists the windows use.

#include "widgets/seams.h"

#include <functional>
#include <memory>

namespace edit {
class TMyEdit;
}
namespace search {
class TMySearch;
}
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

    // Backup and restore find volumes and free space through `storage` from now on (the
    // machine's own until then); it must outlive these windows.
    void useStorage(backup::Storage& storage);
    // Run after report definitions have been restored, so that the report list shows them.
    void onReportDefinitionsRestored(std::function<void()> reloadReportList);

private:
    class Hosts;

    void wireRecordCommands();
    void wireSearchCommands();
    void wireAppearanceCommands();
    void wireMaintenanceCommands();
    void wireBackupCommands();
    void wireFormatMenus();
    void wireHelpCommands();

    TMain& main_;
    widgets::Seams seams_;
    std::unique_ptr<Hosts> hosts_;
    std::unique_ptr<edit::TMyEdit> editWindow_;
    std::unique_ptr<search::TMySearch> searchWindow_;
};

} // namespace app
