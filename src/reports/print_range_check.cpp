#include "reports/print_range_check.h"

namespace reports {

namespace {

int wholeNumber(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

} // namespace

PageRangeCheck checkPageRange(const QString& startText, const QString& endText, int pageCount) {
    PageRangeCheck check;
    check.start = wholeNumber(startText);
    if (check.start <= 0 || check.start > pageCount) {
        check.wrongField = PageRangeCheck::Field::StartPage;
        check.message = QString::fromLatin1(kInvalidStartPage);
        return check;
    }
    check.end = wholeNumber(endText);
    if (check.end < check.start || check.end > pageCount) {
        check.wrongField = PageRangeCheck::Field::EndPage;
        check.message = QString::fromLatin1(kInvalidEndPage);
    }
    return check;
}

} // namespace reports
