#pragma once

// The stored colours of a window group as Qt colours, for the search and sort order windows.

#include "settings/settings.h"
#include "widgets/grid_settings.h"

#include <QColor>
#include <QWidget>

namespace search {

// A stored colour (red in the low byte); negative values name system colours, which leave the
// widget's own colour in place.
inline bool toQColor(app::Colour colour, QColor& result) {
    if (colour < 0)
        return false;
    result = widgets::colourFromSetting(colour);
    return true;
}

// Background (and text) of a window or label: the Window and WindowText roles.
inline void paintBackground(QWidget& widget, app::Colour background, app::Colour text = -1) {
    QPalette palette = widget.palette();
    QColor colour;
    if (toQColor(background, colour))
        palette.setColor(QPalette::Window, colour);
    if (toQColor(text, colour))
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
