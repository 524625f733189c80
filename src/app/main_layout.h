#pragma once

// Where the main window's controls go in each button-bar mode. Pure geometry, so that the window
// only copies the numbers onto its widgets and tests can check them without a screen.

#include <QRect>
#include <QSize>

namespace app {

enum class ButtonBarMode { SpeedButtons = 1, LetteredButtons = 2, None = 3 };

// A stored mode outside 1..3 shows the speed buttons.
ButtonBarMode buttonBarModeFromSetting(int stored);

inline constexpr int kNavigatorHeight = 25;
inline constexpr int kSpeedPanelHeight = 31;
inline constexpr int kViewerBevelLeft = 3;
inline constexpr int kGridLeft = 7;

struct ButtonBarLayout {
    bool letteredButtonsShown = false; // the ten buttons and Bevel1: shown and enabled together
    bool outerBevelsShown = false;     // Bevel2, Bevel3, Bevel4
    bool speedPanelShown = false;      // shown and enabled together
    bool navigatorLabelShown = false;
    int navigatorLabelTop = 20;
    QRect navigator;
    int searchOnLabelTop = 0;
    int countLabelTop = 0;
    int count2LabelTop = 0;
    QRect viewerBevel;
    int viewerLabelTop = 0;
    QRect grid;
};

// The layout for a client area of size `client`. In speed-button mode the navigator sits at 424
// when the window is wide enough for all of it; in a narrower window it moves left, never past
// the end of the speed bar, so that its last buttons stay reachable.
ButtonBarLayout buttonBarLayout(ButtonBarMode mode, QSize client);

// The speed bar: 17 buttons from the left edge with a gap between groups. The navigator keeps
// 3 pixels clear of its last button.
inline constexpr int kSpeedBarLeft = 4;
inline constexpr int kSpeedButtonSize = 22;
inline constexpr int kSpeedGroupGap = 5;
inline constexpr int kSpeedBarRight = kSpeedBarLeft + 17 * kSpeedButtonSize + 3 * kSpeedGroupGap;

} // namespace app
