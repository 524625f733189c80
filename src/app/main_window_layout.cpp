// Button-bar modes, resizing, the window-size factor and the user fonts of the main window.

#include "app/main_window.h"

#include "app/viewer_columns.h"

#include "widgets/grid_settings.h"
#include "widgets/record_grid.h"
#include "widgets/record_navigator.h"

#include <QAction>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace app {

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize)
        FormResize();
    return QMainWindow::eventFilter(watched, event);
}

void TMain::SetButtonBar(ButtonBarMode mode) {
    buttonBarMode_ = mode;
    settings_.buttonBar = static_cast<int>(mode);
    updateButtonBarChecks();
    const ButtonBarLayout layout = buttonBarLayout(mode, centralWidget()->size());
    for (auto& [command, button] : letteredButtons_)
        button->setVisible(layout.letteredButtonsShown);
    bevels_[0]->setVisible(layout.letteredButtonsShown);
    for (size_t i = 1; i < bevels_.size(); ++i)
        bevels_[i]->setVisible(layout.outerBevelsShown);
    speedPanel_->setVisible(layout.speedPanelShown);
    speedPanel_->setEnabled(layout.speedPanelShown);
    navigatorLabel_->setVisible(layout.navigatorLabelShown);
    updateCommandStates();
    FormResize();
}

void TMain::FormResize() {
    if (!navigator_) // still building the controls; the navigator comes last
        return;
    const QSize client = centralWidget()->size();
    const ButtonBarLayout layout = buttonBarLayout(buttonBarMode_, client);
    speedPanel_->setGeometry(0, 0, client.width(), kSpeedPanelHeight);
    navigatorLabel_->move(navigatorLabel_->x(), layout.navigatorLabelTop);
    navigator_->setGeometry(layout.navigator);
    searchOnLabel_->move(searchOnLabel_->x(), layout.searchOnLabelTop);
    countLabel_->move(countLabel_->x(), layout.countLabelTop);
    count2Label_->move(count2Label_->x(), layout.count2LabelTop);
    viewerBevel_->setGeometry(layout.viewerBevel);
    viewerLabel_->move(viewerLabel_->x(), layout.viewerLabelTop);
    viewerGrid_->setGeometry(layout.grid);
    centreViewerLabel();
}

void TMain::centreViewerLabel() {
    viewerLabel_->adjustSize();
    viewerLabel_->move((centralWidget()->width() - viewerLabel_->width()) / 2, viewerLabel_->y());
}

void TMain::updateButtonBarChecks() {
    for (size_t i = 0; i < buttonBarItems_.size(); ++i)
        buttonBarItems_[i]->setChecked(static_cast<int>(i) + 1 == static_cast<int>(buttonBarMode_));
}

namespace {

constexpr std::array<int, 4> kWindowSizes{640, 800, 1024, 1280};
// 640 x 480 needs no check: it is the size the program is designed for.
constexpr std::array<QSize, 4> kRequiredScreens{QSize(0, 0), QSize(800, 600), QSize(1024, 768),
                                                QSize(1280, 1024)};

int sizeForFactor(double factor) {
    for (int size : kWindowSizes)
        if (widgets::factorForWindowSize(size) == factor)
            return size;
    return 640;
}

} // namespace

void TMain::applyStartupWindowSize() {
    windowSize_ = settings_.windowSize;
    windowSizeFactor_ = widgets::startupFactor(windowSize_, screenSize_);
    updateWindowSizeChecks();
}

void TMain::updateWindowSizeChecks() {
    const int checked = sizeForFactor(windowSizeFactor_);
    for (size_t i = 0; i < kWindowSizes.size(); ++i)
        windowSizeItems_[i]->setChecked(kWindowSizes[i] == checked);
}

void TMain::chooseWindowSize(int size) {
    auto index = std::find(kWindowSizes.begin(), kWindowSizes.end(), size);
    if (index == kWindowSizes.end() || size == windowSize_) {
        updateWindowSizeChecks(); // undo the toggle of the item just clicked
        return;
    }
    const QSize required = kRequiredScreens[static_cast<size_t>(index - kWindowSizes.begin())];
    if (screenSize_.width() < required.width() || screenSize_.height() < required.height()) {
        env_.seams.messages.error(QStringLiteral("Your current screen resolution does not support "
                                                 "%1 x %2 pixels.")
                                      .arg(required.width())
                                      .arg(required.height())
                                      .toStdString());
        updateWindowSizeChecks();
        return;
    }
    windowSize_ = size;
    settings_.windowSize = size;
    windowSizeFactor_ = widgets::factorForWindowSize(size);
    updateWindowSizeChecks();
}

void TMain::chooseUserFont(Command fontCommand) {
    QFont* font = &userFonts_.label;
    UserFontSettings* stored = &settings_.labelFont;
    if (fontCommand == Command::EditFont) {
        font = &userFonts_.edit;
        stored = &settings_.editFont;
    } else if (fontCommand == Command::ButtonFont) {
        font = &userFonts_.button;
        stored = &settings_.buttonFont;
    }
    std::optional<QFont> chosen = env_.seams.fonts.chooseFont(this, *font);
    if (!chosen)
        return;
    *font = *chosen;
    stored->name = chosen->family();
    stored->bold = chosen->bold();
    stored->italic = chosen->italic();
    widgets::applyUserFonts(*this, userFonts_);
    centreViewerLabel();
}

} // namespace app

namespace app {

namespace {

QColor colourOr(Colour stored, QColor fallback) {
    return stored < 0 ? fallback : widgets::colourFromSetting(stored);
}

} // namespace

// The table's display properties follow the grid, as other windows read them (the locate
// dialog lists the fields by their labels): a field not shown keeps the label it had last.
void TMain::showColumnsInTableDisplay(const std::vector<widgets::ColumnDef>& columns) {
    if (!myTable_.isOpen())
        return;
    for (int index = 0; index < myTable_.fieldCount(); ++index)
        myTable_.display(index).visible = false;
    for (const widgets::ColumnDef& column : columns) {
        if (column.fieldIndex < 0 || column.fieldIndex >= myTable_.fieldCount())
            continue;
        table::FieldDisplay& display = myTable_.display(column.fieldIndex);
        display.visible = true;
        display.label = column.title.toStdString();
    }
}

void TMain::SetViewerOptions() {
    loadGridFonts();
    widgets::GridOptions options = viewerGrid_->options();
    options.rowIndicator = settings_.gridRowIndicator;
    options.rowLines = settings_.gridRowLines;
    options.columnLines = settings_.gridColumnLines;
    options.showTitles = settings_.gridShowTitles;
    options.editing = settings_.gridFieldEditing;
    options.titleAlignment = settings_.gridTitleAlignment;
    options.titleColour = colourOr(settings_.gridTitleBackground, options.titleColour);
    options.cellColour = colourOr(settings_.gridCellColour, options.cellColour);
    options.titleFont = gridTitleFont_;
    options.titleTextColour = colourOr(settings_.gridTitleFont.colour, options.titleTextColour);
    options.cellFont = gridFont_;
    options.cellTextColour = colourOr(settings_.gridFont.colour, options.cellTextColour);

    for (int number = 1; number <= db::kFieldCount; ++number)
        if (settings_.field(number).displayed)
            columnTitles_[static_cast<size_t>(number - 1)] = settings_.fieldLabel(number);

    const std::vector<widgets::ColumnDef> columns = viewerColumns(settings_);
    showColumnsInTableDisplay(columns);
    viewerGrid_->setUpdatesEnabled(false);
    viewerGrid_->setOptions(options);
    viewerGrid_->setColumns(columns);
    viewerGrid_->setUpdatesEnabled(true);
    viewerGrid_->viewport()->update();
}

QString TMain::columnTitle(int number) const {
    if (number < 1 || number > db::kFieldCount)
        return {};
    return columnTitles_[static_cast<size_t>(number - 1)];
}

} // namespace app
