#include "table/key_expression.h"
#include "table/table_error.h"

#include "support/process_locale.h"

#include <gtest/gtest.h>

#include <cstring>

using table::FieldDescriptor;
using table::KeyExpression;
using table::TableError;

namespace {

// A record of a small book table: Author C(30), YearPub N(8), Cost N(12,2), PurchDate D, Ok L.
class BookRecord {
public:
    BookRecord() : bytes_(1 + 30 + 8 + 12 + 8 + 1, ' ') {}

    static std::vector<FieldDescriptor> fields() {
        return {{"AUTHOR", 'C', 1, 30, 0, 0, false},
                {"YEARPUB", 'N', 31, 8, 0, 0, false},
                {"COST", 'N', 39, 12, 2, 0, false},
                {"PURCHDATE", 'D', 51, 8, 0, 0, false},
                {"OK", 'L', 59, 1, 0, 0, false}};
    }
    BookRecord& author(const std::string& text) { return put(1, 30, text, false); }
    BookRecord& year(const std::string& text) { return put(31, 8, text, true); }
    BookRecord& cost(const std::string& text) { return put(39, 12, text, true); }
    BookRecord& date(const std::string& text) { return put(51, 8, text, false); }
    const uint8_t* data() const { return reinterpret_cast<const uint8_t*>(bytes_.data()); }

private:
    BookRecord& put(size_t offset, size_t width, const std::string& text, bool rightAligned) {
        std::string field(width, ' ');
        const size_t n = std::min(width, text.size());
        field.replace(rightAligned ? width - n : 0, n, text.substr(0, n));
        bytes_.replace(offset, width, field);
        return *this;
    }
    std::string bytes_;
};

std::string keyOf(const std::string& expression, const BookRecord& record) {
    const KeyExpression compiled = KeyExpression::compile(expression, BookRecord::fields());
    std::string key;
    compiled.evaluate(record.data(), key);
    EXPECT_EQ(key.size(), compiled.keyLength());
    return key;
}

std::string compileError(const std::string& expression) {
    try {
        KeyExpression::compile(expression, BookRecord::fields());
    } catch (const TableError& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(KeyExpression, BookSortTermsGiveDbaseKeys) {
    BookRecord record;
    // Windows-1252 bytes, as the table holds them
    record.author("B\xF6ll, heinrich").year("1996").cost("12.5").date("19990305");
    EXPECT_EQ(keyOf("Upper(Left(Author,20))", record), "B\xD6LL, HEINRICH      ");
    EXPECT_EQ(keyOf("STR(YearPub,8,0)", record), "    1996");
    EXPECT_EQ(keyOf("STR(Cost,12,2)", record), "       12.50");
    EXPECT_EQ(keyOf("DTOS(PurchDate)", record), "19990305");
    EXPECT_EQ(
        keyOf(" upper( left( author , 5 ) ) + str( yearpub , 8 , 0 ) + dtos(purchdate) ", record),
        "B\xD6LL,    199619990305");
    EXPECT_EQ(keyOf("Left(Upper(AUTHOR),4)", record), "B\xD6LL");
    EXPECT_EQ(keyOf("PurchDate", record), "19990305"); // a bare date reads as DTOS
    EXPECT_EQ(keyOf("Author", record).size(), 30u);
    EXPECT_EQ(keyOf("Left(Author,200)", record).size(), 30u); // never longer than the field
}

TEST(KeyExpression, StrFormatsLikeDbase) {
    BookRecord record;
    EXPECT_EQ(keyOf("STR(Cost,12,2)", record.cost("-12.5")), "      -12.50");
    EXPECT_EQ(keyOf("STR(Cost,12,2)", record.cost("")), "        0.00");       // blank is zero
    EXPECT_EQ(keyOf("STR(Cost,12,2)", record.cost("12.345")), "       12.35"); // half up
    EXPECT_EQ(keyOf("STR(Cost,12,2)", record.cost("-0.004")), "        0.00");
    EXPECT_EQ(keyOf("STR(Cost,12,2)", record.cost("1,5")), "        1.50");
    EXPECT_EQ(keyOf("STR(Cost)", record.cost("7.6")), "         8"); // width 10, no decimals
    EXPECT_EQ(keyOf("STR(Cost,4,2)", record.cost("123.45")), "****");
    EXPECT_EQ(keyOf("STR(Cost,12,2)", record.cost("1.5e2")), "      150.00");
    EXPECT_EQ(keyOf("STR(YearPub,8,0)", record.year("********")), "       0");
}

// An index built by a German or French run of the program must be in order for an English one:
// the keys cannot depend on the process locale, on either path of STR().
TEST(KeyExpression, StrKeysAreTheSameUnderEveryProcessLocale) {
    BookRecord record;
    const std::pair<const char*, const char*> cases[] = {
        {"1.5e2", "      150.00"},    {"1,5E2", "      150.00"}, {"-2.5e-1", "       -0.25"},
        {"1234.567", "     1234.57"}, {"1,25", "        1.25"},  {"9.99e9", "****"},
    };
    for (const char* locale : testsupport::kProcessLocales) {
        const testsupport::ProcessLocale inForce(locale);
        for (const auto& [stored, key] : cases) {
            const std::string expression =
                std::string(key) == "****" ? "STR(Cost,4,2)" : "STR(Cost,12,2)";
            EXPECT_EQ(keyOf(expression, record.cost(stored)), key) << stored << " " << locale;
        }
    }
}

TEST(KeyExpression, EmptyOrInvalidDatesGiveBlanks) {
    BookRecord record;
    EXPECT_EQ(keyOf("DTOS(PurchDate)", record.date("")), "        ");
    EXPECT_EQ(keyOf("DTOS(PurchDate)", record.date("1999 3 5")), "        ");
}

TEST(KeyExpression, CompileErrorsNameTheExpressionAndTheFault) {
    EXPECT_NE(compileError("Upper(Title)").find("no field \"Title\""), std::string::npos);
    EXPECT_NE(compileError("Upper(Title)").find("Upper(Title)"), std::string::npos);
    EXPECT_NE(compileError("Lower(Author)").find("unknown function"), std::string::npos);
    EXPECT_NE(compileError("STR(Author,8)").find("numeric"), std::string::npos);
    EXPECT_NE(compileError("DTOS(Author)").find("date"), std::string::npos);
    EXPECT_NE(compileError("YearPub").find("STR()"), std::string::npos);
    EXPECT_NE(compileError("Author+Author+Author+Author").find("100"), std::string::npos);
    for (const char* bad : {"", "   ", "Upper(Author", "Author+", "Left(Author)", "Left(Author,)",
                            "Author Author", "STR(Cost,0)", "Ok", "Upper(((", "+"})
        EXPECT_NE(compileError(bad), "no error") << bad;
}

TEST(KeyExpression, HostileTextIsRefusedWithoutCrashing) {
    EXPECT_NE(compileError(std::string(10000, 'A')), "no error");
    std::string nested;
    for (int i = 0; i < 5000; ++i)
        nested += "Upper(";
    EXPECT_NE(compileError(nested + "Author"), "no error");
    EXPECT_NE(compileError("Left(Author,99999999999)"), "no error");
    EXPECT_LT(compileError(std::string(10000, 'A')).size(), 400u);
}
