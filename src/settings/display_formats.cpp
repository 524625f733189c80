#include "settings/display_formats.h"

#include "settings/settings.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <string>

namespace app {

namespace {

constexpr std::array<DateFormatChoice, kDateFormatCount> kDateFormats{{
    {1, "mm/dd/yy", '/', "m/d/y"},
    {2, "mm-dd-yy", '-', "m/d/y"},
    {3, "mm.dd.yy", '.', "m/d/y"},
    {4, "dd/mm/yy", '/', "d/m/y"},
    {5, "dd-mm-yy", '-', "d/m/y"},
    {6, "dd.mm.yy", '.', "d/m/y"},
    {7, "mm/dd/yyyy", '/', "m/d/yyyy"},
    {8, "mm-dd-yyyy", '-', "m/d/yyyy"},
    {9, "mm.dd.yyyy", '.', "m/d/yyyy"},
    {10, "dd/mm/yyyy", '/', "d/m/yyyy"},
    {11, "dd-mm-yyyy", '-', "d/m/yyyy"},
    {12, "dd.mm.yyyy", '.', "d/m/yyyy"},
}};

// A short date pattern names the order of month and day by its first letter and the length of
// the year by the run of 'y' at its end.
table::DateFormat engineFormatFromPattern(std::string_view pattern, char separator) {
    table::DateFormat format;
    format.order = pattern.front() == 'd' ? table::DateFormat::Order::DayMonthYear
                                          : table::DateFormat::Order::MonthDayYear;
    format.separator = separator;
    format.fourDigitYear = pattern.ends_with("yyyy");
    return format;
}

// Read from the locale on first use, which is once per run unless replaced.
RegionalNumbers& regionalInForce() {
    static RegionalNumbers values = readRegionalNumbersFromLocale();
    return values;
}

QString decodeLocaleText(const char* text, const char* codeset) {
    if (text == nullptr) {
        return {};
    }
    const bool utf8 = codeset != nullptr &&
                      (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0);
    return utf8 ? QString::fromUtf8(text) : QString::fromLatin1(text);
}

// Printf-style fixed notation with a "." whatever the process locale (QApplication applies the
// environment's LC_NUMERIC to the C library); widths and decimals are kept to what a report line
// can hold, so that a damaged report definition cannot ask for gigabytes.
constexpr int kMaxWidth = 1024;
constexpr int kMaxDecimals = 20;

QString fixedText(double value, int width, int decimals) {
    width = std::clamp(width, 0, kMaxWidth);
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    // The largest double has 309 digits before the point.
    char digits[1 + 309 + 1 + kMaxDecimals + 1];
    const auto written =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals);
    if (written.ec != std::errc()) {
        return {};
    }
    QString text = QString::fromLatin1(digits, written.ptr - digits);
    if (text.size() < width) {
        text.prepend(QString(width - text.size(), u' '));
    }
    return text;
}

void useDecimalSeparator(QString& text, QChar separator) {
    if (separator != u'.') {
        const qsizetype point = text.indexOf(u'.');
        if (point >= 0) {
            text[point] = separator;
        }
    }
}

} // namespace

const std::array<DateFormatChoice, kDateFormatCount>& dateFormatChoices() {
    return kDateFormats;
}

std::optional<table::DateFormat> dateFormatFor(int number) {
    if (number < 1 || number > kDateFormatCount) {
        return std::nullopt;
    }
    const DateFormatChoice& choice = kDateFormats[static_cast<size_t>(number - 1)];
    return engineFormatFromPattern(choice.shortDatePattern, choice.separator);
}

bool applyDateFormat(int number) {
    const auto format = dateFormatFor(number);
    if (!format) {
        return false;
    }
    table::setCurrentDateFormat(*format);
    return true;
}

bool chooseDateFormat(Settings& settings, int number) {
    if (number == settings.dateFormat || !applyDateFormat(number)) {
        return false;
    }
    settings.dateFormat = number;
    return true;
}

void chooseNumericFormat(Settings& settings, int choice) {
    if (choice == kUsFormat || choice == kRegionalFormat) {
        settings.numericFormat = choice;
    }
}

void chooseCurrencyFormat(Settings& settings, int choice) {
    if (choice == kUsFormat || choice == kRegionalFormat) {
        settings.currencyFormat = choice;
    }
}

std::optional<table::Date> readTypedDate(std::string_view text, QDate today) {
    return table::currentDateFormat().parse(text, today.year());
}

std::optional<table::Date> readTypedDate(const QString& text, QDate today) {
    const std::string utf8 = text.toStdString();
    return readTypedDate(std::string_view(utf8), today);
}

RegionalNumbers regionalNumbersFrom(const std::optional<QString>& decimalSeparator,
                                    const std::optional<QString>& thousandsSeparator,
                                    std::optional<int> currencyDigits) {
    const auto firstCharacter = [](const QString& text) {
        return text.isEmpty() ? QChar(u' ') : text.front();
    };
    RegionalNumbers values;
    if (decimalSeparator) {
        values.decimalSeparator = firstCharacter(*decimalSeparator);
    }
    if (thousandsSeparator) {
        values.thousandsSeparator = firstCharacter(*thousandsSeparator);
    }
    if (currencyDigits) {
        values.currencyDigits = std::clamp(*currencyDigits, 0, 9);
    }
    return values;
}

RegionalNumbers readRegionalNumbersFromLocale() {
    const locale_t regional = newlocale(LC_NUMERIC_MASK | LC_MONETARY_MASK | LC_CTYPE_MASK, "",
                                        static_cast<locale_t>(nullptr));
    if (regional == static_cast<locale_t>(nullptr)) {
        return {}; // the environment names a locale that is not installed
    }
    const locale_t previous = uselocale(regional);
    const lconv* conventions = localeconv();
    const char* codeset = nl_langinfo_l(CODESET, regional);
    std::optional<QString> decimal = decodeLocaleText(conventions->decimal_point, codeset);
    std::optional<QString> thousands;
    // A locale without grouping (such as "C") has no thousands separator to offer.
    const char* grouping = conventions->grouping;
    if (grouping != nullptr && grouping[0] != '\0' && grouping[0] != CHAR_MAX) {
        thousands = decodeLocaleText(conventions->thousands_sep, codeset);
    }
    std::optional<int> digits;
    if (conventions->frac_digits != CHAR_MAX) {
        digits = conventions->frac_digits;
    }
    uselocale(previous);
    freelocale(regional);
    return regionalNumbersFrom(decimal, thousands, digits);
}

const RegionalNumbers& regionalNumbers() {
    return regionalInForce();
}

void setRegionalNumbers(const RegionalNumbers& values) {
    regionalInForce() = values;
}

NumberFormatter::NumberFormatter(int numericFormat, int currencyFormat,
                                 const RegionalNumbers& regional)
    : regionalNumbers_(numericFormat == kRegionalFormat),
      regionalCurrency_(currencyFormat == kRegionalFormat), regional_(regional) {}

NumberFormatter NumberFormatter::fromSettings(const Settings& settings) {
    return NumberFormatter(settings.numericFormat, settings.currencyFormat, regionalNumbers());
}

QString NumberFormatter::formatNumber(double value, int width, int decimals) const {
    QString text = fixedText(value, width, decimals);
    if (regionalNumbers_) {
        useDecimalSeparator(text, regional_.decimalSeparator);
    }
    return text;
}

QString NumberFormatter::formatGrouped(double value, int width, int decimals) const {
    return grouped(value, width, decimals, regionalNumbers_);
}

QString NumberFormatter::formatCurrency(double value, int width) const {
    return grouped(value, width, regionalCurrency_ ? regional_.currencyDigits : 2,
                   regionalCurrency_);
}

QString NumberFormatter::grouped(double value, int width, int decimals, bool regional) const {
    decimals = std::clamp(decimals, 0, kMaxDecimals);
    QString text = fixedText(value, 0, decimals);
    if (regional) {
        useDecimalSeparator(text, regional_.decimalSeparator);
    }
    const QChar separator = regional ? regional_.thousandsSeparator : QChar(u',');
    // Counting from the right: the decimals, their point and three digits stay together, then
    // every group of three digits gets a separator in front (four characters with it).
    for (qsizetype keep = decimals == 0 ? 3 : decimals + 4; keep < text.size(); keep += 4) {
        text.insert(text.size() - keep, separator);
    }
    if (value < 0 && text.size() > 1 && text[0] == u'-' && text[1] == separator) {
        text.remove(1, 1);
    }
    width = std::clamp(width, 0, kMaxWidth);
    if (text.size() < width) {
        text.prepend(QString(width - text.size(), u' '));
    }
    return text;
}

} // namespace app
