#pragma once

// How the main window takes in the search, locate and sort order windows. Written against the
// main window's own operations by name (MyTable, searchActive, setSearchRecordTest,
// recordFilterCopy, postPendingEdit, EnableEndSearch, DoEndSearch, SetViewerOptions,
// DisplayCount, settings, sortExpression, rebuildSortExpression, windowSizeFactor, userFonts), so
// that this library does not link the shell above it:
//
//     search::MainWindowSearchHost<app::TMain> searchHost(mainWindow);
//     search::TMySearch searchWindow(&mainWindow, seams, mainWindow.settings(),
//                                    mainWindow.gridPickLists(), searchHost);
//     mainWindow.wireCommand(app::Command::Search, [&] {
//         searchWindow.execSearch();
//         mainWindow.DisplayCount();
//     });
//     mainWindow.wireCommand(app::Command::SortOrder, [&] {
//         search::runSortOrder(mainWindow, seams, app::settingsFilePath());
//     });

#include "search/locate_dialog.h"
#include "search/search_host.h"
#include "search/sort_order_window.h"
#include "settings/settings.h"

#include <string>
#include <utility>

namespace search {

template <typename MainWindow> class MainWindowSearchHost final : public SearchHost {
public:
    explicit MainWindowSearchHost(MainWindow& main) : main_(main) {}

    table::Table& bookTable() override { return main_.MyTable(); }
    bool searchActive() const override { return main_.searchActive(); }
    void reopenBookTable() override { main_.reopenBookTable(); }
    void setRecordFilter(table::RecordFilter filter) override {
        main_.setSearchRecordTest(std::move(filter));
    }
    void enableEndSearch() override { main_.EnableEndSearch(); }
    void doEndSearch() override { main_.DoEndSearch(); }
    double windowSizeFactor() const override { return main_.windowSizeFactor(); }
    const widgets::UserFonts& userFonts() const override { return main_.userFonts(); }

private:
    MainWindow& main_;
};

template <typename MainWindow> class MainWindowLocateHost final : public LocateHost {
public:
    explicit MainWindowLocateHost(MainWindow& main) : main_(main) {}

    table::Table& bookTable() override { return main_.MyTable(); }
    bool postPendingEdit() override { return main_.postPendingEdit(); }
    table::RecordFilter recordFilterCopy() override { return main_.recordFilterCopy(); }
    // The grid follows a move of its table by itself.
    bool moveToRecord(uint32_t recno) override { return main_.MyTable().goToRecord(recno); }
    double windowSizeFactor() const override { return main_.windowSizeFactor(); }
    const widgets::UserFonts& userFonts() const override { return main_.userFonts(); }

private:
    MainWindow& main_;
};

// The Sort Order command: the dialog, then the main window's sort expression and record count
// follow what it did.
template <typename MainWindow>
void runSortOrder(MainWindow& main, widgets::Seams seams, const QString& settingsFilePath) {
    std::string expression = main.sortExpression();
    SortOrderContext context{main.MyTable(),
                             main.settings().sortLevels,
                             expression,
                             seams.messages,
                             [&] { return app::saveSettings(main.settings(), settingsFilePath); },
                             [&] { main.SetViewerOptions(); }};
    TMySortOrder dialog(&main, seams, main.settings(), context, main.windowSizeFactor(),
                        main.userFonts());
    dialog.exec();
    main.rebuildSortExpression();
    main.DisplayCount();
}

} // namespace search
