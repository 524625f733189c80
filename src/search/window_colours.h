#pragma once

// The stored colours of a window group as Qt colours, for the windows that paint single
// widgets themselves (the others use appearance::applyColourSet).

#include "settings/settings.h"
#include "widgets/grid_settings.h"

#include <QColor>
#include <QWidget>

#include <optional>

namespace search {

// A stored colour as widgets converts it: negative values name system colours, taken from the
// application's palette, so that going back to them undoes a colour chosen before.
inline bool toQColor(app::Colour colour, QColor& result) {
    result = widgets::colourFromSetting(colour);
    return result.isValid();
}

// Background (and text) of a window or label: the Window and WindowText roles.
inline void paintBackground(QWidget& widget, app::Colour background,
                            std::optional<app::Colour> text = std::nullopt) {
    QPalette palette = widget.palette();
    QColor colour;
    if (toQColor(background, colour))
        palette.setColor(QPalette::Window, colour);
    if (text && toQColor(*text, colour))
        palette.setColor(QPalette::WindowText, colour);
    widget.setAutoFillBackground(true);
    widget.setPalette(palette);
}

// Background and text of a list or grid: the Base and Text roles.
inline void paintList(QWidget& widget, app::Colour background, app::Colour text) {
    QPalette palette = widget.palette();
    QColor colour;
    if (toQColor(background, colour))
        palette.setColor(QPalette::Base, colour);
    if (toQColor(text, colour))
        palette.setColor(QPalette::Text, colour);
    widget.setPalette(palette);
}

} // namespace search
