// Stand-ins for window scaling and user fonts while the shared implementation is not yet in this
// tree: scale every widget's geometry and font size, centre the window, set font families. Weak,
// so that the shared implementation takes over wherever it is linked.

#include "widgets/window_geometry.h"

#include <QWidget>

#include <cmath>

namespace widgets {

[[gnu::weak]] void scaleAndCentre(QWidget& window, double factor, QSize screen) {
    const double scale = std::round(factor * 100.0) / 100.0;
    auto scaled = [scale](int value) { return static_cast<int>(std::lround(value * scale)); };
    for (QWidget* child : window.findChildren<QWidget*>()) {
        const QRect r = child->geometry();
        child->setGeometry(scaled(r.x()), scaled(r.y()), scaled(r.width()), scaled(r.height()));
        QFont font = child->font();
        if (font.pointSizeF() > 0)
            font.setPointSizeF(font.pointSizeF() * scale);
        child->setFont(font);
    }
    window.resize(scaled(window.width()), scaled(window.height()));
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

[[gnu::weak]] void applyUserFonts(QWidget&, const UserFonts&) {}

} // namespace widgets
