#include "widgets/grid_settings.h"

#include <QApplication>
#include <QPalette>

namespace widgets {

namespace {

// Windows system colour indexes and the palette roles that play their part here.
QPalette::ColorRole systemRole(int index) {
    switch (index) {
    case 5: // window background
        return QPalette::Base;
    case 8: // window text
        return QPalette::Text;
    case 13:
        return QPalette::Highlight;
    case 14:
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 16: // button shadow
        return QPalette::Dark;
    case 18:
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 7: // menu text
        return QPalette::WindowText;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor colourFromSetting(app::Colour colour) {
    if (colour < 0)
        return QApplication::palette().color(systemRole(colour & 0xFF));
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
