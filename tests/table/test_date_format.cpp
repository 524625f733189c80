#include "table/date_format.h"

#include <gtest/gtest.h>

namespace {

using namespace table;

TEST(Dates, JulianDaysAgreeWithKnownValues) {
    EXPECT_EQ(julianDay({2000, 1, 1}), 2451545);
    EXPECT_EQ(julianDay({1970, 1, 1}), 2440588);
    EXPECT_EQ(julianDay({1, 1, 1}), 1721426);
    EXPECT_EQ(julianDay({}), 0);
    for (int64_t day = 1721426; day < 5373484; day += 997) {
        EXPECT_EQ(julianDay(dateFromJulianDay(day)), day);
    }
    EXPECT_EQ((dateFromJulianDay(2451604)), (Date{2000, 2, 29}));
    EXPECT_TRUE(dateFromJulianDay(0).isNull());
    EXPECT_TRUE(dateFromJulianDay(-5).isNull());
}

TEST(Dates, StoredTextIsStrict) {
    EXPECT_EQ((parseDtos("19960229")), (Date{1996, 2, 29}));
    EXPECT_EQ(toDtos({2026, 3, 7}), "20260307");
    EXPECT_EQ(toDtos({}), "        ");
    for (const char* bad :
         {"        ", "19970229", "20261301", "2026 3 7", "0000000", "00000000"}) {
        EXPECT_TRUE(parseDtos(bad).isNull()) << bad;
    }
}

TEST(DateFormat, FormatsWithoutLeadingZeros) {
    const DateFormat american;
    EXPECT_EQ(american.format({2026, 3, 7}), "3/7/26");
    EXPECT_EQ(american.format({2005, 12, 31}), "12/31/05");
    EXPECT_EQ(american.format({}), "");
    const DateFormat european{DateFormat::Order::DayMonthYear, '.', true};
    EXPECT_EQ(european.format({2026, 3, 7}), "7.3.2026");
}

TEST(DateFormat, TwoDigitYearsSlideAroundTheCurrentYear) {
    const DateFormat format;
    EXPECT_EQ(format.parse("1/2/96", 2026), (Date{1996, 1, 2}));
    EXPECT_EQ(format.parse("1/2/30", 2026), (Date{2030, 1, 2}));
    EXPECT_EQ(format.parse("1/2/45", 2026), (Date{2045, 1, 2})); // 19 years ahead
    EXPECT_EQ(format.parse("1/2/46", 2026), (Date{1946, 1, 2})); // 80 years back
    EXPECT_EQ(format.parse("1/2/00", 2026), (Date{2000, 1, 2}));
    EXPECT_EQ(format.parse("1/2/99", 1999), (Date{1999, 1, 2}));
}

TEST(DateFormat, ParsingIsLenientInFormButStrictInValue) {
    const DateFormat format;
    EXPECT_EQ(format.parse("03/07/2026", 2026), (Date{2026, 3, 7}));
    EXPECT_EQ(format.parse(" 3-7-2026 ", 2026), (Date{2026, 3, 7}));
    EXPECT_EQ(format.parse("3.7.26", 2026), (Date{2026, 3, 7}));
    EXPECT_EQ(format.parse("", 2026), Date{});
    EXPECT_EQ(format.parse("   ", 2026), Date{});
    for (const char* bad : {"2/30/2020", "13/1/2020", "0/1/20", "1/2/202", "1/2", "1/2/3/4",
                            "a/b/cc", "1//20", "001/2/20", "1/2/20x", "2/29/2100"}) {
        EXPECT_FALSE(format.parse(bad, 2026)) << bad;
    }
    const DateFormat dayFirst{DateFormat::Order::DayMonthYear, '/', false};
    EXPECT_EQ(dayFirst.parse("13/1/20", 2026), (Date{2020, 1, 13}));
}

TEST(DateFormat, EveryFormatReadsItsOwnOutput) {
    const Date dates[] = {{1950, 1, 1}, {1999, 12, 31}, {2000, 2, 29}, {2044, 7, 4}};
    for (auto order : {DateFormat::Order::MonthDayYear, DateFormat::Order::DayMonthYear}) {
        for (char separator : {'/', '-', '.'}) {
            for (bool fourDigits : {false, true}) {
                const DateFormat format{order, separator, fourDigits};
                for (const auto& date : dates) {
                    EXPECT_EQ(format.parse(format.format(date), 2026), date) << format.format(date);
                }
            }
        }
    }
}

TEST(DateFormat, TheSettingIsProcessWide) {
    const DateFormat saved = currentDateFormat();
    setCurrentDateFormat({DateFormat::Order::DayMonthYear, '-', true});
    EXPECT_EQ(currentDateFormat().format({2026, 3, 7}), "7-3-2026");
    setCurrentDateFormat(saved);
    EXPECT_EQ(currentDateFormat().format({2026, 3, 7}), "3/7/26");
    EXPECT_GE(currentYear(), 2024);
}

} // namespace
