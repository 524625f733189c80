#include "edit/edit_fields.h"

#include "db/pick_list.h"

#include <QRegularExpression>

#include <algorithm>

namespace edit {

namespace {

// The Enter key's walk through the form, page by page.
constexpr std::array<int, db::kFieldCount> kFocusOrder{field::Title,
                                                       field::Author,
                                                       field::Publisher,
                                                       field::Editor,
                                                       field::BookType,
                                                       field::Volume,
                                                       field::Issue,
                                                       field::YearPub,
                                                       field::Edition,
                                                       field::Pages,
                                                       field::PurchDate,
                                                       field::WherePurch,
                                                       field::CatalogNum,
                                                       field::Sub1,
                                                       field::Sub2,
                                                       field::Dewey,
                                                       field::Isbn,
                                                       field::Category,
                                                       field::KeyWords,
                                                       field::Rating,
                                                       field::Location,
                                                       field::Cost,
                                                       field::Value,
                                                       field::LowMarket,
                                                       field::HighMarket,
                                                       field::CheckOut,
                                                       field::CheckDate,
                                                       field::CheckName,
                                                       field::Condition,
                                                       field::Description,
                                                       31,
                                                       32,
                                                       33,
                                                       34,
                                                       35,
                                                       field::UserDef6};

} // namespace

QString pageCaption(Page page) {
    switch (page) {
    case Page::Description:
        return QStringLiteral("&Description");
    case Page::Catalog:
        return QStringLiteral("&Catalog");
    case Page::Worth:
        return QStringLiteral("&Worth");
    case Page::Library:
        return QStringLiteral("Li&brary");
    case Page::Other:
        return QStringLiteral("&Other");
    }
    return {};
}

Page pageOfField(int fieldNumber) {
    switch (fieldNumber) {
    case field::Category:
    case field::Isbn:
    case field::Rating:
    case field::CatalogNum:
    case field::Sub1:
    case field::Sub2:
    case field::KeyWords:
    case field::Location:
    case field::Dewey:
        return Page::Catalog;
    case field::Cost:
    case field::Value:
    case field::LowMarket:
    case field::HighMarket:
        return Page::Worth;
    case field::CheckOut:
    case field::CheckDate:
    case field::CheckName:
        return Page::Library;
    case field::Description:
    case field::Condition:
        return Page::Other;
    default:
        return fieldNumber >= field::UserDef1 ? Page::Other : Page::Description;
    }
}

bool isDateField(int fieldNumber) {
    return fieldNumber == field::PurchDate || fieldNumber == field::CheckDate;
}

bool isMoneyField(int fieldNumber) {
    return fieldNumber == field::Cost || fieldNumber == field::Value ||
           fieldNumber == field::LowMarket || fieldNumber == field::HighMarket;
}

bool isComboField(int fieldNumber) {
    const db::FieldInfo* info = db::fieldByNumber(fieldNumber);
    return info != nullptr && info->hasPickList();
}

bool refreshesItemLine(int fieldNumber) {
    switch (fieldNumber) {
    case field::Title:
    case field::Editor:
    case field::CatalogNum:
    case field::Sub1:
    case field::Sub2:
    case field::KeyWords:
    case field::Dewey:
    case field::Isbn:
    case field::Description:
        return true;
    default:
        return fieldNumber >= field::UserDef1 && fieldNumber <= field::UserDef6;
    }
}

int nextInFocusOrder(int fieldNumber) {
    const auto* found = std::find(kFocusOrder.begin(), kFocusOrder.end(), fieldNumber);
    if (found == kFocusOrder.end()) {
        return 0;
    }
    ++found;
    return found == kFocusOrder.end() ? kFocusOrder.front() : *found;
}

const std::array<int, db::kPickListCount>& pickListUpdateOrder() {
    static constexpr std::array<int, db::kPickListCount> order{
        field::Author, field::Location, field::WherePurch, field::Category, field::Publisher,
        field::Rating, field::BookType, field::CheckName,  field::Condition};
    return order;
}

bool sameValues(const FormValues& shown, const FormValues& saved) {
    if (shown.checkedOut != saved.checkedOut) {
        return false;
    }
    for (int number = 1; number <= db::kFieldCount; ++number) {
        if (number == field::CheckOut) {
            continue;
        }
        const bool same = isDateField(number) ? db::trimSpaces(shown.text(number)) ==
                                                    db::trimSpaces(saved.text(number))
                                              : shown.text(number) == saved.text(number);
        if (!same) {
            return false;
        }
    }
    return true;
}

bool isEmptyDateText(const QString& trimmed) {
    return trimmed == QLatin1String("/  /") || trimmed == QLatin1String("-  -") ||
           trimmed == QLatin1String(".  .");
}

bool isMoneyAmount(const QString& text) {
    static const QRegularExpression grammar(
        QStringLiteral("\\A[+-]?[0-9]+(\\.[0-9]*)?([Ee][+-]?[0-9]+)?\\z"));
    return grammar.match(db::trimSpaces(text)).hasMatch();
}

QString dateInputMask(const table::DateFormat& format) {
    const QString separator(QLatin1Char(format.separator));
    return QStringLiteral("99") + separator + QStringLiteral("99") + separator +
           QStringLiteral("9999;_");
}

QString dateBoxText(const table::Date& date, const table::DateFormat& format) {
    if (date.isNull()) {
        return {};
    }
    const bool monthFirst = format.order == table::DateFormat::Order::MonthDayYear;
    const int first = monthFirst ? date.month : date.day;
    const int second = monthFirst ? date.day : date.month;
    const QChar separator = QLatin1Char(format.separator);
    return QStringLiteral("%1%2%3%2%4")
        .arg(first, 2, 10, QLatin1Char('0'))
        .arg(separator)
        .arg(second, 2, 10, QLatin1Char('0'))
        .arg(date.year, 4, 10, QLatin1Char('0'));
}

std::optional<table::Date> readDateBox(const QString& boxText, const table::DateFormat& format,
                                       int currentYear) {
    const QString trimmed = db::trimSpaces(boxText);
    if (trimmed.isEmpty() || isEmptyDateText(trimmed)) {
        return table::Date{};
    }
    // Digits typed into a box with gaps ("1 /5 /1996") still read as the date they spell; a box
    // with a part left empty does not, because the part then has no digits at all.
    QString compact = trimmed;
    compact.remove(QLatin1Char(' '));
    const auto date = format.parse(compact.toStdString(), currentYear);
    if (!date || date->isNull()) {
        return std::nullopt;
    }
    return date;
}

} // namespace edit
