// The delimited text format: what the writer puts out, what the reader takes in, and the
// first-line check that decides whether a file is offered for import.

#include "transfer/delimited_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using transfer::DelimitedReader;
using transfer::FirstLineError;
using Fields = std::vector<std::string>;

std::span<const uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::string line(const Fields& values) {
    std::string out;
    bool first = true;
    for (const std::string& value : values) {
        transfer::appendDelimitedField(out, value, first);
        first = false;
    }
    transfer::endDelimitedLine(out);
    return out;
}

std::string quotedFields(int count, const std::string& text = "f") {
    std::string out;
    for (int i = 0; i < count; ++i)
        out += (i > 0 ? ",\"" : "\"") + text + "\"";
    return out + "\r\n";
}

std::vector<Fields> records(const std::string& file, int fieldCount) {
    DelimitedReader reader(bytesOf(file));
    std::vector<Fields> result;
    Fields fields;
    while (!reader.atEnd())
        if (transfer::readRecordLine(reader, fieldCount, fields))
            result.push_back(fields);
    return result;
}

TEST(DelimitedWriter, WritesEachValueQuotedTrimmedAndCut) {
    struct Case {
        const char* name;
        Fields values;
        std::string expected;
    };
    const std::string quotes200(200, '"');
    const std::vector<Case> cases = {
        {"quoted word", {"say \"hi\""}, "\"say \"\"hi\"\"\"\r\n"},
        {"blanks around", {"  abc  "}, "\"abc\"\r\n"},
        {"blanks only", {"    "}, "\"\"\r\n"},
        {"empty", {""}, "\"\"\r\n"},
        {"other white space stays", {"\tx\t"}, "\"\tx\t\"\r\n"},
        {"comma between fields only", {"a", "", "b,c"}, "\"a\",\"\",\"b,c\"\r\n"},
        {"cut at 255", {std::string(300, 'x')}, "\"" + std::string(255, 'x') + "\"\r\n"},
        {"doubling cut at 255 keeps pairs", {quotes200}, "\"" + std::string(254, '"') + "\"\r\n"},
        {"bytes as they are", {"Br\xEBnte"}, "\"Br\xEBnte\"\r\n"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(line(c.values), c.expected) << c.name;
}

TEST(DelimitedReader, FirstLineCheck) {
    struct Case {
        const char* name;
        std::string file;
        FirstLineError error;
        Fields fields;
    };
    const std::vector<Case> cases = {
        {"two fields", "\"a\",\"b\"\r\n\"c\"", FirstLineError::None, {"a", "b"}},
        {"zero-length file", "", FirstLineError::UnexpectedEndOfLine, {}},
        {"unquoted", "abc,def\r\n", FirstLineError::UnexpectedEndOfLine, {}},
        {"comma outside quotes is text", "\"a\",,\"b\"\r\n", FirstLineError::None, {"a", ",b"}},
        {"trailing comma adds no field", "\"a\",\"b\",\r\n", FirstLineError::None, {"a", "b"}},
        {"no line end", "\"a\"", FirstLineError::None, {"a"}},
        {"doubled quotes", "\"x \"\"y\"\"\"\r\n", FirstLineError::None, {"x \"y\""}},
        {"46 fields", quotedFields(46), FirstLineError::None, Fields(46, "f")},
        {"47 fields", quotedFields(47), FirstLineError::TooManyFields, {}},
        {"255 characters",
         quotedFields(1, std::string(255, 'z')),
         FirstLineError::None,
         {std::string(255, 'z')}},
        {"256 characters",
         quotedFields(1, std::string(256, 'z')),
         FirstLineError::FieldTooLong,
         {}},
        {"LF-only lines are one line", "\"a\"\n\"b\"\n", FirstLineError::UnexpectedEndOfLine, {}},
        {"unmatched quote", "\"a\",\"b\r\n\"c\"\r\n", FirstLineError::UnexpectedEndOfLine, {}},
        {"Ctrl-Z ends the file", "\"a\"\x1a\"b\"", FirstLineError::None, {"a"}},
    };
    for (const Case& c : cases) {
        DelimitedReader reader(bytesOf(c.file));
        const transfer::FirstLine first = transfer::checkFirstLine(reader);
        EXPECT_EQ(first.error, c.error) << c.name;
        EXPECT_EQ(first.fields, c.fields) << c.name;
    }
}

TEST(DelimitedReader, FirstLineMessagesEndWithTheErrorsSentence) {
    const std::string start = "The file selected does not appear to be an ASCII delimited text "
                              "file.  An ASCII delimited file requires a unique format of each "
                              "field being surrounded by double quotes and separated by a comma.  ";
    EXPECT_EQ(transfer::firstLineMessage(FirstLineError::FieldTooLong),
              start + "The selected file has a field that is greater than 255 characters.");
    EXPECT_EQ(transfer::firstLineMessage(FirstLineError::UnexpectedEndOfLine),
              start + "The selected file had an unexpected end of a line most likely due to an "
                      "unmatched quote.");
    EXPECT_EQ(transfer::firstLineMessage(FirstLineError::TooManyFields),
              start + "The selected file has too many fields.  There are at least 10 more "
                      "fields than are required by Volumara.");
}

TEST(DelimitedReader, ImportLabels) {
    EXPECT_EQ(transfer::importLabel("", false), "<BLANK FIELD>");
    EXPECT_EQ(transfer::importLabel("abcdefghijklmnopqrstuvwxyz", false), "abcdefghijklmnopqrst");
    EXPECT_EQ(transfer::importLabel("Year Pub", false), "Year Pub");
    // UTF-8 is cut after 20 characters, not 20 bytes.
    EXPECT_EQ(transfer::importLabel("ééééééééééééééééééééé", true), "éééééééééééééééééééé");
}

TEST(DelimitedReader, RecordLines) {
    struct Case {
        const char* name;
        std::string file;
        int fieldCount;
        std::vector<Fields> expected;
    };
    const std::vector<Case> cases = {
        {"two lines", "\"a\",\"b\"\r\n\"c\",\"d\"\r\n", 2, {{"a", "b"}, {"c", "d"}}},
        {"last line without CR LF", "\"a\",\"b\"\r\n\"c\",\"d\"", 2, {{"a", "b"}, {"c", "d"}}},
        {"line of two quotes", "\"\"\r\n\"c\",\"d\"\r\n", 2, {{"c", "d"}}},
        {"empty line", "\r\n\"c\"\r\n", 2, {{"c", ""}}},
        {"surplus fields passed over",
         "\"a\",\"b\",\"c\"\r\n\"d\"\r\n",
         2,
         {{"a", "b"}, {"d", ""}}},
        {"empty first field with more", "\"\",\"b\"\r\n", 2, {{"", "b"}}},
        {"control characters dropped", "\"a\tb\x01\"\r\n", 1, {{"ab"}}},
        {"stray quote", "\"a\"x\"\r\n\"d\"\r\n", 1, {{"ax"}, {"d"}}},
        {"unclosed quote ends at the line", "\"abc\r\n\"d\"\r\n", 1, {{"abc"}, {"d"}}},
        {"Ctrl-Z ends the file", "\"a\"\r\n\x1a\"b\"\r\n", 1, {{"a"}}},
        {"long field cut", quotedFields(1, std::string(400, 'q')), 1, {{std::string(255, 'q')}}},
        {"cut amid a doubled quote and after an unquoted comma",
         "\"" + std::string(250, 'a') + ",\"\"" + std::string(9, 'b') + "\",\"c\"\r\n",
         2,
         {{std::string(250, 'a') + ",\"bbb", "c"}}},
        {"LF-only file is one line", "\"a\",\"b\"\n\"c\",\"d\"\n", 4, {{"a", "bc", "d"}}},
    };
    for (const Case& c : cases) {
        auto got = records(c.file, c.fieldCount);
        for (Fields& fields : got)
            while (fields.size() > c.expected.front().size() && fields.back().empty())
                fields.pop_back();
        EXPECT_EQ(got, c.expected) << c.name;
    }
}

TEST(DelimitedText, ValuesReadBackAsWritten) {
    const Fields values = {"say \"hi\"",          "a,b", ",", "\"\"", "\",\"", "Br\xEBnte",
                           std::string(110, 'w'), "",    "x"};
    const std::string file = line(values) + line(values);
    const auto got = records(file, static_cast<int>(values.size()));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], values);
    EXPECT_EQ(got[1], values);
}

} // namespace
