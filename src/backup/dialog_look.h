#pragma once

// How the backup and restore windows look: the window-size factor, the user fonts and the
// configure windows' colour set, all as the main window has them when the window opens.

#include "settings/settings.h"
#include "widgets/window_geometry.h"

namespace backup {

struct DialogLook {
    double windowSizeFactor = 1.0;
    widgets::UserFonts fonts;
    app::ColourSet colours;
};

} // namespace backup
