// Stand-ins for the window scaling and user fonts until the widgets library provides them; weak,
// so the library's definitions win wherever they exist.

#include "widgets/window_geometry.h"

#include <QWidget>

namespace widgets {

__attribute__((weak)) void scaleAndCentre(QWidget& window, double factor, QSize screen) {
    const double rounded = static_cast<int>(factor * 100 + 0.5) / 100.0;
    window.resize(static_cast<int>(window.width() * rounded),
                  static_cast<int>(window.height() * rounded));
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

__attribute__((weak)) void applyUserFonts(QWidget&, const UserFonts&) {}

} // namespace widgets
