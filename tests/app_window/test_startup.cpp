#include "app/startup.h"
#include "db/book_database.h"
#include "db/earlier_versions.h"
#include "support_main_window.h"
#include "widgets/record_navigator.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

namespace {

using testsupport::child;
using testsupport::MainWindowTest;
using testsupport::makeBookTable;
using testsupport::makeForeignTable;

using StartupTest = MainWindowTest;

TEST(BrowseArgument, OnlyTheFirstArgumentSpelledExactlyCounts) {
    EXPECT_TRUE(app::isBrowseArgument({"/BROWSE"}));
    EXPECT_TRUE(app::isBrowseArgument({"/browse"}));
    EXPECT_TRUE(app::isBrowseArgument({"/BrOwSe", "other"}));
    EXPECT_FALSE(app::isBrowseArgument({}));
    EXPECT_FALSE(app::isBrowseArgument({"/BROWSEX"}));
    EXPECT_FALSE(app::isBrowseArgument({" /BROWSE"}));
    EXPECT_FALSE(app::isBrowseArgument({"/BROW"}));
    EXPECT_FALSE(app::isBrowseArgument({"other", "/BROWSE"}));
    EXPECT_FALSE(app::isBrowseArgument({"/BROWSE" + QString(30, QLatin1Char(' '))}));
}

TEST_F(StartupTest, WithoutSettingsFileEveryDefaultHoldsAndMasterIsCreated) {
    auto window = startWindow();
    EXPECT_TRUE(QFileInfo::exists(file("MASTER.DBF")));
    EXPECT_EQ(QFileInfo(file("VLMBOOK.URP")).size(), 8 * 20622); // the built-in reports
    EXPECT_EQ(window->currentDatabasePath(), file("MASTER.DBF"));
    EXPECT_EQ(window->windowTitle(), "Volumara Books 95 (MASTER)");
    EXPECT_EQ(window->buttonBarMode(), app::ButtonBarMode::SpeedButtons);
    EXPECT_TRUE(child<QAction>(*window, "MenuButtonBar1")->isChecked());
    EXPECT_EQ(window->pos(), QPoint(0, 0));
    EXPECT_EQ(window->frameGeometry().size(), QSize(640, 480));
    EXPECT_EQ(window->sortExpression(), "Upper(Left(Author,20))");
    EXPECT_EQ(window->MyTable().selectedTag(), "NewIndex");
    EXPECT_TRUE(child<QAction>(*window, "MenuDateFormat1")->isChecked());
    EXPECT_TRUE(child<QAction>(*window, "MenuCurrencyFormat1")->isChecked());
    EXPECT_TRUE(child<QAction>(*window, "MenuNumericFormat1")->isChecked());
    EXPECT_DOUBLE_EQ(window->windowSizeFactor(), 1.0);
    EXPECT_TRUE(child<QAction>(*window, "MenuWindowSize1")->isChecked());
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "0");
    EXPECT_FALSE(child<QLabel>(*window, "SearchOnLabel")->isVisible());
    EXPECT_FALSE(window->browseMode());
    // No recent files yet: the list and its separator stay hidden.
    EXPECT_FALSE(child<QAction>(*window, "MenuLastFile1")->isVisible());

    window->close();
    const std::string saved = readSettings();
    EXPECT_NE(saved.find("Button Bar=1"), std::string::npos);
    EXPECT_NE(saved.find("Window Size=640"), std::string::npos);
    EXPECT_NE(saved.find("Last Database=" + file("MASTER.DBF").toStdString()), std::string::npos);
}

TEST_F(StartupTest, StoredTableOpensWithItsCountAndWindowPlace) {
    makeBookTable(file("BOOKS.DBF"), {"Carroll", "Austen", "Brontë"});
    writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() +
                  "\r\nButton Bar=2\r\nMain Window Left=30\r\nMain Window Top=40\r\n"
                  "Main Window Width=700\r\nMain Window Height=500\r\n");
    auto window = startWindow();
    EXPECT_FALSE(QFileInfo::exists(file("MASTER.DBF")));
    EXPECT_EQ(window->windowTitle(), "Volumara Books 95 (BOOKS)");
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "3");
    EXPECT_EQ(window->buttonBarMode(), app::ButtonBarMode::LetteredButtons);
    EXPECT_EQ(window->frameGeometry(), QRect(30, 40, 700, 500));
    // Sorted by author through the tag built at start-up.
    window->MyTable().first();
    EXPECT_EQ(window->MyTable().asText(window->MyTable().fieldIndex("AUTHOR")), "Austen");
}

TEST_F(StartupTest, BrowseModeTakesAwayChangesAndKeepsTheStoredFieldEditing) {
    writeSettings("[Grid Options]\r\nField Editing=Yes\r\n");
    auto window = startWindow({"/browse"});
    ASSERT_TRUE(window->browseMode());
    for (const char* name : {"MenuAdd", "MenuCopy", "MenuDelete", "MenuBackup", "MenuRestore",
                             "MenuViewer", "MenuImport", "MenuSearchReplace"})
        EXPECT_FALSE(child<QAction>(*window, name)->isEnabled()) << name;
    for (const char* name : {"AddSpeed", "CopySpeed", "ImportSpeed", "DeleteSpeed", "ViewerSpeed"})
        EXPECT_FALSE(child<QToolButton>(*window, name)->isEnabled()) << name;
    EXPECT_TRUE(child<QAction>(*window, "MenuOpen")->isEnabled());
    EXPECT_TRUE(child<QToolButton>(*window, "OpenSpeed")->isEnabled());
    EXPECT_TRUE(child<widgets::RecordNavigator>(*window, "MyNavigator")->browseMode());
    EXPECT_FALSE(window->settings().gridFieldEditing);

    // A command wired later stays off in browse mode when browse mode forbids it.
    int added = 0;
    window->wireCommand(app::Command::Add, [&] { ++added; });
    EXPECT_FALSE(child<QAction>(*window, "MenuAdd")->isEnabled());
    child<QAction>(*window, "MenuAdd")->trigger();
    EXPECT_EQ(added, 0);

    // Lettered mode does not bring the forbidden buttons back.
    window->SetButtonBar(app::ButtonBarMode::LetteredButtons);
    EXPECT_FALSE(child<QWidget>(*window, "AddButton")->isEnabled());
    EXPECT_TRUE(child<QWidget>(*window, "ButtonExit")->isEnabled());

    window->close();
    EXPECT_NE(readSettings().find("Field Editing=Yes"), std::string::npos);
}

TEST_F(StartupTest, BrowseArgumentWithAnythingAddedIsIgnored) {
    auto window = startWindow({"/BROWSE1"});
    EXPECT_FALSE(window->browseMode());
    EXPECT_FALSE(child<widgets::RecordNavigator>(*window, "MyNavigator")->browseMode());
}

// As a desktop starts the program on a file: the file opens as File > Open would open it, after
// an optional browse switch, relative names against the start directory.
TEST_F(StartupTest, TableNamedOnTheCommandLineOpensOverTheLastOne) {
    makeBookTable(file("LAST.DBF"), {"Austen"});
    makeBookTable(file("BOOKS.DBF"), {"Carroll", "Eliot"});
    writeSettings("[Misc]\r\nLast Database=" + file("LAST.DBF").toStdString() + "\r\n");
    EXPECT_EQ(app::tableArgument({"books.dbf"}, "/home/u"), "/home/u/books.dbf");
    EXPECT_EQ(app::tableArgument({"/BROWSE", "/t/a.dbf"}, "/home/u"), "/t/a.dbf");
    EXPECT_TRUE(app::tableArgument({"/BROWSE"}, "/home/u").isEmpty());
    EXPECT_TRUE(app::tableArgument({"/BROWSE1"}, "/home/u").isEmpty());
    EXPECT_TRUE(app::tableArgument({"--new-window"}, "/home/u").isEmpty());
    EXPECT_EQ(app::tableArgument({"/BOOKS.DBF"}, "/home/u"), "/BOOKS.DBF");

    auto window = startWindow({"/BROWSE", file("BOOKS.DBF")});
    EXPECT_TRUE(window->browseMode());
    EXPECT_EQ(window->currentDatabasePath(), file("BOOKS.DBF"));
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "2");
    EXPECT_EQ(window->settings().recentFiles.entry(0), file("LAST.DBF"));
}

TEST_F(StartupTest, TableNamedOnTheCommandLineThatIsNoBookTableIsRefused) {
    makeBookTable(file("LAST.DBF"), {"Austen"});
    makeForeignTable(file("OTHER.DBF"));
    writeSettings("[Misc]\r\nLast Database=" + file("LAST.DBF").toStdString() + "\r\n");
    s.messages.expect("Error", db::kNotABookTableMessage, db::MessageAnswer::Ok);
    auto window = startWindow({file("OTHER.DBF")});
    EXPECT_EQ(window->currentDatabasePath(), file("LAST.DBF"));
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "1");
}

TEST_F(StartupTest, StoredSizeLargerThanTheScreenGivesFactorOneAndIsKept) {
    s.screen.screenSize = QSize(800, 600);
    writeSettings("[Misc]\r\nWindow Size=1024\r\n");
    auto window = startWindow();
    EXPECT_DOUBLE_EQ(window->windowSizeFactor(), 1.0);
    EXPECT_TRUE(child<QAction>(*window, "MenuWindowSize1")->isChecked());
    EXPECT_FALSE(child<QAction>(*window, "MenuWindowSize3")->isChecked());

    // Asking for the stored size again changes nothing; a size the screen holds takes effect.
    child<QAction>(*window, "MenuWindowSize3")->trigger();
    EXPECT_DOUBLE_EQ(window->windowSizeFactor(), 1.0);
    EXPECT_FALSE(child<QAction>(*window, "MenuWindowSize3")->isChecked());
    s.messages.expect("Error",
                      "Your current screen resolution does not support 1280 x 1024 pixels.",
                      db::MessageAnswer::Ok);
    child<QAction>(*window, "MenuWindowSize4")->trigger();
    EXPECT_TRUE(child<QAction>(*window, "MenuWindowSize1")->isChecked());
    EXPECT_FALSE(child<QAction>(*window, "MenuWindowSize4")->isChecked());

    window->close();
    EXPECT_NE(readSettings().find("Window Size=1024"), std::string::npos);
}

TEST_F(StartupTest, ChoosingASizeTheScreenHoldsSetsTheFactor) {
    s.screen.screenSize = QSize(1280, 1024);
    auto window = startWindow();
    child<QAction>(*window, "MenuWindowSize2")->trigger();
    EXPECT_DOUBLE_EQ(window->windowSizeFactor(), 1.25);
    EXPECT_TRUE(child<QAction>(*window, "MenuWindowSize2")->isChecked());
    EXPECT_FALSE(child<QAction>(*window, "MenuWindowSize1")->isChecked());
    child<QAction>(*window, "MenuWindowSize4")->trigger();
    EXPECT_DOUBLE_EQ(window->windowSizeFactor(), 2.0);
    EXPECT_EQ(window->frameGeometry().size(), QSize(640, 480)); // the main window is never scaled
    window->close();
    EXPECT_NE(readSettings().find("Window Size=1280"), std::string::npos);
}

TEST_F(StartupTest, InvalidStoredTableIsReplacedByTheUsersChoice) {
    makeForeignTable(file("OTHER.DBF"));
    makeForeignTable(file("ALSO.DBF"));
    makeBookTable(file("GOOD.DBF"), {"Eliot"});
    writeSettings("[Misc]\r\nLast Database=" + file("OTHER.DBF").toStdString() + "\r\n");
    s.messages.expect("Error", db::kNotABookTableMessage, db::MessageAnswer::Ok);
    s.messages.expect("Error", app::kInvalidStoredDatabaseMessage, db::MessageAnswer::Ok);
    // First pass: another foreign file, refused, and the current one is reported again.
    s.files.answer(file("ALSO.DBF"));
    s.messages.expect("Error", db::kNotABookTableMessage, db::MessageAnswer::Ok);
    s.messages.expect("Error", db::kNotABookTableMessage, db::MessageAnswer::Ok);
    // Second pass: a name that is not a .DBF.
    s.files.answer(file("notes.txt"));
    s.messages.expect("Error", db::kInvalidFileTypeMessage, db::MessageAnswer::Ok);
    s.messages.expect("Error", db::kNotABookTableMessage, db::MessageAnswer::Ok);
    // Third pass: a book table.
    s.files.answer(file("GOOD.DBF"));
    auto window = startWindow();
    EXPECT_EQ(window->currentDatabasePath(), file("GOOD.DBF"));
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "1");
    ASSERT_EQ(s.files.calls.size(), 3u);
    EXPECT_EQ(s.files.calls[0].request.title, "Open Database File");
    EXPECT_EQ(s.files.calls[0].request.filters, QStringList{"Database Files (*.DBF)"});
    // The invalid file was never open, so it does not enter the recent files.
    EXPECT_TRUE(window->settings().recentFiles.entry(0).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(file("MASTER.DBF")));
}

TEST_F(StartupTest, CancellingTheChoiceOfAnotherTableEndsTheProgram) {
    makeForeignTable(file("MASTER.DBF"));
    s.messages.expect("Error", db::kNotABookTableMessage, db::MessageAnswer::Ok);
    s.messages.expect("Error", app::kInvalidStoredDatabaseMessage, db::MessageAnswer::Ok);
    s.files.answer(QString());
    auto window = makeWindow();
    EXPECT_FALSE(window->FormCreate());
    EXPECT_FALSE(QFileInfo::exists(settingsPath()));
}

TEST_F(StartupTest, DefaultTableThatCannotBeCreatedEndsTheProgramWithTheReason) {
    const QString missingDirectory = file("no/such/folder");
    std::string reason;
    try {
        table::Table::create((missingDirectory + "/MASTER.DBF").toStdString(), {{"A", 'C', 1, 0}});
    } catch (const std::exception& error) {
        reason = error.what();
    }
    ASSERT_FALSE(reason.empty());
    s.messages.expect("Error", reason, db::MessageAnswer::Ok);
    app::TMain window(app::MainWindowEnvironment{
        s.seams, missingDirectory, settingsPath(), programDirectory(), {}});
    EXPECT_FALSE(window.FormCreate());
}

} // namespace

namespace {

// A table of version 2.x with one book.
void makeVersion2Table(const QString& path, const std::string& title) {
    std::vector<table::FieldDef> fields{{"RECNO", 'N', 6, 0}};
    for (const char* name : {"TITLE",      "AUTHOR",    "YEARPUB",   "PUBLISHER",  "CATEGORY",
                             "WHEREPURCH", "COST",      "VALUE",     "DESCRIPTIO", "ISBN",
                             "RATING",     "PURCHDATE", "BOOKTYPE",  "CATALOGNUM", "SUB1",
                             "SUB2",       "CHECKOUT",  "CHECKDATE", "CHECKPERSO", "VOLUME",
                             "ISSUE",      "EDITION",   "KEYWORDS",  "PAGES",      "LOCATION"})
        fields.push_back({name, 'C', 20, 0});
    table::Table::create(QFile::encodeName(path).toStdString(), fields);
    table::Table old;
    db::pointTableAt(old, path);
    old.setOpenMode(table::OpenMode::Exclusive);
    old.open();
    old.append();
    old.setText(old.fieldIndexOrThrow("TITLE"), title);
    old.post();
    old.close();
}

TEST_F(StartupTest, AnEarlierVersionTableIsOfferedForConversionIntoTheOpenTable) {
    makeVersion2Table(file("B2LOG.DBF"), "Old Book");
    s.messages.expect("Convert", db::conversionQuestion(2), db::MessageAnswer::No);
    startWindow()->close();
    EXPECT_TRUE(QFileInfo::exists(file("B2LOG.DBF")));

    s.messages.expect("Convert", db::conversionQuestion(2), db::MessageAnswer::Yes);
    auto window = startWindow();
    EXPECT_FALSE(QFileInfo::exists(file("B2LOG.DBF")));
    EXPECT_EQ(child<QLabel>(*window, "CountLabel")->text(), "1");
    window->close();

    startWindow()->close(); // nothing more to ask
}

} // namespace
