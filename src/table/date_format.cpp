#include "date_format.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <vector>

namespace table {

namespace {

bool isLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Splits "12/31/96" into its digit runs; any of the accepted separators may divide them.
// Returns nothing when other characters appear or a run is empty.
std::optional<std::vector<std::string_view>> splitDateParts(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const bool atEnd = i == text.size();
        const char c = atEnd ? '\0' : text[i];
        if (atEnd || c == separator || c == '/' || c == '-' || c == '.') {
            if (i == start || parts.size() == 3) {
                return std::nullopt;
            }
            parts.push_back(text.substr(start, i - start));
            start = i + 1;
        } else if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    return parts;
}

int toInt(std::string_view digits) {
    int value = 0;
    std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return value;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && text.front() == ' ') {
        text.remove_prefix(1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.remove_suffix(1);
    }
    return text;
}

DateFormat& formatInForce() {
    static DateFormat format;
    return format;
}

} // namespace

bool isValidDate(int year, int month, int day) {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
           day <= daysInMonth(year, month);
}

// The Fliegel-Van Flandern conversion, valid for every date of the Gregorian calendar we allow.
int64_t julianDay(const Date& date) {
    if (date.isNull()) {
        return 0;
    }
    const int64_t a = (14 - date.month) / 12;
    const int64_t y = date.year + 4800 - a;
    const int64_t m = date.month + 12 * a - 3;
    return date.day + (153 * m + 2) / 5 + 365 * y + y / 4 - y / 100 + y / 400 - 32045;
}

Date dateFromJulianDay(int64_t julian) {
    // Day 1721426 is 1 January of year 1, day 5373484 is 31 December 9999.
    if (julian < 1721426 || julian > 5373484) {
        return {};
    }
    const int64_t a = julian + 32044;
    const int64_t b = (4 * a + 3) / 146097;
    const int64_t c = a - 146097 * b / 4;
    const int64_t d = (4 * c + 3) / 1461;
    const int64_t e = c - 1461 * d / 4;
    const int64_t m = (5 * e + 2) / 153;
    Date date;
    date.day = static_cast<int>(e - (153 * m + 2) / 5 + 1);
    date.month = static_cast<int>(m + 3 - 12 * (m / 10));
    date.year = static_cast<int>(100 * b + d - 4800 + m / 10);
    return date;
}

Date parseDtos(std::string_view eightChars) {
    if (eightChars.size() != 8) {
        return {};
    }
    for (char c : eightChars) {
        if (c < '0' || c > '9') {
            return {};
        }
    }
    const int year = toInt(eightChars.substr(0, 4));
    const int month = toInt(eightChars.substr(4, 2));
    const int day = toInt(eightChars.substr(6, 2));
    if (!isValidDate(year, month, day)) {
        return {};
    }
    return Date{year, month, day};
}

std::string toDtos(const Date& date) {
    if (date.isNull() || !isValidDate(date.year, date.month, date.day)) {
        return std::string(8, ' ');
    }
    // Digits written directly: the date is valid, so each part has exactly its width.
    std::string text(8, '0');
    const auto putDigits = [&text](size_t end, int value, size_t width) {
        for (size_t i = 0; i < width; ++i, value /= 10) {
            text[end - 1 - i] = static_cast<char>('0' + value % 10);
        }
    };
    putDigits(4, date.year, 4);
    putDigits(6, date.month, 2);
    putDigits(8, date.day, 2);
    return text;
}

std::string DateFormat::format(const Date& date) const {
    if (date.isNull()) {
        return {};
    }
    const int first = order == Order::MonthDayYear ? date.month : date.day;
    const int second = order == Order::MonthDayYear ? date.day : date.month;
    char text[32];
    if (fourDigitYear) {
        std::snprintf(text, sizeof text, "%d%c%d%c%04d", first, separator, second, separator,
                      date.year);
    } else {
        std::snprintf(text, sizeof text, "%d%c%d%c%02d", first, separator, second, separator,
                      date.year % 100);
    }
    return text;
}

std::optional<Date> DateFormat::parse(std::string_view text, int yearNow) const {
    text = trimBlanks(text);
    if (text.empty()) {
        return Date{};
    }
    const auto parts = splitDateParts(text, separator);
    if (!parts || parts->size() != 3) {
        return std::nullopt;
    }
    const auto& first = (*parts)[0];
    const auto& second = (*parts)[1];
    const auto& yearText = (*parts)[2];
    if (first.size() > 2 || second.size() > 2 || (yearText.size() != 2 && yearText.size() != 4)) {
        return std::nullopt;
    }
    const int month = toInt(order == Order::MonthDayYear ? first : second);
    const int day = toInt(order == Order::MonthDayYear ? second : first);
    int year = toInt(yearText);
    if (yearText.size() == 2) {
        // The window runs from 80 years back to 19 ahead of the current year.
        const int windowStart = yearNow - 80;
        year += windowStart - windowStart % 100;
        if (year < windowStart) {
            year += 100;
        }
    }
    if (!isValidDate(year, month, day)) {
        return std::nullopt;
    }
    return Date{year, month, day};
}

// The program has one user-interface thread, which alone changes the setting.
const DateFormat& currentDateFormat() {
    return formatInForce();
}

void setCurrentDateFormat(const DateFormat& format) {
    formatInForce() = format;
}

// Every field write and every change of the file asks for the date; converting the clock to
// local time each time would cost more than the write itself. The answer is kept until the
// next local midnight, and at most a minute, so that a change of time zone is noticed soon.
Date localToday() {
    struct Cached {
        std::time_t from = 0;
        std::time_t until = 0;
        Date date;
    };
    thread_local Cached cached;
    const std::time_t now = std::time(nullptr);
    if (now >= cached.from && now < cached.until)
        return cached.date;
    std::tm local{};
    localtime_r(&now, &local);
    std::tm midnight = local;
    midnight.tm_mday += 1;
    midnight.tm_hour = midnight.tm_min = midnight.tm_sec = 0;
    midnight.tm_isdst = -1;
    const std::time_t nextDay = std::mktime(&midnight);
    cached.from = now;
    cached.until = nextDay > now ? std::min<std::time_t>(nextDay, now + 60) : now + 1;
    cached.date = Date{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
    return cached.date;
}

int currentYear() {
    return localToday().year;
}

} // namespace table
