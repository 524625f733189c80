#pragma once

// The main window: it owns the open book table for the whole run, shows it in the viewer grid,
// counts its records, carries the menus, speed bar and lettered buttons from which every other
// window is opened, and keeps the display state that the other windows read (button-bar mode,
// window size, user fonts, search state, browse mode, edit mode).

#include "app/main_commands.h"
#include "app/main_layout.h"
#include "db/pick_list.h"
#include "settings/settings.h"
#include "table/table.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QMainWindow>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QPrinter;
class QPushButton;
class QToolButton;

namespace widgets {
class RecordGrid;
class RecordNavigator;
struct ColumnDef;
} // namespace widgets

namespace app {

// What the window needs from outside: the seams and where the program keeps its files.
struct MainWindowEnvironment {
    widgets::Seams seams;
    QString programDirectory;
    QString settingsFilePath;
    QString startDirectory;
    QStringList arguments; // command-line arguments after the program name
};

enum class EditMode { Add = 1, Edit = 2, Copy = 3 };

class TMain : public QMainWindow {
    Q_OBJECT

public:
    explicit TMain(MainWindowEnvironment environment, QWidget* parent = nullptr);
    ~TMain() override;

    // Start-up: settings, the book table (created or asked for when need be), button bar,
    // window size, recent files, browse switch. False when the program must end at once.
    bool FormCreate();

    // --- Operations the other windows call -----------------------------------------------
    void SetViewerOptions();
    // The title SetViewerOptions last gave field `number`'s column during this run; empty when
    // the field has not been shown since start-up.
    QString columnTitle(int number) const;
    void DisplayCount();
    void DoEndSearch();
    // Closes the book table and opens it shared again with the filter of the current search
    // state, then applies the viewer options.
    void reopenBookTable();
    // Stores a record being edited in the grid (the cell being typed in too), as leaving the row
    // would. False when it could not be stored (the user has been told).
    bool postPendingEdit();
    // Runs a command that closes, reopens, moves or changes the table once the grid's pending
    // edit is stored; does not run it when the edit cannot be stored. Every such command of the
    // menus, buttons and recent files comes through here.
    void runOnSettledTable(const std::function<void()>& command);
    void EnableEndSearch();  // after the search window has set the record test
    void DisableEndSearch(); // search state off and its controls disabled; the table is left
    void SetColors();
    void SetMenuLastFiles();
    // A restored table is open now: it is the current database, recorded as "Last Database",
    // with its index file at `indexFilePath`.
    void tableRestored(const QString& path, const QString& indexFilePath);
    // The test a record must pass while a search is active.
    void setSearchRecordTest(table::RecordFilter test) { searchRecordTest_ = std::move(test); }
    bool searchActive() const { return searchActive_; }
    // The table's record filter as a copy that shares nothing with the one the table runs, for a
    // scan on another handle or thread; empty while no search is active.
    table::RecordFilter recordFilterCopy() const {
        return searchActive_ ? searchRecordTest_ : table::RecordFilter{};
    }

    // Connects a command whose window lives in another library and enables its controls (those
    // that browse mode does not take away).
    void wireCommand(Command command, std::function<void()> handler);
    // A wired command that is not on offer for now (disabled in every control) until given back.
    void setCommandWithheld(Command command, bool withheld);
    // Called after another book table has been opened or created in place of the one open.
    void whenDatabaseChanges(std::function<void()> handler) {
        databaseChanged_.push_back(std::move(handler));
    }
    // Options > List Maintenance: the handler receives the entry's place 0..8 in menu order.
    void wireListMaintenance(std::function<void(int entry)> handler);
    // Options > Date Format (1..12), Report Currency Format and Report Numeric Format (1 U.S.,
    // 2 regional setting): the handler applies the number chosen and stores it in the settings;
    // the menu's check marks then follow the settings.
    enum class FormatMenu { Date, Currency, Numeric };
    void wireFormatMenu(FormatMenu menu, std::function<void(int number)> handler);

    // --- Commands --------------------------------------------------------------------------
    void DoOpen();
    void DoNew();
    void openRecentFile(int index); // 0..4
    void DoDelete();
    void SetButtonBar(ButtonBarMode mode);
    void chooseWindowSize(int size); // 640, 800, 1024 or 1280
    void chooseUserFont(Command fontCommand);
    void DoPrinterSetup();

    // --- State the other windows read ----------------------------------------------------
    table::Table& MyTable() { return myTable_; }
    Settings& settings() { return settings_; }
    db::PickLists& gridPickLists() { return pickLists_; }
    const widgets::Seams& seams() const { return env_.seams; }
    const QString& programDirectory() const { return env_.programDirectory; }
    const QString& settingsFilePath() const { return env_.settingsFilePath; }
    const QString& currentDatabasePath() const { return currentDatabasePath_; }
    const QString& indexFilePath() const { return indexFilePath_; }
    const std::string& sortExpression() const { return sortExpression_; }
    void rebuildSortExpression();
    bool browseMode() const { return browseMode_; }
    ButtonBarMode buttonBarMode() const { return buttonBarMode_; }
    double windowSizeFactor() const { return windowSizeFactor_; }
    QSize screenSize() const { return screenSize_; }
    const widgets::UserFonts& userFonts() const { return userFonts_; }
    const QFont& gridFont() const { return gridFont_; }
    const QFont& gridTitleFont() const { return gridTitleFont_; }
    EditMode editMode() const { return editMode_; }
    void setEditMode(EditMode mode) { editMode_ = mode; }
    QPrinter& printer();
    widgets::RecordGrid& ViewerGrid() { return *viewerGrid_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Controls (main_window_controls.cpp)
    void createControls();
    void createMenus();
    QMenu* createFileMenu();
    QMenu* createOptionsMenu();
    void createSpeedPanel();
    void createLetteredButtons();
    void createViewer();
    QAction* addCommandItem(QMenu* menu, Command command);
    void connectOwnCommands();
    void runCommand(Command command);
    bool commandAvailable(Command command) const;
    void updateCommandStates();

    // Start-up and close (main_window.cpp)
    db::DatabaseContext databaseContext();
    bool openStartupTable();
    void openArgumentTable();
    void applyStoredWindowRect();
    void fitStoredOuterSize();
    WindowRect normalOuterRect() const;
    void applyStartupWindowSize();
    void switchBrowseModeOn();
    void FormShow();
    void FormActivate();
    void FormClose();
    void loadUserFonts();
    void loadGridFonts();

    // Layout (main_window_layout.cpp)
    void FormResize();
    void centreViewerLabel();
    void updateWindowSizeChecks();
    void updateButtonBarChecks();
    void updateFormatChecks();
    void showColumnsInTableDisplay(const std::vector<widgets::ColumnDef>& columns);
    void chooseFormat(FormatMenu menu, int number);

    // Files (main_window_files.cpp)
    widgets::FileDialogRequest openDialogRequest() const;
    void tableOpened(const db::OpenResult& result);
    void reopenTable();
    void refreshTable();
    table::RecordFilter tableFilter() const;

    MainWindowEnvironment env_;
    Settings settings_;
    table::Table myTable_;
    db::PickLists pickLists_;
    QString currentDatabasePath_;
    QString indexFilePath_;
    std::string sortExpression_;
    ButtonBarMode buttonBarMode_ = ButtonBarMode::SpeedButtons;
    int windowSize_ = 640;
    double windowSizeFactor_ = 1.0;
    QSize screenSize_;
    QSize storedOuterSize_; // until the first show has taken the frame off it
    bool searchActive_ = false;
    bool browseMode_ = false;
    bool storedFieldEditing_ = false;
    bool shownOnce_ = false;
    EditMode editMode_ = EditMode::Add;
    table::RecordFilter searchRecordTest_;
    std::array<QString, db::kFieldCount> columnTitles_;
    widgets::UserFonts userFonts_;
    QFont gridFont_;
    QFont gridTitleFont_;
    std::unique_ptr<QPrinter> printer_;

    std::map<Command, QAction*> actions_;
    std::map<Command, QToolButton*> speedButtons_;
    std::map<Command, QPushButton*> letteredButtons_;
    std::map<Command, std::function<void()>> handlers_;
    std::set<Command> withheld_;
    std::vector<std::function<void()>> databaseChanged_;
    std::function<void(int)> listMaintenanceHandler_;
    std::map<FormatMenu, std::function<void(int)>> formatHandlers_;
    std::array<QAction*, 9> listMaintenanceItems_{};
    std::array<QAction*, 5> recentFileItems_{};
    QAction* recentFilesSeparator_ = nullptr;
    std::array<QAction*, 4> windowSizeItems_{};
    std::array<QAction*, 3> buttonBarItems_{};
    std::array<QAction*, 12> dateFormatItems_{};
    std::array<QAction*, 2> currencyFormatItems_{};
    std::array<QAction*, 2> numericFormatItems_{};

    QFrame* speedPanel_ = nullptr;
    std::array<QFrame*, 4> bevels_{}; // Bevel1 .. Bevel4
    QLabel* navigatorLabel_ = nullptr;
    widgets::RecordNavigator* navigator_ = nullptr;
    QFrame* viewerBevel_ = nullptr;
    QLabel* viewerLabel_ = nullptr;
    QLabel* searchOnLabel_ = nullptr;
    QLabel* countLabel_ = nullptr;
    QLabel* count2Label_ = nullptr;
    widgets::RecordGrid* viewerGrid_ = nullptr;
};

} // namespace app
