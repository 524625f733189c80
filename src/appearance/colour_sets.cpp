#include "appearance/colour_sets.h"

#include "widgets/grid_settings.h"

namespace appearance {

namespace {

using app::ColourRole;

constexpr app::Colour kBlack = rgbColour(0, 0, 0);
constexpr app::Colour kWhite = rgbColour(255, 255, 255);
constexpr app::Colour kSilver = rgbColour(192, 192, 192);
constexpr app::Colour kGrey = rgbColour(127, 127, 127);

// The combinations of the Windows program, with the colours that left a text unreadable on its
// background made darker or lighter in the same hue (see the contrast test): Fiery Red's box
// text, Christmas Season's titles and boxes, Wine's titles, boxes and buttons, More Pastels'
// major titles and all of Camouflage's texts.
constexpr std::array<ColourCombination, kCombinationCount> kCombinations{{
    {"Monochrome", kWhite, kBlack, kBlack, kWhite, kBlack, kBlack},
    {"Gray Mist", kSilver, kBlack, kBlack, kWhite, kBlack, kBlack},
    {"Midnight Black", kBlack, kSilver, kWhite, kGrey, kBlack, kWhite},
    {"Desert Sunset", rgbColour(255, 255, 128), kBlack, kBlack, rgbColour(255, 255, 0), kBlack,
     kBlack},
    {"Easter Pastel", rgbColour(255, 128, 255), rgbColour(0, 0, 255), kBlack,
     rgbColour(128, 0, 128), rgbColour(0, 255, 255), kBlack},
    {"Ocean Blue", rgbColour(0, 255, 255), rgbColour(255, 0, 0), kBlack, kWhite,
     rgbColour(0, 0, 128), kBlack},
    {"Fiery Red", rgbColour(255, 0, 0), rgbColour(0, 0, 128), kBlack, kWhite, rgbColour(128, 0, 0),
     kBlack},
    {"Christmas Season", rgbColour(0, 255, 0), rgbColour(128, 0, 0), rgbColour(128, 0, 0),
     rgbColour(192, 0, 0), kWhite, rgbColour(128, 0, 0)},
    {"Wine", rgbColour(128, 0, 64), rgbColour(255, 128, 128), rgbColour(255, 128, 255),
     rgbColour(128, 0, 128), rgbColour(255, 192, 192), rgbColour(255, 128, 255)},
    {"More Pastels", rgbColour(0, 255, 128), rgbColour(0, 0, 255), rgbColour(128, 0, 128),
     rgbColour(0, 255, 255), rgbColour(0, 0, 255), rgbColour(128, 0, 128)},
    {"Green Glow", kBlack, rgbColour(0, 255, 0), rgbColour(0, 255, 0), rgbColour(0, 255, 0), kBlack,
     rgbColour(0, 255, 0)},
    {"Camouflage", rgbColour(128, 128, 0), rgbColour(0, 48, 0), kBlack, rgbColour(0, 128, 128),
     kWhite, kBlack},
}};
} // namespace

QColor toQColor(app::Colour colour) {
    return widgets::colourFromSetting(colour);
}

app::Colour fromQColor(const QColor& colour) {
    return widgets::colourToSetting(colour);
}

const std::array<ColourCombination, kCombinationCount>& colourCombinations() {
    return kCombinations;
}

void applyCombination(app::ColourSet& set, const ColourCombination& combination) {
    set[ColourRole::MainBackground] = combination.mainBackground;
    set[ColourRole::MajorTitle] = combination.majorTitle;
    set[ColourRole::MinorTitle] = combination.minorTitle;
    set[ColourRole::EditBackground] = combination.editBackground;
    set[ColourRole::EditText] = combination.editText;
    set[ColourRole::RadioText] = combination.radioText;
    set[ColourRole::ComboBackground] = combination.editBackground;
    set[ColourRole::ListBoxBackground] = combination.editBackground;
    set[ColourRole::ComboText] = combination.editText;
    set[ColourRole::ListBoxText] = combination.editText;
    set[ColourRole::RadioBackground] = combination.mainBackground;
    set[ColourRole::CheckBackground] = combination.mainBackground;
    set[ColourRole::CheckText] = combination.radioText;
}

std::optional<app::WindowGroup> groupOfKind(int kind) {
    if (kind < kFirstColourKind || kind >= kAllWindowsKind) {
        return std::nullopt;
    }
    return static_cast<app::WindowGroup>(kind - kFirstColourKind);
}

std::optional<app::ColourSet> workingCopyForKind(const app::Settings& settings, int kind) {
    if (kind == kAllWindowsKind) {
        return settings.colours(app::WindowGroup::Main);
    }
    const auto group = groupOfKind(kind);
    if (!group) {
        return std::nullopt;
    }
    return settings.colours(*group);
}

bool storeWorkingCopy(app::Settings& settings, int kind, const app::ColourSet& workingCopy) {
    if (kind == kAllWindowsKind) {
        settings.colourSets.fill(workingCopy);
        return true;
    }
    const auto group = groupOfKind(kind);
    if (!group) {
        return false;
    }
    settings.colours(*group) = workingCopy;
    return *group == app::WindowGroup::Main;
}

} // namespace appearance
