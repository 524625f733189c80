#include "app/main_commands.h"

#include <array>

namespace app {

namespace {

using K = QKeySequence;
constexpr auto ctrl = Qt::CTRL;

const std::array<CommandInfo, 37>& commandRows() {
    static const std::array<CommandInfo, 37> table{{
        {Command::NewDatabase, "MenuNew", "&New Database", K(ctrl | Qt::Key_W), "NewSpeed",
         "New Database", nullptr, nullptr, true},
        {Command::OpenDatabase, "MenuOpen", "&Open Database", K(ctrl | Qt::Key_O), "OpenSpeed",
         "Open Database", nullptr, nullptr, true},
        {Command::BackUp, "MenuBackup", "&Back Up Data", K(ctrl | Qt::Key_B), nullptr, nullptr,
         nullptr, nullptr, false},
        {Command::Restore, "MenuRestore", "&Restore Data", K(ctrl | Qt::Key_Y), nullptr, nullptr,
         nullptr, nullptr, false},
        {Command::Print, "MenuPrint", "&Print", K(ctrl | Qt::Key_P), nullptr, nullptr, nullptr,
         nullptr, true},
        {Command::PrinterSetup, "MenuPrinterSetup", "Printer &Setup", K(ctrl | Qt::Key_U), nullptr,
         nullptr, nullptr, nullptr, true},
        {Command::Exit, "MenuExit", "E&xit", K(ctrl | Qt::Key_X), nullptr, nullptr, "ButtonExit",
         "E&xit", true},
        {Command::Add, "MenuAdd", "&Add", K(ctrl | Qt::Key_A), "AddSpeed", "Add Record",
         "AddButton", "&Add", false},
        {Command::Edit, "MenuEdit", "&Edit", K(ctrl | Qt::Key_E), "EditSpeed", "Edit Record",
         "EditButton", "&Edit", true},
        {Command::Copy, "MenuCopy", "&Copy", K(ctrl | Qt::Key_C), "CopySpeed", "Copy Record",
         "CopyButton", "&Copy", false},
        {Command::Delete, "MenuDelete", "&Delete", K(ctrl | Qt::Key_D), "DeleteSpeed",
         "Delete Record", "DeleteButton", "&Delete", false},
        {Command::Import, "MenuImport", "&Import", K(ctrl | Qt::Key_M), "ImportSpeed",
         "Import Records", nullptr, nullptr, false},
        {Command::Export, "MenuExport", "E&xport", K(ctrl | Qt::Key_T), "ExportSpeed",
         "Export Records", nullptr, nullptr, true},
        {Command::Search, "MenuSearch", "&Search (Query)", K(ctrl | Qt::Key_S), "SearchSpeed",
         "Search Records", "SearchButton", "&Search", true},
        {Command::EndSearch, "MenuEndSearch", "&End Search", K(ctrl | Qt::Key_I), "EndSearchSpeed",
         "End Search", "EndSearchButton", "E&nd Srch", true},
        {Command::Locate, "MenuLocate", "&Locate", K(ctrl | Qt::Key_L), "LocateSpeed",
         "Locate Record", nullptr, nullptr, true},
        {Command::LocateNext, "MenuLocateNext", "Locate &Next", K(ctrl | Qt::Key_N),
         "LocateNextSpeed", "Locate Next Record", nullptr, nullptr, true},
        {Command::Reports, "MenuReports", "&Reports", K(ctrl | Qt::Key_R), "ReportSpeed", "Reports",
         "ReportButton", "&Reports", true},
        {Command::Viewer, "MenuViewer", "&Viewer", K(ctrl | Qt::Key_V), "ViewerSpeed",
         "Viewer Configuration", "ViewerButton", "&Viewer", false},
        {Command::SortOrder, "MenuSortOrder", "Sort &Order", K(ctrl | Qt::Key_Q), "SortSpeed",
         "Set Sorting Order", nullptr, nullptr, true},
        {Command::ColourMain, "MenuMainColor", "&Main Window Color", K(ctrl | Qt::Key_F4), nullptr,
         nullptr, nullptr, nullptr, true},
        {Command::ColourEdit, "MenuEditColor", "&Edit Window Color", K(ctrl | Qt::Key_F5), nullptr,
         nullptr, nullptr, nullptr, true},
        {Command::ColourSearch, "MenuSearchColor", "&Search Window Color", K(ctrl | Qt::Key_F6),
         nullptr, nullptr, nullptr, nullptr, true},
        {Command::ColourReport, "MenuReportColor", "&Report Window Color", K(ctrl | Qt::Key_F7),
         nullptr, nullptr, nullptr, nullptr, true},
        {Command::ColourConfigure, "MenuConfigureColor", "&Configure Window Color",
         K(ctrl | Qt::Key_F8), nullptr, nullptr, nullptr, nullptr, true},
        {Command::ColourAll, "MenuAllColor", "&ALL Windows Color", K(ctrl | Qt::Key_F9),
         "ColorSpeed", "Color Setup", nullptr, nullptr, true},
        {Command::ListMaintenance, "MenuListMaintenance", "List &Maintenance", K(), nullptr,
         nullptr, nullptr, nullptr, false},
        {Command::LabelFont, "MenuLabelFont", "&Label Font", K(Qt::SHIFT | Qt::Key_F8), nullptr,
         nullptr, nullptr, nullptr, true},
        {Command::EditFont, "MenuEditFont", "&Edit Font", K(Qt::SHIFT | Qt::Key_F9), nullptr,
         nullptr, nullptr, nullptr, true},
        {Command::ButtonFont, "MenuButtonFont", "&Button Font", K(Qt::SHIFT | Qt::Key_F10), nullptr,
         nullptr, nullptr, nullptr, true},
        {Command::SearchAndReplace, "MenuSearchReplace", "&Search and Replace", K(ctrl | Qt::Key_F),
         nullptr, nullptr, nullptr, nullptr, false},
        {Command::UndoReplace, "MenuUndoReplace", "&Undo Last Replace", K(), nullptr, nullptr,
         nullptr, nullptr, false},
        {Command::RebuildIndexes, "MenuRebuildIndexes", "&Rebuild Indexes", K(), nullptr, nullptr,
         nullptr, nullptr, true},
        {Command::PackDatabase, "MenuPackDatabase", "&Pack Database", K(), nullptr, nullptr,
         nullptr, nullptr, true},
        {Command::HelpContents, "MenuContents", "&Contents", K(ctrl | Qt::Key_H), "HelpSpeed",
         "Help", "HelpButton", "He&lp", true},
        {Command::Tips, "MenuTips", "&Review \"Tips of the Day\"", K(), nullptr, nullptr, nullptr,
         nullptr, true},
        {Command::About, "MenuAbout", "&About", K(), nullptr, nullptr, nullptr, nullptr, true},
    }};
    return table;
}

constexpr int kGroupBreak = -1;
constexpr auto c = [](Command command) { return static_cast<int>(command); };

constexpr std::array<int, 20> kSpeedBar{c(Command::NewDatabase),
                                        c(Command::OpenDatabase),
                                        kGroupBreak,
                                        c(Command::Add),
                                        c(Command::Edit),
                                        c(Command::Copy),
                                        c(Command::Delete),
                                        c(Command::Import),
                                        c(Command::Export),
                                        kGroupBreak,
                                        c(Command::Search),
                                        c(Command::EndSearch),
                                        c(Command::Locate),
                                        c(Command::LocateNext),
                                        c(Command::Reports),
                                        c(Command::Viewer),
                                        c(Command::ColourAll),
                                        c(Command::SortOrder),
                                        kGroupBreak,
                                        c(Command::HelpContents)};

constexpr std::array<Command, 10> kLettered{
    Command::Add,       Command::Edit,    Command::Copy,   Command::Delete,       Command::Search,
    Command::EndSearch, Command::Reports, Command::Viewer, Command::HelpContents, Command::Exit};

constexpr std::array<const char*, 9> kListCaptions{
    "&Author",    "&Location", "&Where Purchased",  "&Category", "&Publisher",
    "&Book Type", "&Rating",   "Chec&k Out Person", "C&ondition"};

constexpr std::array<const char*, 12> kDateCaptions{
    "mm/dd/yy",   "mm-dd-yy",   "mm.dd.yy",   "dd/mm/yy",   "dd-mm-yy",   "dd.mm.yy",
    "mm/dd/yyyy", "mm-dd-yyyy", "mm.dd.yyyy", "dd/mm/yyyy", "dd-mm-yyyy", "dd.mm.yyyy"};

} // namespace

std::span<const CommandInfo> commandTable() {
    return commandRows();
}

const CommandInfo& commandInfo(Command command) {
    for (const CommandInfo& info : commandRows())
        if (info.command == command)
            return info;
    return commandRows().front(); // unreachable: every command has a row
}

std::span<const int> speedBarLayout() {
    return kSpeedBar;
}

std::span<const Command> letteredButtonOrder() {
    return kLettered;
}

std::span<const char* const> listMaintenanceCaptions() {
    return kListCaptions;
}

std::span<const char* const> dateFormatCaptions() {
    return kDateCaptions;
}

} // namespace app
