#pragma once

// What the preview window shows in its zoom and page fields and reads back from them.

#include <QString>

#include <optional>

namespace reports {

// The zoom as shown in ZoomEdit: one decimal ("100.0", "33.3"), at most 10 characters.
QString zoomText(double zoom);
// A typed zoom: a number, blanks around it allowed; nothing when it does not convert.
std::optional<double> parseZoom(const QString& text);
// A typed page number: a whole number, blanks around it allowed; nothing otherwise.
std::optional<int> parsePage(const QString& text);
// PageLabel: "Page " + (page - firstPage + 1) + " of " + page count.
QString pageLabel(int page, int firstPage, int pageCount);

} // namespace reports
