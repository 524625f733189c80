#pragma once

// The viewer settings as the grid and the windows take them: Windows colour values, the grid
// fonts and the user fonts turned into Qt colours and fonts. SetViewerOptions builds its
// GridOptions here; every window builds its UserFonts here.

#include "settings/settings.h"
#include "widgets/record_grid.h"
#include "widgets/window_geometry.h"

#include <QColor>
#include <QFont>

namespace widgets {

// A stored colour: red in the low byte, then green, then blue. Negative values are Windows
// system colours (0x80000000 | index), given the matching colour of the application's palette.
QColor colourFromSetting(app::Colour colour);
// The stored form of a colour (always an explicit colour, never a system one).
app::Colour colourToSetting(const QColor& colour);

// Name, size (points) and every style flag; the colour is the font's own setting.
QFont fontFromSetting(const app::GridFontSettings& font);
// Name, bold and italic at the application's default size (only face and style are applied).
QFont fontFromSetting(const app::UserFontSettings& font);

GridOptions gridOptionsFromSettings(const app::Settings& settings);
UserFonts userFontsFromSettings(const app::Settings& settings);

} // namespace widgets
