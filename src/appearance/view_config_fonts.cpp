#include "appearance/view_config_fonts.h"

namespace appearance {

namespace {
constexpr int kFallbackPointSize = 10; // for a size from the settings file Qt cannot use
}

QFont toQFont(const app::GridFontSettings& font) {
    QFont result(font.name);
    result.setPointSize(font.size > 0 ? font.size : kFallbackPointSize);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeout);
    return result;
}

void takeChosenFont(app::GridFontSettings& font, const QFont& chosen) {
    font.name = chosen.family();
    // Fonts chosen by pixel size have no point size; keep the old size rather than store -1.
    if (chosen.pointSize() > 0)
        font.size = chosen.pointSize();
    font.bold = chosen.bold();
    font.italic = chosen.italic();
    font.underline = chosen.underline();
    font.strikeout = chosen.strikeOut();
}

QString fontDescription(const app::GridFontSettings& font) {
    return QStringLiteral("%1pt %2").arg(font.size).arg(font.name);
}

} // namespace appearance
