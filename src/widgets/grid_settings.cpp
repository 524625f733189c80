#include "widgets/grid_settings.h"

#include <QApplication>
#include <QPalette>

#include <iterator>

namespace widgets {

namespace {

// The Windows system colours by index, as the palette roles that paint the same things.
QPalette::ColorRole systemColourRole(int index) {
    static constexpr QPalette::ColorRole kRoles[] = {
        QPalette::Button,          // scroll bar
        QPalette::Window,          // desktop
        QPalette::Highlight,       // active caption
        QPalette::Mid,             // inactive caption
        QPalette::Window,          // menu
        QPalette::Base,            // window
        QPalette::Shadow,          // window frame
        QPalette::WindowText,      // menu text
        QPalette::Text,            // window text
        QPalette::HighlightedText, // caption text
        QPalette::Window,          // active border
        QPalette::Window,          // inactive border
        QPalette::Mid,             // application workspace
        QPalette::Highlight,       // highlight
        QPalette::HighlightedText, // highlighted text
        QPalette::Button,          // button face
        QPalette::Dark,            // button shadow
        QPalette::PlaceholderText, // grey text
        QPalette::ButtonText,      // button text
        QPalette::WindowText,      // inactive caption text
        QPalette::Light,           // button highlight
        QPalette::Shadow,          // dark 3-D shadow
        QPalette::Midlight,        // 3-D light
        QPalette::ToolTipText,     // tool tip text
        QPalette::ToolTipBase,     // tool tip background
    };
    constexpr int count = static_cast<int>(std::size(kRoles));
    return index >= 0 && index < count ? kRoles[index] : QPalette::Window;
}

} // namespace

QColor colourFromSetting(app::Colour colour) {
    if (colour < 0)
        return QApplication::palette().color(systemColourRole(colour & 0xFF));
    const auto value = static_cast<uint32_t>(colour);
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

app::Colour colourToSetting(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return static_cast<app::Colour>(rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16));
}

QFont fontFromSetting(const app::GridFontSettings& font) {
    QFont result(font.name);
    if (font.size > 0)
        result.setPointSize(font.size);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeout);
    return result;
}

QFont fontFromSetting(const app::UserFontSettings& font) {
    QFont result(font.name);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    return result;
}

GridOptions gridOptionsFromSettings(const app::Settings& settings) {
    GridOptions options;
    options.rowIndicator = settings.gridRowIndicator;
    options.rowLines = settings.gridRowLines;
    options.columnLines = settings.gridColumnLines;
    options.showTitles = settings.gridShowTitles;
    options.editing = settings.gridFieldEditing;
    options.titleAlignment = settings.gridTitleAlignment;
    options.titleColour = colourFromSetting(settings.gridTitleBackground);
    options.cellColour = colourFromSetting(settings.gridCellColour);
    options.titleFont = fontFromSetting(settings.gridTitleFont);
    options.titleTextColour = colourFromSetting(settings.gridTitleFont.colour);
    options.cellFont = fontFromSetting(settings.gridFont);
    options.cellTextColour = colourFromSetting(settings.gridFont.colour);
    return options;
}

UserFonts userFontsFromSettings(const app::Settings& settings) {
    return {fontFromSetting(settings.labelFont), fontFromSetting(settings.editFont),
            fontFromSetting(settings.buttonFont)};
}

} // namespace widgets
