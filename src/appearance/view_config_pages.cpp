// The controls of the viewer configuration window, placed at their design geometry for the
// smallest window size; showing the window scales them by the window-size factor.

#include "appearance/view_config_fonts.h"
#include "appearance/view_config_grid.h"
#include "appearance/view_config_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabWidget>

namespace appearance {

namespace {

constexpr int kWindowWidth = 600; // wide enough for the six tabs side by side
constexpr int kWindowHeight = 400;
constexpr int kButtonWidth = 90;
constexpr int kButtonHeight = 28;
constexpr int kGridHeight = 280;
constexpr int kLeft = 15;
constexpr int kSecondColumn = 235;
constexpr int kPageWidth = kWindowWidth - 24; // inside the notebook's frame

constexpr int kOrderGridLeft = 110; // the grid and its buttons, centred together

// Left edge that centres a grid of its initial width on the page.
int centredLeft(const QWidget* grid) {
    return (kPageWidth - grid->width()) / 2;
}

QPushButton* addButton(QWidget* parent, const QString& text, const char* name, int x, int y) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    button->setGeometry(x, y, kButtonWidth, kButtonHeight);
    return button;
}

} // namespace

void TViewConfig::buildWindow() {
    setWindowTitle(QStringLiteral("Viewer Configuration"));
    setObjectName(QStringLiteral("ViewConfig"));
    resize(kWindowWidth, kWindowHeight);

    MyTabbedPage = new QTabWidget(this);
    MyTabbedPage->setObjectName(QStringLiteral("MyTabbedPage"));
    MyTabbedPage->setGeometry(10, 10, kWindowWidth - 20, kWindowHeight - 60);
    MyTabbedPage->addTab(buildTitlePage(), QStringLiteral("&Title"));
    MyTabbedPage->addTab(buildLookPage(), QStringLiteral("&Look and Feel"));
    MyTabbedPage->addTab(buildShowPage(), QStringLiteral("Fields to &Show"));
    MyTabbedPage->addTab(buildWidthsPage(), QStringLiteral("Field &Widths"));
    MyTabbedPage->addTab(buildOrderPage(), QStringLiteral("Field &Order"));
    MyTabbedPage->addTab(buildNamesPage(), QStringLiteral("Field &Names"));

    const int buttonTop = kWindowHeight - 10 - kButtonHeight - 5;
    QPushButton* help = addButton(this, QStringLiteral("&Help"), "HelpButton",
                                  kWindowWidth - 2 * (kButtonWidth + 10), buttonTop);
    QPushButton* exit = addButton(this, QStringLiteral("E&xit"), "ExitButton",
                                  kWindowWidth - kButtonWidth - 10, buttonTop);
    connect(help, &QPushButton::clicked, this, [this] { HelpButtonClick(); });
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { HelpButtonClick(); });
    connect(exit, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });
}

QLabel* TViewConfig::addCaption(QWidget* page, const QString& text, int x, int y, bool major) {
    auto* caption = new QLabel(text, page);
    caption->setGeometry(x, y, 200, 20);
    (major ? majorCaptions_ : minorCaptions_).push_back(caption);
    return caption;
}

QCheckBox* TViewConfig::addCheckBox(QWidget* page, const QString& text, int y, bool& setting) {
    auto* box = new QCheckBox(text, page);
    box->setGeometry(kLeft + 10, y, 300, 22);
    box->setChecked(setting);
    // The setting follows every click at once; the grid shows it when the window closes.
    connect(box, &QCheckBox::toggled, this, [&setting](bool checked) { setting = checked; });
    return box;
}

QLineEdit* TViewConfig::addFontBox(QWidget* page, const char* name, int x, int y) {
    auto* box = new QLineEdit(page);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setGeometry(x, y, 200, 24);
    return box;
}

QLabel* TViewConfig::addSwatch(QWidget* page, const char* name, int x, int y) {
    auto* swatch = new QLabel(page);
    swatch->setObjectName(QLatin1String(name));
    swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    swatch->setAutoFillBackground(true);
    swatch->setGeometry(x, y, 200, 24);
    return swatch;
}

QWidget* TViewConfig::buildTitlePage() {
    auto* page = new QWidget;
    QCheckBox* titles =
        addCheckBox(page, QStringLiteral("Show Column Titles"), 12, settings_.gridShowTitles);
    titles->setObjectName(QStringLiteral("ShowTitlesCheck"));
    titles->move(kLeft, 12);

    addCaption(page, QStringLiteral("Title Font"), kLeft, 48);
    TitleFontBox = addFontBox(page, "TitleFontBox", kLeft, 70);
    QPushButton* font =
        addButton(page, QStringLiteral("New &Font"), "TitleFontButton", kSecondColumn, 68);
    connect(font, &QPushButton::clicked, this,
            [this] { chooseFont(settings_.gridTitleFont, TitleFontBox); });

    addCaption(page, QStringLiteral("Background"), kLeft, 108);
    TitleColorSwatch = addSwatch(page, "TitleColorSwatch", kLeft, 130);
    QPushButton* colour =
        addButton(page, QStringLiteral("New &Color"), "TitleColorButton", kSecondColumn, 128);
    connect(colour, &QPushButton::clicked, this,
            [this] { chooseColour(settings_.gridTitleBackground, TitleColorSwatch); });

    addCaption(page, QStringLiteral("Alignment"), kLeft, 168);
    const std::array<QString, 3> texts{QStringLiteral("Left Justify"), QStringLiteral("Center"),
                                       QStringLiteral("Right Justify")};
    auto* group = new QButtonGroup(page);
    for (int i = 0; i < 3; ++i) {
        auto* button = new QRadioButton(texts[static_cast<size_t>(i)], page);
        button->setObjectName(QStringLiteral("Alignment%1").arg(i + 1));
        button->setGeometry(kLeft + 10, 190 + 25 * i, 200, 22);
        button->setChecked(settings_.gridTitleAlignment == i + 1);
        group->addButton(button, i + 1);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int alignment) { settings_.gridTitleAlignment = alignment; });
    return page;
}

QWidget* TViewConfig::buildLookPage() {
    auto* page = new QWidget;
    addCaption(page, QStringLiteral("Grid Options"), kLeft, 8);
    addCheckBox(page, QStringLiteral("Show lines between columns"), 30, settings_.gridColumnLines)
        ->setObjectName(QStringLiteral("ColumnLinesCheck"));
    addCheckBox(page, QStringLiteral("Show lines between rows"), 55, settings_.gridRowLines)
        ->setObjectName(QStringLiteral("RowLinesCheck"));
    addCheckBox(page, QStringLiteral("Show current row indicator"), 80, settings_.gridRowIndicator)
        ->setObjectName(QStringLiteral("RowIndicatorCheck"));
    addCheckBox(page, QStringLiteral("Allow field editing"), 105, settings_.gridFieldEditing)
        ->setObjectName(QStringLiteral("FieldEditingCheck"));

    addCaption(page, QStringLiteral("Cell Color"), kLeft, 140);
    CellColorSwatch = addSwatch(page, "CellColorSwatch", kLeft, 162);
    QPushButton* colour =
        addButton(page, QStringLiteral("New &Color"), "CellColorButton", kSecondColumn, 160);
    connect(colour, &QPushButton::clicked, this,
            [this] { chooseColour(settings_.gridCellColour, CellColorSwatch); });

    addCaption(page, QStringLiteral("Cell Font"), kLeft, 200);
    CellFontBox = addFontBox(page, "CellFontBox", kLeft, 222);
    QPushButton* font =
        addButton(page, QStringLiteral("New &Font"), "CellFontButton", kSecondColumn, 220);
    connect(font, &QPushButton::clicked, this,
            [this] { chooseFont(settings_.gridFont, CellFontBox); });
    return page;
}

QWidget* TViewConfig::buildShowPage() {
    auto* page = new QWidget;
    FieldsToDisplay = new ViewConfigGrid(
        QStringLiteral("FieldsToDisplay"),
        {{QStringLiteral("FIELD"), 200, false}, {QStringLiteral("DISPLAY IT"), 100, false}}, page);
    FieldsToDisplay->move(centredLeft(FieldsToDisplay), 10);
    FieldsToDisplay->resize(FieldsToDisplay->width(), kGridHeight);
    connect(FieldsToDisplay, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int column) { FieldsToDisplayDblClick(row, column); });
    // Space toggles a shown flag too, so the page can be worked from the keyboard.
    auto* toggle = new QShortcut(QKeySequence(Qt::Key_Space), FieldsToDisplay);
    toggle->setContext(Qt::WidgetShortcut);
    connect(toggle, &QShortcut::activated, this,
            [this] { FieldsToDisplayDblClick(FieldsToDisplay->currentRow(), 1); });
    return page;
}

QWidget* TViewConfig::buildWidthsPage() {
    auto* page = new QWidget;
    FieldWidthGrid = new ViewConfigGrid(
        QStringLiteral("FieldWidthGrid"),
        {{QStringLiteral("FIELD"), 200, false}, {QStringLiteral("WIDTH"), 100, true}}, page);
    FieldWidthGrid->move(centredLeft(FieldWidthGrid), 10);
    FieldWidthGrid->resize(FieldWidthGrid->width(), kGridHeight);
    return page;
}

QWidget* TViewConfig::buildOrderPage() {
    auto* page = new QWidget;
    addCaption(page, QStringLiteral("Field"), kOrderGridLeft, 6, false);
    FieldOrderGrid =
        new ViewConfigGrid(QStringLiteral("FieldOrderGrid"), {{QString(), 200, false}}, page);
    FieldOrderGrid->move(kOrderGridLeft, 28);
    FieldOrderGrid->resize(FieldOrderGrid->width(), kGridHeight - 18);

    const int buttons = kOrderGridLeft + 260;
    addCaption(page, QStringLiteral("Ordering"), buttons, 28, false);
    QPushButton* up = addButton(page, QStringLiteral("&Up"), "UpButton", buttons, 52);
    QPushButton* down = addButton(page, QStringLiteral("&Down"), "DownButton", buttons, 88);
    QPushButton* defaults =
        addButton(page, QStringLiteral("D&efaults"), "DefaultsButton", buttons, 140);
    connect(up, &QPushButton::clicked, this, [this] { UpButtonClick(); });
    connect(down, &QPushButton::clicked, this, [this] { DownButtonClick(); });
    connect(defaults, &QPushButton::clicked, this, [this] { DefaultsButtonClick(); });
    return page;
}

QWidget* TViewConfig::buildNamesPage() {
    auto* page = new QWidget;
    FieldNameGrid = new ViewConfigGrid(
        QStringLiteral("FieldNameGrid"),
        {{QStringLiteral("FIELD"), 200, false},
         {QStringLiteral("NAME TO USE"), 200, true, static_cast<int>(app::kMaxFieldLabelLength)}},
        page);
    FieldNameGrid->move(centredLeft(FieldNameGrid), 10);
    FieldNameGrid->resize(FieldNameGrid->width(), kGridHeight);
    return page;
}

} // namespace appearance
