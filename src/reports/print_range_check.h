#pragma once

// The checks of the page range dialog ("Page Printing"), apart from its window.

#include <QString>

namespace reports {

inline constexpr const char* kInvalidStartPage = "Invalid Starting Page specified. Please correct.";
inline constexpr const char* kInvalidEndPage = "Invalid Ending Page specified.  Please correct.";

struct PageRangeCheck {
    enum class Field { None, StartPage, EndPage };
    Field wrongField = Field::None; // the field to correct; None when the range is good
    QString message;                // the message for the wrong field
    int start = 0;
    int end = 0;
};

// Start is the whole number in `startText` (blanks trimmed; text that is not a number counts
// as 0) and must lie in 1..pageCount; end likewise, in start..pageCount.
PageRangeCheck checkPageRange(const QString& startText, const QString& endText, int pageCount);

} // namespace reports
