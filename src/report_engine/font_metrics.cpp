#include "report_engine/font_metrics.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>

#include <memory>
#include <vector>

namespace report_engine {

namespace {

// Text is measured in a font of this many pixels to the em: the units of the faces' own
// metrics (Arial, Courier New and their Liberation twins), so that advances are exact and
// scale linearly to every point size.
constexpr int kMeasureEm = 2048;

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

// A face and style with its metrics and the widths of the texts measured in it.
struct MeasuredFont {
    ReportFont font;
    QFontMetricsF metrics;
    QHash<QString, double> widths; // in measuring pixels
};

constexpr size_t kMaxFonts = 16;
constexpr qsizetype kMaxWidths = 8192;

// Only the face and style matter: size and colour are left at their defaults. Reports switch
// among a handful of fonts and print the same captions, labels and values again and again.
MeasuredFont& measured(const ReportFont& font) {
    ReportFont key = font;
    key.size = 10;
    key.colour = Qt::black;
    static std::vector<std::unique_ptr<MeasuredFont>> fonts;
    for (const auto& known : fonts)
        if (known->font == key)
            return *known;
    if (fonts.size() >= kMaxFonts)
        fonts.erase(fonts.begin());
    QFont measuring = deviceFont(key);
    measuring.setPixelSize(kMeasureEm);
    fonts.push_back(
        std::make_unique<MeasuredFont>(MeasuredFont{key, QFontMetricsF(measuring), {}}));
    return *fonts.back();
}

const QFontMetricsF& metricsOf(const ReportFont& font) {
    return measured(font).metrics;
}

// Inches per measuring pixel at the font's size.
double inchesPerUnit(const ReportFont& font) {
    return font.size / 72.0 / kMeasureEm;
}

} // namespace

TextMetrics fontMetrics(const ReportFont& font) {
    const QFontMetricsF& metrics = metricsOf(font);
    return {metrics.ascent() * inchesPerUnit(font), metrics.descent() * inchesPerUnit(font)};
}

double textWidthInches(const ReportFont& font, const QString& text) {
    if (text.isEmpty())
        return 0.0;
    MeasuredFont& measuredFont = measured(font);
    auto found = measuredFont.widths.constFind(text);
    if (found == measuredFont.widths.constEnd()) {
        if (measuredFont.widths.size() >= kMaxWidths)
            measuredFont.widths.clear();
        found = measuredFont.widths.insert(text, measuredFont.metrics.horizontalAdvance(text));
    }
    return *found * inchesPerUnit(font);
}

} // namespace report_engine
