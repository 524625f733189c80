#pragma once

// The main window's commands: what each is called on the menu, the speed bar and the lettered
// buttons, and which of them browse mode takes away. The window builds its controls from this
// table and enables every control of a command in one place.

#include <QKeySequence>

#include <span>

namespace app {

enum class Command {
    // File
    NewDatabase,
    OpenDatabase,
    BackUp,
    Restore,
    Print,
    PrinterSetup,
    Exit,
    // Records
    Add,
    Edit,
    Copy,
    Delete,
    Import,
    Export,
    // Navigate
    Search,
    EndSearch,
    Locate,
    LocateNext,
    Reports,
    Viewer,
    // Options
    SortOrder,
    ColourMain,
    ColourEdit,
    ColourSearch,
    ColourReport,
    ColourConfigure,
    ColourAll,
    ListMaintenance,
    LabelFont,
    EditFont,
    ButtonFont,
    // Tools
    SearchAndReplace,
    UndoReplace,
    RebuildIndexes,
    PackDatabase,
    // Help
    HelpContents,
    Tips,
    About,
};

struct CommandInfo {
    Command command;
    const char* menuName;      // objectName of the menu item
    const char* caption;       // menu caption with its accelerator
    QKeySequence shortcut;     // empty when none
    const char* speedName;     // objectName of the speed button, null when none
    const char* hint;          // speed button hint
    const char* buttonName;    // objectName of the lettered button, null when none
    const char* buttonCaption; // lettered button caption
    bool browseAllowed;        // false: disabled for a browse-mode run
};

std::span<const CommandInfo> commandTable();
const CommandInfo& commandInfo(Command command);

// The speed bar, left to right; Command values, with -1 between groups.
std::span<const int> speedBarLayout();
// The lettered buttons in their bevels, left to right, top to bottom.
std::span<const Command> letteredButtonOrder();

// Caption of the Options > List Maintenance entries, in menu order.
std::span<const char* const> listMaintenanceCaptions();
// Date format menu captions 1..12.
std::span<const char* const> dateFormatCaptions();

} // namespace app
