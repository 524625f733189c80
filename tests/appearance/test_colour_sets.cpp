#include "appearance/colour_sets.h"

#include <QApplication>
#include <QPalette>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using app::ColourRole;
using app::ColourSet;
using app::WindowGroup;
using appearance::rgbColour;

ColourSet setOf(app::Colour first) {
    ColourSet set;
    for (int i = 0; i < app::kColourRoleCount; ++i) {
        set.colours[static_cast<size_t>(i)] = first + i;
    }
    return set;
}

// Five sets that differ from each other in every colour.
app::Settings distinctSets() {
    app::Settings settings;
    for (int group = 0; group < app::kWindowGroupCount; ++group) {
        settings.colourSets[static_cast<size_t>(group)] = setOf(100 * group);
    }
    return settings;
}

TEST(ColourNumbers, ConvertBothWaysInWindowsByteOrder) {
    EXPECT_EQ(rgbColour(255, 0, 0), 255);
    EXPECT_EQ(rgbColour(0, 0, 255), 16711680);
    EXPECT_EQ(appearance::toQColor(12632256), QColor(192, 192, 192));
    EXPECT_EQ(appearance::toQColor(rgbColour(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(appearance::fromQColor(QColor(128, 0, 64)), 4194432);
    EXPECT_EQ(appearance::fromQColor(QColor::fromHsv(0, 255, 255)), 255);
    for (app::Colour colour : {0, 1, 256, 65536, 16777215, 8553090}) {
        EXPECT_EQ(appearance::fromQColor(appearance::toQColor(colour)), colour);
    }
    // System colours from files of the Windows program: window background and button face.
    EXPECT_EQ(appearance::toQColor(static_cast<app::Colour>(0x80000005)),
              QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(appearance::toQColor(static_cast<app::Colour>(0x8000000F)),
              QApplication::palette().color(QPalette::Button));
    EXPECT_TRUE(appearance::toQColor(static_cast<app::Colour>(0x800000FF)).isValid());
    EXPECT_EQ(appearance::toQColor(0x02FF0000), QColor(0, 0, 255));
}

TEST(ColourCombinations, ListTheTwelveInOrderAndFillEveryColour) {
    const char* names[] = {"Monochrome",    "Gray Mist",    "Midnight Black", "Desert Sunset",
                           "Easter Pastel", "Ocean Blue",   "Fiery Red",      "Christmas Season",
                           "Wine",          "More Pastels", "Green Glow",     "Camouflage"};
    const auto& combinations = appearance::colourCombinations();
    for (size_t i = 0; i < combinations.size(); ++i) {
        EXPECT_STREQ(combinations[i].name, names[i]);
    }

    const app::Colour black = 0, white = 16777215, grey = rgbColour(127, 127, 127);
    ColourSet set = setOf(1000);
    appearance::applyCombination(set, combinations[2]);
    const ColourSet midnight{{black, rgbColour(192, 192, 192), white, grey, black, grey, black,
                              grey, black, black, white, black, white}};
    EXPECT_EQ(set.colours, midnight.colours);

    appearance::applyCombination(set, combinations[11]);
    const app::Colour olive = rgbColour(128, 128, 0), teal = rgbColour(0, 128, 128);
    const ColourSet camouflage{{olive, rgbColour(0, 48, 0), black, teal, white, teal, white, teal,
                                white, olive, black, olive, black}};
    EXPECT_EQ(set.colours, camouflage.colours);

    // The standard look is the default colour set.
    appearance::applyCombination(set, combinations[1]);
    EXPECT_EQ(set.colours, ColourSet{}.colours);
}

// The contrast ratio of two colours by the WCAG formula: 1 (none) to 21 (black on white).
double contrast(const QColor& one, const QColor& other) {
    const auto luminance = [](const QColor& colour) {
        const auto channel = [](int value) {
            const double v = value / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
               0.0722 * channel(colour.blue());
    };
    const double a = luminance(one) + 0.05, b = luminance(other) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

// Every text of every combination can be read on its background: 3:1 for the large, bold
// titles, 4.5:1 for the captions, labels and box texts in the normal size.
TEST(ColourCombinations, EveryTextCanBeReadOnItsBackground) {
    struct Pair {
        ColourRole text;
        ColourRole background;
        double least;
    };
    const Pair pairs[] = {{ColourRole::MajorTitle, ColourRole::MainBackground, 3.0},
                          {ColourRole::MinorTitle, ColourRole::MainBackground, 4.5},
                          {ColourRole::EditText, ColourRole::EditBackground, 4.5},
                          {ColourRole::ComboText, ColourRole::ComboBackground, 4.5},
                          {ColourRole::ListBoxText, ColourRole::ListBoxBackground, 4.5},
                          {ColourRole::RadioText, ColourRole::RadioBackground, 4.5},
                          {ColourRole::CheckText, ColourRole::CheckBackground, 4.5}};
    for (const appearance::ColourCombination& combination : appearance::colourCombinations()) {
        ColourSet set;
        appearance::applyCombination(set, combination);
        for (const Pair& pair : pairs) {
            EXPECT_GE(contrast(appearance::toQColor(set[pair.text]),
                               appearance::toQColor(set[pair.background])),
                      pair.least)
                << combination.name << ": role " << static_cast<int>(pair.text) << " on "
                << static_cast<int>(pair.background);
        }
    }
}

TEST(ColourKinds, WorkingCopiesComeFromTheKindsSet) {
    const app::Settings settings = distinctSets();
    const WindowGroup groups[] = {WindowGroup::Main,   WindowGroup::Edit,      WindowGroup::Search,
                                  WindowGroup::Report, WindowGroup::Configure, WindowGroup::Main};
    for (int kind = 1; kind <= 6; ++kind) {
        EXPECT_EQ(appearance::workingCopyForKind(settings, kind)->colours,
                  settings.colours(groups[kind - 1]).colours)
            << kind;
    }
    EXPECT_FALSE(appearance::workingCopyForKind(settings, 0));
    EXPECT_FALSE(appearance::workingCopyForKind(settings, 7));
}

TEST(ColourKinds, StoringChangesOnlyTheKindsSets) {
    const ColourSet chosen = setOf(5000);
    for (int kind = 1; kind <= 5; ++kind) {
        app::Settings settings = distinctSets();
        const app::Settings before = settings;
        EXPECT_EQ(appearance::storeWorkingCopy(settings, kind, chosen), kind == 1);
        for (int group = 0; group < app::kWindowGroupCount; ++group) {
            const auto& expected = group == kind - 1 ? chosen : before.colourSets[group];
            EXPECT_EQ(settings.colourSets[group].colours, expected.colours) << kind;
        }
    }
    app::Settings settings = distinctSets();
    EXPECT_TRUE(appearance::storeWorkingCopy(settings, 6, chosen));
    for (const ColourSet& set : settings.colourSets) {
        EXPECT_EQ(set.colours, chosen.colours);
    }
    const app::Settings before = distinctSets();
    settings = before;
    for (int kind : {0, 7, -1}) {
        EXPECT_FALSE(appearance::storeWorkingCopy(settings, kind, chosen));
    }
    for (int group = 0; group < app::kWindowGroupCount; ++group) {
        EXPECT_EQ(settings.colourSets[group].colours, before.colourSets[group].colours);
    }
}

} // namespace
