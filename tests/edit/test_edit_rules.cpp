// The form's rules without widgets: money grammar, date boxes, change detection, the order of
// the checks, the Enter walk and the held check-out values.

#include "edit/edit_fields.h"
#include "edit/record_editor.h"
#include "edit/record_store.h"

#include <gtest/gtest.h>

#include <set>

using namespace edit;

namespace {

table::DateFormat format(table::DateFormat::Order order, char separator, bool fourDigits) {
    table::DateFormat result;
    result.order = order;
    result.separator = separator;
    result.fourDigitYear = fourDigits;
    return result;
}

const table::DateFormat kUs = format(table::DateFormat::Order::MonthDayYear, '/', false);
const table::DateFormat kGerman = format(table::DateFormat::Order::DayMonthYear, '.', true);

} // namespace

TEST(MoneyAmount, AcceptsExactlyTheNumberGrammar) {
    for (const char* good :
         {"0", "12", "-3", "+4", "12.50", "12.", "1e5", "1.5E-3", "  7  ", "-0.25e+2"}) {
        EXPECT_TRUE(isMoneyAmount(QString::fromLatin1(good))) << good;
    }
    for (const char* bad : {"", "   ", ".5", "1,50", "$12", "1e", "1e+", "12 .5", "1.2.3", "E5",
                            "--1", "1 2", "\t1"}) {
        EXPECT_FALSE(isMoneyAmount(QString::fromLatin1(bad))) << bad;
    }
}

TEST(DateBoxText, StoredDatesFitTheMaskInEveryFormat) {
    const table::Date date{1996, 1, 5};
    EXPECT_EQ(dateBoxText(date, kUs), QStringLiteral("01/05/1996"));
    EXPECT_EQ(dateBoxText(date, kGerman), QStringLiteral("05.01.1996"));
    EXPECT_EQ(dateBoxText(table::Date{}, kUs), QString());
    EXPECT_EQ(dateInputMask(kUs), QStringLiteral("99/99/9999;_"));
    EXPECT_EQ(dateInputMask(kGerman), QStringLiteral("99.99.9999;_"));
}

TEST(DateBoxText, ReadsDatesEmptyBoxesAndRefusesPartialOnes) {
    EXPECT_EQ(readDateBox(QStringLiteral("01/05/1996"), kUs, 2024), (table::Date{1996, 1, 5}));
    EXPECT_EQ(readDateBox(QStringLiteral("05.01.1996"), kGerman, 2024), (table::Date{1996, 1, 5}));
    EXPECT_EQ(readDateBox(QStringLiteral("01/05/96  "), kUs, 2024), (table::Date{1996, 1, 5}));
    for (const char* empty : {"  /  /    ", "/  /", "-  -", ".  .", ""}) {
        const auto date = readDateBox(QString::fromLatin1(empty), kUs, 2024);
        ASSERT_TRUE(date.has_value()) << empty;
        EXPECT_TRUE(date->isNull()) << empty;
    }
    for (const char* bad : {"12/  /    ", "02/30/1996", "13/01/1996", "  /05/1996", "01/05/199 "}) {
        EXPECT_FALSE(readDateBox(QString::fromLatin1(bad), kUs, 2024).has_value()) << bad;
    }
}

TEST(ChangeDetection, ComparesTextsExactlyAndDatesTrimmed) {
    FormValues saved = clearedValues();
    saved.text(field::Title) = QStringLiteral("Emma");
    saved.text(field::PurchDate) = QStringLiteral("01/05/96  ");
    FormValues shownValues = saved;
    EXPECT_TRUE(sameValues(shownValues, saved));

    shownValues.text(field::PurchDate) = QStringLiteral("01/05/96");
    EXPECT_TRUE(sameValues(shownValues, saved)) << "dates compare trimmed";
    shownValues.text(field::Title) = QStringLiteral("emma");
    EXPECT_FALSE(sameValues(shownValues, saved)) << "letter case counts";
    shownValues.text(field::Title) = QStringLiteral("Emma ");
    EXPECT_FALSE(sameValues(shownValues, saved)) << "trailing blanks count outside dates";
    shownValues = saved;
    shownValues.checkedOut = true;
    EXPECT_FALSE(sameValues(shownValues, saved));
}

TEST(UpdateChecks, RunInOrderAndNameTheFirstBadField) {
    FormValues values = clearedValues();
    EXPECT_FALSE(checkBeforeUpdate(values, kUs, 2024).has_value()) << "a cleared form is valid";

    values.text(field::HighMarket) = QStringLiteral("x");
    values.text(field::LowMarket) = QStringLiteral("x");
    values.text(field::Value) = QString();
    values.text(field::Cost) = QStringLiteral("1,5");
    values.text(field::PurchDate) = QStringLiteral("99/99/9999");
    values.text(field::CheckDate) = QStringLiteral("12/  /    ");
    const std::vector<std::pair<int, std::string>> expected{
        {field::CheckDate, kInvalidCheckOutDate},
        {field::PurchDate, kInvalidPurchaseDate},
        {field::Cost, kInvalidCost},
        {field::Value, kInvalidValue},
        {field::LowMarket, kInvalidLowMarket},
        {field::HighMarket, kInvalidHighMarket}};
    for (const auto& [number, message] : expected) {
        const auto problem = checkBeforeUpdate(values, kUs, 2024);
        ASSERT_TRUE(problem.has_value());
        EXPECT_EQ(problem->fieldNumber, number);
        EXPECT_EQ(problem->message, message);
        values.text(number) = isDateField(number) ? QString() : QStringLiteral("1");
    }
    EXPECT_FALSE(checkBeforeUpdate(values, kUs, 2024).has_value());
}

// The Enter order as written for the form's users, page by page, and round to Title again.
TEST(FocusOrder, FollowsTheWrittenOrderAndWrapsToTitle) {
    const std::vector<int> written{field::Title,
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
    std::vector<int> walked{field::Title};
    for (int step = 0; step < db::kFieldCount; ++step) {
        walked.push_back(nextInFocusOrder(walked.back()));
    }
    std::vector<int> expected = written;
    expected.push_back(field::Title);
    EXPECT_EQ(walked, expected);
    EXPECT_EQ(nextInFocusOrder(0), 0);
}

TEST(CheckOutHold, ClearingKeepsDateAndPersonAndTickingRestoresThem) {
    CheckOutHold hold;
    FormValues values;
    values.checkedOut = true;
    values.text(field::CheckDate) = QStringLiteral("03/15/2024");
    values.text(field::CheckName) = QString(35, QLatin1Char('p'));
    hold.take(values.text(field::CheckDate), values.text(field::CheckName));

    hold.toggle(values, false);
    EXPECT_FALSE(values.checkedOut);
    EXPECT_TRUE(values.text(field::CheckDate).isEmpty());
    EXPECT_TRUE(values.text(field::CheckName).isEmpty());
    EXPECT_EQ(hold.person().size(), 30) << "the person is kept to its field width";

    values.text(field::CheckName) = QStringLiteral("typed while cleared");
    hold.toggle(values, true);
    EXPECT_TRUE(values.checkedOut);
    EXPECT_EQ(values.text(field::CheckDate), QStringLiteral("03/15/2024"));
    EXPECT_EQ(values.text(field::CheckName), QString(30, QLatin1Char('p')));
}

TEST(UnstorableCharacters, AreFoundWithTheirField) {
    FormValues values = clearedValues();
    values.text(field::Title) = QStringLiteral("Caf\u00e9 \u20ac");
    EXPECT_FALSE(findUnstorableCharacter(values, table::Codepage::Cp1252).has_value())
        << "accents and the euro sign are Windows ANSI";
    values.text(field::KeyWords) = QStringLiteral("\u65e5\u672c");
    const auto bad = findUnstorableCharacter(values, table::Codepage::Cp1252);
    ASSERT_TRUE(bad.has_value());
    EXPECT_EQ(bad->fieldNumber, field::KeyWords);
    EXPECT_EQ(bad->character, QStringLiteral("\u65e5"));
}
