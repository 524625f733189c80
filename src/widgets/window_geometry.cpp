#include "widgets/window_geometry.h"

namespace widgets {

double factorForWindowSize(int windowSize) {
    switch (windowSize) {
    case 800:
        return 1.25;
    case 1024:
        return 1.6;
    case 1280:
        return 2.0;
    default:
        return 1.0;
    }
}

double startupFactor(int storedWindowSize, QSize screen) {
    const int width = screen.width();
    const int height = screen.height();
    if (storedWindowSize == 800 && width >= 800 && height >= 600)
        return 1.25;
    if (storedWindowSize == 1024 && width >= 1024 && height >= 768)
        return 1.6;
    if (storedWindowSize == 1280 && width >= 1280 && height >= 1024)
        return 2.0;
    return 1.0;
}

} // namespace widgets
