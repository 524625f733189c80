#include "app/window_wiring.h"

#include "app/about_box.h"
#include "app/main_window.h"
#include "app/table_maintenance_window.h"
#include "app/tip_of_day.h"
#include "appearance/colour_config.h"
#include "appearance/view_config_window.h"
#include "edit/tmy_edit.h"
#include "search/main_window_search.h"
#include "search/search_window.h"
#include "settings/display_formats.h"
#include "widgets/record_grid.h"

namespace app {

// What the edit window and the maintenance commands need of the main window.
class ProgramWindows::Hosts final : public edit::EditHost, public MaintenanceHost {
public:
    Hosts(TMain& main, widgets::Seams& seams) : main_(main), seams_(seams), search(main) {}

    // Shared by both
    table::Table& bookTable() override { return main_.MyTable(); }
    db::PickLists& pickLists() override { return main_.gridPickLists(); }

    // edit::EditHost
    double windowSizeFactor() const override { return main_.windowSizeFactor(); }
    void displayCount() override { main_.DisplayCount(); }
    bool browseMode() const override { return main_.browseMode(); }
    widgets::UserFonts userFonts() const override { return main_.userFonts(); }
    const Settings& settings() const override { return main_.settings(); }
    QString programDirectory() const override { return main_.programDirectory(); }

    // MaintenanceHost
    QWidget* hostWindow() override { return &main_; }
    widgets::Seams& seams() override { return seams_; }
    TMyEditBox::Look configureWindowLook() override {
        return {main_.windowSizeFactor(), main_.userFonts(),
                main_.settings().colours(WindowGroup::Configure)};
    }
    void SetViewerOptions() override { main_.SetViewerOptions(); }
    void DisplayCount() override { main_.DisplayCount(); }

private:
    TMain& main_;
    widgets::Seams& seams_;

public:
    search::MainWindowSearchHost<TMain> search;
};

ProgramWindows::ProgramWindows(TMain& main, const widgets::Seams& seams)
    : main_(main), seams_(seams), hosts_(std::make_unique<Hosts>(main, seams_)) {
    editWindow_ = std::make_unique<edit::TMyEdit>(*hosts_, seams_, &main_);
    searchWindow_ = std::make_unique<search::TMySearch>(&main_, seams_, main_.settings(),
                                                        main_.gridPickLists(), hosts_->search);
    wireRecordCommands();
    wireSearchCommands();
    wireAppearanceCommands();
    wireMaintenanceCommands();
    wireFormatMenus();
    wireHelpCommands();
}

ProgramWindows::~ProgramWindows() = default;

void ProgramWindows::wireRecordCommands() {
    const auto editIn = [this](EditMode mode) {
        if (!main_.postPendingEdit())
            return;
        main_.setEditMode(mode);
        editWindow_->execFor(static_cast<edit::EditMode>(mode));
    };
    main_.wireCommand(Command::Add, [editIn] { editIn(EditMode::Add); });
    main_.wireCommand(Command::Edit, [editIn] { editIn(EditMode::Edit); });
    main_.wireCommand(Command::Copy, [editIn] { editIn(EditMode::Copy); });
}

void ProgramWindows::wireSearchCommands() {
    main_.wireCommand(Command::Search, [this] {
        if (!main_.postPendingEdit())
            return;
        searchWindow_->execSearch();
        main_.DisplayCount();
    });
    main_.wireCommand(Command::SortOrder, [this] {
        if (main_.postPendingEdit())
            search::runSortOrder(main_, seams_, main_.settingsFilePath());
    });
}

void ProgramWindows::wireAppearanceCommands() {
    main_.wireCommand(Command::Viewer, [this] {
        if (!main_.postPendingEdit())
            return;
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
        if (main_.postPendingEdit())
            runPackDatabase(*hosts_);
    });
    main_.wireCommand(Command::RebuildIndexes, [this] {
        if (main_.postPendingEdit())
            runRebuildIndexes(*hosts_);
    });
    main_.wireListMaintenance([this](int entry) { runListMaintenance(*hosts_, entry); });
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
