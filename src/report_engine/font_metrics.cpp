#include "report_engine/font_metrics.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>

#include <optional>

namespace report_engine {

namespace {

// Text is measured on a device of this resolution and scaled to inches.
constexpr double kMeasureDpi = 1200.0;

const QImage& measuringDevice() {
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = static_cast<int>(kMeasureDpi / 0.0254 + 0.5);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return device;
}

} // namespace

QString resolvedFamily(const QString& name) {
    static QHash<QString, QString> cache;
    const QString key = name.trimmed().toLower();
    if (const auto found = cache.constFind(key); found != cache.constEnd())
        return *found;
    QString family = name.trimmed();
    const char* liberation = nullptr;
    if (key == u"arial" || key == u"helvetica" || key == u"ms sans serif")
        liberation = "Liberation Sans";
    else if (key == u"courier new" || key == u"courier")
        liberation = "Liberation Mono";
    else if (key == u"times new roman" || key == u"times" || key == u"ms serif")
        liberation = "Liberation Serif";
    if (liberation != nullptr && QFontDatabase::hasFamily(QString::fromLatin1(liberation)))
        family = QString::fromLatin1(liberation);
    cache.insert(key, family);
    return family;
}

QFont deviceFont(const ReportFont& font) {
    QFont result(resolvedFamily(font.name));
    result.setPointSizeF(font.size > 0 ? font.size : 1.0);
    result.setBold(font.bold);
    result.setItalic(font.italic);
    result.setUnderline(font.underline);
    result.setStrikeOut(font.strikeOut);
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setKerning(false);
    result.setStyleStrategy(QFont::ForceOutline);
    return result;
}

namespace {

struct MeasuredFont {
    ReportFont font;
    QFontMetricsF metrics;
};

const QFontMetricsF& metricsOf(const ReportFont& font) {
    // Reports switch among a handful of fonts; the last one asked for is kept.
    static std::optional<MeasuredFont> last;
    if (!last || !(last->font == font))
        last.emplace(MeasuredFont{font, QFontMetricsF(deviceFont(font), &measuringDevice())});
    return last->metrics;
}

} // namespace

TextMetrics fontMetrics(const ReportFont& font) {
    const QFontMetricsF& metrics = metricsOf(font);
    return {metrics.ascent() / kMeasureDpi, metrics.descent() / kMeasureDpi};
}

double textWidthInches(const ReportFont& font, const QString& text) {
    if (text.isEmpty())
        return 0.0;
    return metricsOf(font).horizontalAdvance(text) / kMeasureDpi;
}

} // namespace report_engine
