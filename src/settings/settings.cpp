#include "settings/settings.h"

#include "settings/profile_file.h"

namespace app {

namespace {

// Read buffers of the Windows program, terminating zero included.
constexpr int kShortBuffer = 15;   // integers, Yes/No, colours
constexpr int kMediumBuffer = 150; // field labels, font names, grid font colour and size
constexpr int kPathBuffer = 250;   // file paths

constexpr std::array<const char*, kWindowGroupCount> kColourSections{
    "Main Window Color", "Edit Window Color", "Search Window Color", "Report Window Color",
    "Configure Window Color"};

constexpr std::array<const char*, kColourRoleCount> kColourKeys{
    "Main Background", "Major Title",      "Minor Title", "Edit Background",
    "Edit Text",       "Combo Background", "Combo Text",  "List Box Background",
    "List Box Text",   "Radio Background", "Radio Text",  "Check Background",
    "Check Text"};

constexpr std::array<const char*, 4> kSortKeys{"Primary Sort", "Secondary Sort", "Third Level Sort",
                                               "Fourth Level Sort"};

QString fieldKey(int number) {
    std::string_view name = db::fieldByNumber(number)->name;
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

class SettingsReader {
public:
    explicit SettingsReader(const ProfileFile& file) : file_(file) {}

    void integer(const QString& section, const QString& key, int& value, int defaultValue,
                 int bufferSize = kShortBuffer) {
        bool ok = false;
        int parsed = file_.readString(section, key, QString(), bufferSize).toInt(&ok, 10);
        value = ok ? parsed : defaultValue;
    }
    void yesNo(const QString& section, const QString& key, bool& value, bool defaultValue) {
        value =
            parseYesNo(file_.readString(section, key, defaultValue ? "Yes" : "No", kShortBuffer));
    }
    void text(const QString& section, const QString& key, QString& value,
              const QString& defaultValue, int bufferSize) {
        value = file_.readString(section, key, defaultValue, bufferSize);
    }

private:
    const ProfileFile& file_;
};

class SettingsWriter {
public:
    explicit SettingsWriter(ProfileFile& file) : file_(file) {}

    void integer(const QString& section, const QString& key, int& value, int, int = kShortBuffer) {
        file_.writeString(section, key, QString::number(value));
    }
    void yesNo(const QString& section, const QString& key, bool& value, bool) {
        file_.writeString(section, key, value ? QStringLiteral("Yes") : QStringLiteral("No"));
    }
    void text(const QString& section, const QString& key, QString& value, const QString&, int) {
        file_.writeString(section, key, value);
    }

private:
    ProfileFile& file_;
};

template <typename Io> void visitRecentFiles(Io& io, RecentFiles& recentFiles) {
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        QString path = recentFiles.entry(i);
        io.text("Misc", QStringLiteral("Last File %1").arg(i + 1), path, QString(), kPathBuffer);
        recentFiles.setEntry(i, path);
    }
}

template <typename Io> void visitMisc(Io& io, Settings& s, const Settings& d) {
    const QString misc = QStringLiteral("Misc");
    io.integer(misc, "Button Bar", s.buttonBar, d.buttonBar);
    io.integer(misc, "Main Window Left", s.mainWindow.left, d.mainWindow.left);
    io.integer(misc, "Main Window Top", s.mainWindow.top, d.mainWindow.top);
    io.integer(misc, "Main Window Width", s.mainWindow.width, d.mainWindow.width);
    io.integer(misc, "Main Window Height", s.mainWindow.height, d.mainWindow.height);
    io.text(misc, "Last Import File", s.lastImportFile, d.lastImportFile, kPathBuffer);
    io.text(misc, "Last Export File", s.lastExportFile, d.lastExportFile, kPathBuffer);
    io.text(misc, "Last Database", s.lastDatabase, d.lastDatabase, kPathBuffer);
    visitRecentFiles(io, s.recentFiles);
    io.yesNo(misc, "Show Tips", s.showTips, d.showTips);
    io.integer(misc, "Window Size", s.windowSize, d.windowSize);
    io.integer(misc, "Date Format", s.dateFormat, d.dateFormat);
    io.integer(misc, "Currency Format", s.currencyFormat, d.currencyFormat);
    io.integer(misc, "Numeric Format", s.numericFormat, d.numericFormat);
}

template <typename Io> void visitFields(Io& io, Settings& s, const Settings& d) {
    for (int n = 1; n <= db::kFieldCount; ++n) {
        io.text("Field Names", fieldKey(n), s.field(n).label, d.field(n).label, kMediumBuffer);
        s.field(n).label.truncate(kMaxFieldLabelLength);
    }
    for (int n = 1; n <= db::kFieldCount; ++n)
        io.yesNo("Display Fields", fieldKey(n), s.field(n).displayed, d.field(n).displayed);
    for (int n = 1; n <= db::kFieldCount; ++n)
        io.integer("Field Width", fieldKey(n), s.field(n).width, d.field(n).width);
    for (int n = 1; n <= db::kFieldCount; ++n)
        io.integer("Field Order", fieldKey(n), s.field(n).order, d.field(n).order);
    for (int n = 1; n <= db::kFieldCount; ++n)
        io.yesNo("Export Fields", fieldKey(n), s.field(n).exported, d.field(n).exported);
    for (int n = 1; n <= db::kFieldCount; ++n)
        io.integer("Export Order", fieldKey(n), s.field(n).exportOrder, d.field(n).exportOrder);
}

template <typename Io> void visitTransferAndSort(Io& io, Settings& s, const Settings& d) {
    io.yesNo("Export", "First Row", s.exportFirstRow, d.exportFirstRow);
    io.integer("Export", "File Type", s.exportFileType, d.exportFileType);
    io.yesNo("Import", "Skip First", s.importSkipFirst, d.importSkipFirst);
    io.integer("Import", "File Type", s.importFileType, d.importFileType);
    for (size_t level = 0; level < kSortKeys.size(); ++level)
        io.integer("Sort Order", kSortKeys[level], s.sortLevels[level], d.sortLevels[level]);
}

template <typename Io> void visitColourSets(Io& io, Settings& s, const Settings& d) {
    for (size_t set = 0; set < kColourSections.size(); ++set)
        for (size_t role = 0; role < kColourKeys.size(); ++role)
            io.integer(kColourSections[set], kColourKeys[role], s.colourSets[set].colours[role],
                       d.colourSets[set].colours[role]);
}

template <typename Io>
void visitGridFont(Io& io, const QString& section, GridFontSettings& font,
                   const GridFontSettings& d) {
    io.integer(section, "Color", font.colour, d.colour, kMediumBuffer);
    io.text(section, "Font Name", font.name, d.name, kMediumBuffer);
    io.integer(section, "Size", font.size, d.size, kMediumBuffer);
    io.yesNo(section, "Bold", font.bold, d.bold);
    io.yesNo(section, "Italic", font.italic, d.italic);
    io.yesNo(section, "Underline", font.underline, d.underline);
    io.yesNo(section, "Strikeout", font.strikeout, d.strikeout);
}

template <typename Io>
void visitUserFont(Io& io, const QString& section, UserFontSettings& font,
                   const UserFontSettings& d) {
    io.text(section, "Font Name", font.name, d.name, kMediumBuffer);
    io.yesNo(section, "Bold", font.bold, d.bold);
    io.yesNo(section, "Italic", font.italic, d.italic);
}

template <typename Io> void visitGrid(Io& io, Settings& s, const Settings& d) {
    io.yesNo("Grid Title", "Show Titles", s.gridShowTitles, d.gridShowTitles);
    io.integer("Grid Title", "Background Color", s.gridTitleBackground, d.gridTitleBackground);
    io.integer("Grid Title", "Alignment", s.gridTitleAlignment, d.gridTitleAlignment);
    visitGridFont(io, "Grid Title Font", s.gridTitleFont, d.gridTitleFont);
    visitGridFont(io, "Grid Font", s.gridFont, d.gridFont);
    io.integer("Grid Options", "Cell Color", s.gridCellColour, d.gridCellColour);
    io.yesNo("Grid Options", "Column Lines", s.gridColumnLines, d.gridColumnLines);
    io.yesNo("Grid Options", "Row Lines", s.gridRowLines, d.gridRowLines);
    io.yesNo("Grid Options", "Row Indicator", s.gridRowIndicator, d.gridRowIndicator);
    io.yesNo("Grid Options", "Field Editing", s.gridFieldEditing, d.gridFieldEditing);
}

template <typename Io> void visitFontsAndReports(Io& io, Settings& s, const Settings& d) {
    visitUserFont(io, "Edit Font", s.editFont, d.editFont);
    visitUserFont(io, "Label Font", s.labelFont, d.labelFont);
    visitUserFont(io, "Button Font", s.buttonFont, d.buttonFont);
    const QString reports = QStringLiteral("Reports");
    WindowRect& view = s.reportViewingWindow;
    const WindowRect& viewDefault = d.reportViewingWindow;
    io.integer(reports, "Last Report", s.lastReport, d.lastReport);
    io.integer(reports, "Report Viewing Window Left", view.left, viewDefault.left);
    io.integer(reports, "Report Viewing Window Top", view.top, viewDefault.top);
    io.integer(reports, "Report Viewing Window Width", view.width, viewDefault.width);
    io.integer(reports, "Report Viewing Window Height", view.height, viewDefault.height);
}

// Every key once, in the file's customary order: reading and writing share this list.
template <typename Io> void visitSettings(Io& io, Settings& s, const Settings& d) {
    visitMisc(io, s, d);
    visitFields(io, s, d);
    visitTransferAndSort(io, s, d);
    visitColourSets(io, s, d);
    visitGrid(io, s, d);
    visitFontsAndReports(io, s, d);
}

} // namespace

Settings::Settings() {
    for (const db::FieldInfo& info : db::fieldCatalogue()) {
        FieldSettings& f = field(info.number);
        f.label = QString::fromLatin1(info.label.data(), static_cast<qsizetype>(info.label.size()));
        f.order = info.number;
        f.exportOrder = info.number;
    }
}

bool parseYesNo(const QString& text) {
    return text.toUpper() == QLatin1String("YES");
}

Settings loadSettings(const QString& iniPath, const QString& startDirectory) {
    Settings defaults;
    defaults.lastImportFile = startDirectory;
    defaults.lastExportFile = startDirectory;
    Settings settings = defaults;
    ProfileFile file(iniPath);
    SettingsReader reader(file);
    visitSettings(reader, settings, defaults);
    return settings;
}

bool saveSettings(const Settings& settings, const QString& iniPath) {
    Settings values = settings; // the visitor takes the values by reference
    const Settings defaults;
    ProfileFile file(iniPath);
    SettingsWriter writer(file);
    visitSettings(writer, values, defaults);
    return file.save();
}

} // namespace app
