#pragma once

// The grid's title and cell fonts as the window shows them and the font dialog takes them:
// settings values to Qt fonts and back, and the short text that describes a font.

#include "settings/settings.h"

#include <QFont>
#include <QString>

namespace appearance {

QFont toQFont(const app::GridFontSettings& font);
// Takes face, size and styles from the chosen font; the font's colour is not chosen there and
// stays as it was.
void takeChosenFont(app::GridFontSettings& font, const QFont& chosen);
// Size, "pt " and name, for example "12pt Arial".
QString fontDescription(const app::GridFontSettings& font);

} // namespace appearance
