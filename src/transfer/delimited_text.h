#pragma once

// The "Ascii Delimited Text" exchange format: every field in double quotes, fields separated by
// a comma directly after the closing quote, lines ended by CR LF. The bytes are those the book
// table stores (Windows-1252), so files exchanged between copies of the program stay identical.
//
// Writing builds one line at a time; reading walks the bytes once with one character of
// look-ahead. Neither side ever looks past the end of its buffer.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace transfer {

constexpr size_t kMaxFieldText = 255;
constexpr int kMaxImportFields = 46; // the 36 book fields plus 10
constexpr size_t kImportLabelLength = 20;
inline constexpr const char* kBlankFieldLabel = "<BLANK FIELD>";

// Appends one field to `line`: cut to 255 characters, quotes doubled (a pair is never split by
// the cut), blanks (code 32 only) trimmed at both ends, a comma before every field but the
// first, then the text in quotes.
void appendDelimitedField(std::string& line, std::string_view text, bool firstField);
// Ends a line.
inline void endDelimitedLine(std::string& line) {
    line += "\r\n";
}

class DelimitedReader {
public:
    static constexpr int kEnd = -1;

    // `bytes` must outlive the reader.
    explicit DelimitedReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    // The file has ended: no byte left, or a Ctrl-Z next.
    bool atEnd() const { return peek() == kEnd; }
    // The line has ended: a CR next, or the end of the file.
    bool lineEnded() const {
        const int next = peek();
        return next == '\r' || next == kEnd;
    }

    struct Field {
        bool complete = false; // ended by its closing quote (and a comma or the line's end)
        bool overflow = false; // longer than 255 characters: the text holds the first 255
    };
    // Reads one field into `text` (replaced). Never goes past the CR that ends the line.
    Field readField(std::string& text);
    // Passes over the rest of the line, up to its CR or the end of the file.
    void skipToLineEnd();

    size_t position() const { return position_; }

private:
    int peek() const {
        if (position_ >= bytes_.size() || bytes_[position_] == 26)
            return kEnd;
        return bytes_[position_];
    }
    int take() {
        const int c = peek();
        if (c != kEnd)
            ++position_;
        return c;
    }

    std::span<const uint8_t> bytes_;
    size_t position_ = 0;
};

// The first-line check.
enum class FirstLineError {
    None = 0,
    FieldTooLong = 1,
    UnexpectedEndOfLine = 2,
    TooManyFields = 3
};

struct FirstLine {
    FirstLineError error = FirstLineError::None;
    std::vector<std::string> fields; // the whole texts, file order (1 to 46 of them)
};
FirstLine checkFirstLine(DelimitedReader& reader);

// The message for a failed check.
std::string firstLineMessage(FirstLineError error);

// The label of a first-line field: its first 20 characters, "<BLANK FIELD>" when empty.
// `utf8` says whether the text is UTF-8 (cut at a character boundary) or single bytes.
std::string importLabel(std::string_view text, bool utf8);

// Reads one record line of at most `fieldCount` fields into `fields` (resized to fieldCount;
// fields the line does not hold are empty); the rest of a longer line is passed over. False
// when the line yields no record (its first field is empty and ends the line).
bool readRecordLine(DelimitedReader& reader, int fieldCount, std::vector<std::string>& fields);

} // namespace transfer
