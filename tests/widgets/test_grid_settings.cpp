// Stored colours and fonts as the grid and the windows take them.

#include "support/gui/qt_print.h"
#include "widgets/grid_settings.h"

#include <QApplication>

#include <gtest/gtest.h>

namespace {

TEST(GridSettings, ColoursAreStoredBlueGreenRedAndSystemColoursComeFromThePalette) {
    EXPECT_EQ(widgets::colourFromSetting(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(widgets::colourFromSetting(12632256), QColor(192, 192, 192));
    EXPECT_EQ(widgets::colourFromSetting(0x123456), QColor(0x56, 0x34, 0x12));
    EXPECT_EQ(widgets::colourToSetting(QColor(0x56, 0x34, 0x12)), 0x123456);
    EXPECT_EQ(widgets::colourToSetting(widgets::colourFromSetting(8553090)), 8553090);
    // clWindow and clBtnFace of files written by the Windows program.
    EXPECT_EQ(widgets::colourFromSetting(static_cast<app::Colour>(0x80000005)),
              QApplication::palette().color(QPalette::Base));
    EXPECT_EQ(widgets::colourFromSetting(static_cast<app::Colour>(0x8000000F)),
              QApplication::palette().color(QPalette::Button));
}

TEST(GridSettings, ViewerSettingsBecomeGridOptions) {
    app::Settings settings;
    settings.gridRowIndicator = false;
    settings.gridColumnLines = false;
    settings.gridFieldEditing = true;
    settings.gridTitleAlignment = 3;
    settings.gridCellColour = 0xFF0000; // blue
    settings.gridFont = {0x00FF00, "DejaVu Serif", 14, true, false, true, false};
    const widgets::GridOptions options = widgets::gridOptionsFromSettings(settings);
    EXPECT_FALSE(options.rowIndicator);
    EXPECT_TRUE(options.rowLines);
    EXPECT_FALSE(options.columnLines);
    EXPECT_TRUE(options.editing);
    EXPECT_EQ(options.titleAlignment, 3);
    EXPECT_EQ(options.cellColour, QColor(0, 0, 255));
    EXPECT_EQ(options.cellFont.family(), "DejaVu Serif");
    EXPECT_EQ(options.cellFont.pointSize(), 14);
    EXPECT_TRUE(options.cellFont.bold());
    EXPECT_TRUE(options.cellFont.underline());
    EXPECT_EQ(options.cellTextColour, QColor(0, 255, 0));
    EXPECT_EQ(options.titleFont.pointSize(), 12);

    settings.buttonFont = {"DejaVu Sans Mono", false, true};
    const widgets::UserFonts fonts = widgets::userFontsFromSettings(settings);
    EXPECT_EQ(fonts.button.family(), "DejaVu Sans Mono");
    EXPECT_TRUE(fonts.button.italic());
    EXPECT_FALSE(fonts.label.bold());
}

} // namespace
