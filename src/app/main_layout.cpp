#include "app/main_layout.h"

#include <algorithm>

namespace app {

ButtonBarMode buttonBarModeFromSetting(int stored) {
    switch (stored) {
    case 2:
        return ButtonBarMode::LetteredButtons;
    case 3:
        return ButtonBarMode::None;
    default:
        return ButtonBarMode::SpeedButtons;
    }
}

namespace {

// The rows of the geometry table that differ between the modes.
struct ModeRow {
    int searchOnTop;
    int countTop;
    int count2Top;
    int viewerTop;   // ViewerBevel top; ViewerLabel top is 4 below it
    int bevelMargin; // ViewerBevel height is ch - bevelMargin
    int gridTop;
    int gridMargin; // grid height is ch - gridMargin
};

constexpr ModeRow kSpeedRow{44, 38, 52, 34, 37, 70, 77};
constexpr ModeRow kLetteredRow{96, 90, 105, 86, 89, 122, 129};
constexpr ModeRow kNoneRow{14, 8, 23, 4, 7, 40, 47};

const ModeRow& rowFor(ButtonBarMode mode) {
    switch (mode) {
    case ButtonBarMode::LetteredButtons:
        return kLetteredRow;
    case ButtonBarMode::None:
        return kNoneRow;
    case ButtonBarMode::SpeedButtons:
        break;
    }
    return kSpeedRow;
}

QRect navigatorFor(ButtonBarMode mode, QSize client) {
    switch (mode) {
    case ButtonBarMode::LetteredButtons:
        return {400, 47, 221, kNavigatorHeight};
    case ButtonBarMode::None:
        return {client.width() - 207, 8, 201, kNavigatorHeight};
    case ButtonBarMode::SpeedButtons:
        break;
    }
    constexpr int width = 241;
    const int left = std::clamp(client.width() - width - 3, kSpeedBarRight + 3, 424);
    // A window of the smallest stored size, its frame taken off, leaves a little less than the
    // full width beside the speed bar: the navigator's buttons narrow a little instead of
    // running off the window.
    const int room = std::max(client.width() - 3 - left, 10 * 18);
    return {left, 3, std::min(width, room), kNavigatorHeight};
}

} // namespace

ButtonBarLayout buttonBarLayout(ButtonBarMode mode, QSize client) {
    const ModeRow& row = rowFor(mode);
    const int cw = client.width();
    const int ch = client.height();
    ButtonBarLayout layout;
    layout.letteredButtonsShown = mode == ButtonBarMode::LetteredButtons;
    layout.outerBevelsShown = mode == ButtonBarMode::LetteredButtons;
    layout.speedPanelShown = mode == ButtonBarMode::SpeedButtons;
    layout.navigatorLabelShown = mode == ButtonBarMode::LetteredButtons;
    layout.navigator = navigatorFor(mode, client);
    layout.searchOnLabelTop = row.searchOnTop;
    layout.countLabelTop = row.countTop;
    layout.count2LabelTop = row.count2Top;
    layout.viewerBevel = QRect(kViewerBevelLeft, row.viewerTop, cw - 6, ch - row.bevelMargin);
    layout.viewerLabelTop = row.viewerTop + 4;
    layout.grid = QRect(kGridLeft, row.gridTop, cw - 14, ch - row.gridMargin);
    return layout;
}

} // namespace app
