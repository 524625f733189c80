#pragma once

// Paints a window from its group's colour set. A window calls applyColourSet on itself each time
// it is shown; every control is painted by its kind (edit boxes, combo boxes, list boxes and
// grids, radio buttons, check boxes), titles by the mark the window gives them, and a control
// marked OwnColours keeps the application's colours. Push buttons always keep their own colours.

#include "settings/settings.h"

class QWidget;

namespace appearance {

enum class ColourPart {
    Window,     // main background: the window itself, panels, captions' background
    MajorTitle, // text in major titles on main background
    MinorTitle, // text in minor titles on main background
    Edit,       // edit text on edit background
    Combo,      // combo text on combo background, the drop-down list too
    List,       // list box text on list box background (list boxes and string grids)
    Radio,      // radio text on radio background
    Check,      // check text on check background
    OwnColours, // the application's colours, whatever the window has
};

// Marks a widget for applyColourSet: titles and panels need a mark; other widgets only when they
// are to be painted otherwise than their kind says.
void markColourPart(QWidget& widget, ColourPart part);

// Paints one widget now, whatever its kind or mark.
void paintColourPart(QWidget& widget, ColourPart part, const app::ColourSet& set);

// Paints `window` in main background, then each widget inside it by its mark or, unmarked, by
// its kind. Unmarked labels, frames and buttons are left alone (labels and frames show the
// window's background through).
void applyColourSet(QWidget& window, const app::ColourSet& set);

} // namespace appearance
