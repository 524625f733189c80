#pragma once

// Every user preference, held in plain structs that the windows read and change, loaded once
// from VLMBOOK.INI at start-up and written back whole. The member initialisers are the defaults.

#include "db/book_database.h"
#include "db/field_catalogue.h"
#include "settings/settings_recent_files.h"

#include <QString>

#include <array>
#include <cstdint>

namespace app {

// A Windows colour value: red in the low byte, then green, then blue. Negative values (system
// colours) may come from files of the Windows program and are kept as they are.
using Colour = int32_t;

// The entries of a colour set, in stored order.
enum class ColourRole {
    MainBackground,
    MajorTitle,
    MinorTitle,
    EditBackground,
    EditText,
    ComboBackground,
    ComboText,
    ListBoxBackground,
    ListBoxText,
    RadioBackground,
    RadioText,
    CheckBackground,
    CheckText,
};
constexpr int kColourRoleCount = 13;

struct ColourSet {
    std::array<Colour, kColourRoleCount> colours{
        12632256, 0, 0, 16777215, 0, 16777215, 0, 16777215, 0, 12632256, 0, 12632256, 0};
    Colour& operator[](ColourRole role) { return colours[static_cast<size_t>(role)]; }
    Colour operator[](ColourRole role) const { return colours[static_cast<size_t>(role)]; }
};

// The window groups that each have a colour set, in stored order.
enum class WindowGroup { Main, Edit, Search, Report, Configure };
constexpr int kWindowGroupCount = 5;

// The grid fonts keep colour, size and every style flag.
struct GridFontSettings {
    Colour colour = 0;
    QString name = QStringLiteral("Arial");
    int size = 10;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
};

// The label, edit and button fonts keep only name, bold and italic.
struct UserFontSettings {
    QString name = QStringLiteral("Arial");
    bool bold = false;
    bool italic = false;
};

struct WindowRect {
    int left = 0;
    int top = 0;
    int width = 640;
    int height = 480;
};

// One field's entries in the "Field Names", "Display Fields", "Field Width", "Field Order",
// "Export Fields" and "Export Order" sections.
struct FieldSettings {
    QString label; // at most 20 characters; the only place a field's label is kept
    bool displayed = true;
    int width = 15;
    int order = 0; // grid position 1..36
    bool exported = true;
    int exportOrder = 0;
};

constexpr qsizetype kMaxFieldLabelLength = 20;

struct Settings {
    Settings(); // every default, field labels from the catalogue

    // Misc
    int buttonBar = 1; // 1 speed buttons, 2 lettered buttons, 3 none
    WindowRect mainWindow;
    QString lastImportFile; // kept and written back; defaults to the start directory
    QString lastExportFile;
    QString lastDatabase;
    RecentFiles recentFiles;
    bool showTips = true;
    int windowSize = 640;
    int dateFormat = 1;     // 1..12
    int currencyFormat = 1; // 1 U.S., 2 regional setting
    int numericFormat = 1;

    std::array<FieldSettings, db::kFieldCount> fields; // by field number - 1

    bool exportFirstRow = true;
    int exportFileType = 1;
    bool importSkipFirst = true;
    int importFileType = 1;

    db::SortLevels sortLevels{2, 0, 0, 0};

    std::array<ColourSet, kWindowGroupCount> colourSets;

    bool gridShowTitles = true;
    Colour gridTitleBackground = 8553090;
    int gridTitleAlignment = 2; // 1 left, 2 centre, 3 right
    GridFontSettings gridTitleFont{0, QStringLiteral("Arial"), 12};
    GridFontSettings gridFont;
    Colour gridCellColour = 12632256;
    bool gridColumnLines = true;
    bool gridRowLines = true;
    bool gridRowIndicator = true;
    bool gridFieldEditing = false;

    UserFontSettings editFont;
    UserFontSettings labelFont;
    UserFontSettings buttonFont;

    int lastReport = 0;
    WindowRect reportViewingWindow;

    FieldSettings& field(int number) { return fields[static_cast<size_t>(number - 1)]; }
    const FieldSettings& field(int number) const { return fields[static_cast<size_t>(number - 1)]; }
    const QString& fieldLabel(int number) const { return field(number).label; }
    ColourSet& colours(WindowGroup group) { return colourSets[static_cast<size_t>(group)]; }
    const ColourSet& colours(WindowGroup group) const {
        return colourSets[static_cast<size_t>(group)];
    }
};

// Reads every key; missing keys and values that do not parse give the defaults. "Last Import
// File" and "Last Export File" default to `startDirectory`.
Settings loadSettings(const QString& iniPath, const QString& startDirectory);

// Writes every key in the file's customary order, keeping whatever else the file holds. Failures
// are silent (the program never reports on its settings file); returns whether it was written.
bool saveSettings(const Settings& settings, const QString& iniPath);

// "Yes"/"No" as stored; reading is true exactly for "YES" in any letter case.
bool parseYesNo(const QString& text);

} // namespace app
