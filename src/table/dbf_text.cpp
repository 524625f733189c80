// Text helpers shared by the field readers and writers: trimming, number syntax and the
// plain text of numbers.

#include "dbf_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace table::detail {

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\0')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string_view trimRight(std::string_view text) {
    // Fields are mostly padding: drop it eight bytes at a time while all are blanks or NULs
    // (clearing bit 0x20 leaves both at zero).
    for (uint64_t word = 0; text.size() >= 8; text.remove_suffix(8)) {
        std::memcpy(&word, text.data() + text.size() - 8, 8);
        if ((word & ~0x2020202020202020ull) != 0)
            break;
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0')) {
        text.remove_suffix(1);
    }
    return text;
}

std::string formatDouble(double value) {
    if (!std::isfinite(value)) {
        return {};
    }
    if (value == 0) {
        return "0";
    }
    char text[400];
    const auto format =
        std::fabs(value) < 1e21 ? std::chars_format::fixed : std::chars_format::general;
    const auto result = std::to_chars(text, text + sizeof text, value, format);
    return std::string(text, result.ptr);
}

// Exact text of a currency value held in ten-thousandths.
std::string formatCurrency(int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(tenThousandths)
                                        : static_cast<uint64_t>(tenThousandths);
    std::string text;
    if (negative) {
        text += '-';
    }
    text += std::to_string(magnitude / 10000);
    uint64_t fraction = magnitude % 10000;
    if (fraction != 0) {
        char digits[8];
        std::snprintf(digits, sizeof digits, ".%04u", static_cast<unsigned>(fraction));
        text += digits;
        while (text.back() == '0') {
            text.pop_back();
        }
    }
    return text;
}

// Checks "[sign]digits[.digits][e[sign]digits]" with at least one mantissa digit.
bool isNumberSyntax(std::string_view text) {
    size_t pos = 0;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        ++pos;
    }
    size_t digits = 0;
    bool point = false;
    for (; pos < text.size(); ++pos) {
        if (text[pos] >= '0' && text[pos] <= '9') {
            ++digits;
        } else if (text[pos] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0) {
        return false;
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        ++pos;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
            ++pos;
        }
        const size_t exponentStart = pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
            ++pos;
        }
        if (pos == exponentStart) {
            return false;
        }
    }
    return pos == text.size();
}

// Whether a number too large or too small for a double is large: its decimal magnitude from
// the digits before the point (or the zeros after it) and the exponent.
bool isOverflow(std::string_view number) {
    const size_t exponentAt = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, exponentAt);
    const size_t firstNonZero = mantissa.find_first_of("123456789");
    const size_t point = std::min(mantissa.find('.'), mantissa.size());
    if (firstNonZero == std::string_view::npos) {
        return false;
    }
    int64_t magnitude = static_cast<int64_t>(point) - static_cast<int64_t>(firstNonZero);
    if (exponentAt != std::string_view::npos) {
        std::string_view exponent = number.substr(exponentAt + 1);
        const bool negative = !exponent.empty() && exponent[0] == '-';
        if (!exponent.empty() && (exponent[0] == '-' || exponent[0] == '+')) {
            exponent.remove_prefix(1);
        }
        int64_t value = 0;
        for (char digit : exponent) {
            value = std::min<int64_t>(value * 10 + (digit - '0'), 1'000'000);
        }
        magnitude += negative ? -value : value;
    }
    return magnitude > 0;
}

// Reads the number a user typed or a numeric field holds; nothing when it is no number,
// an infinite value when it is too large for a double.
std::optional<double> parseNumber(std::string_view text) {
    std::string cleaned(trimBlanks(text));
    std::replace(cleaned.begin(), cleaned.end(), ',', '.');
    if (!isNumberSyntax(cleaned)) {
        return std::nullopt;
    }
    const char* first = cleaned.data() + (cleaned[0] == '+' ? 1 : 0);
    double value = 0;
    const auto result = std::from_chars(first, cleaned.data() + cleaned.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        return isOverflow(cleaned) ? HUGE_VAL : 0.0;
    }
    return value;
}

// Typed text as quoted in a message: long text is cut (at a character boundary).
std::string quoted(std::string_view utf8) {
    constexpr size_t kLongest = 40;
    if (utf8.size() <= kLongest) {
        return std::string(utf8);
    }
    size_t cut = kLongest;
    while (cut > 0 && (static_cast<uint8_t>(utf8[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    return std::string(utf8.substr(0, cut)) + "...";
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The common case in one pass: [sign]digits[.digits] with a point or a comma.
std::optional<std::string> plainDecimalText(std::string_view text) {
    size_t pos = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++pos;
    size_t wholeFrom = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    const size_t wholeTo = pos;
    size_t fractionFrom = pos, fractionTo = pos;
    if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        fractionFrom = ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        fractionTo = pos;
    }
    if (pos != text.size() || (wholeFrom == wholeTo && fractionFrom == fractionTo))
        return std::nullopt;
    while (wholeFrom < wholeTo && text[wholeFrom] == '0')
        ++wholeFrom;
    while (fractionTo > fractionFrom && text[fractionTo - 1] == '0')
        --fractionTo;
    std::string plain;
    if (negative && (wholeFrom < wholeTo || fractionFrom < fractionTo))
        plain += '-'; // "-0.00" is plain zero
    if (wholeFrom == wholeTo)
        plain += '0';
    plain.append(text.substr(wholeFrom, wholeTo - wholeFrom));
    if (fractionFrom < fractionTo) {
        plain += '.';
        plain.append(text.substr(fractionFrom, fractionTo - fractionFrom));
    }
    return plain;
}

} // namespace

// The digits a N or F field holds, as plain text: no leading '+' or zeros, no trailing
// fraction zeros. Working on the text keeps wide fields exact where a double would not.
std::optional<std::string> plainNumberText(std::string_view stored) {
    const std::string_view trimmed = trimBlanks(stored);
    if (trimmed.empty() || trimmed.find('*') != std::string_view::npos) {
        return std::string(); // '*' is how dBASE marks a value that overflowed the width
    }
    if (auto plain = plainDecimalText(trimmed)) {
        return plain;
    }
    // What is left is a number with an exponent, or no number.
    std::string text(trimmed);
    std::replace(text.begin(), text.end(), ',', '.');
    if (!isNumberSyntax(text)) {
        return std::nullopt;
    }
    return formatDouble(*parseNumber(text));
}

} // namespace table::detail
