#include "settings/settings.h"

#include "settings/profile_file.h"
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

// Every value differs from its default, so that a key missed in either direction shows.
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
        f.displayed = false;
        f.width = 20 + n;
        f.order = db::kFieldCount + 1 - n;
        f.exported = false;
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

TEST(SettingsFile, MissingFileGivesEveryDefaultAndFirstSaveWritesEveryKey) {
    TempDir dir;
    app::Settings loaded = app::loadSettings(qpath(dir.file("VLMBOOK.INI")), "/start");
    EXPECT_EQ(loaded.lastImportFile, "/start");
    EXPECT_EQ(loaded.lastExportFile, "/start");
    EXPECT_EQ(loaded.buttonBar, 1);
    EXPECT_EQ(loaded.mainWindow.width, 640);
    EXPECT_TRUE(loaded.showTips);
    EXPECT_EQ(loaded.gridTitleFont.size, 12);
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

// Saving what was loaded must give the same file: a key that is written but not read (or read
// into the wrong place) comes back as its default and changes the second file.
TEST(SettingsFile, EveryKeyRoundTrips) {
    TempDir dir;
    QString first = qpath(dir.file("FIRST.INI"));
    QString second = qpath(dir.file("SECOND.INI"));
    app::Settings written = everyValueChanged();
    ASSERT_TRUE(app::saveSettings(written, first));
    ASSERT_TRUE(app::saveSettings(app::loadSettings(first, "/start"), second));
    EXPECT_EQ(readBytes(dir.file("SECOND.INI")), readBytes(dir.file("FIRST.INI")));
    ASSERT_TRUE(app::saveSettings(app::Settings(), second));
    EXPECT_NE(readBytes(dir.file("SECOND.INI")), readBytes(dir.file("FIRST.INI")));
    app::Settings loaded = app::loadSettings(first, "/start");
    EXPECT_EQ(loaded.gridFont.colour, -2147483633);
    EXPECT_EQ(loaded.field(36).order, 1);
    EXPECT_EQ(loaded.recentFiles.entry(4), "/data/T4.DBF");
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

// Paths and labels the user typed in any script come back after a restart; a file that needs
// no more than Windows-1252 stays in it, as the Windows program reads it.
TEST(SettingsFile, TextOutsideWindows1252SurvivesASaveAndARestart) {
    TempDir dir;
    const QString books = QString::fromUtf8("/home/u/Книги/BOOKS.DBF");
    const QString label = QString::fromUtf8("Ημερομηνία 📚");
    app::Settings written = everyValueChanged();
    written.lastDatabase = books;
    written.recentFiles.setEntry(2, QString::fromUtf8("/home/u/書籍/B.DBF"));
    written.lastExportFile = QString::fromUtf8("/home/u/Łódź/out.txt");
    written.field(3).label = label;
    ASSERT_TRUE(app::saveSettings(written, qpath(dir.file("VLMBOOK.INI"))));
    const app::Settings loaded = app::loadSettings(qpath(dir.file("VLMBOOK.INI")), "/start");
    EXPECT_EQ(loaded.lastDatabase, books);
    EXPECT_EQ(loaded.recentFiles.entry(2), QString::fromUtf8("/home/u/書籍/B.DBF"));
    EXPECT_EQ(loaded.lastExportFile, QString::fromUtf8("/home/u/Łódź/out.txt"));
    EXPECT_EQ(loaded.fieldLabel(3), label);
    EXPECT_EQ(loaded.fieldLabel(4), "Label 4");

    written.lastDatabase = QString::fromUtf8("/home/u/Bücher/BOOKS.DBF");
    written.recentFiles.setEntry(2, "");
    written.lastExportFile = "";
    written.field(3).label = QString::fromUtf8("Année");
    ASSERT_TRUE(app::saveSettings(written, qpath(dir.file("VLMBOOK.INI"))));
    EXPECT_NE(readBytes(dir.file("VLMBOOK.INI"))
                  .find("Last Database=/home/u/B\xFC"
                        "cher/"),
              std::string::npos);
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

    // Reopening the table that is open changes nothing: the list never holds the open table.
    full.update("Q", "Q");
    EXPECT_EQ(full.entry(0), "Y");
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
