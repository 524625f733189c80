#include "appearance/view_config_editor.h"
#include "appearance/view_config_fonts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace appearance;

namespace {

constexpr int kLast = kViewConfigRows - 1;

std::vector<int> positions(const app::Settings& settings) {
    std::vector<int> result;
    for (int n = 1; n <= kViewConfigRows; ++n)
        result.push_back(settings.field(n).order);
    return result;
}

void expectPermutation(const app::Settings& settings) {
    std::vector<int> sorted = positions(settings);
    std::ranges::sort(sorted);
    for (int i = 0; i < kViewConfigRows; ++i)
        ASSERT_EQ(sorted[static_cast<size_t>(i)], i + 1) << "positions are not a permutation";
}

} // namespace

TEST(ViewConfigEditor, OpensWithTheStoredConfigurationInEveryGrid) {
    app::Settings settings;
    settings.field(2).displayed = false;
    settings.field(3).width = 42;
    settings.field(1).order = 2; // Title and Author swapped
    settings.field(2).order = 1;
    const ViewConfigEditor editor(settings);
    const ViewConfigTexts& texts = editor.texts();
    EXPECT_EQ(texts.shown[0], "Yes");
    EXPECT_EQ(texts.shown[1], "No");
    EXPECT_EQ(texts.widths[2], "42");
    EXPECT_EQ(texts.names[2], "Year Pub");
    EXPECT_EQ(texts.order[0], "Author");
    EXPECT_EQ(texts.order[1], "Title");
    EXPECT_EQ(texts.order[kLast], "User Defined 6");
}

TEST(ViewConfigEditor, DamagedPositionsStillListEveryFieldOnceAndStoreAPermutation) {
    app::Settings settings;
    settings.field(5).order = 3; // two fields at position 3, none at 5
    settings.field(7).order = 0; // out of range
    settings.field(8).order = 99;
    ViewConfigEditor editor(settings);
    std::set<QString> listed(editor.texts().order.begin(), editor.texts().order.end());
    EXPECT_EQ(listed.size(), static_cast<size_t>(kViewConfigRows));
    EXPECT_EQ(editor.texts().order[2], "Year Pub"); // the catalogue's earlier field comes first
    EXPECT_EQ(editor.texts().order[3], "Category");
    editor.storeInto(settings);
    expectPermutation(settings);
}

TEST(ViewConfigEditor, FieldsWithTheSameLabelAtOpeningKeepDistinctPositions) {
    app::Settings settings;
    settings.field(31).label = "Spare";
    settings.field(32).label = "Spare";
    ViewConfigEditor editor(settings);
    editor.texts().names[32 - 1] = "Spare Two";
    editor.moveUp(31 - 1);
    editor.storeInto(settings);
    expectPermutation(settings);
    EXPECT_EQ(settings.field(31).order, 30);
    EXPECT_EQ(settings.field(30).order, 31);
}

TEST(ViewConfigEditor, UpAndDownSwapNeighboursAndStopAtTheEnds) {
    app::Settings settings;
    ViewConfigEditor editor(settings);
    EXPECT_EQ(editor.moveUp(0), 0);
    EXPECT_EQ(editor.moveDown(kLast), kLast);
    EXPECT_EQ(editor.moveUp(-1), -1); // no current row
    EXPECT_EQ(editor.moveDown(kViewConfigRows), kViewConfigRows);
    EXPECT_EQ(editor.texts().order[0], "Title");
    EXPECT_EQ(editor.texts().order[kLast], "User Defined 6");

    EXPECT_EQ(editor.moveDown(0), 1); // Title below Author
    EXPECT_EQ(editor.moveDown(1), 2); // and below Year Pub
    EXPECT_EQ(editor.moveUp(kLast), kLast - 1);
    editor.storeInto(settings);
    EXPECT_EQ(settings.field(2).order, 1);
    EXPECT_EQ(settings.field(3).order, 2);
    EXPECT_EQ(settings.field(1).order, 3);
    EXPECT_EQ(settings.field(36).order, 35);
    EXPECT_EQ(settings.field(35).order, 36);
    expectPermutation(settings);
}

TEST(ViewConfigEditor, WidthsInRangeAreKeptAndAnythingElseBecomesTen) {
    EXPECT_EQ(parseFieldWidth("255"), 255);
    EXPECT_EQ(parseFieldWidth("1"), 1);
    EXPECT_EQ(parseFieldWidth("  42 "), 42);
    EXPECT_EQ(parseFieldWidth("+7"), 7);
    for (const char* bad : {"256", "0", "-5", "", "   ", "abc", "12a", "1 2", "\t5", "99999999999"})
        EXPECT_FALSE(parseFieldWidth(QString::fromLatin1(bad))) << bad;

    app::Settings settings;
    ViewConfigEditor editor(settings);
    editor.texts().widths[0] = "255";
    editor.texts().widths[1] = "256";
    editor.texts().widths[2] = "";
    editor.texts().widths[3] = "-5";
    editor.storeInto(settings);
    EXPECT_EQ(settings.field(1).width, 255);
    EXPECT_EQ(settings.field(2).width, kFallbackFieldWidth);
    EXPECT_EQ(settings.field(3).width, kFallbackFieldWidth);
    EXPECT_EQ(settings.field(4).width, kFallbackFieldWidth);
    EXPECT_EQ(editor.texts().widths[0], "255");
    EXPECT_EQ(editor.texts().widths[1], "10"); // the cell shows what was stored
    EXPECT_EQ(editor.texts().widths[2], "10");
}

TEST(ViewConfigEditor, ShownFlagsAndLabelsAsStored) {
    EXPECT_EQ(toggledShownText("Yes"), "No");
    EXPECT_EQ(toggledShownText("No"), "Yes");
    EXPECT_EQ(toggledShownText("yes"), "Yes");
    EXPECT_EQ(toggledShownText(""), "Yes");

    app::Settings settings;
    ViewConfigEditor editor(settings);
    editor.texts().shown[0] = "No";
    editor.texts().shown[1] = "yes"; // only the exact text shows a field
    editor.texts().names[0] = "A label well over twenty characters";
    editor.storeInto(settings);
    EXPECT_FALSE(settings.field(1).displayed);
    EXPECT_FALSE(settings.field(2).displayed);
    EXPECT_TRUE(settings.field(3).displayed);
    EXPECT_EQ(settings.field(1).label, "A label well over tw");
}

TEST(ViewConfigEditor, DuplicateLabelsAreFoundAsTheyWillBeStored) {
    app::Settings settings;
    ViewConfigEditor editor(settings);
    EXPECT_FALSE(editor.findDuplicateLabel());

    editor.texts().names[4] = "cost"; // differs from "Cost" only in letter case
    editor.texts().names[9] = "Cost ";
    EXPECT_FALSE(editor.findDuplicateLabel());

    editor.texts().names[20] = "Value";
    std::optional<DuplicateLabel> duplicate = editor.findDuplicateLabel();
    ASSERT_TRUE(duplicate);
    EXPECT_EQ(duplicate->firstRow, 7);
    EXPECT_EQ(duplicate->secondRow, 20);
    EXPECT_EQ(duplicateLabelMessage(duplicate->label),
              "Two field names have the same name \"Value\".  Please change one.");

    // Equal once cut to the stored length.
    app::Settings other;
    ViewConfigEditor cut(other);
    cut.texts().names[30] = "User defined field number 1";
    cut.texts().names[31] = "User defined field number 2";
    ASSERT_TRUE(cut.findDuplicateLabel());
    EXPECT_EQ(cut.findDuplicateLabel()->label, "User defined field n");
}

TEST(ViewConfigEditor, EmptyNamesAreDuplicatesAndABlankNameIsFound) {
    app::Settings settings;
    ViewConfigEditor editor(settings);
    EXPECT_FALSE(editor.findBlankLabel());
    editor.texts().names[5] = "   ";
    EXPECT_EQ(editor.findBlankLabel(), 5);
    EXPECT_FALSE(editor.findDuplicateLabel());
    editor.texts().names[6] = "";
    editor.texts().names[7] = "";
    ASSERT_TRUE(editor.findDuplicateLabel());
    EXPECT_EQ(editor.findDuplicateLabel()->firstRow, 6);
    EXPECT_EQ(blankLabelMessage(5),
              "The field WherePurch has no name.  Please enter a name for it.");
}

TEST(ViewConfigFonts, DescriptionsAndChosenFonts) {
    app::GridFontSettings font{255, "Times", 12, false, false, false, false};
    EXPECT_EQ(fontDescription(font), "12pt Times");

    QFont chosen("Courier");
    chosen.setPointSize(9);
    chosen.setBold(true);
    chosen.setStrikeOut(true);
    takeChosenFont(font, chosen);
    EXPECT_EQ(font.name, "Courier");
    EXPECT_EQ(font.size, 9);
    EXPECT_TRUE(font.bold);
    EXPECT_TRUE(font.strikeout);
    EXPECT_FALSE(font.italic);
    EXPECT_EQ(font.colour, 255); // the dialog does not choose a colour

    QFont byPixels("Courier");
    byPixels.setPixelSize(14);
    takeChosenFont(font, byPixels);
    EXPECT_EQ(font.size, 9);

    font.size = 0; // from a damaged settings file
    EXPECT_GT(toQFont(font).pointSize(), 0);
}
