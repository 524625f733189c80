// Stand-ins for window scaling and user fonts while the shared implementation is not yet in this
// tree: scale every widget's geometry and font size, centre the window, set font families. Weak,
// so that the shared implementation takes over wherever it is linked.

#include "widgets/window_geometry.h"

#include <QWidget>

#include <cmath>
#include <utility>
#include <vector>

namespace widgets {

[[gnu::weak]] void scaleAndCentre(QWidget& window, double factor, QSize screen) {
    const double scale = std::round(factor * 100.0) / 100.0;
    auto scaled = [scale](int value) { return static_cast<int>(std::lround(value * scale)); };
    // Sizes are read before any is changed: a child without a font of its own would otherwise
    // take its parent's scaled font and be scaled again.
    const QList<QWidget*> children = window.findChildren<QWidget*>();
    std::vector<std::pair<QRect, qreal>> designed;
    for (QWidget* child : children)
        designed.emplace_back(child->geometry(), child->font().pointSizeF());
    for (qsizetype i = 0; i < children.size(); ++i) {
        const auto& [r, pointSize] = designed[static_cast<size_t>(i)];
        QWidget* child = children[i];
        child->setGeometry(scaled(r.x()), scaled(r.y()), scaled(r.width()), scaled(r.height()));
        if (pointSize > 0) {
            QFont font = child->font();
            font.setPointSizeF(pointSize * scale);
            child->setFont(font);
        }
    }
    window.resize(scaled(window.width()), scaled(window.height()));
    window.move((screen.width() - window.width()) / 2, (screen.height() - window.height()) / 2);
}

[[gnu::weak]] void applyUserFonts(QWidget&, const UserFonts&) {}

} // namespace widgets
