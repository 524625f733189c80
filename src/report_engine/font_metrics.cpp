#include "report_engine/font_metrics.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QHash>

#include <algorithm>
#include <array>
#include <cmath>
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
    // Neither kerning nor ligatures: Latin text is then the plain sum of its characters'
    // advances, the same when measured (see AdvanceTable) and when drawn.
    result.setKerning(false);
    result.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferNoShaping));
    return result;
}

DeviceFont deviceFontAt(const ReportFont& font, double dpi) {
    const double pixels = std::max(font.size, 0.01) * dpi / 72.0;
    const int whole = std::max(1, static_cast<int>(std::lround(pixels)));
    QFont result = deviceFont(font);
    result.setPixelSize(whole);
    return {result, pixels / whole};
}

namespace {

// Advances of the characters most report text is made of: Latin-1 without its control codes
// and soft hyphen, and the punctuation and letters Windows-1252 adds. Each is measured once,
// through the shaper; a text made only of them measures as the sum of their advances, which
// is exactly what the shaper answers for it (no kerning, no ligatures, see deviceFont).
class AdvanceTable {
public:
    // The advance of `c` in measuring pixels, or a negative number when `c` needs the shaper.
    double advance(const QFontMetricsF& metrics, char16_t c) {
        double* slot = slotOf(c);
        if (slot == nullptr)
            return -1.0;
        if (*slot < 0)
            *slot = metrics.horizontalAdvance(QString(QChar(c)));
        return *slot;
    }

private:
    static constexpr std::array<char16_t, 27> kCp1252Extras{
        0x0152, 0x0153, 0x0160, 0x0161, 0x0178, 0x017D, 0x017E, 0x0192, 0x02C6,
        0x02DC, 0x2013, 0x2014, 0x2018, 0x2019, 0x201A, 0x201C, 0x201D, 0x201E,
        0x2020, 0x2021, 0x2022, 0x2026, 0x2030, 0x2039, 0x203A, 0x20AC, 0x2122};
    double* slotOf(char16_t c) {
        if (c < 0x100) {
            if (c < 0x20 || (c >= 0x7F && c < 0xA0) || c == 0xAD)
                return nullptr;
            return &latin1_[c];
        }
        const auto found = std::lower_bound(kCp1252Extras.begin(), kCp1252Extras.end(), c);
        if (found == kCp1252Extras.end() || *found != c)
            return nullptr;
        return &extras_[static_cast<size_t>(found - kCp1252Extras.begin())];
    }
    std::array<double, 256> latin1_ = filled<256>();
    std::array<double, kCp1252Extras.size()> extras_ = filled<kCp1252Extras.size()>();
    template <size_t N> static std::array<double, N> filled() {
        std::array<double, N> values;
        values.fill(-1.0);
        return values;
    }
};

// A face and style with its metrics, its advance table and the widths of other texts.
struct MeasuredFont {
    ReportFont font;
    QFontMetricsF metrics;
    double ascent; // measuring pixels; asked for every line printed
    double descent;
    AdvanceTable advances;
    QHash<QString, double> widths; // texts the table cannot measure, in measuring pixels
};

constexpr size_t kMaxFonts = 16;
constexpr qsizetype kMaxWidths = 8192;

// Only the face and style matter: size and colour are left at their defaults. Reports switch
// among a handful of fonts, mostly printing many texts in one before the next.
MeasuredFont& measured(const ReportFont& font) {
    static std::vector<std::unique_ptr<MeasuredFont>> fonts;
    static MeasuredFont* last = nullptr;
    const auto sameFace = [&font](const ReportFont& known) {
        return known.bold == font.bold && known.italic == font.italic &&
               known.underline == font.underline && known.strikeOut == font.strikeOut &&
               known.name == font.name;
    };
    if (last != nullptr && sameFace(last->font))
        return *last;
    for (const auto& known : fonts)
        if (sameFace(known->font))
            return *(last = known.get());
    if (fonts.size() >= kMaxFonts)
        fonts.erase(fonts.begin());
    ReportFont key = font;
    key.size = 10;
    key.colour = Qt::black;
    QFont measuring = deviceFont(key);
    measuring.setPixelSize(kMeasureEm);
    const QFontMetricsF metrics(measuring);
    fonts.push_back(std::make_unique<MeasuredFont>(
        MeasuredFont{key, metrics, metrics.ascent(), metrics.descent(), {}, {}}));
    return *(last = fonts.back().get());
}

// Inches per measuring pixel at the font's size.
double inchesPerUnit(const ReportFont& font) {
    return font.size / 72.0 / kMeasureEm;
}

double shapedWidth(MeasuredFont& font, QStringView text) {
    const QString key = text.toString();
    auto found = font.widths.constFind(key);
    if (found == font.widths.constEnd()) {
        if (font.widths.size() >= kMaxWidths)
            font.widths.clear();
        found = font.widths.insert(key, font.metrics.horizontalAdvance(key));
    }
    return *found;
}

} // namespace

TextMetrics fontMetrics(const ReportFont& font) {
    const MeasuredFont& face = measured(font);
    return {face.ascent * inchesPerUnit(font), face.descent * inchesPerUnit(font)};
}

double textWidthInches(const ReportFont& font, QStringView text) {
    if (text.isEmpty())
        return 0.0;
    MeasuredFont& measuredFont = measured(font);
    double units = 0.0;
    for (const QChar c : text) {
        const double advance = measuredFont.advances.advance(measuredFont.metrics, c.unicode());
        if (advance < 0) {
            units = shapedWidth(measuredFont, text);
            break;
        }
        units += advance;
    }
    return units * inchesPerUnit(font);
}

double shapedTextWidthInches(const ReportFont& font, const QString& text) {
    return measured(font).metrics.horizontalAdvance(text) * inchesPerUnit(font);
}

} // namespace report_engine
