#include "table/dbf_format.h"
#include "table/table_error.h"

#include "support/process_locale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>

namespace {

using namespace table;

const std::vector<FieldDef> kBookLikeFields = {
    {"Title", 'C', 90, 0},
    {"YearPub", 'N', kWholeNumberWidth, 0},
    {"Cost", 'F', kDecimalNumberWidth, kDecimalNumberDecimals},
    {"PurchDate", 'D', 8, 0},
    {"Lent", 'L', 1, 0},
};

// A whole table in memory: header, records, end mark.
struct MemoryTable {
    std::vector<uint8_t> bytes;
    DbfHeader header;

    explicit MemoryTable(const std::vector<FieldDef>& fields, uint32_t records = 1) {
        bytes = buildDbfHeader(fields, Date{2026, 3, 7}, true);
        const auto& probe = parseDbfHeader(bytes, bytes.size(), "probe");
        writeRecordCount(bytes.data(), records);
        bytes.resize(bytes.size() + records * probe.recordLength, ' ');
        bytes.push_back(0x1A);
        header = parseDbfHeader(bytes, bytes.size(), "BOOKS.DBF");
    }
    uint8_t* record(size_t index = 0) {
        return bytes.data() + header.headerLength + index * header.recordLength;
    }
    const FieldDescriptor& field(size_t index) const { return header.fields.at(index); }
    std::string text(size_t field) {
        return fieldText(header, header.fields.at(field), record(), DateFormat{});
    }
    void set(size_t field, std::string_view value) {
        setFieldText(header, header.fields.at(field), record(), value, DateFormat{}, 2026);
    }
};

std::string thrownMessage(const std::function<void()>& action) {
    try {
        action();
    } catch (const TableError& error) {
        return error.what();
    }
    return "(nothing thrown)";
}

TEST(DbfHeader, BuiltHeaderHasTheDbaseIvLayoutAndParsesBack) {
    MemoryTable table(kBookLikeFields, 3);
    const auto& bytes = table.bytes;
    EXPECT_EQ(bytes[0], 0x03);
    EXPECT_EQ(bytes[1], 126); // 2026 - 1900
    EXPECT_EQ(bytes[2], 3);
    EXPECT_EQ(bytes[3], 7);
    EXPECT_EQ(bytes[kProductionIndexFlagOffset], 1);
    EXPECT_EQ(bytes[29], 0x57);
    EXPECT_EQ(table.header.headerLength, 32u + 32u * 5u + 1u);
    EXPECT_EQ(bytes[table.header.headerLength - 1], 0x0D);
    EXPECT_EQ(table.header.recordLength, 1u + 90 + 11 + 20 + 8 + 1);
    EXPECT_EQ(table.header.recordCount, 3u);
    EXPECT_EQ((table.header.lastUpdate), (Date{2026, 3, 7}));
    EXPECT_EQ(table.header.codepage, Codepage::Cp1252);
    ASSERT_EQ(table.header.fields.size(), 5u);
    EXPECT_EQ(table.field(0).name, "TITLE");
    EXPECT_EQ(table.field(1).offset, 91u);
    EXPECT_EQ(table.field(2).decimals, 4);
    EXPECT_EQ(table.field(3).type, 'D');
    // Field names are NUL padded and the offsets left zero, as dBASE writes them.
    EXPECT_EQ(std::memcmp(&bytes[32], "TITLE\0\0\0\0\0\0", 11), 0);
    EXPECT_EQ(bytes[32 + 12], 0);
}

TEST(DbfHeader, InvalidFieldDefinitionsAreRefused) {
    const Date today{2026, 1, 1};
    EXPECT_THROW(buildDbfHeader({{"TOOLONGNAME", 'C', 10, 0}}, today, false), TableError);
    EXPECT_THROW(buildDbfHeader({{"1ST", 'C', 10, 0}}, today, false), TableError);
    EXPECT_THROW(buildDbfHeader({{"A B", 'C', 10, 0}}, today, false), TableError);
    EXPECT_THROW(buildDbfHeader({{"TEXT", 'C', 255, 0}}, today, false), TableError);
    EXPECT_THROW(buildDbfHeader({{"TEXT", 'C', 0, 0}}, today, false), TableError);
    EXPECT_THROW(buildDbfHeader({{"NUM", 'N', 5, 4}}, today, false), TableError);
    EXPECT_THROW(buildDbfHeader({{"MEMO", 'M', 10, 0}}, today, false), TableError);
    EXPECT_NE(thrownMessage([&] {
                  buildDbfHeader({{"Title", 'C', 10, 0}, {"TITLE", 'C', 5, 0}}, today, false);
              }).find("TITLE"),
              std::string::npos);
}

TEST(DbfHeader, EveryTruncationOfAHeaderIsAClearError) {
    MemoryTable table(kBookLikeFields, 2);
    for (size_t length = 0; length < table.header.headerLength; ++length) {
        std::vector<uint8_t> prefix(table.bytes.begin(), table.bytes.begin() + length);
        const std::string message =
            thrownMessage([&] { parseDbfHeader(prefix, prefix.size(), "D:/x/BOOKS.DBF"); });
        EXPECT_NE(message.find("D:/x/BOOKS.DBF"), std::string::npos) << length << message;
    }
}

TEST(DbfHeader, RecordCountBeyondTheFileIsTruncationButExtraDataIsIgnored) {
    MemoryTable table(kBookLikeFields, 2);
    const uint64_t complete = table.header.headerLength + 2ull * table.header.recordLength;
    EXPECT_NO_THROW(parseDbfHeader(table.bytes, complete, "BOOKS.DBF"));
    EXPECT_NO_THROW(parseDbfHeader(table.bytes, complete + 77, "BOOKS.DBF"));
    const std::string message =
        thrownMessage([&] { parseDbfHeader(table.bytes, complete - 1, "BOOKS.DBF"); });
    EXPECT_NE(message.find("BOOKS.DBF is truncated"), std::string::npos) << message;
}

TEST(DbfHeader, InconsistentHeadersAreRefused) {
    MemoryTable table(kBookLikeFields, 0);
    auto corrupted = [&](size_t offset, uint8_t value) {
        auto bytes = table.bytes;
        bytes[offset] = value;
        return thrownMessage([&] { parseDbfHeader(bytes, bytes.size(), "X.DBF"); });
    };
    EXPECT_NE(corrupted(0, 0x07).find("version"), std::string::npos);
    EXPECT_NE(corrupted(10, 20).find("record length"), std::string::npos); // fields overflow
    EXPECT_NE(corrupted(32 + 16, 0).find("no width"), std::string::npos);
    EXPECT_NE(corrupted(8, 31).find("X.DBF"), std::string::npos); // header length too small
}

TEST(DbfHeader, HugeRecordCountIsTruncationNotOverflow) {
    MemoryTable table(kBookLikeFields, 1);
    writeRecordCount(table.bytes.data(), 0xFFFFFFFF);
    EXPECT_THROW(parseDbfHeader(table.bytes, table.bytes.size(), "X.DBF"), TableError);
}

TEST(FieldValues, TextIsPaddedCutAndTrimmed) {
    MemoryTable table({{"NAME", 'C', 6, 0}});
    table.set(0, "Café");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(table.record() + 1), 6), "Caf\xE9  ");
    EXPECT_EQ(table.text(0), "Café");
    table.set(0, "Bibliothèque");
    EXPECT_EQ(table.text(0), "Biblio");
    table.set(0, "");
    EXPECT_TRUE(fieldIsBlank(table.field(0), table.record()));
    // Padding of blanks and NULs goes, however long; blanks inside stay.
    MemoryTable wide({{"NOTE", 'C', 40, 0}});
    std::memcpy(wide.record() + 1, "a b     \0\0 \0                           ", 40);
    EXPECT_EQ(wide.text(0), "a b");
    std::memcpy(wide.record() + 1, "                                 x      ", 40);
    EXPECT_EQ(wide.text(0), "                                 x");
    const std::string message = thrownMessage([&] { table.set(0, "Ωmega"); });
    EXPECT_NE(message.find("Ω"), std::string::npos);
    EXPECT_NE(message.find("NAME"), std::string::npos);
}

TEST(FieldValues, WholeNumbersRoundTripUpToEightDigits) {
    MemoryTable table({{"PAGES", 'N', kWholeNumberWidth, 0}});
    for (const char* value : {"0", "-3", "12345678", "-12345678", "99999999999"}) {
        table.set(0, value);
        EXPECT_EQ(table.text(0), value);
    }
    table.set(0, "  42  ");
    EXPECT_EQ(table.text(0), "42");
    EXPECT_DOUBLE_EQ(fieldNumber(table.field(0), table.record()), 42);
    EXPECT_EQ(thrownMessage([&] { table.set(0, "123456789012"); }),
              "The value 123456789012 does not fit the field PAGES.");
    EXPECT_EQ(thrownMessage([&] { table.set(0, "abc"); }),
              "'abc' is not a valid number for field PAGES.");
    for (const char* bad : {"1.2.3", "--1", "1e", "12abc", ".", "+", "1 2"}) {
        EXPECT_THROW(table.set(0, bad), TableError) << bad;
    }
}

TEST(FieldValues, MoneyIsKeptExactlyAndShownWithoutTrailingZeros) {
    MemoryTable table({{"COST", 'F', kDecimalNumberWidth, kDecimalNumberDecimals}});
    const std::pair<const char*, const char*> cases[] = {
        {"1234.56", "1234.56"}, {"12.50", "12.5"},  {"-0.01", "-0.01"},
        {"0.1", "0.1"},         {"19.99", "19.99"}, {"99999999.99", "99999999.99"},
        {"-0.00001", "0"},      {"1e3", "1000"},    {"7", "7"},
    };
    for (const auto& [typed, shown] : cases) {
        table.set(0, typed);
        EXPECT_EQ(table.text(0), shown) << typed;
    }
    table.set(0, "19.99");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(table.record() + 1), 20), "             19.9900");
    setFieldNumber(table.field(0), table.record(), 0.1 + 0.2);
    EXPECT_EQ(table.text(0), "0.3");
    EXPECT_THROW(setFieldNumber(table.field(0), table.record(), 1e30), TableError);
    EXPECT_THROW(table.set(0, "1e400"), TableError);
}

// Stored digits are those of printf's %.*f (without the sign of a zero) for every number: whole
// numbers, money, values halfway between two cents, tiny and large ones.
TEST(FieldValues, StoredDigitsRoundAsPrintfDoes) {
    std::mt19937_64 random(15);
    std::vector<double> values = {0.0,
                                  -0.0,
                                  2.675,
                                  1.005,
                                  0.125,
                                  -0.125,
                                  0.3,
                                  1e-9,
                                  -1e-9,
                                  1125899906842623.0,
                                  1125899906842624.5,
                                  99999999.995};
    for (int i = 0; i < 20000; ++i) {
        const int64_t whole = int64_t(random() % 2000000001) - 1000000000;
        const double shifts[] = {1, 10, 100, 1000, 1e4, 1e6};
        values.push_back(double(whole) / shifts[random() % 6]);
        values.push_back(double(whole) / 1000 + 0.005);
        values.push_back(std::ldexp(double(random() % (1ull << 52)), -int(random() % 60)));
    }
    for (int decimals : {0, 1, 2, 4, 9}) {
        MemoryTable table({{"N", 'N', 20, uint8_t(decimals)}});
        for (double value : values) {
            char expected[64];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            std::string digits = expected;
            if (digits[0] == '-' && digits.find_first_of("123456789") == std::string::npos)
                digits.erase(0, 1);
            if (digits.size() > 20) {
                EXPECT_THROW(setFieldNumber(table.field(0), table.record(), value), TableError);
                continue;
            }
            setFieldNumber(table.field(0), table.record(), value);
            ASSERT_EQ(std::string(reinterpret_cast<char*>(table.record() + 1), 20),
                      std::string(20 - digits.size(), ' ') + digits)
                << value << " with " << decimals << " decimals";
        }
    }
}

TEST(FieldValues, NumbersAreStoredAndShownAlikeUnderEveryProcessLocale) {
    MemoryTable table({{"COST", 'F', kDecimalNumberWidth, kDecimalNumberDecimals}});
    for (const char* locale : testsupport::kProcessLocales) {
        const testsupport::ProcessLocale inForce(locale);
        table.set(0, "1234.5");
        EXPECT_EQ(std::string(reinterpret_cast<char*>(table.record() + 1), 20),
                  "           1234.5000")
            << locale;
        EXPECT_EQ(table.text(0), "1234.5") << locale;
        table.set(0, "2,75e1");
        EXPECT_DOUBLE_EQ(fieldNumber(table.field(0), table.record()), 27.5) << locale;
    }
}

TEST(FieldValues, ForeignNumberTextReadsSensibly) {
    MemoryTable table({{"N", 'N', 10, 2}});
    auto stored = [&](const char* bytes) {
        std::memcpy(table.record() + 1, bytes, 10);
        return table.text(0);
    };
    EXPECT_EQ(stored("      3,50"), "3.5");
    EXPECT_EQ(stored("**********"), "");
    EXPECT_TRUE(fieldIsBlank(table.field(0), table.record()));
    EXPECT_DOUBLE_EQ(fieldNumber(table.field(0), table.record()), 0);
    EXPECT_EQ(stored("    ******"), "");
    EXPECT_TRUE(fieldIsBlank(table.field(0), table.record()));
    EXPECT_EQ(stored("      0.00"), "0");
    EXPECT_FALSE(fieldIsBlank(table.field(0), table.record()));
    EXPECT_EQ(stored("   1.5e3  "), "1500");
    EXPECT_EQ(stored("       12."), "12");
    EXPECT_EQ(stored("      -007"), "-7");
    EXPECT_EQ(stored("     1.2.3"), "1.2.3");
    EXPECT_EQ(stored("     -.500"), "-0.5");
    EXPECT_EQ(stored("    +007.0"), "7");
    EXPECT_EQ(stored("     -0.00"), "0");
    EXPECT_EQ(stored("      n/a "), "n/a"); // shown as it stands rather than hidden
    EXPECT_DOUBLE_EQ(fieldNumber(table.field(0), table.record()), 0);
}

TEST(FieldValues, DatesUseTheFormatAndRefuseImpossibleText) {
    MemoryTable table({{"BOUGHT", 'D', 8, 0}});
    table.set(0, "2/29/96");
    EXPECT_EQ(std::string(reinterpret_cast<char*>(table.record() + 1), 8), "19960229");
    EXPECT_EQ(table.text(0), "2/29/96");
    EXPECT_EQ((fieldDate(table.field(0), table.record())), (Date{1996, 2, 29}));
    EXPECT_EQ(thrownMessage([&] { table.set(0, "2/30/96"); }),
              "'2/30/96' is not a valid date for field BOUGHT.");
    table.set(0, " ");
    EXPECT_EQ(table.text(0), "");
    EXPECT_TRUE(fieldIsBlank(table.field(0), table.record()));
}

TEST(FieldValues, LogicalsAcceptTheUsualLetters) {
    MemoryTable table({{"LENT", 'L', 1, 0}});
    for (const char* yes : {"T", "t", "Y", "yes"}) {
        table.set(0, yes);
        EXPECT_EQ(table.text(0), "T");
    }
    table.set(0, "n");
    EXPECT_EQ(table.text(0), "F");
    table.set(0, "");
    EXPECT_EQ(table.text(0), "");
    EXPECT_THROW(table.set(0, "maybe"), TableError);
}

TEST(FieldValues, HostileTextGivesShortErrors) {
    MemoryTable table({{"PAGES", 'N', 5, 0}, {"NAME", 'C', 10, 0}});
    const std::string longText(10000, '9');
    EXPECT_LT(thrownMessage([&] { table.set(0, longText); }).size(), 300u);
    EXPECT_THROW(table.set(1, "bad \xC3 utf8"), TableError);
    EXPECT_THROW(table.set(1, "\xED\xA0\x80"), TableError); // a lone surrogate
    table.set(1, std::string(10000, 'x'));
    EXPECT_EQ(table.text(1), std::string(10, 'x'));
}

TEST(FieldValues, Dbase7BinaryNumbersAndTimestamps) {
    // Bytes worked out by hand: sortable big-endian encodings, and a timestamp counting
    // milliseconds from day 1 = 1 January of year 1 (7 March 2026 12:34:56 here).
    uint8_t record[] = {' ',  0x7F, 0xFF, 0xFF, 0xF9, 0x3F, 0xFB, 0xFF, 0xFF, 0xFF,
                        0xFF, 0xFF, 0xFF, 0xC0, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00,
                        0x00, 0xC2, 0xCD, 0x0F, 0xEF, 0xCF, 0x30, 0xC0, 0x00};
    DbfHeader header;
    header.dbase7 = true;
    FieldDescriptor integer{"I", 'I', 1, 4, 0, 0, false, true};
    FieldDescriptor negative{"O1", 'O', 5, 8, 0, 0, false, true};
    FieldDescriptor positive{"O2", 'O', 13, 8, 0, 0, false, true};
    FieldDescriptor stamp{"TS", '@', 21, 8, 0, 0, false, true};
    EXPECT_EQ(fieldText(header, integer, record, DateFormat{}), "-7");
    EXPECT_EQ(fieldText(header, negative, record, DateFormat{}), "-2.5");
    EXPECT_EQ(fieldText(header, positive, record, DateFormat{}), "2.5");
    EXPECT_EQ(fieldText(header, stamp, record, DateFormat{}), "3/7/26 12:34:56");
    EXPECT_THROW(setFieldText(header, stamp, record, "1/1/20", DateFormat{}, 2026), TableError);
}

} // namespace
