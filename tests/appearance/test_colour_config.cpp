#include "appearance/colour_config.h"
#include "appearance/colour_sets.h"
#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

using app::ColourRole;
using app::ColourSet;
using appearance::rgbColour;
using appearance::TColorConfig;

const app::Colour kGrey = rgbColour(127, 127, 127);
const app::Colour kWhite = rgbColour(255, 255, 255);

class ColourWindow : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        static QApplication application(argc, argv);
    }

    void SetUp() override {
        for (int group = 0; group < app::kWindowGroupCount; ++group) {
            // Distinct sets, so that a set copied to the wrong group shows.
            settings.colourSets[group][ColourRole::EditBackground] = rgbColour(10 * group, 0, 0);
        }
    }

    // A shown window for `kind`, started from the set that kind edits.
    std::unique_ptr<TColorConfig> openWindow(int kind) {
        auto window = std::make_unique<TColorConfig>(settings, seams.seams, 1.0, fonts);
        window->setKind(kind);
        window->setWorkingCopy(*appearance::workingCopyForKind(settings, kind));
        window->show();
        return window;
    }

    template <typename T> static T* control(QWidget& window, const char* name) {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    static void chooseCombination(QWidget& window, const QString& name) {
        auto* combo = control<QComboBox>(window, "ColorSets");
        const int index = combo->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }

    static void click(QWidget& window, const char* buttonName) {
        QTest::mouseClick(control<QPushButton>(window, buttonName), Qt::LeftButton);
    }

    static QColor colourOf(QWidget& window, const char* name, QPalette::ColorRole role) {
        return control<QWidget>(window, name)->palette().color(QPalette::Active, role);
    }

    // The colour the widget fills its background with.
    static QColor backgroundOf(QWidget& window, const char* name) {
        QWidget* widget = control<QWidget>(window, name);
        EXPECT_TRUE(widget->autoFillBackground()) << name;
        return widget->palette().color(widget->backgroundRole());
    }

    app::Settings settings;
    testsupport::ScriptedSeams seams;
    widgets::UserFonts fonts;
};

TEST_F(ColourWindow, OpensAsALiveSampleOfTheWorkingCopy) {
    ColourSet start;
    start[ColourRole::MainBackground] = rgbColour(1, 1, 1);
    start[ColourRole::MajorTitle] = rgbColour(2, 2, 2);
    start[ColourRole::MinorTitle] = rgbColour(3, 3, 3);
    start[ColourRole::EditBackground] = rgbColour(4, 4, 4);
    start[ColourRole::ComboText] = rgbColour(7, 7, 7);
    start[ColourRole::ListBoxBackground] = rgbColour(8, 8, 8);
    start[ColourRole::RadioText] = rgbColour(11, 11, 11);
    start[ColourRole::CheckBackground] = rgbColour(12, 12, 12);
    settings.colours(app::WindowGroup::Report) = start;
    const auto window = openWindow(4);

    EXPECT_EQ(window->windowTitle(), "Color Configuration");
    EXPECT_EQ(window->palette().color(window->backgroundRole()), QColor(1, 1, 1));
    for (const char* caption :
         {"WindowLabel", "RadioLabel", "CheckLabel", "EditLabel", "ComboLabel", "ListLabel"}) {
        EXPECT_EQ(colourOf(*window, caption, QPalette::WindowText), QColor(2, 2, 2)) << caption;
    }
    EXPECT_EQ(control<QLabel>(*window, "ListLabel")->text(), "List Box");
    EXPECT_EQ(colourOf(*window, "PredefinedLabel", QPalette::WindowText), QColor(3, 3, 3));
    EXPECT_EQ(control<QLineEdit>(*window, "SampleEdit")->text(), "Sample Text");
    EXPECT_EQ(colourOf(*window, "SampleEdit", QPalette::Base), QColor(4, 4, 4));
    EXPECT_EQ(colourOf(*window, "SampleCombo", QPalette::ButtonText), QColor(7, 7, 7));
    EXPECT_EQ(colourOf(*window, "ColorSets", QPalette::Text), QColor(7, 7, 7));
    EXPECT_EQ(control<QListWidget>(*window, "SampleList")->count(), 2);
    EXPECT_EQ(colourOf(*window, "SampleList", QPalette::Base), QColor(8, 8, 8));
    EXPECT_EQ(colourOf(*window, "SampleRadio", QPalette::WindowText), QColor(11, 11, 11));
    EXPECT_EQ(backgroundOf(*window, "SampleCheck"), QColor(12, 12, 12));
    EXPECT_EQ(backgroundOf(*window, "SampleRadio"), QColor(192, 192, 192));
    EXPECT_EQ(backgroundOf(*window, "RadioLabel"), QColor(1, 1, 1));

    auto* combinations = control<QComboBox>(*window, "ColorSets");
    ASSERT_EQ(combinations->count(), 13);
    EXPECT_EQ(combinations->itemText(0), "");
    EXPECT_EQ(combinations->itemText(12), "Camouflage");
    // Centred on the 1024 x 768 screen of the seams.
    EXPECT_EQ(window->frameGeometry().center().x() / 10, 512 / 10);
}

TEST_F(ColourWindow, ScalesByTheWindowSizeFactorWhenShown) {
    TColorConfig window(settings, seams.seams, 1.25, fonts);
    const QSize designed = window.size();
    window.setWorkingCopy(settings.colours(app::WindowGroup::Main));
    window.show();
    EXPECT_EQ(window.size(), designed * 1.25);
    window.hide();
    window.show(); // shown again, it is not scaled twice
    EXPECT_EQ(window.size(), designed * 1.25);
}

TEST_F(ColourWindow, ACombinationThenOneColourKeepsTheOtherColours) {
    const auto window = openWindow(2);
    chooseCombination(*window, "Midnight Black");
    EXPECT_EQ(colourOf(*window, "SampleRadio", QPalette::WindowText), QColor(255, 255, 255));
    EXPECT_EQ(colourOf(*window, "SampleList", QPalette::Base), QColor(127, 127, 127));

    seams.colours.answer(QColor(0, 0, 200));
    click(*window, "EditBackgroundButton");
    ASSERT_EQ(seams.colours.initialColours.size(), 1u);
    EXPECT_EQ(seams.colours.initialColours[0], QColor(127, 127, 127));
    EXPECT_EQ(colourOf(*window, "SampleEdit", QPalette::Base), QColor(0, 0, 200));

    ColourSet expected;
    appearance::applyCombination(expected, appearance::colourCombinations()[2]);
    expected[ColourRole::EditBackground] = rgbColour(0, 0, 200);
    EXPECT_EQ(window->workingCopy().colours, expected.colours);
    // Nothing is stored before "&Ok".
    EXPECT_NE(settings.colours(app::WindowGroup::Edit).colours, expected.colours);

    const app::Settings before = settings;
    click(*window, "OkButton");
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_FALSE(window->mainWindowChanged());
    EXPECT_EQ(settings.colours(app::WindowGroup::Edit).colours, expected.colours);
    for (auto group : {app::WindowGroup::Main, app::WindowGroup::Search, app::WindowGroup::Report,
                       app::WindowGroup::Configure}) {
        EXPECT_EQ(settings.colours(group).colours, before.colours(group).colours);
    }
}

TEST_F(ColourWindow, EachButtonChangesItsOwnColourAndACancelledDialogNothing) {
    const auto window = openWindow(1);
    const std::pair<const char*, ColourRole> buttons[] = {
        {"BackgroundButton", ColourRole::MainBackground},
        {"MajorTitlesButton", ColourRole::MajorTitle},
        {"MinorTitlesButton", ColourRole::MinorTitle},
        {"EditBackgroundButton", ColourRole::EditBackground},
        {"EditTextButton", ColourRole::EditText},
        {"ComboBackgroundButton", ColourRole::ComboBackground},
        {"ComboTextButton", ColourRole::ComboText},
        {"ListBackgroundButton", ColourRole::ListBoxBackground},
        {"ListTextButton", ColourRole::ListBoxText},
        {"RadioBackgroundButton", ColourRole::RadioBackground},
        {"RadioTextButton", ColourRole::RadioText},
        {"CheckBackgroundButton", ColourRole::CheckBackground},
        {"CheckTextButton", ColourRole::CheckText},
    };
    int shade = 1;
    for (const auto& [name, role] : buttons) {
        ColourSet expected = window->workingCopy();
        seams.colours.answer(std::nullopt); // the colour dialog cancelled
        click(*window, name);
        EXPECT_EQ(window->workingCopy().colours, expected.colours) << name;
        seams.colours.answer(QColor(shade, 50, 60));
        click(*window, name);
        expected[role] = rgbColour(shade, 50, 60);
        EXPECT_EQ(window->workingCopy().colours, expected.colours) << name;
        ++shade;
    }
    EXPECT_EQ(colourOf(*window, "ColorSets", QPalette::Base), QColor(6, 50, 60));
    EXPECT_EQ(colourOf(*window, "SampleCheck", QPalette::WindowText), QColor(13, 50, 60));

    // The empty entry changes nothing either.
    const ColourSet changed = window->workingCopy();
    chooseCombination(*window, "");
    EXPECT_EQ(window->workingCopy().colours, changed.colours);
}

TEST_F(ColourWindow, CancelAfterChangesStoresNothing) {
    const app::Settings before = settings;
    const auto window = openWindow(6);
    chooseCombination(*window, "Wine");
    seams.colours.answer(QColor(1, 2, 3));
    click(*window, "ListTextButton");
    click(*window, "CancelButton");
    EXPECT_EQ(window->result(), QDialog::Rejected);
    for (int group = 0; group < app::kWindowGroupCount; ++group) {
        EXPECT_EQ(settings.colourSets[group].colours, before.colourSets[group].colours);
    }
}

TEST_F(ColourWindow, RunningTheWindowForEachKind) {
    // ALL Windows confirmed unchanged copies the main set into the other four.
    const ColourSet main = settings.colours(app::WindowGroup::Main);
    testsupport::whenModalAppears([](QWidget* modal) {
        auto* window = qobject_cast<TColorConfig*>(modal);
        ASSERT_NE(window, nullptr);
        click(*window, "OkButton");
    });
    auto result = appearance::runColourWindow(nullptr, settings, 6, seams.seams, 1.0, fonts);
    EXPECT_TRUE(result.stored);
    EXPECT_TRUE(result.mainWindowChanged);
    for (const ColourSet& set : settings.colourSets) {
        EXPECT_EQ(set.colours, main.colours);
    }

    settings.colours(app::WindowGroup::Search)[ColourRole::EditText] = kWhite;
    testsupport::whenModalAppears([](QWidget* modal) {
        auto* window = qobject_cast<TColorConfig*>(modal);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->kind(), 3);
        EXPECT_EQ(window->workingCopy()[ColourRole::EditText], kWhite);
        chooseCombination(*window, "Green Glow");
        click(*window, "OkButton");
    });
    result = appearance::runColourWindow(nullptr, settings, 3, seams.seams, 1.0, fonts);
    EXPECT_TRUE(result.stored);
    EXPECT_FALSE(result.mainWindowChanged);
    EXPECT_EQ(settings.colours(app::WindowGroup::Search)[ColourRole::EditBackground],
              rgbColour(0, 255, 0));
    EXPECT_EQ(settings.colours(app::WindowGroup::Main).colours, main.colours);

    testsupport::whenModalAppears([](QWidget* modal) {
        auto* window = qobject_cast<TColorConfig*>(modal);
        ASSERT_NE(window, nullptr);
        window->reject(); // Escape or the close box
    });
    result = appearance::runColourWindow(nullptr, settings, 1, seams.seams, 1.0, fonts);
    EXPECT_FALSE(result.stored);
    EXPECT_FALSE(result.mainWindowChanged);

    result = appearance::runColourWindow(nullptr, settings, 7, seams.seams, 1.0, fonts);
    EXPECT_FALSE(result.stored);
}

} // namespace
