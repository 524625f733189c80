#pragma once

// How dates and numbers are written: the twelve date formats of the Options menu, which set the
// engine-wide date format, and the three number formatters of the reports with their choice
// between U.S. conventions and the regional values of the user's locale.

#include "table/date_format.h"

#include <QChar>
#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <string_view>

namespace app {

struct Settings;

// ---- Dates ----------------------------------------------------------------------------------

struct DateFormatChoice {
    int number;                   // 1..12, as stored in the settings
    const char* menuCaption;      // "mm/dd/yy"
    char separator;               // '/', '-' or '.'
    const char* shortDatePattern; // "m/d/y": '/' stands for the separator
};

constexpr int kDateFormatCount = 12;
const std::array<DateFormatChoice, kDateFormatCount>& dateFormatChoices();

// The engine date format of choice `number`, or nothing outside 1..12.
std::optional<table::DateFormat> dateFormatFor(int number);

// Makes choice `number` the date format of every date shown, typed or converted. A number
// outside 1..12 changes nothing and gives false.
bool applyDateFormat(int number);

// Choosing date format `number` from the Options menu: the format in force (the stored one)
// changes nothing, and so does a number outside 1..12; otherwise the format is applied and
// stored, and the result is true: every date on show must be shown anew.
bool chooseDateFormat(Settings& settings, int number);

// Reads a date typed in the format in force. A two-digit year is placed in the window from 80
// years before to 19 years after `today`'s year (96 typed in 2026 is 1996). Empty text gives a
// null date; text that is not a possible date gives nothing.
std::optional<table::Date> readTypedDate(std::string_view text, QDate today);
std::optional<table::Date> readTypedDate(const QString& text, QDate today);

// ---- Regional number values -----------------------------------------------------------------

struct RegionalNumbers {
    QChar decimalSeparator = u'.';
    QChar thousandsSeparator = u',';
    int currencyDigits = 2;
    bool operator==(const RegionalNumbers&) const = default;
};

// Applies the rules for raw regional values: a missing value keeps the default, only the first
// character of a separator counts and an empty separator is a space; currency digits are kept
// within 0..9.
RegionalNumbers regionalNumbersFrom(const std::optional<QString>& decimalSeparator,
                                    const std::optional<QString>& thousandsSeparator,
                                    std::optional<int> currencyDigits);

// The decimal point and thousands separator of LC_NUMERIC and the fractional digits of
// LC_MONETARY of the locale the environment names. The "C" and "POSIX" locales define no
// thousands separator or currency digits, so they keep the defaults.
RegionalNumbers readRegionalNumbersFromLocale();

// The values in force for every formatter built from the settings: read from the locale on
// first use (the start-up sequence asks for them early), or set by the caller.
const RegionalNumbers& regionalNumbers();
void setRegionalNumbers(const RegionalNumbers& values);

// ---- Number formatters ----------------------------------------------------------------------

constexpr int kUsFormat = 1;
constexpr int kRegionalFormat = 2;

// Choosing the numeric or currency format: 1 U.S. or 2 regional is stored, for the next report;
// any other value changes nothing.
void chooseNumericFormat(Settings& settings, int choice);
void chooseCurrencyFormat(Settings& settings, int choice);

class NumberFormatter {
public:
    // `numericFormat` and `currencyFormat` as stored: 2 means the regional setting, anything
    // else U.S.
    NumberFormatter(int numericFormat, int currencyFormat, const RegionalNumbers& regional);
    // The choices of `settings` with the process's regional values.
    static NumberFormatter fromSettings(const Settings& settings);

    // Each returns the text right-aligned in `width`; longer text is returned whole.
    QString formatNumber(double value, int width, int decimals) const;
    QString formatGrouped(double value, int width, int decimals) const;
    QString formatCurrency(double value, int width) const;

private:
    QString grouped(double value, int width, int decimals, bool regional) const;

    bool regionalNumbers_;
    bool regionalCurrency_;
    RegionalNumbers regional_;
};

} // namespace app
