#include "reports/preview_logic.h"

#include <cmath>

namespace reports {

QString zoomText(double zoom) {
    return QString::number(zoom, 'f', 1).left(10);
}

std::optional<double> parseZoom(const QString& text) {
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> parsePage(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString pageLabel(int page, int firstPage, int pageCount) {
    return QStringLiteral("Page %1 of %2").arg(page - firstPage + 1).arg(pageCount);
}

} // namespace reports
