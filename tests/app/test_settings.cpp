#include "app/settings.h"

#include "app/profile_file.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using testsupport::TempDir;

QString qpath(const std::string& path) {
    return QString::fromStdString(path);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Every value changed from its default, so that a key missed by either direction shows.
app::Settings everyValueChanged() {
    app::Settings s;
    s.buttonBar = 2;
    s.mainWindow = {11, 12, 813, 614};
    s.lastImportFile = "/data/in.txt";
    s.lastExportFile = "/data/out.txt";
    s.lastDatabase = "/data/BOOKS.DBF";
    for (int i = 0; i < app::RecentFiles::kCount; ++i)
        s.recentFiles.setEntry(i, QStringLiteral("/data/T%1.DBF").arg(i));
    s.showTips = false;
    s.windowSize = 1024;
    s.dateFormat = 12;
    s.currencyFormat = 2;
    s.numericFormat = 2;
    for (int n = 1; n <= db::kFieldCount; ++n) {
        app::FieldSettings& f = s.field(n);
        f.label = QStringLiteral("Label %1").arg(n);
        f.displayed = n % 2 == 0;
        f.width = 20 + n;
        f.order = db::kFieldCount + 1 - n;
        f.exported = n % 3 == 0;
        f.exportOrder = 100 + n;
    }
    s.exportFirstRow = false;
    s.exportFileType = 2;
    s.importSkipFirst = false;
    s.importFileType = 3;
    s.sortLevels = {12, 3, 7, 1};
    for (int set = 0; set < app::kWindowGroupCount; ++set)
        for (int role = 0; role < app::kColourRoleCount; ++role)
            s.colourSets[static_cast<size_t>(set)].colours[static_cast<size_t>(role)] =
                set * 1000 + role + 1;
    s.gridShowTitles = false;
    s.gridTitleBackground = 255;
    s.gridTitleAlignment = 3;
    s.gridTitleFont = {65280, "Courier New", 14, true, true, true, true};
    s.gridFont = {-2147483633, "Verdana", 9, false, true, false, true};
    s.gridCellColour = 16777215;
    s.gridColumnLines = false;
    s.gridRowLines = false;
    s.gridRowIndicator = false;
    s.gridFieldEditing = true;
    s.editFont = {"Tahoma", true, false};
    s.labelFont = {"Georgia", false, true};
    s.buttonFont = {"Impact", true, true};
    s.lastReport = 5;
    s.reportViewingWindow = {1, 2, 3, 4};
    return s;
}

void expectSame(const app::Settings& a, const app::Settings& b) {
    EXPECT_EQ(a.buttonBar, b.buttonBar);
    EXPECT_EQ(a.mainWindow.left, b.mainWindow.left);
    EXPECT_EQ(a.mainWindow.height, b.mainWindow.height);
    EXPECT_EQ(a.lastImportFile, b.lastImportFile);
    EXPECT_EQ(a.lastExportFile, b.lastExportFile);
    EXPECT_EQ(a.lastDatabase, b.lastDatabase);
    for (int i = 0; i < app::RecentFiles::kCount; ++i)
        EXPECT_EQ(a.recentFiles.entry(i), b.recentFiles.entry(i));
    EXPECT_EQ(a.showTips, b.showTips);
    EXPECT_EQ(a.windowSize, b.windowSize);
    EXPECT_EQ(a.dateFormat, b.dateFormat);
    EXPECT_EQ(a.currencyFormat, b.currencyFormat);
    EXPECT_EQ(a.numericFormat, b.numericFormat);
    for (int n = 1; n <= db::kFieldCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(a.field(n).label, b.field(n).label);
        EXPECT_EQ(a.field(n).displayed, b.field(n).displayed);
        EXPECT_EQ(a.field(n).width, b.field(n).width);
        EXPECT_EQ(a.field(n).order, b.field(n).order);
        EXPECT_EQ(a.field(n).exported, b.field(n).exported);
        EXPECT_EQ(a.field(n).exportOrder, b.field(n).exportOrder);
    }
    EXPECT_EQ(a.exportFirstRow, b.exportFirstRow);
    EXPECT_EQ(a.exportFileType, b.exportFileType);
    EXPECT_EQ(a.importSkipFirst, b.importSkipFirst);
    EXPECT_EQ(a.importFileType, b.importFileType);
    EXPECT_EQ(a.sortLevels, b.sortLevels);
    for (int set = 0; set < app::kWindowGroupCount; ++set)
        EXPECT_EQ(a.colourSets[static_cast<size_t>(set)].colours,
                  b.colourSets[static_cast<size_t>(set)].colours);
    EXPECT_EQ(a.gridShowTitles, b.gridShowTitles);
    EXPECT_EQ(a.gridTitleBackground, b.gridTitleBackground);
    EXPECT_EQ(a.gridTitleAlignment, b.gridTitleAlignment);
    for (auto [x, y] :
         {std::pair{&a.gridTitleFont, &b.gridTitleFont}, std::pair{&a.gridFont, &b.gridFont}}) {
        EXPECT_EQ(x->colour, y->colour);
        EXPECT_EQ(x->name, y->name);
        EXPECT_EQ(x->size, y->size);
        EXPECT_EQ(std::tie(x->bold, x->italic, x->underline, x->strikeout),
                  std::tie(y->bold, y->italic, y->underline, y->strikeout));
    }
    EXPECT_EQ(a.gridCellColour, b.gridCellColour);
    EXPECT_EQ(std::tie(a.gridColumnLines, a.gridRowLines, a.gridRowIndicator, a.gridFieldEditing),
              std::tie(b.gridColumnLines, b.gridRowLines, b.gridRowIndicator, b.gridFieldEditing));
    for (auto [x, y] : {std::pair{&a.editFont, &b.editFont}, std::pair{&a.labelFont, &b.labelFont},
                        std::pair{&a.buttonFont, &b.buttonFont}}) {
        EXPECT_EQ(x->name, y->name);
        EXPECT_EQ(std::tie(x->bold, x->italic), std::tie(y->bold, y->italic));
    }
    EXPECT_EQ(a.lastReport, b.lastReport);
    EXPECT_EQ(a.reportViewingWindow.width, b.reportViewingWindow.width);
    EXPECT_EQ(a.reportViewingWindow.top, b.reportViewingWindow.top);
}

TEST(SettingsFile, MissingFileGivesEveryDefaultAndFirstSaveWritesEveryKey) {
    TempDir dir;
    app::Settings loaded = app::loadSettings(qpath(dir.file("VLMBOOK.INI")), "/start");
    app::Settings expected;
    expected.lastImportFile = "/start";
    expected.lastExportFile = "/start";
    expectSame(loaded, expected);
    EXPECT_EQ(loaded.fieldLabel(6), "Where Purchased");
    EXPECT_EQ(loaded.field(24).order, 24);
    EXPECT_EQ(loaded.sortLevels, (db::SortLevels{2, 0, 0, 0}));
    EXPECT_EQ(loaded.colours(app::WindowGroup::Search)[app::ColourRole::EditBackground], 16777215);

    ASSERT_TRUE(app::saveSettings(loaded, qpath(dir.file("VLMBOOK.INI"))));
    std::string text = readBytes(dir.file("VLMBOOK.INI"));
    // 18 Misc keys, 6 x 36 field keys, 4 transfer, 4 sort, 5 x 13 colours, 3 grid title,
    // 2 x 7 grid fonts, 5 grid options, 3 x 3 user fonts, 5 report keys.
    EXPECT_EQ(std::count(text.begin(), text.end(), '='),
              18 + 216 + 4 + 4 + 65 + 3 + 14 + 5 + 9 + 5);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'),
              std::count(text.begin(), text.end(), '\r'));
    EXPECT_EQ(text.rfind("[Misc]\r\nButton Bar=1\r\nMain Window Left=0\r\n", 0), 0u);
    EXPECT_NE(text.find("Last File 1=\r\n"), std::string::npos);
    EXPECT_NE(text.find("[Field Names]\r\nTitle=Title\r\nAuthor=Author\r\nYearPub=Year Pub\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("[Grid Title Font]\r\nColor=0\r\nFont Name=Arial\r\nSize=12\r\nBold=No"),
              std::string::npos);
    EXPECT_LT(text.find("[Configure Window Color]"), text.find("[Grid Title]"));
}

TEST(SettingsFile, EveryKeyRoundTrips) {
    TempDir dir;
    app::Settings written = everyValueChanged();
    ASSERT_TRUE(app::saveSettings(written, qpath(dir.file("VLMBOOK.INI"))));
    expectSame(app::loadSettings(qpath(dir.file("VLMBOOK.INI")), "/start"), written);
}

TEST(SettingsFile, ValuesThatDoNotParseOrAreTooLongFallBackOrAreCut) {
    TempDir dir;
    writeBytes(dir.file("VLMBOOK.INI"),
               "[Misc]\r\nButton Bar=two\r\nWindow Size=800px\r\nDate Format=\r\n"
               "Main Window Left=-15\r\nMain Window Top= 7 \r\nMain Window Width=99999999999\r\n"
               "Show Tips=Y\r\n[Field Names]\r\nTitle=A label much longer than twenty\r\n"
               "[Grid Options]\r\nRow Lines=True\r\nField Editing=yEs\r\n");
    app::Settings s = app::loadSettings(qpath(dir.file("VLMBOOK.INI")), "/start");
    EXPECT_EQ(s.buttonBar, 1);
    EXPECT_EQ(s.windowSize, 640);
    EXPECT_EQ(s.dateFormat, 1);
    EXPECT_EQ(s.mainWindow.left, -15);
    EXPECT_EQ(s.mainWindow.top, 7);
    EXPECT_EQ(s.mainWindow.width, 640);
    EXPECT_FALSE(s.showTips);
    EXPECT_EQ(s.fieldLabel(1), "A label much longer ");
    EXPECT_FALSE(s.gridRowLines);
    EXPECT_TRUE(s.gridFieldEditing);
}

TEST(SettingsFile, YesNoIsTrueOnlyForYesInAnyCase) {
    EXPECT_TRUE(app::parseYesNo("Yes"));
    EXPECT_TRUE(app::parseYesNo("YES"));
    EXPECT_TRUE(app::parseYesNo("yes"));
    EXPECT_FALSE(app::parseYesNo("Y"));
    EXPECT_FALSE(app::parseYesNo("True"));
    EXPECT_FALSE(app::parseYesNo("1"));
    EXPECT_FALSE(app::parseYesNo("Yes please"));
    EXPECT_FALSE(app::parseYesNo(""));
}

TEST(SettingsFile, FileWrittenOnWindowsLoadsAndKeepsItsExtras) {
    TempDir dir;
    writeBytes(dir.file("VLMBOOK.INI"),
               "; Volumara settings\r\n\r\n[Sort Order]\r\nSecondary Sort=3\r\nPrimary Sort=1\r\n"
               "\r\n[misc]\r\nLast Database=C:\\VLMBOOK\\MASTER.DBF\r\nLast File 2=C:\\OLD.DBF\r\n"
               "Some Future Key=42\r\nshow tips=NO\r\n\r\n[DISPLAY FIELDS]\r\nISBN=No\r\n"
               "[Main Window Color]\r\nMajor Title=255\r\n[Unrelated]\r\nKeep=this\r\n");
    app::Settings s = app::loadSettings(qpath(dir.file("VLMBOOK.INI")), "C:");
    EXPECT_EQ(s.sortLevels, (db::SortLevels{1, 3, 0, 0}));
    EXPECT_EQ(s.lastDatabase, "C:\\VLMBOOK\\MASTER.DBF");
    EXPECT_EQ(s.recentFiles.entry(0), "");
    EXPECT_EQ(s.recentFiles.entry(1), "C:\\OLD.DBF");
    EXPECT_FALSE(s.showTips);
    EXPECT_FALSE(s.field(10).displayed);
    EXPECT_TRUE(s.field(11).displayed);
    EXPECT_EQ(s.colours(app::WindowGroup::Main)[app::ColourRole::MajorTitle], 255);
    EXPECT_EQ(s.colours(app::WindowGroup::Edit)[app::ColourRole::MajorTitle], 0);

    ASSERT_TRUE(app::saveSettings(s, qpath(dir.file("VLMBOOK.INI"))));
    app::ProfileFile after(qpath(dir.file("VLMBOOK.INI")));
    EXPECT_EQ(after.readString("Misc", "Some Future Key", "", 15), "42");
    EXPECT_EQ(after.readString("Unrelated", "Keep", "", 15), "this");
    EXPECT_EQ(readBytes(dir.file("VLMBOOK.INI")).rfind("; Volumara settings\r\n\r\n", 0), 0u);
}

TEST(RecentFiles, UpdateRemovesTheNewPathAndPutsTheOldOneFirst) {
    app::RecentFiles recent;
    // Start-up opened A; opening B, then A again, leaves B first and A nowhere.
    recent.update("A", "B");
    recent.update("B", "A");
    EXPECT_EQ(recent.entry(0), "B");
    EXPECT_EQ(recent.entry(1), "");
    EXPECT_NE(recent.entry(1), "A");

    app::RecentFiles full;
    for (const char* path : {"E", "D", "C", "B", "A"})
        full.update(path, "x");
    // Now A B C D E; opening C from the current table Z moves Z to the top and drops C.
    full.update("Z", "C");
    EXPECT_EQ(full.entry(0), "Z");
    EXPECT_EQ(full.entry(1), "A");
    EXPECT_EQ(full.entry(2), "B");
    EXPECT_EQ(full.entry(3), "D");
    EXPECT_EQ(full.entry(4), "E");
    // Paths compare as exact text; the oldest entry falls off the end.
    full.update("Y", "a");
    EXPECT_EQ(full.entry(0), "Y");
    EXPECT_EQ(full.entry(2), "A");
    EXPECT_EQ(full.entry(4), "D");
}

TEST(RecentFiles, MenuShowsOnlyEntriesThatAreSet) {
    app::RecentFiles recent;
    EXPECT_FALSE(recent.anyVisible());
    recent.update("", "/b/B.DBF");
    EXPECT_FALSE(recent.anyVisible()); // an empty old path is an empty entry
    recent.update("/a/A.DBF", "/c/C.DBF");
    auto items = recent.menuItems();
    EXPECT_TRUE(recent.anyVisible());
    EXPECT_TRUE(items[0].visible);
    EXPECT_EQ(items[0].caption, "&1   /a/A.DBF");
    EXPECT_FALSE(items[1].visible);
    recent.setEntry(4, QString(300, 'p'));
    EXPECT_EQ(recent.entry(4).size(), 255);
    EXPECT_EQ(recent.menuItems()[4].caption.left(5), "&5   ");
}

} // namespace
