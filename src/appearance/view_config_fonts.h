#pragma once

// The grid's title and cell fonts and colours as the window shows them and the font and colour
// dialogs take them: settings values to Qt fonts and colours and back, and the short text that
// describes a font.

#include "app/settings.h"

#include <QColor>
#include <QFont>
#include <QString>

namespace appearance {

QFont toQFont(const app::GridFontSettings& font);
// Takes face, size and styles from the chosen font; the font's colour is not chosen there and
// stays as it was.
void takeChosenFont(app::GridFontSettings& font, const QFont& chosen);
// Size, "pt " and name, for example "12pt Arial".
QString fontDescription(const app::GridFontSettings& font);

// Windows colour values keep red in the low byte. Negative values stand for system colours,
// which have no fixed value: they give an invalid QColor, which the widgets take as "leave the
// style's colour".
QColor toQColor(app::Colour colour);
app::Colour fromQColor(const QColor& colour);

} // namespace appearance
