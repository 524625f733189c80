#pragma once

// The colour sets of the five window groups as plain values: Windows colour numbers and QColor,
// the twelve predefined combinations, and which set the colour window edits and stores for each
// of its kinds (1 main, 2 edit, 3 search, 4 report, 5 configure, 6 all windows).

#include "settings/settings.h"

#include <QColor>
#include <QString>

#include <array>
#include <optional>

namespace appearance {

// A colour number is red + 256 * green + 65536 * blue. Negative numbers name a system colour
// (0x80000000 plus its index), which is taken from the application's palette.
QColor toQColor(app::Colour colour);
app::Colour fromQColor(const QColor& colour);
constexpr app::Colour rgbColour(int red, int green, int blue) {
    return red + 256 * green + 65536 * blue;
}

struct ColourCombination {
    const char* name; // as listed in the colour window
    app::Colour mainBackground;
    app::Colour majorTitle;
    app::Colour minorTitle;
    app::Colour editBackground;
    app::Colour editText;
    app::Colour radioText; // also the check box text
};

constexpr int kCombinationCount = 12;
const std::array<ColourCombination, kCombinationCount>& colourCombinations();

// Sets the six colours of the combination and derives the rest: combo and list boxes as the edit
// box, radio and check backgrounds as the main background, check text as radio text.
void applyCombination(app::ColourSet& set, const ColourCombination& combination);

constexpr int kFirstColourKind = 1;
constexpr int kAllWindowsKind = 6;

// The window group a kind 1..5 edits.
std::optional<app::WindowGroup> groupOfKind(int kind);

// The set the colour window starts from: the group's own set, the main set for kind 6. Nothing
// for a kind outside 1..6.
std::optional<app::ColourSet> workingCopyForKind(const app::Settings& settings, int kind);

// Stores the working copy as the set of the kind's group, or as all five sets for kind 6.
// Returns whether the main window's set was stored (it is repainted at once; the other windows
// take their set the next time they are shown).
bool storeWorkingCopy(app::Settings& settings, int kind, const app::ColourSet& workingCopy);

} // namespace appearance
