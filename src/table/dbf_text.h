#pragma once

// Text helpers shared by the field readers and writers.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace table::detail {

// Without leading and trailing blanks (and NULs, which some writers pad with).
std::string_view trimBlanks(std::string_view text);
std::string_view trimRight(std::string_view text);

// Shortest text that reads back as `value`, without exponent for ordinary magnitudes;
// empty for infinities and NaN.
std::string formatDouble(double value);
// Exact text of a currency value held in ten-thousandths.
std::string formatCurrency(int64_t tenThousandths);
// Checks "[sign]digits[.digits][e[sign]digits]" with at least one mantissa digit.
bool isNumberSyntax(std::string_view text);
// A typed or stored number (blanks around it allowed, ',' read as '.'); nothing when it is
// no number, an infinite value when it is too large for a double.
std::optional<double> parseNumber(std::string_view text);
// The number a N or F field holds as plain text; empty for blank or overflow ('*') fields,
// nothing when the bytes are no number.
std::optional<std::string> plainNumberText(std::string_view stored);
// Typed text as quoted in a message: long text is cut at a character boundary.
std::string quoted(std::string_view utf8);

} // namespace table::detail
