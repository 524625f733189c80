// Window sizes, design geometry, scaling and user fonts on real widgets.

#include "support/gui/qt_print.h"
#include "support/gui/scripted_seams.h"
#include "widgets/record_grid.h"
#include "widgets/window_geometry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include <gtest/gtest.h>

using widgets::ComponentKind;

namespace {

// A window laid out by hand, as the long-lived windows are: every kind once.
struct DesignedWindow {
    DesignedWindow() {
        window.resize(400, 300);
        window.setFont(QFont("DejaVu Sans", 10));
        label = place(new QLabel("Name", &window), 10, 10, 60, 20);
        edit = place(new QLineEdit(&window), 80, 10, 200, 22);
        button = place(new QPushButton("OK", &window), 300, 260, 80, 28);
        bevel = place(new QFrame(&window), 5, 250, 390, 2);
        bevel->setFrameShape(QFrame::HLine);
        group = place(new QGroupBox("Kind", &window), 10, 40, 180, 100);
        radio = place(new QRadioButton("Hardback", group), 10, 20, 150, 20);
        tabs = place(new QTabWidget(&window), 200, 40, 190, 200);
        auto* page = new QWidget;
        tabs->addTab(page, "Page");
        check = place(new QCheckBox("Lent", page), 5, 5, 100, 20);
        combo = place(new QComboBox(page), 5, 30, 150, 22);
        combo->setEditable(true);
        date = place(new QDateEdit(page), 5, 60, 120, 22);
        list = place(new QListWidget(&window), 10, 150, 180, 90);
        list->addItem("one");
    }
    template <typename W> W* place(W* widget, int x, int y, int w, int h) {
        widget->setGeometry(x, y, w, h);
        return widget;
    }

    QWidget window;
    QLabel* label;
    QLineEdit* edit;
    QPushButton* button;
    QFrame* bevel;
    QGroupBox* group;
    QRadioButton* radio;
    QTabWidget* tabs;
    QCheckBox* check;
    QComboBox* combo;
    QDateEdit* date;
    QListWidget* list;
};

TEST(WindowGeometry, FactorsFollowTheStoredSizeAndTheScreen) {
    EXPECT_EQ(widgets::factorForWindowSize(640), 1.0);
    EXPECT_EQ(widgets::factorForWindowSize(800), 1.25);
    EXPECT_EQ(widgets::factorForWindowSize(1024), 1.6);
    EXPECT_EQ(widgets::factorForWindowSize(1280), 2.0);
    EXPECT_EQ(widgets::factorForWindowSize(999), 1.0);
    EXPECT_EQ(widgets::startupFactor(1024, {800, 600}), 1.0);
    EXPECT_EQ(widgets::startupFactor(1024, {1024, 768}), 1.6);
    EXPECT_EQ(widgets::startupFactor(1280, {1280, 1023}), 1.0);
    EXPECT_EQ(widgets::startupFactor(800, {800, 600}), 1.25);
}

TEST(WindowGeometry, ComponentsAreFoundByKindWithoutTheInnerPartsOfCompositeWidgets) {
    DesignedWindow designed;
    const std::vector<QWidget*> components = widgets::windowComponents(designed.window);
    auto has = [&](QWidget* widget) {
        return std::find(components.begin(), components.end(), widget) != components.end();
    };
    EXPECT_TRUE(has(designed.radio));
    EXPECT_TRUE(has(designed.check)); // inside a tab page
    EXPECT_TRUE(has(designed.date));
    EXPECT_FALSE(has(designed.combo->lineEdit()));
    EXPECT_FALSE(has(designed.tabs->tabBar()));
    for (QWidget* widget : components)
        EXPECT_NE(qobject_cast<QLineEdit*>(widget) != nullptr &&
                      widget->parentWidget() == designed.date,
                  true);

    EXPECT_EQ(widgets::componentKind(*designed.label), ComponentKind::Label);
    EXPECT_EQ(widgets::componentKind(*designed.bevel), ComponentKind::Bevel);
    EXPECT_EQ(widgets::componentKind(*designed.group), ComponentKind::GroupBox);
    EXPECT_EQ(widgets::componentKind(*designed.date), ComponentKind::MaskedEdit);
    EXPECT_EQ(widgets::componentKind(*designed.list), ComponentKind::ListBox);
    EXPECT_EQ(widgets::componentKind(*designed.tabs), ComponentKind::TabWidget);
    QLineEdit masked;
    masked.setInputMask("99/99/9999");
    EXPECT_EQ(widgets::componentKind(masked), ComponentKind::MaskedEdit);
    QTableWidget stringGrid;
    EXPECT_EQ(widgets::componentKind(stringGrid), ComponentKind::Grid);
    QFrame panel;
    new QLabel("x", &panel);
    EXPECT_EQ(widgets::componentKind(panel), ComponentKind::Panel);
    QToolButton speed;
    EXPECT_EQ(widgets::componentKind(speed), ComponentKind::ToolButton);
}

TEST(WindowGeometry, ScalingGrowsEverythingOnceAndRestoringUndoesIt) {
    DesignedWindow designed;
    testsupport::StrictMessages messages;
    widgets::DesignGeometry design;
    design.record(designed.window, messages);
    ASSERT_TRUE(design.recorded());

    // The factor is rounded to two decimals: 1.26.
    widgets::scaleAndCentre(designed.window, 1.2571, {1024, 768});
    EXPECT_EQ(designed.window.size(), QSize(504, 378));
    EXPECT_EQ(designed.edit->geometry(), QRect(101, 13, 252, 28));
    EXPECT_EQ(designed.check->geometry(), QRect(6, 6, 126, 25));
    EXPECT_NEAR(designed.window.font().pointSizeF(), 12.6, 0.01);
    EXPECT_NEAR(designed.label->font().pointSizeF(), 12.6, 0.01);
    EXPECT_EQ(designed.window.pos(), QPoint((1024 - 504) / 2, (768 - 378) / 2));

    // Shown again: restore first, so the factor does not compound.
    design.restore(designed.window);
    EXPECT_EQ(designed.window.size(), QSize(400, 300));
    EXPECT_EQ(designed.edit->geometry(), QRect(80, 10, 200, 22));
    EXPECT_NEAR(designed.label->font().pointSizeF(), 10.0, 0.01);
    widgets::scaleAndCentre(designed.window, 2.0, {1280, 1024});
    EXPECT_EQ(designed.window.size(), QSize(800, 600));
    EXPECT_EQ(designed.button->geometry(), QRect(600, 520, 160, 56));
    EXPECT_NEAR(designed.edit->font().pointSizeF(), 20.0, 0.01);

    // A window bigger than the screen keeps its title bar on the screen.
    widgets::scaleAndCentre(designed.window, 1.0, {640, 480});
    EXPECT_EQ(designed.window.pos(), QPoint(0, 0));
}

TEST(WindowGeometry, RecordingStopsAfter121ComponentsWithTheMessage) {
    QWidget window;
    std::vector<QLabel*> labels;
    for (int i = 0; i < 125; ++i) {
        labels.push_back(new QLabel(QString::number(i), &window));
        labels.back()->setGeometry(0, i, 30, 10);
    }
    testsupport::StrictMessages messages;
    messages.expect("Error", "Too many compenents to save dimensions.", db::MessageAnswer::Ok);
    widgets::DesignGeometry design;
    design.record(window, messages);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].buttons, db::MessageButtons::Ok);

    // Those beyond the limit are still put back, or showing the window again would scale them
    // once more every time.
    widgets::scaleAndCentre(window, 2.0, {1280, 1024});
    design.restore(window);
    EXPECT_EQ(labels[120]->geometry(), QRect(0, 120, 30, 10));
    EXPECT_EQ(labels[124]->geometry(), QRect(0, 124, 30, 10));

    // Exactly 121 is fine.
    delete labels[124];
    delete labels[123];
    delete labels[122];
    delete labels[121];
    widgets::DesignGeometry fits;
    fits.record(window, messages);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(WindowGeometry, UserFontsGiveFaceAndStyleByKindButKeepSizes) {
    DesignedWindow designed;
    designed.edit->setFont(QFont("DejaVu Sans", 15));
    widgets::UserFonts fonts;
    fonts.label = QFont("DejaVu Serif", 30, QFont::Bold);
    fonts.edit = QFont("DejaVu Sans Mono", 30);
    fonts.edit.setItalic(true);
    fonts.button = QFont("Liberation Sans", 30);
    fonts.button.setUnderline(true);
    QToolButton* speed = new QToolButton(&designed.window);
    QFrame* panel = new QFrame(&designed.window);
    new QLabel("inside", panel);
    const QFont panelFont = panel->font();
    const QFont speedFont = speed->font();

    widgets::applyUserFonts(designed.window, fonts);
    for (QWidget* labelKind : std::initializer_list<QWidget*>{
             designed.label, designed.list, designed.check, designed.radio, designed.group}) {
        EXPECT_EQ(labelKind->font().family(), "DejaVu Serif")
            << labelKind->metaObject()->className();
        EXPECT_TRUE(labelKind->font().bold());
    }
    for (QWidget* editKind :
         std::initializer_list<QWidget*>{designed.edit, designed.combo, designed.date}) {
        EXPECT_EQ(editKind->font().family(), "DejaVu Sans Mono")
            << editKind->metaObject()->className();
        EXPECT_TRUE(editKind->font().italic());
    }
    EXPECT_EQ(designed.button->font().family(), "Liberation Sans");
    EXPECT_TRUE(designed.button->font().underline());
    EXPECT_FALSE(designed.button->font().bold());
    // Sizes stay; other kinds are left alone.
    EXPECT_NEAR(designed.edit->font().pointSizeF(), 15.0, 0.01);
    EXPECT_NEAR(designed.label->font().pointSizeF(), 10.0, 0.01);
    EXPECT_EQ(panel->font(), panelFont);
    EXPECT_EQ(speed->font(), speedFont);
}

TEST(WindowGeometry, RecordGridCountsAsOneComponentAndKeepsItsOwnFont) {
    testsupport::ScriptedSeams seams;
    table::Table table; // closed: the grid shows nothing; outlives the grid
    QWidget window;
    auto* grid = new widgets::RecordGrid(table, seams.messages, &window);
    const QFont gridFont = grid->font();
    widgets::UserFonts fonts;
    fonts.edit = QFont("DejaVu Sans Mono", 30);
    widgets::applyUserFonts(window, fonts);
    EXPECT_EQ(grid->font(), gridFont);
    EXPECT_EQ(widgets::componentKind(*grid), ComponentKind::Other);
    const auto components = widgets::windowComponents(window);
    EXPECT_EQ(components.size(), 1u);
}

} // namespace

namespace {

TEST(WindowGeometry, ShowingAgainRestoresScalesAndDressesWithoutCompounding) {
    DesignedWindow designed;
    auto* gauge = designed.place(new QProgressBar(&designed.window), 10, 270, 200, 20);
    gauge->setFixedHeight(20);
    gauge->setFont(QFont("DejaVu Sans", 8));
    testsupport::StrictMessages messages;
    widgets::DesignGeometry design;
    design.record(designed.window, messages);
    widgets::UserFonts fonts;
    fonts.edit = QFont("DejaVu Sans Mono", 30);
    for (int shown = 0; shown < 3; ++shown)
        widgets::prepareToShow(designed.window, &design, 1.6, {1024, 768}, fonts);
    EXPECT_EQ(designed.window.size(), QSize(640, 480));
    EXPECT_EQ(designed.edit->geometry(), QRect(128, 16, 320, 35));
    EXPECT_NEAR(designed.edit->font().pointSizeF(), 16.0, 0.01);
    EXPECT_EQ(designed.edit->font().family(), "DejaVu Sans Mono");
    EXPECT_EQ(designed.window.pos(), QPoint(192, 144));
    // Kinds the user fonts leave alone scale once as well.
    EXPECT_EQ(gauge->height(), 32);
    EXPECT_EQ(gauge->minimumHeight(), 32);
    EXPECT_NEAR(gauge->font().pointSizeF(), 12.8, 0.01);
}

} // namespace

namespace {

// Fonts and scale applied in either order give the same window: every size grows by the factor
// once, whether the component inherits it or has its own, and the faces are the user's.
TEST(WindowGeometry, UserFontsAndScalingGiveTheSameSizesInEitherOrder) {
    widgets::UserFonts fonts;
    fonts.label = QFont("DejaVu Serif", 30, QFont::Bold);
    fonts.edit = QFont("DejaVu Sans Mono", 30);
    fonts.button = QFont("Liberation Sans", 30);
    for (int run = 0; run < 4; ++run) {
        const bool fontsFirst = run % 2 == 0;
        const bool windowFontSet = run < 2; // else the window inherits the application's
        SCOPED_TRACE(fontsFirst ? "fonts, then scale" : "scale, then fonts");
        SCOPED_TRACE(windowFontSet ? "window font set" : "application font");
        DesignedWindow designed;
        if (!windowFontSet)
            designed.window.setFont(QFont());
        const qreal base = designed.window.font().pointSizeF();
        designed.edit->setFont(QFont("DejaVu Sans", 15)); // a size of its own
        if (fontsFirst)
            widgets::applyUserFonts(designed.window, fonts);
        widgets::scaleAndCentre(designed.window, 1.6, {1024, 768});
        if (!fontsFirst)
            widgets::applyUserFonts(designed.window, fonts);

        for (QWidget* inherited : std::initializer_list<QWidget*>{
                 designed.label, designed.button, designed.check, designed.combo, designed.radio})
            EXPECT_NEAR(inherited->font().pointSizeF(), base * 1.6, 0.01)
                << inherited->metaObject()->className();
        EXPECT_NEAR(designed.edit->font().pointSizeF(), 24.0, 0.01);
        EXPECT_EQ(designed.label->font().family(), "DejaVu Serif");
        EXPECT_TRUE(designed.label->font().bold());
        EXPECT_EQ(designed.edit->font().family(), "DejaVu Sans Mono");
        EXPECT_EQ(designed.button->font().family(), "Liberation Sans");
    }
}

// A component given a face of its own before scaling (bold only, size left to the window)
// grows once with the window.
TEST(WindowGeometry, FaceOnlyFontsScaleOnce) {
    DesignedWindow designed;
    QFont boldOnly;
    boldOnly.setBold(true);
    designed.label->setFont(boldOnly);
    widgets::scaleAndCentre(designed.window, 2.0, {1280, 1024});
    EXPECT_NEAR(designed.label->font().pointSizeF(), 20.0, 0.01);
    EXPECT_TRUE(designed.label->font().bold());
}

} // namespace
