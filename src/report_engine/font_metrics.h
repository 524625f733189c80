#pragma once

// Fonts of reports on every device: the faces reports name (Arial, Courier New, Courier, Times
// New Roman) resolve to their metric-compatible Liberation faces, and text is measured once,
// at a fixed high resolution without hinting, so that a line measures the same in inches on
// the printer, in the page store and in the preview.

#include "report_engine/report_types.h"

#include <QFont>
#include <QString>
#include <QStringView>

namespace report_engine {

// The installed face that stands for `name`.
QString resolvedFamily(const QString& name);

// The font to draw with on a device: point size, style and the resolved face.
QFont deviceFont(const ReportFont& font);

// The font to draw `font` with at `dpi` pixels per inch. Qt gives fonts whole pixel sizes, so
// the font is the nearest one, and drawing scaled by `scale` gives text the width it measures.
struct DeviceFont {
    QFont font;
    double scale;
};
DeviceFont deviceFontAt(const ReportFont& font, double dpi);

struct TextMetrics {
    double ascent;  // inches above the baseline
    double descent; // inches below it
};
TextMetrics fontMetrics(const ReportFont& font);
// Width of `text` in inches: what the shaper answers, taken from a table of advances for the
// characters of Latin-1 and Windows-1252, through the shaper itself for any other text.
double textWidthInches(const ReportFont& font, QStringView text);
// The same, always through the shaper (the table's reference).
double shapedTextWidthInches(const ReportFont& font, const QString& text);

} // namespace report_engine
