// The main window's controls: menus, speed bar, lettered buttons and viewer, built from the
// command table, and the one place where every control of a command is enabled or disabled.

#include "app/main_window.h"

#include "widgets/menu_shortcuts.h"
#include "widgets/record_grid.h"
#include "widgets/record_navigator.h"

#include <QAction>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSvgRenderer>
#include <QToolButton>

// The glyphs live in a static library, whose resources are not registered by themselves.
static void registerSpeedGlyphs() {
    Q_INIT_RESOURCE(speed_buttons);
}

namespace app {

namespace {

constexpr int kLetteredWidth = 64;
constexpr int kLetteredHeight = 25;

QFrame* makeBevel(QWidget* parent, const char* name) {
    auto* bevel = new QFrame(parent);
    bevel->setObjectName(QLatin1String(name));
    bevel->setFrameShape(QFrame::Panel);
    bevel->setFrameShadow(QFrame::Raised);
    bevel->setLineWidth(1);
    return bevel;
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* text) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

// The glyph drawn at 16 pixels and at twice that for high-density screens; Qt greys it for the
// disabled state.
QIcon speedIcon(const char* speedName) {
    QSvgRenderer renderer(QStringLiteral(":/speed/") +
                          QLatin1String(speedName).toString().toLower() + QStringLiteral(".svg"));
    QIcon icon;
    for (int side : {16, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

void TMain::createControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("MainClient"));
    client->setAutoFillBackground(true);
    client->installEventFilter(this);
    setCentralWidget(client);
    setMinimumSize(400, 300); // room for the viewer in every button-bar mode
    createMenus();
    widgets::preferMenuShortcuts(*this, *menuBar());
    createViewer();
    createLetteredButtons();
    createSpeedPanel();
    navigatorLabel_ = makeLabel(client, "NavigatorLabel", "Navigation Controls");
    navigatorLabel_->setAlignment(Qt::AlignCenter);
    navigatorLabel_->setGeometry(400, 20, 221, 20);
    navigator_ = new widgets::RecordNavigator(env_.seams.messages, client);
    navigator_->setObjectName(QStringLiteral("MyNavigator"));
    navigator_->setGrid(viewerGrid_);
    connect(navigator_, &widgets::RecordNavigator::pressed, this, [this] { DisplayCount(); });
    connectOwnCommands();
}

QAction* TMain::addCommandItem(QMenu* menu, Command command) {
    const CommandInfo& info = commandInfo(command);
    QAction* action = menu->addAction(QString::fromUtf8(info.caption));
    action->setObjectName(QLatin1String(info.menuName));
    if (!info.shortcut.isEmpty())
        action->setShortcut(info.shortcut);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    actions_[command] = action;
    return action;
}

void TMain::createMenus() {
    menuBar()->addMenu(createFileMenu());

    QMenu* records = menuBar()->addMenu(QStringLiteral("&Records"));
    for (Command command : {Command::Add, Command::Edit, Command::Copy, Command::Delete})
        addCommandItem(records, command);
    records->addSeparator();
    addCommandItem(records, Command::Import);
    addCommandItem(records, Command::Export);

    QMenu* navigate = menuBar()->addMenu(QStringLiteral("Navi&gate"));
    for (Command command : {Command::Search, Command::EndSearch, Command::Locate,
                            Command::LocateNext, Command::Reports, Command::Viewer})
        addCommandItem(navigate, command);

    menuBar()->addMenu(createOptionsMenu());

    QMenu* tools = menuBar()->addMenu(QStringLiteral("&Tools"));
    for (Command command : {Command::SearchAndReplace, Command::UndoReplace,
                            Command::RebuildIndexes, Command::PackDatabase})
        addCommandItem(tools, command);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    for (Command command : {Command::HelpContents, Command::Tips, Command::About})
        addCommandItem(help, command);
    // F1 as well, the key desktop users press for help.
    QAction* contents = actions_[Command::HelpContents];
    contents->setShortcuts({contents->shortcut(), QKeySequence(Qt::Key_F1)});
}

QMenu* TMain::createFileMenu() {
    auto* file = new QMenu(QStringLiteral("&File"), this);
    file->setObjectName(QStringLiteral("MenuFile"));
    addCommandItem(file, Command::NewDatabase);
    addCommandItem(file, Command::OpenDatabase);
    file->addSeparator();
    addCommandItem(file, Command::BackUp);
    addCommandItem(file, Command::Restore);
    file->addSeparator();
    addCommandItem(file, Command::Print);
    addCommandItem(file, Command::PrinterSetup);
    file->addSeparator();
    addCommandItem(file, Command::Exit);
    recentFilesSeparator_ = file->addSeparator();
    for (int i = 0; i < RecentFiles::kCount; ++i) {
        QAction* item = file->addAction(QStringLiteral("&%1").arg(i + 1));
        item->setObjectName(QStringLiteral("MenuLastFile%1").arg(i + 1));
        connect(item, &QAction::triggered, this,
                [this, i] { runOnSettledTable([this, i] { openRecentFile(i); }); });
        recentFileItems_[static_cast<size_t>(i)] = item;
    }
    return file;
}

namespace {

// A submenu of items of which one is checked at a time.
template <size_t N>
void addCheckedItems(QMenu* menu, std::array<QAction*, N>& items, const char* namePrefix,
                     const std::array<const char*, N>& captions) {
    for (size_t i = 0; i < N; ++i) {
        QAction* item = menu->addAction(QString::fromUtf8(captions[i]));
        item->setObjectName(QLatin1String(namePrefix) + QString::number(i + 1));
        item->setCheckable(true);
        items[i] = item;
    }
}

} // namespace

QMenu* TMain::createOptionsMenu() {
    auto* options = new QMenu(QStringLiteral("&Options"), this);
    options->setObjectName(QStringLiteral("MenuOptions"));
    addCommandItem(options, Command::SortOrder);

    QMenu* sizes = options->addMenu(QStringLiteral("Screen Si&ze"));
    addCheckedItems<4>(sizes, windowSizeItems_, "MenuWindowSize",
                       {"640 x 480", "800 x 600", "1024 x 768", "1280 x 1024"});
    constexpr std::array<int, 4> kSizes{640, 800, 1024, 1280};
    for (size_t i = 0; i < kSizes.size(); ++i) {
        windowSizeItems_[i]->setShortcut(QKeySequence(Qt::SHIFT | (Qt::Key_F1 + int(i))));
        connect(windowSizeItems_[i], &QAction::triggered, this,
                [this, size = kSizes[i]] { chooseWindowSize(size); });
    }

    QMenu* access = options->addMenu(QStringLiteral("&Screen Access"));
    addCheckedItems<3>(access, buttonBarItems_, "MenuButtonBar",
                       {"&Speed Buttons", "&Lettered Buttons", "&None"});
    for (int i = 0; i < 3; ++i) {
        QAction* item = buttonBarItems_[static_cast<size_t>(i)];
        item->setShortcut(QKeySequence(Qt::CTRL | (Qt::Key_F1 + i)));
        connect(item, &QAction::triggered, this,
                [this, i] { SetButtonBar(static_cast<ButtonBarMode>(i + 1)); });
    }

    QMenu* colour = options->addMenu(QStringLiteral("&Color"));
    for (Command command : {Command::ColourMain, Command::ColourEdit, Command::ColourSearch,
                            Command::ColourReport, Command::ColourConfigure})
        addCommandItem(colour, command);
    colour->addSeparator();
    addCommandItem(colour, Command::ColourAll);

    QMenu* lists = options->addMenu(QStringLiteral("List &Maintenance"));
    lists->setObjectName(QStringLiteral("MenuListMaintenance"));
    int entry = 0;
    for (const char* caption : listMaintenanceCaptions()) {
        QAction* item = lists->addAction(QString::fromUtf8(caption));
        connect(item, &QAction::triggered, this, [this, entry] {
            if (listMaintenanceHandler_ && !browseMode_)
                listMaintenanceHandler_(entry);
        });
        listMaintenanceItems_[static_cast<size_t>(entry++)] = item;
    }

    QMenu* currency = options->addMenu(QStringLiteral("Report C&urrency Format"));
    addCheckedItems<2>(currency, currencyFormatItems_, "MenuCurrencyFormat",
                       {"&U.S. Dollars", "&Windows Setting"});
    QMenu* numeric = options->addMenu(QStringLiteral("&Report Numeric Format"));
    addCheckedItems<2>(numeric, numericFormatItems_, "MenuNumericFormat",
                       {"&U.S. Format", "&Windows Setting"});
    QMenu* dates = options->addMenu(QStringLiteral("&Date Format"));
    std::array<const char*, 12> dateCaptions{};
    std::copy(dateFormatCaptions().begin(), dateFormatCaptions().end(), dateCaptions.begin());
    addCheckedItems<12>(dates, dateFormatItems_, "MenuDateFormat", dateCaptions);
    const auto connectFormat = [this](QAction* item, FormatMenu menu, int number) {
        connect(item, &QAction::triggered, this,
                [this, menu, number] { chooseFormat(menu, number); });
    };
    for (int i = 0; i < 12; ++i)
        connectFormat(dateFormatItems_[static_cast<size_t>(i)], FormatMenu::Date, i + 1);
    for (int i = 0; i < 2; ++i) {
        connectFormat(currencyFormatItems_[static_cast<size_t>(i)], FormatMenu::Currency, i + 1);
        connectFormat(numericFormatItems_[static_cast<size_t>(i)], FormatMenu::Numeric, i + 1);
    }

    options->addSeparator();
    for (Command command : {Command::LabelFont, Command::EditFont, Command::ButtonFont})
        addCommandItem(options, command);
    return options;
}

void TMain::createSpeedPanel() {
    registerSpeedGlyphs();
    speedPanel_ = new QFrame(centralWidget());
    speedPanel_->setObjectName(QStringLiteral("SpeedPanel"));
    speedPanel_->setFrameShape(QFrame::Panel);
    speedPanel_->setFrameShadow(QFrame::Raised);
    int left = kSpeedBarLeft;
    for (int entry : speedBarLayout()) {
        if (entry < 0) {
            left += kSpeedGroupGap;
            continue;
        }
        const auto command = static_cast<Command>(entry);
        const CommandInfo& info = commandInfo(command);
        auto* button = new QToolButton(speedPanel_);
        button->setObjectName(QLatin1String(info.speedName));
        button->setToolTip(QString::fromUtf8(info.hint));
        button->setIcon(speedIcon(info.speedName));
        button->setIconSize(QSize(16, 16));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(left, 4, kSpeedButtonSize, kSpeedButtonSize);
        connect(button, &QToolButton::clicked, this, [this, command] { runCommand(command); });
        speedButtons_[command] = button;
        left += kSpeedButtonSize;
    }
}

void TMain::createLetteredButtons() {
    QWidget* client = centralWidget();
    // Bevel1 frames the four record buttons in two rows; the others frame two buttons each.
    struct Frame {
        const char* name;
        int left;
        int columns;
    };
    constexpr std::array<Frame, 4> kFrames{
        {{"Bevel1", 3, 2}, {"Bevel3", 151, 1}, {"Bevel2", 231, 1}, {"Bevel4", 311, 1}}};
    constexpr std::array<int, 4> kFirstButton{0, 4, 6, 8};
    const auto order = letteredButtonOrder();
    for (size_t f = 0; f < kFrames.size(); ++f) {
        const Frame& frame = kFrames[f];
        const int width = 12 + frame.columns * kLetteredWidth + (frame.columns - 1) * 4;
        QFrame* bevel = makeBevel(client, frame.name);
        bevel->setGeometry(frame.left, 3, width, 78);
        bevels_[f] = bevel;
        const int count = frame.columns * 2;
        for (int i = 0; i < count; ++i) {
            const Command command = order[static_cast<size_t>(kFirstButton[f] + i)];
            const CommandInfo& info = commandInfo(command);
            auto* button = new QPushButton(QString::fromUtf8(info.buttonCaption), client);
            button->setObjectName(QLatin1String(info.buttonName));
            const int column = i % frame.columns;
            const int row = i / frame.columns;
            button->setGeometry(frame.left + 6 + column * (kLetteredWidth + 4), 12 + row * 34,
                                kLetteredWidth, kLetteredHeight);
            connect(button, &QPushButton::clicked, this, [this, command] { runCommand(command); });
            letteredButtons_[command] = button;
        }
    }
}

void TMain::createViewer() {
    QWidget* client = centralWidget();
    viewerBevel_ = new QFrame(client);
    viewerBevel_->setObjectName(QStringLiteral("ViewerBevel"));
    viewerBevel_->setFrameShape(QFrame::Panel);
    viewerBevel_->setFrameShadow(QFrame::Sunken);

    viewerLabel_ = makeLabel(client, "ViewerLabel", "Book Viewer");
    QFont titleFont = viewerLabel_->font();
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    viewerLabel_->setFont(titleFont);
    viewerLabel_->adjustSize();

    countLabel_ = makeLabel(client, "CountLabel", "0");
    count2Label_ = makeLabel(client, "Count2Label", "Books");
    for (QLabel* label : {countLabel_, count2Label_}) {
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setGeometry(12, 0, 80, 15);
    }
    searchOnLabel_ = makeLabel(client, "SearchOnLabel", "SEARCH ON");
    QFont searchFont = searchOnLabel_->font();
    searchFont.setBold(true);
    searchOnLabel_->setFont(searchFont);
    searchOnLabel_->setGeometry(100, 0, 100, 18);
    searchOnLabel_->hide();

    viewerGrid_ = new widgets::RecordGrid(myTable_, env_.seams.messages, client);
    viewerGrid_->setObjectName(QStringLiteral("ViewerGrid"));
    viewerGrid_->setPickLists(pickLists_);
    // A record deleted or added in the grid itself changes the count as well.
    const widgets::BookTableModel* model = &viewerGrid_->bookModel();
    connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { DisplayCount(); });
    connect(model, &QAbstractItemModel::rowsInserted, this, [this] { DisplayCount(); });
}

void TMain::connectOwnCommands() {
    handlers_[Command::NewDatabase] = [this] { DoNew(); };
    handlers_[Command::OpenDatabase] = [this] { DoOpen(); };
    handlers_[Command::PrinterSetup] = [this] { DoPrinterSetup(); };
    handlers_[Command::Exit] = [this] { close(); };
    handlers_[Command::Delete] = [this] { DoDelete(); };
    handlers_[Command::EndSearch] = [this] { DoEndSearch(); };
    handlers_[Command::LabelFont] = [this] { chooseUserFont(Command::LabelFont); };
    handlers_[Command::EditFont] = [this] { chooseUserFont(Command::EditFont); };
    handlers_[Command::ButtonFont] = [this] { chooseUserFont(Command::ButtonFont); };
}

void TMain::wireCommand(Command command, std::function<void()> handler) {
    // Print runs the same report selection as Reports.
    if (command == Command::Reports)
        handlers_[Command::Print] = handler;
    handlers_[command] = std::move(handler);
    updateCommandStates();
}

namespace {

// Commands that neither read nor change the records (Exit stores a pending edit as it closes).
bool leavesTheTableAlone(Command command) {
    switch (command) {
    case Command::PrinterSetup:
    case Command::Exit:
    case Command::ColourMain:
    case Command::ColourEdit:
    case Command::ColourSearch:
    case Command::ColourReport:
    case Command::ColourConfigure:
    case Command::ColourAll:
    case Command::LabelFont:
    case Command::EditFont:
    case Command::ButtonFont:
    case Command::HelpContents:
    case Command::Tips:
    case Command::About:
        return true;
    default:
        return false;
    }
}

} // namespace

void TMain::runCommand(Command command) {
    if (!commandAvailable(command))
        return;
    auto handler = handlers_.find(command);
    if (handler == handlers_.end())
        return;
    if (leavesTheTableAlone(command))
        handler->second();
    else
        runOnSettledTable(handler->second);
}

bool TMain::commandAvailable(Command command) const {
    if (browseMode_ && !commandInfo(command).browseAllowed)
        return false;
    if (command == Command::EndSearch && !searchActive_)
        return false;
    if (withheld_.count(command) != 0)
        return false;
    return handlers_.count(command) != 0;
}

void TMain::updateCommandStates() {
    const bool lettered = buttonBarMode_ == ButtonBarMode::LetteredButtons;
    for (const CommandInfo& info : commandTable()) {
        const bool available = commandAvailable(info.command);
        if (auto action = actions_.find(info.command); action != actions_.end())
            action->second->setEnabled(available);
        if (auto speed = speedButtons_.find(info.command); speed != speedButtons_.end())
            speed->second->setEnabled(available);
        if (auto button = letteredButtons_.find(info.command); button != letteredButtons_.end())
            button->second->setEnabled(available && lettered);
    }
    for (QAction* item : listMaintenanceItems_)
        item->setEnabled(listMaintenanceHandler_ && !browseMode_);
    const auto enableFormat = [this](auto& items, FormatMenu menu) {
        for (QAction* item : items)
            item->setEnabled(formatHandlers_.count(menu) != 0);
    };
    enableFormat(dateFormatItems_, FormatMenu::Date);
    enableFormat(currencyFormatItems_, FormatMenu::Currency);
    enableFormat(numericFormatItems_, FormatMenu::Numeric);
}

void TMain::setCommandWithheld(Command command, bool withheld) {
    if (withheld)
        withheld_.insert(command);
    else
        withheld_.erase(command);
    updateCommandStates();
}

void TMain::wireListMaintenance(std::function<void(int entry)> handler) {
    listMaintenanceHandler_ = std::move(handler);
    updateCommandStates();
}

void TMain::wireFormatMenu(FormatMenu menu, std::function<void(int number)> handler) {
    formatHandlers_[menu] = std::move(handler);
    updateCommandStates();
}

void TMain::chooseFormat(FormatMenu menu, int number) {
    if (auto handler = formatHandlers_.find(menu); handler != formatHandlers_.end())
        handler->second(number);
    updateFormatChecks();
}

} // namespace app
