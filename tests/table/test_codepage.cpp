#include "table/codepage.h"

#include <gtest/gtest.h>

namespace {

using namespace table;

std::string allUpperBytes() {
    std::string bytes;
    for (int b = 0x80; b <= 0xFF; ++b) {
        bytes += static_cast<char>(b);
    }
    return bytes;
}

TEST(Codepage, Windows1252MatchesTheStandardTable) {
    EXPECT_EQ(
        decodeToUtf8("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E", Codepage::Cp1252),
        "€‚ƒ„…†‡ˆ‰Š‹ŒŽ");
    EXPECT_EQ(
        decodeToUtf8("\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F", Codepage::Cp1252),
        "‘’“”•–—˜™š›œžŸ");
    EXPECT_EQ(decodeToUtf8("\xA0\xE9\xFF", Codepage::Cp1252), "\u00A0éÿ");
    // The five bytes 1252 leaves undefined still decode, to the C1 control of that number.
    EXPECT_EQ(decodeToUtf8("\x81\x8D\x8F\x90\x9D", Codepage::Cp1252),
              "\u0081\u008D\u008F\u0090\u009D");
}

TEST(Codepage, EveryByteRoundTripsInEveryCodepage) {
    const std::string bytes = allUpperBytes();
    for (auto cp : {Codepage::Cp1252, Codepage::Cp437, Codepage::Cp850, Codepage::Cp852,
                    Codepage::Cp866, Codepage::Cp1250, Codepage::Cp1251}) {
        const std::string utf8 = decodeToUtf8(bytes, cp);
        EXPECT_EQ(encodeFromUtf8(utf8, cp), bytes) << static_cast<int>(cp);
    }
}

TEST(Codepage, OtherCodepagesSpotChecks) {
    EXPECT_EQ(decodeToUtf8("\x80\x9B\xE1", Codepage::Cp437), "Ç¢ß");
    EXPECT_EQ(decodeToUtf8("\x9B\xD5", Codepage::Cp850), "øı");
    EXPECT_EQ(decodeToUtf8("\xA5\x9F", Codepage::Cp852), "ąč");
    EXPECT_EQ(decodeToUtf8("\x80\xAF\xE0", Codepage::Cp866), "Апр");
    EXPECT_EQ(decodeToUtf8("\x8A\xB9", Codepage::Cp1250), "Šą");
    EXPECT_EQ(decodeToUtf8("\xC0\xFF\xA8", Codepage::Cp1251), "АяЁ");
}

TEST(Codepage, EncodingRefusesWhatTheCodepageCannotHold) {
    std::string bad;
    EXPECT_EQ(encodeFromUtf8("Grüße €5", Codepage::Cp1252), "Gr\xFC\xDF"
                                                            "e \x80"
                                                            "5");
    EXPECT_FALSE(encodeFromUtf8("Пётр", Codepage::Cp1252, &bad));
    EXPECT_EQ(bad, "П");
    EXPECT_FALSE(encodeFromUtf8("a😀", Codepage::Cp1251, &bad));
    EXPECT_EQ(bad, "😀");
    EXPECT_FALSE(encodeFromUtf8("é", Codepage::Ascii, &bad));
    // Malformed UTF-8: truncated sequence, overlong form, stray continuation byte.
    for (const char* malformed : {"ab\xC3", "\xC0\xAF", "\x80", "\xF4\x90\x80\x80"}) {
        EXPECT_FALSE(encodeFromUtf8(malformed, Codepage::Cp1252, &bad)) << malformed;
        EXPECT_EQ(bad, "\uFFFD");
    }
}

TEST(Codepage, LanguageDriverMarks) {
    EXPECT_EQ(codepageFromLanguageDriver(0x01), Codepage::Cp437);
    EXPECT_EQ(codepageFromLanguageDriver(0x02), Codepage::Cp850);
    EXPECT_EQ(codepageFromLanguageDriver(0x03), Codepage::Cp1252);
    EXPECT_EQ(codepageFromLanguageDriver(0x57), Codepage::Cp1252);
    EXPECT_EQ(codepageFromLanguageDriver(0x64), Codepage::Cp852);
    EXPECT_EQ(codepageFromLanguageDriver(0x65), Codepage::Cp866);
    EXPECT_EQ(codepageFromLanguageDriver(0x26), Codepage::Cp866);
    EXPECT_EQ(codepageFromLanguageDriver(0xC8), Codepage::Cp1250);
    EXPECT_EQ(codepageFromLanguageDriver(0xC9), Codepage::Cp1251);
    EXPECT_EQ(codepageFromLanguageDriver(0x7D), Codepage::Cp1252); // Hebrew: no table, kept
    EXPECT_EQ(languageDriverFor(Codepage::Cp1252), 0x57);
    for (auto cp : {Codepage::Cp437, Codepage::Cp850, Codepage::Cp852, Codepage::Cp866,
                    Codepage::Cp1250, Codepage::Cp1251}) {
        EXPECT_EQ(codepageFromLanguageDriver(languageDriverFor(cp)), cp);
    }
}

TEST(Codepage, UpperCasingFollowsAnsi) {
    EXPECT_EQ(upperCp1252('a'), 'A');
    EXPECT_EQ(upperCp1252('Z'), 'Z');
    EXPECT_EQ(upperCp1252(0xE9), 0xC9); // é
    EXPECT_EQ(upperCp1252(0xFE), 0xDE); // þ
    EXPECT_EQ(upperCp1252(0xF7), 0xF7); // ÷ is no letter
    EXPECT_EQ(upperCp1252(0xDF), 0xDF); // ß has no capital here
    EXPECT_EQ(upperCp1252(0x9A), 0x8A); // š
    EXPECT_EQ(upperCp1252(0x9C), 0x8C); // œ
    EXPECT_EQ(upperCp1252(0x9E), 0x8E); // ž
    EXPECT_EQ(upperCp1252(0xFF), 0x9F); // ÿ
    EXPECT_EQ(upperCp1252('1'), '1');
}

TEST(Codepage, DecodingKeepsAsciiRunsAndConvertsWhatFollows) {
    // Long ASCII runs take the fast way; a high byte anywhere after them must still convert.
    for (size_t prefix : {0, 1, 7, 8, 9, 16, 23}) {
        const std::string ascii(prefix, 'x');
        EXPECT_EQ(decodeToUtf8(ascii + "caf\xE9 cr\xE8me", Codepage::Cp1252), ascii + "café crème")
            << prefix;
        EXPECT_EQ(decodeToUtf8(ascii, Codepage::Cp1252), ascii);
    }
}

TEST(Codepage, ContainsUpperMatchesAnywhereRegardlessOfCase) {
    EXPECT_TRUE(containsUpperCp1252("Smith, John", "SMITH"));
    EXPECT_TRUE(containsUpperCp1252("Goldsmith", "SMITH"));
    EXPECT_TRUE(containsUpperCp1252("ssmith", "SMITH"));          // a false start before the match
    EXPECT_TRUE(containsUpperCp1252("Dvo\x9A\xE1k", "\x8A\xC1")); // šá as ŠÁ
    EXPECT_FALSE(containsUpperCp1252("Smit", "SMITH"));
    EXPECT_FALSE(containsUpperCp1252("S m i t h", "SMITH"));
    EXPECT_FALSE(containsUpperCp1252("", "SMITH"));
    EXPECT_TRUE(containsUpperCp1252("anything", ""));
}

} // namespace
