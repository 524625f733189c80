// Text widths: the table of advances that measures Latin text answers what the shaper answers,
// and what is measured is what is drawn.

#include "report_engine/font_metrics.h"

#include <QFontDatabase>
#include <QFontMetricsF>

#include <gtest/gtest.h>

namespace {

using namespace report_engine;

// Exact in practice: advances are whole 1/64ths of a measuring pixel and their sums are exact
// in a double. The bound is a billionth of an inch.
constexpr double kTolerance = 1e-9;

const QStringList kTexts{
    QStringLiteral("The Hobbit, or There and Back Again"),
    QStringLiteral("office affluent fjord ffl fi fl"), // ligatures in some faces
    QStringLiteral("AVATAR WAVE Type Ty Yo To LT P."), // kerning pairs
    QStringLiteral("Gr\u00fc\u00dfe \u00e0 \u00c9mile, \u00bd \u00a9 \u00b1 \u00ff \u00a0nbsp"),
    QStringLiteral("\u201cQuoted\u201d \u2018single\u2019 \u2013 \u2014 \u2026 \u20ac12 \u2122"),
    QStringLiteral("\u0152uvre \u0160\u0161 \u017d\u017e \u0178 \u0192 \u2030 \u2039\u203a"),
    QStringLiteral("$1,234.56  12/31/1999  #42  (x) [y] {z} ~^`|\\"),
    // Beyond the table: the shaper measures these.
    QStringLiteral("Mixed \u4e2d\u6587 text"),
    QStringLiteral("soft\u00adhyphen and tab\tcontrol"),
    QStringLiteral("\u0627\u0644\u0639\u0631\u0628\u064a\u0629 Arabic"),
    QStringLiteral("Emoji \U0001F600"),
};

std::vector<ReportFont> faces() {
    std::vector<ReportFont> fonts;
    for (const char* name : {"Arial", "Times New Roman", "Courier New", "DejaVu Serif"}) {
        if (!QFontDatabase::hasFamily(resolvedFamily(QString::fromLatin1(name))))
            continue; // a face with ligatures, where installed
        for (int style = 0; style < 4; ++style) {
            ReportFont font;
            font.name = QString::fromLatin1(name);
            font.size = 7 + 3 * style;
            font.bold = style & 1;
            font.italic = style & 2;
            fonts.push_back(font);
        }
    }
    return fonts;
}

TEST(FontMetrics, MeasuredWidthsAreTheShapersWidths) {
    for (const ReportFont& font : faces())
        for (const QString& text : kTexts) {
            EXPECT_NEAR(textWidthInches(font, text), shapedTextWidthInches(font, text), kTolerance)
                << font.name.toStdString() << " bold " << font.bold << " italic " << font.italic
                << ": " << text.toStdString();
            // A second measuring gives the same.
            EXPECT_EQ(textWidthInches(font, text), textWidthInches(font, text));
        }
}

// Text is drawn with the device font at the device's resolution; its advance there is the
// measured width, so a text shortened to its cell never runs over the cell's edge.
TEST(FontMetrics, DrawnAdvanceIsTheMeasuredWidth) {
    for (const double dpi : {9.6, 96.0, 115.2, 600.0, 1200.0}) {
        for (const ReportFont& font : faces())
            for (const QString& text : kTexts.mid(0, 7)) {
                const DeviceFont device = deviceFontAt(font, dpi);
                const double inches =
                    QFontMetricsF(device.font).horizontalAdvance(text) * device.scale / dpi;
                // Advances are whole 64ths of a device pixel: within one of those per character.
                EXPECT_NEAR(inches, textWidthInches(font, text), text.size() / 64.0 / dpi)
                    << font.name.toStdString() << " at " << dpi << ": " << text.toStdString();
            }
    }
}

} // namespace
