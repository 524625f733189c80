#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace table {

// A calendar date; year 0 means "no date" (a blank dBASE date).
struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool isNull() const { return year == 0; }
    bool operator==(const Date&) const = default;
};

bool isValidDate(int year, int month, int day);
// Julian day number (days since 4713 BC), as dBASE and FoxPro use it; 0 for a null date.
int64_t julianDay(const Date& date);
Date dateFromJulianDay(int64_t julian);
// "YYYYMMDD" as stored in a D field; blanks or anything not a valid date give a null date.
Date parseDtos(std::string_view eightChars);
std::string toDtos(const Date& date); // eight blanks for a null date

// The process-wide way dates are written and read as text (the display format in force).
// Month and day are written without leading zeros; the year with two or four digits.
struct DateFormat {
    enum class Order { MonthDayYear, DayMonthYear };
    Order order = Order::MonthDayYear;
    char separator = '/';
    bool fourDigitYear = false;

    std::string format(const Date& date) const; // empty text for a null date
    // Reads a typed date: month/day order from the format, the separator in force (any of
    // '/', '-', '.' is also accepted), a two-digit year completed by a sliding window of
    // 80 years back and 19 ahead of `currentYear`. Empty or blank text gives a null date;
    // impossible dates (2/30) give nothing.
    std::optional<Date> parse(std::string_view text, int currentYear) const;
};

// The engine-level date format setting, read by every field read and write.
const DateFormat& currentDateFormat();
void setCurrentDateFormat(const DateFormat& format);
Date localToday(); // from the system clock, in local time
int currentYear(); // localToday().year

} // namespace table
