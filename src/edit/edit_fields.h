#pragma once

// What the record edit form shows of one book record, and the fixed facts about its controls:
// which page holds a field, the order the Enter key walks, what counts as an empty date box and
// as a money amount.

#include "db/field_catalogue.h"
#include "table/date_format.h"

#include <QString>

#include <array>
#include <optional>

namespace edit {

// Set by the main window's Add, Edit and Copy commands and changed by the form.
enum class EditMode { Add = 1, Edit = 2, Copy = 3 };

// The five tabbed pages, in tab order.
enum class Page { Description = 0, Catalog = 1, Worth = 2, Library = 3, Other = 4 };
constexpr int kPageCount = 5;
QString pageCaption(Page page);

// Field numbers the form treats specially.
namespace field {
constexpr int Title = 1, Author = 2, YearPub = 3, Publisher = 4, Category = 5, WherePurch = 6,
              Cost = 7, Value = 8, Description = 9, Isbn = 10, Rating = 11, PurchDate = 12,
              BookType = 13, CatalogNum = 14, Sub1 = 15, Sub2 = 16, CheckOut = 17, CheckDate = 18,
              CheckName = 19, Volume = 20, Issue = 21, Edition = 22, KeyWords = 23, Pages = 24,
              Location = 25, Condition = 26, Editor = 27, Dewey = 28, LowMarket = 29,
              HighMarket = 30, UserDef1 = 31, UserDef6 = 36;
} // namespace field

Page pageOfField(int fieldNumber);
bool isDateField(int fieldNumber);
bool isMoneyField(int fieldNumber);
// A field shown in an editable drop-down list (the nine pick-list fields).
bool isComboField(int fieldNumber);
// The fields whose box, when left, refreshes the item line.
bool refreshesItemLine(int fieldNumber);

// The field that Enter moves to from `fieldNumber` (Title follows the last user-defined box).
int nextInFocusOrder(int fieldNumber);

// The pick-list fields in the order an update adds their values to the lists.
const std::array<int, db::kPickListCount>& pickListUpdateOrder();

// The contents of the form's controls. Texts are indexed by field number - 1; a date holds the
// box's text with its blanks as spaces ("  /  /    " when empty); CHECKOUT's text is unused and
// the check box state is `checkedOut`.
struct FormValues {
    std::array<QString, db::kFieldCount> texts;
    bool checkedOut = false;

    QString& text(int fieldNumber) { return texts[static_cast<size_t>(fieldNumber - 1)]; }
    const QString& text(int fieldNumber) const {
        return texts[static_cast<size_t>(fieldNumber - 1)];
    }
};

// Exact comparison of every text (the dates after trimming) and of the check box.
bool sameValues(const FormValues& shown, const FormValues& saved);

// A trimmed date box text that means no date was entered: "/  /", "-  -" or ".  .".
bool isEmptyDateText(const QString& trimmed);

// The money grammar: optional sign, digits with an optional "." and fraction, optional exponent
// ("E" or "e", optional sign, digits). Leading and trailing spaces are trimmed first; an empty
// text is not a number.
bool isMoneyAmount(const QString& text);

// The input mask of a date box: two digits, two digits, four digits, with the separator of the
// format in force between them.
QString dateInputMask(const table::DateFormat& format);
// A stored date as the box shows it: zero-padded day and month in the format's order and a
// four-digit year, so that it fits the mask whatever the format; empty for no date.
QString dateBoxText(const table::Date& date, const table::DateFormat& format);

// Reads a date box: nothing when the text is neither empty nor a valid date; a null date when
// it is one of the empty-date texts (or blank).
std::optional<table::Date> readDateBox(const QString& boxText, const table::DateFormat& format,
                                       int currentYear);

} // namespace edit
