#pragma once

// Where each value stands in a record of VLMBOOK.URP (little-endian integers, IEEE doubles,
// length-prefixed strings), for the reader and writer and for the conversion of BOOK.URP.

#include "reports/report_definition.h"

#include <cstddef>

namespace reports::record_layout {

inline constexpr size_t kNameAt = 0;
inline constexpr size_t kWidthAt = 31;
inline constexpr size_t kFontsAt = 33;
inline constexpr size_t kFontSlotSize = 61;
inline constexpr size_t kColumnHeadersAt = 338;
inline constexpr size_t kPageNumbersAt = 339;
inline constexpr size_t kLandscapeAt = 340;
inline constexpr size_t kDateOnPageAt = 341;
inline constexpr size_t kUseTotalsAt = 342;
inline constexpr size_t kNumLinesAt = 343;
inline constexpr size_t kTotalsLineAt = 345;
inline constexpr size_t kMarginsAt = 1845; // top, bottom, left, right
inline constexpr size_t kVertLinesAt = 1877;
inline constexpr size_t kHorzLinesAt = 1878;
inline constexpr size_t kTitlesAt = 1879;
inline constexpr size_t kTitleSlotSize = 81;
inline constexpr size_t kLinesAt = 2122;
inline constexpr size_t kGroupLevel1At = 20122;
inline constexpr size_t kGroupLevel2At = 20123;

inline constexpr size_t kPartSize = 75;
inline constexpr size_t kLineSize = kPartSize * kPartsPerLine;

} // namespace reports::record_layout
