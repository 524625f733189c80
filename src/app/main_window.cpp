// Start-up, first show and close of the main window, and the search state it keeps.

#include "app/main_window.h"

#include "app/startup.h"
#include "appearance/colour_painting.h"
#include "db/earlier_versions.h"
#include "reports/report_file.h"
#include "settings/display_formats.h"
#include "widgets/error_display.h"
#include "widgets/grid_settings.h"
#include "widgets/record_grid.h"
#include "widgets/record_navigator.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPrinter>
#include <QTimer>

namespace app {

TMain::TMain(MainWindowEnvironment environment, QWidget* parent)
    : QMainWindow(parent), env_(std::move(environment)) {
    createControls();
    // The general error display: an engine error no window caught is shown, and the run goes on.
    if (auto* application = widgets::GuardedApplication::instance())
        application->setErrorDisplay(&env_.seams.messages);
}

// The grid and navigator watch the table and the pick lists, which are members: they must go
// before the members do, not with the base class after them.
TMain::~TMain() {
    if (auto* application = widgets::GuardedApplication::instance();
        application != nullptr && application->errorDisplay() == &env_.seams.messages)
        application->setErrorDisplay(nullptr);
    delete takeCentralWidget();
}

db::DatabaseContext TMain::databaseContext() {
    return db::DatabaseContext{
        myTable_,
        currentDatabasePath_,
        sortExpression_,
        env_.seams.messages,
        [this] {
            if (searchActive_)
                DoEndSearch();
        },
        [this](const QString& caption) { setWindowTitle(caption); },
        [this] { SetViewerOptions(); },
    };
}

bool TMain::FormCreate() {
    DisableEndSearch();
    setWindowTitle(QString::fromLatin1(db::kProgramTitle));
    viewerLabel_->setText(QStringLiteral("Book Viewer"));
    centreViewerLabel();
    reports::prepareReportFile(env_.programDirectory);
    settings_ = loadSettings(env_.settingsFilePath, env_.startDirectory);
    loadUserFonts();
    applyStoredWindowRect();
    rebuildSortExpression();
    applyDateFormat(settings_.dateFormat); // a stored number outside 1..12 applies nothing
    updateFormatChecks();
    if (!openStartupTable())
        return false;
    openArgumentTable();
    SetButtonBar(buttonBarModeFromSetting(settings_.buttonBar));
    screenSize_ = env_.seams.screen.size();
    applyStartupWindowSize();
    setRegionalNumbers(readRegionalNumbersFromLocale());
    SetMenuLastFiles();
    db::ConversionContext conversion{myTable_, env_.programDirectory, env_.seams.messages};
    db::offerConversion(conversion);
    if (isBrowseArgument(env_.arguments))
        switchBrowseModeOn();
    updateCommandStates();
    return true;
}

bool TMain::openStartupTable() {
    db::DatabaseContext context = databaseContext();
    context.applyViewerOptions = nullptr; // the first show applies them
    StartupDatabase startup(context, env_.programDirectory);
    const bool opened = startup.open(settings_.lastDatabase, [this] {
        return env_.seams.files.openFileName(this, openDialogRequest());
    });
    if (!opened)
        return false;
    indexFilePath_ = startup.indexFilePath();
    settings_.lastDatabase = currentDatabasePath_;
    return true;
}

// A table named on the command line opens as File > Open would open it, over the table of the
// last run, so a file that is not a book table is refused with the same message and the program
// goes on with that table.
void TMain::openArgumentTable() {
    const QString path = tableArgument(env_.arguments, env_.startDirectory);
    if (path.isEmpty())
        return;
    db::DatabaseContext context = databaseContext();
    context.applyViewerOptions = nullptr; // the first show applies them
    tableOpened(db::openDatabase(context, path));
}

// The stored rectangle is the whole window, frame included. The frame is known only once the
// window is on screen: until then the client takes the whole size, and the first show takes
// the frame off again (fitStoredOuterSize).
void TMain::applyStoredWindowRect() {
    const WindowRect& rect = settings_.mainWindow;
    storedOuterSize_ = QSize(rect.width, rect.height);
    move(rect.left, rect.top);
    resize(std::max(rect.width, minimumWidth()), std::max(rect.height, minimumHeight()));
}

void TMain::fitStoredOuterSize() {
    const QSize frame = frameGeometry().size() - geometry().size();
    if (!storedOuterSize_.isValid() || frame.isEmpty() || isMaximized() || isFullScreen())
        return;
    const QSize client = storedOuterSize_ - frame;
    resize(std::max(client.width(), minimumWidth()), std::max(client.height(), minimumHeight()));
    storedOuterSize_ = QSize();
}

// Where the window is and how big, frame included, as it is when neither maximised nor
// minimised: what brings it back the same at the next start.
WindowRect TMain::normalOuterRect() const {
    const bool normal = !isMaximized() && !isMinimized() && !isFullScreen();
    const QRect client = normal ? geometry() : normalGeometry();
    const QRect frame = frameGeometry();
    const QMargins margins(geometry().left() - frame.left(), geometry().top() - frame.top(),
                           frame.right() - geometry().right(),
                           frame.bottom() - geometry().bottom());
    const QRect outer = client.marginsAdded(margins);
    return WindowRect{outer.left(), outer.top(), outer.width(), outer.height()};
}

void TMain::rebuildSortExpression() {
    sortExpression_ = db::buildSortExpression(settings_.sortLevels);
}

void TMain::switchBrowseModeOn() {
    browseMode_ = true;
    storedFieldEditing_ = settings_.gridFieldEditing;
    settings_.gridFieldEditing = false;
    navigator_->setBrowseMode(true);
}

void TMain::loadUserFonts() {
    userFonts_ = widgets::userFontsFromSettings(settings_);
    loadGridFonts();
}

// The grid fonts follow their settings, which the viewer configuration changes.
void TMain::loadGridFonts() {
    gridFont_ = widgets::fontFromSetting(settings_.gridFont);
    gridTitleFont_ = widgets::fontFromSetting(settings_.gridTitleFont);
}

void TMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    fitStoredOuterSize();
    FormShow();
}

void TMain::FormShow() {
    widgets::applyUserFonts(*this, userFonts_);
    pickLists_.loadAll(env_.programDirectory);
    SetViewerOptions();
    SetColors();
    DisplayCount();
    FormResize();
    // Activation follows the first show once the window is on screen.
    QTimer::singleShot(0, this, [this] { FormActivate(); });
}

// The tip window, when the user wants it at start-up and the program has one.
void TMain::FormActivate() {
    if (settings_.showTips)
        runCommand(Command::Tips);
}

void TMain::closeEvent(QCloseEvent* event) {
    if (!postPendingEdit()) {
        event->ignore();
        return;
    }
    FormClose();
    QMainWindow::closeEvent(event);
}

// An edit begun in the grid is written before the program ends, so that nothing typed is lost.
// When it cannot be written the user has been told and the window stays open.
bool TMain::postPendingEdit() {
    if (!viewerGrid_->finishCellEdit()) // the cell still being typed in
        return false;
    widgets::BookTableModel& rows = viewerGrid_->bookModel();
    return !rows.isEditing() || rows.post();
}

// The one gate of every command that closes, reopens, moves or changes the table.
void TMain::runOnSettledTable(const std::function<void()>& command) {
    if (postPendingEdit())
        command();
}

void TMain::FormClose() {
    DisableEndSearch();
    settings_.mainWindow = normalOuterRect();
    if (browseMode_)
        settings_.gridFieldEditing = storedFieldEditing_;
    settings_.lastDatabase = currentDatabasePath_;
    saveSettings(settings_, env_.settingsFilePath);
    // List edits accepted in the list editor live only in memory until now; writing the lists
    // again unchanged is harmless.
    pickLists_.saveAll(env_.programDirectory);
}

void TMain::DisplayCount() {
    uint32_t count = 0;
    if (myTable_.isOpen()) {
        try {
            count = myTable_.recordCount();
        } catch (const std::exception& error) {
            env_.seams.messages.error(error.what());
        }
    }
    countLabel_->setText(QString::number(count));
}

void TMain::DisableEndSearch() {
    searchActive_ = false;
    searchOnLabel_->hide();
    updateCommandStates();
}

void TMain::EnableEndSearch() {
    searchActive_ = true;
    searchOnLabel_->show();
    updateCommandStates();
    myTable_.setFilter(tableFilter());
    if (myTable_.isOpen())
        refreshTable();
}

void TMain::DoEndSearch() {
    DisableEndSearch();
    reopenTable();
    SetViewerOptions();
    DisplayCount();
}

// While a search is active the table asks the search's record test; otherwise it has no filter
// at all, so that counting and paging need not test every record.
table::RecordFilter TMain::tableFilter() const {
    if (!searchActive_ || !searchRecordTest_)
        return {};
    return [this](const table::RecordView& record) {
        return !searchActive_ || searchRecordTest_(record);
    };
}

void TMain::refreshTable() {
    try {
        myTable_.refresh();
    } catch (const std::exception& error) {
        env_.seams.messages.error(error.what());
    }
}

void TMain::reopenBookTable() {
    reopenTable();
    SetViewerOptions();
}

// Closes and reopens the table with the filter of the current search state, keeping the current
// record when it still passes.
void TMain::reopenTable() {
    const table::Table::Bookmark mark = myTable_.isOpen() ? myTable_.bookmark() : 0;
    try {
        myTable_.close();
        myTable_.setFilter(tableFilter());
        myTable_.open();
        if (mark != 0)
            myTable_.goToBookmark(mark);
    } catch (const std::exception& error) {
        env_.seams.messages.error(error.what());
    }
}

// The main window's colours, as every other window paints its own: system colours (negative
// values) follow the platform's palette, so that going back to them undoes a colour chosen
// before.
void TMain::SetColors() {
    const ColourSet& colours = settings_.colours(WindowGroup::Main);
    appearance::paintColourPart(*centralWidget(), appearance::ColourPart::Window, colours);
    appearance::paintColourPart(*viewerLabel_, appearance::ColourPart::MajorTitle, colours);
    appearance::paintColourPart(*navigatorLabel_, appearance::ColourPart::MinorTitle, colours);
    // The count and the search label stand on the main background like the captions, and must
    // be as readable.
    for (QLabel* label : {countLabel_, count2Label_, searchOnLabel_})
        appearance::paintColourPart(*label, appearance::ColourPart::MinorTitle, colours);
}

QPrinter& TMain::printer() {
    if (!printer_)
        printer_ = std::make_unique<QPrinter>();
    return *printer_;
}

} // namespace app
