#include "key_expression.h"

#include "codepage.h"
#include "table_error.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace table {

namespace {

// dBASE refuses character keys longer than this.
constexpr uint32_t kMaxKeyLength = 100;
// STR() widths beyond this make no sense in a key and would only need a larger scratch buffer.
constexpr uint32_t kMaxStrWidth = 255;

enum class TermKind { Chars, Date, Str, Upper, Left };

const std::array<uint8_t, 256>& upperTable() {
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[i] = upperCp1252(static_cast<uint8_t>(i));
        return t;
    }();
    return table;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

struct KeyExpression::Term {
    TermKind kind = TermKind::Chars;
    uint32_t length = 0; // bytes this term yields
    uint32_t offset = 0; // of the field in the record (Chars, Date, Str)
    uint32_t fieldLength = 0;
    uint32_t width = 10;               // STR
    uint32_t decimals = 0;             // STR
    std::shared_ptr<const Term> child; // Upper, Left

    // Writes min(length, limit) bytes at `out`.
    void write(const uint8_t* record, char* out, uint32_t limit) const;
};

namespace {

using Term = KeyExpression::Term;

// A decimal number read from an N or F field, kept exact as digits and a scale so that rounding
// to STR()'s decimals behaves like dBASE (12.345 -> 12.35, not the binary 12.34).
struct Decimal {
    uint64_t digits = 0;
    uint32_t scale = 0; // digits after the decimal point
    bool negative = false;
};

// False when the text is not plain [-]ddd[.ddd] or has too many digits to keep exact.
bool parseDecimal(const uint8_t* text, uint32_t length, Decimal& value) {
    uint32_t i = 0;
    while (i < length && text[i] == ' ')
        ++i;
    if (i < length && (text[i] == '-' || text[i] == '+'))
        value.negative = text[i++] == '-';
    bool afterPoint = false;
    int significant = 0;
    for (; i < length; ++i) {
        const uint8_t c = text[i];
        if (c >= '0' && c <= '9') {
            if (value.digits != 0 || c != '0')
                ++significant;
            if (significant > 18)
                return false;
            value.digits = value.digits * 10 + (c - '0');
            if (afterPoint)
                ++value.scale;
        } else if ((c == '.' || c == ',') && !afterPoint) {
            afterPoint = true;
        } else if (c == ' ') {
            break;
        } else {
            return false;
        }
    }
    for (; i < length; ++i)
        if (text[i] != ' ')
            return false;
    return true;
}

uint64_t powerOfTen(uint32_t exponent) {
    uint64_t result = 1;
    while (exponent-- > 0)
        result *= 10;
    return result;
}

// Right-aligns `value` rounded to `decimals` into `out` of `width` bytes; asterisks when too wide.
void formatDecimal(Decimal value, uint32_t width, uint32_t decimals, char* out) {
    if (value.scale > decimals) {
        const uint64_t divisor = powerOfTen(value.scale - decimals);
        value.digits = (value.digits + divisor / 2) / divisor;
    } else if (decimals > value.scale) {
        const uint64_t factor = powerOfTen(decimals - value.scale);
        if (value.digits > UINT64_MAX / factor) {
            std::memset(out, '*', width);
            return;
        }
        value.digits *= factor;
    }
    char text[48];
    int pos = sizeof text;
    uint64_t rest = value.digits;
    for (uint32_t d = 0; d < decimals && pos > 0; ++d) {
        text[--pos] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    }
    if (decimals > 0)
        text[--pos] = '.';
    do {
        text[--pos] = static_cast<char>('0' + rest % 10);
        rest /= 10;
    } while (rest != 0 && pos > 1);
    if (value.negative && value.digits != 0)
        text[--pos] = '-';
    const uint32_t used = static_cast<uint32_t>(sizeof text - pos);
    if (used > width || decimals > 40) {
        std::memset(out, '*', width);
        return;
    }
    std::memset(out, ' ', width - used);
    std::memcpy(out + width - used, text + pos, used);
}

// Values that do not fit the exact path (exponents, more than 18 digits) go through double.
// Parsed and written without the C library's locale, so that a German run of the program builds
// the same keys as an English one.
void formatThroughDouble(const uint8_t* text, uint32_t length, uint32_t width, uint32_t decimals,
                         char* out) {
    std::string number(reinterpret_cast<const char*>(text), length);
    std::replace(number.begin(), number.end(), ',', '.');
    const size_t start = number.find_first_not_of(' ');
    const char* first = number.data() + (start == std::string::npos ? number.size() : start);
    const char* last = number.data() + number.size();
    // from_chars takes no '+'; a leading one is skipped, as strtod did.
    if (first != last && *first == '+' && first + 1 != last && first[1] != '-')
        ++first;
    double value = 0;
    if (std::from_chars(first, last, value).ec != std::errc())
        value = 0;
    char formatted[400];
    const auto written = std::to_chars(formatted, formatted + sizeof formatted, value,
                                       std::chars_format::fixed, static_cast<int>(decimals));
    const auto used = static_cast<uint32_t>(written.ptr - formatted);
    if (written.ec != std::errc() || used > width) {
        std::memset(out, '*', width);
        return;
    }
    std::memset(out, ' ', width - used);
    std::memcpy(out + width - used, formatted, used);
}

bool isDateText(const uint8_t* bytes) {
    for (int i = 0; i < 8; ++i)
        if (bytes[i] < '0' || bytes[i] > '9')
            return false;
    return true;
}

} // namespace

void KeyExpression::Term::write(const uint8_t* record, char* out, uint32_t limit) const {
    const uint32_t n = std::min(length, limit);
    switch (kind) {
    case TermKind::Chars:
        std::memcpy(out, record + offset, n);
        return;
    case TermKind::Date:
        if (isDateText(record + offset))
            std::memcpy(out, record + offset, n);
        else
            std::memset(out, ' ', n);
        return;
    case TermKind::Str: {
        char text[kMaxStrWidth];
        Decimal value;
        if (parseDecimal(record + offset, fieldLength, value))
            formatDecimal(value, width, decimals, text);
        else
            formatThroughDouble(record + offset, fieldLength, width, decimals, text);
        std::memcpy(out, text, n);
        return;
    }
    case TermKind::Upper: {
        child->write(record, out, n);
        const auto& upper = upperTable();
        for (uint32_t i = 0; i < n; ++i)
            out[i] = static_cast<char>(upper[static_cast<uint8_t>(out[i])]);
        return;
    }
    case TermKind::Left:
        child->write(record, out, n);
        return;
    }
}

namespace {

// Recursive-descent reader of the small expression language; every error names the expression.
class Parser {
public:
    Parser(std::string_view text, const std::vector<FieldDescriptor>& fields)
        : text_(text), fields_(fields) {}

    std::vector<std::shared_ptr<const Term>> parseTerms() {
        std::vector<std::shared_ptr<const Term>> terms;
        skipBlanks();
        if (pos_ == text_.size())
            fail("it is empty");
        terms.push_back(parseTerm());
        while (accept('+'))
            terms.push_back(parseTerm());
        skipBlanks();
        if (pos_ != text_.size())
            fail("unexpected \"" + std::string(text_.substr(pos_, 20)) + "\"");
        return terms;
    }

    [[noreturn]] void fail(const std::string& why) const {
        throw TableError("Invalid index expression \"" + std::string(text_.substr(0, 200)) +
                         "\": " + why + ".");
    }

private:
    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_])))
            ++pos_;
    }
    bool accept(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    void expect(char c) {
        if (!accept(c))
            fail(std::string("\"") + c + "\" expected");
    }
    std::string_view identifier() {
        skipBlanks();
        const size_t start = pos_;
        while (pos_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
            ++pos_;
        if (start == pos_)
            fail("a field name or function expected");
        return text_.substr(start, pos_ - start);
    }
    uint32_t number() {
        skipBlanks();
        uint32_t value = 0;
        const size_t start = pos_;
        while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_]))) {
            value = value * 10 + static_cast<uint32_t>(text_[pos_++] - '0');
            if (value > 100000)
                fail("number too large");
        }
        if (start == pos_)
            fail("a number expected");
        return value;
    }

    const FieldDescriptor& field(std::string_view name) {
        for (const FieldDescriptor& f : fields_)
            if (equalsIgnoringCase(f.name, name))
                return f;
        fail("the table has no field \"" + std::string(name.substr(0, 40)) + "\"");
    }

    std::shared_ptr<const Term> parseTerm();
    std::shared_ptr<const Term> fieldTerm(std::string_view name);
    std::shared_ptr<const Term> strTerm();
    std::shared_ptr<const Term> dateTerm();

    std::string_view text_;
    const std::vector<FieldDescriptor>& fields_;
    size_t pos_ = 0;
    int depth_ = 0;
};

std::shared_ptr<const Term> Parser::fieldTerm(std::string_view name) {
    const FieldDescriptor& f = field(name);
    auto term = std::make_shared<Term>();
    term->offset = f.offset;
    term->fieldLength = f.length;
    if (f.type == 'C') {
        term->kind = TermKind::Chars;
        term->length = f.length;
    } else if (f.type == 'D' && f.length == 8) {
        term->kind = TermKind::Date;
        term->length = 8;
    } else {
        fail("field \"" + f.name + "\" is not text or a date (use STR() for numbers)");
    }
    return term;
}

std::shared_ptr<const Term> Parser::strTerm() {
    expect('(');
    const FieldDescriptor& f = field(identifier());
    if (f.type != 'N' && f.type != 'F')
        fail("STR() needs a numeric field, \"" + f.name + "\" is not one");
    auto term = std::make_shared<Term>();
    term->kind = TermKind::Str;
    term->offset = f.offset;
    term->fieldLength = f.length;
    if (accept(',')) {
        term->width = number();
        if (accept(','))
            term->decimals = number();
    }
    expect(')');
    if (term->width == 0 || term->width > kMaxStrWidth)
        fail("STR() width must be 1 to 255");
    if (term->decimals > 18)
        fail("STR() allows at most 18 decimals");
    term->length = term->width;
    return term;
}

std::shared_ptr<const Term> Parser::dateTerm() {
    expect('(');
    const FieldDescriptor& f = field(identifier());
    if (f.type != 'D' || f.length != 8)
        fail("DTOS() needs a date field, \"" + f.name + "\" is not one");
    expect(')');
    auto term = std::make_shared<Term>();
    term->kind = TermKind::Date;
    term->offset = f.offset;
    term->fieldLength = f.length;
    term->length = 8;
    return term;
}

std::shared_ptr<const Term> Parser::parseTerm() {
    if (++depth_ > 32)
        fail("nested too deeply");
    const std::string_view name = identifier();
    std::shared_ptr<const Term> result;
    if (!accept('(')) {
        result = fieldTerm(name);
    } else {
        --pos_; // let the function readers see their own "("
        if (equalsIgnoringCase(name, "STR")) {
            result = strTerm();
        } else if (equalsIgnoringCase(name, "DTOS")) {
            result = dateTerm();
        } else if (equalsIgnoringCase(name, "UPPER")) {
            expect('(');
            auto term = std::make_shared<Term>();
            term->kind = TermKind::Upper;
            term->child = parseTerm();
            term->length = term->child->length;
            expect(')');
            result = term;
        } else if (equalsIgnoringCase(name, "LEFT")) {
            expect('(');
            auto term = std::make_shared<Term>();
            term->kind = TermKind::Left;
            term->child = parseTerm();
            expect(',');
            term->length = std::min(number(), term->child->length);
            expect(')');
            result = term;
        } else {
            fail("unknown function \"" + std::string(name.substr(0, 40)) + "\"");
        }
    }
    --depth_;
    return result;
}

} // namespace

KeyExpression KeyExpression::compile(std::string_view text,
                                     const std::vector<FieldDescriptor>& fields) {
    Parser parser(text, fields);
    KeyExpression expression;
    expression.terms_ = parser.parseTerms();
    uint64_t length = 0;
    for (const auto& term : expression.terms_)
        length += term->length;
    if (length == 0)
        parser.fail("the key would be empty");
    if (length > kMaxKeyLength)
        parser.fail("the key would be " + std::to_string(length) + " bytes long, more than " +
                    std::to_string(kMaxKeyLength));
    expression.text_ = std::string(text);
    expression.keyLength_ = static_cast<uint32_t>(length);
    return expression;
}

void KeyExpression::evaluate(const uint8_t* record, std::string& key) const {
    key.resize(keyLength_);
    char* out = key.data();
    for (const auto& term : terms_) {
        term->write(record, out, term->length);
        out += term->length;
    }
}

} // namespace table
