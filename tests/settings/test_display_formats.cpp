#include "settings/display_formats.h"

#include "settings/settings.h"
#include "support/process_locale.h"
#include "support/temp_dir.h"
#include "table/table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

// glibc's newlocale() keeps the list it builds from LOCPATH; that is not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:__argz_add_sep\n";
}

namespace {

using app::NumberFormatter;
using app::RegionalNumbers;
using table::Date;

// Restores the engine's date format after each test, which changes it process-wide.
class DateFormats : public ::testing::Test {
protected:
    void TearDown() override { table::setCurrentDateFormat(saved_); }

private:
    table::DateFormat saved_ = table::currentDateFormat();
};

TEST_F(DateFormats, EachChoiceWritesTheFifthOfJanuaryAsItsMenuShows) {
    const char* expected[] = {"1/5/96",   "1-5-96",   "1.5.96",   "5/1/96",
                              "5-1-96",   "5.1.96",   "1/5/1996", "1-5-1996",
                              "1.5.1996", "5/1/1996", "5-1-1996", "5.1.1996"};
    const Date fifthOfJanuary{1996, 1, 5};
    for (const app::DateFormatChoice& choice : app::dateFormatChoices()) {
        ASSERT_TRUE(app::applyDateFormat(choice.number));
        const std::string shown = table::currentDateFormat().format(fifthOfJanuary);
        EXPECT_EQ(shown, expected[choice.number - 1]) << choice.menuCaption;
        // What is shown reads back as the same date, typed in 2026.
        EXPECT_EQ(app::readTypedDate(shown, QDate(2026, 6, 1)), fifthOfJanuary) << shown;
    }
    // Stored field text goes through the engine unchanged by the display format.
    EXPECT_EQ(table::toDtos(*app::readTypedDate(std::string("31.12.2044"), QDate(2026, 1, 1))),
              "20441231");
}

TEST_F(DateFormats, TheTableReadsAndWritesDatesInTheFormatInForce) {
    const testsupport::TempDir folder;
    const std::string path = folder.file("DATES.DBF");
    table::Table::create(path, {{"BOUGHT", 'D', 8, 0}});
    table::Table dates;
    dates.setDirectory(folder.path().string());
    dates.setTableName("DATES");
    dates.open();
    app::applyDateFormat(11);
    dates.append();
    dates.setText(0, "5-1-1996");
    dates.post();
    EXPECT_EQ(dates.asDate(0), (Date{1996, 1, 5}));
    app::applyDateFormat(3);
    EXPECT_EQ(dates.asText(0), "1.5.96");
    dates.edit();
    EXPECT_THROW(dates.setText(0, "2.30.1996"), table::TableError);
    dates.setText(0, "2.29.1996");
    dates.post();
    EXPECT_EQ(dates.asDate(0), (Date{1996, 2, 29}));
}

TEST_F(DateFormats, NumbersWithoutAChoiceChangeNothing) {
    ASSERT_TRUE(app::applyDateFormat(12));
    for (int number : {0, 13, -1, 1000}) {
        EXPECT_FALSE(app::applyDateFormat(number));
        EXPECT_FALSE(app::dateFormatFor(number));
    }
    EXPECT_EQ(table::currentDateFormat().format({2026, 3, 7}), "7.3.2026");
}

TEST_F(DateFormats, TypedDatesFollowTheOrderOfTheFormatInForce) {
    const QDate today(2026, 12, 8);
    app::applyDateFormat(1);
    EXPECT_EQ(app::readTypedDate(QStringLiteral("3/7/26"), today), (Date{2026, 3, 7}));
    EXPECT_FALSE(app::readTypedDate(QStringLiteral("13/7/26"), today));
    app::applyDateFormat(5);
    EXPECT_EQ(app::readTypedDate(QStringLiteral("3-7-26"), today), (Date{2026, 7, 3}));
    EXPECT_EQ(app::readTypedDate(QStringLiteral("13-7-26"), today), (Date{2026, 7, 13}));
    EXPECT_EQ(app::readTypedDate(QStringLiteral("  "), today), Date{});
    for (const char* impossible : {"30-2-2020", "29-2-2100", "31-4-99", "0-1-20", "1-13-20",
                                   "1-1-0", "1-1-123", "1-1", "x-1-20", "١-1-20"}) {
        EXPECT_FALSE(app::readTypedDate(QString::fromUtf8(impossible), today)) << impossible;
    }
    EXPECT_EQ(app::readTypedDate(QStringLiteral("29-2-2000"), today), (Date{2000, 2, 29}));
}

TEST_F(DateFormats, TwoDigitYearsSlideWithToday) {
    app::applyDateFormat(1);
    const auto yearOf = [](const char* typed, QDate today) {
        return app::readTypedDate(std::string(typed), today)->year;
    };
    EXPECT_EQ(yearOf("1/5/96", QDate(2026, 1, 1)), 1996);
    EXPECT_EQ(yearOf("1/5/45", QDate(2026, 1, 1)), 2045);
    EXPECT_EQ(yearOf("1/5/46", QDate(2026, 1, 1)), 1946);
    EXPECT_EQ(yearOf("1/5/96", QDate(2080, 1, 1)), 2096);
    EXPECT_EQ(yearOf("1/5/00", QDate(1999, 12, 31)), 2000);
    EXPECT_EQ(yearOf("1/5/1896", QDate(2026, 1, 1)), 1896);
}

TEST(RegionalNumbers, RawValuesFollowTheProfileRules) {
    EXPECT_EQ(app::regionalNumbersFrom(std::nullopt, std::nullopt, std::nullopt),
              RegionalNumbers{});
    const RegionalNumbers german =
        app::regionalNumbersFrom(QStringLiteral(",x"), QStringLiteral(".."), 3);
    EXPECT_EQ(german, (RegionalNumbers{u',', u'.', 3}));
    const RegionalNumbers empty = app::regionalNumbersFrom(QString(), QString(), 99);
    EXPECT_EQ(empty, (RegionalNumbers{u' ', u' ', 9}));
    EXPECT_EQ(app::regionalNumbersFrom(std::nullopt, std::nullopt, -4).currencyDigits, 0);
}

TEST(RegionalNumbers, TheCLocaleKeepsTheDefaults) {
    // The tests run under the C locale, which offers no grouping and no currency digits.
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(app::readRegionalNumbersFromLocale(), RegionalNumbers{});
    setenv("LC_ALL", "xx_NOWHERE.UTF-8", 1);
    EXPECT_EQ(app::readRegionalNumbersFromLocale(), RegionalNumbers{});
    unsetenv("LC_ALL");
}

// Compiles the named locales into a folder of our own, so that no locale need be installed.
bool compileLocales(const testsupport::TempDir& folder, std::initializer_list<const char*> names) {
    for (const char* name : names) {
        const std::string command = "localedef -i " + std::string(name) + " -f UTF-8 " +
                                    folder.file(std::string(name) + ".UTF-8") + " 2>/dev/null";
        if (std::system(command.c_str()) != 0) {
            return false;
        }
    }
    return true;
}

TEST(RegionalNumbers, RegionalLocalesGiveTheirSeparatorsAndDigits) {
    const testsupport::TempDir folder;
    if (!compileLocales(folder, {"de_DE", "fr_FR"})) {
        GTEST_SKIP() << "localedef or the locale sources are missing";
    }
    setenv("LOCPATH", folder.path().c_str(), 1);
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(app::readRegionalNumbersFromLocale(), (RegionalNumbers{u',', u'.', 2}));
    // The French thousands separator is a narrow no-break space, two bytes in UTF-8.
    setenv("LC_ALL", "fr_FR.UTF-8", 1);
    EXPECT_EQ(app::readRegionalNumbersFromLocale(), (RegionalNumbers{u',', QChar(0x202F), 2}));
    unsetenv("LC_ALL");
    unsetenv("LOCPATH");
}

const RegionalNumbers kGerman{u',', u'.', 2};

struct NumberCase {
    double value;
    int width;
    int decimals;
    const char* us;
    const char* regional;
};

TEST(NumberFormatters, PlainNumbersOnlyChangeTheDecimalPoint) {
    const NumberFormatter us(1, 1, kGerman);
    const NumberFormatter regional(2, 1, kGerman);
    const NumberCase cases[] = {
        {1234.5, 10, 2, "   1234.50", "   1234,50"},
        {2.5, 1, 1, "2.5", "2,5"},
        {-0.125, 0, 2, "-0.12", "-0,12"},
        {1234567.0, 3, 0, "1234567", "1234567"},
        {7.0, 4, -3, "   7", "   7"},
    };
    for (const char* locale : testsupport::kProcessLocales) {
        const testsupport::ProcessLocale inForce(locale);
        for (const NumberCase& c : cases) {
            EXPECT_EQ(us.formatNumber(c.value, c.width, c.decimals), c.us) << c.value << locale;
            EXPECT_EQ(regional.formatNumber(c.value, c.width, c.decimals), c.regional)
                << c.value << locale;
        }
    }
    // A decimal point that is already "." leaves nothing to replace.
    EXPECT_EQ(NumberFormatter(2, 2, RegionalNumbers{}).formatNumber(2.5, 0, 1), "2.5");
}

TEST(NumberFormatters, GroupedNumbersInsertSeparatorsFromTheRight) {
    const NumberFormatter us(1, 1, kGerman);
    const NumberFormatter regional(2, 1, kGerman);
    const NumberCase cases[] = {
        {1234567.891, 14, 2, "  1,234,567.89", "  1.234.567,89"},
        {-123456, 8, 0, "-123,456", "-123.456"},
        {-1234.5, 0, 1, "-1,234.5", "-1.234,5"},
        {-123.5, 0, 1, "-123.5", "-123,5"},
        {999, 5, 0, "  999", "  999"},
        {1000, 0, 0, "1,000", "1.000"},
        {0.5, 6, 3, " 0.500", " 0,500"},
        {123456789012.0, 4, 0, "123,456,789,012", "123.456.789.012"},
    };
    for (const char* locale : testsupport::kProcessLocales) {
        const testsupport::ProcessLocale inForce(locale);
        for (const NumberCase& c : cases) {
            EXPECT_EQ(us.formatGrouped(c.value, c.width, c.decimals), c.us) << c.value << locale;
            EXPECT_EQ(regional.formatGrouped(c.value, c.width, c.decimals), c.regional)
                << c.value << locale;
        }
    }
}

TEST(NumberFormatters, CurrencyFollowsTheCurrencyChoiceAndDigits) {
    const RegionalNumbers noDigits{u'.', u',', 0};
    EXPECT_EQ(NumberFormatter(1, 2, noDigits).formatCurrency(1234567, 0), "1,234,567");
    EXPECT_EQ(NumberFormatter(2, 1, noDigits).formatCurrency(1234567, 0), "1,234,567.00");
    const RegionalNumbers threeDigits{u',', u' ', 3};
    EXPECT_EQ(NumberFormatter(1, 2, threeDigits).formatCurrency(-9876.5, 12), "  -9 876,500");
    // Any stored value other than 2 means U.S.
    EXPECT_EQ(NumberFormatter(0, 7, threeDigits).formatCurrency(1234.5, 0), "1,234.50");
    // Separators come from our regional values only, never from the process locale.
    const RegionalNumbers french{u',', QChar(0x202F), 2};
    for (const char* locale : testsupport::kProcessLocales) {
        const testsupport::ProcessLocale inForce(locale);
        EXPECT_EQ(NumberFormatter(1, 2, french).formatCurrency(-1234567.891, 0),
                  QString::fromUtf8("-1\u202F234\u202F567,89"))
            << locale;
        EXPECT_EQ(NumberFormatter(1, 1, french).formatCurrency(1234567.891, 0), "1,234,567.89")
            << locale;
    }
}

TEST(NumberFormatters, SettingsAndRegionalValuesInForceChooseTheStyle) {
    const RegionalNumbers saved = app::regionalNumbers();
    app::setRegionalNumbers(kGerman);
    app::Settings settings;
    settings.numericFormat = 2;
    const NumberFormatter formatter = NumberFormatter::fromSettings(settings);
    EXPECT_EQ(formatter.formatGrouped(1234.5, 0, 1), "1.234,5");
    EXPECT_EQ(formatter.formatCurrency(1234.5, 0), "1,234.50");
    app::setRegionalNumbers(saved);
}

TEST(NumberFormatters, OddValuesAndSizesStayBounded) {
    const NumberFormatter us(1, 1, {});
    EXPECT_EQ(us.formatNumber(1e300, 0, 2).size(), 304);
    EXPECT_EQ(us.formatGrouped(1.0, 1 << 30, 0).size(), 1024);
    EXPECT_EQ(us.formatNumber(0.1, 0, 1000).size(), 22);
    EXPECT_EQ(us.formatGrouped(std::numeric_limits<double>::quiet_NaN(), 5, 2), "  nan");
    EXPECT_EQ(us.formatGrouped(-std::numeric_limits<double>::infinity(), 0, 0), "-inf");
}

} // namespace
