#include "transfer/delimited_text.h"

#include <algorithm>

namespace transfer {

namespace {

constexpr char kQuote = '"';

bool isUtf8Continuation(unsigned char c) {
    return (c & 0xC0) == 0x80;
}

// Kept out of line: a copy the compiler knows to be short is inlined as a string instruction
// whose start-up costs more than the library's copy of these few bytes.
[[gnu::noinline]] void appendBytes(std::string& text, const uint8_t* bytes, size_t count) {
    text.append(reinterpret_cast<const char*>(bytes), count);
}

} // namespace

void appendDelimitedField(std::string& line, std::string_view text, bool firstField) {
    text = text.substr(0, kMaxFieldText);
    std::string doubled;
    doubled.reserve(text.size() + 8);
    for (char c : text) {
        const size_t need = c == kQuote ? 2 : 1;
        if (doubled.size() + need > kMaxFieldText)
            break;
        doubled.append(need, c);
    }
    const size_t begin = doubled.find_first_not_of(' ');
    std::string_view trimmed;
    if (begin != std::string::npos)
        trimmed =
            std::string_view(doubled).substr(begin, doubled.find_last_not_of(' ') + 1 - begin);
    if (!firstField)
        line += ',';
    line += kQuote;
    line += trimmed;
    line += kQuote;
}

DelimitedReader::Field DelimitedReader::readField(std::string& text) {
    text.clear();
    Field field;
    bool insideQuotes = false;
    const auto store = [&](int c) {
        if (text.size() < kMaxFieldText)
            text += static_cast<char>(c);
        else
            field.overflow = true;
    };
    for (;;) {
        // Plain characters (neither quotes nor control codes) go over a stretch at a time.
        size_t run = 0;
        while (position_ + run < bytes_.size() && bytes_[position_ + run] >= 32 &&
               bytes_[position_ + run] != kQuote)
            ++run;
        if (run > 0) {
            const size_t room = kMaxFieldText - std::min<size_t>(text.size(), kMaxFieldText);
            if (run > room)
                field.overflow = true;
            appendBytes(text, bytes_.data() + position_, std::min(run, room));
            position_ += run;
            if (lineEnded())
                return field;
        }
        const int c = take();
        if (c == kEnd)
            return field;
        if (c == kQuote && !insideQuotes) {
            insideQuotes = true;
        } else if (c == kQuote) {
            if (lineEnded()) {
                field.complete = true;
            } else {
                const int d = take();
                if (d == ',') {
                    field.complete = true;
                } else if (d == kQuote) {
                    store(kQuote);
                } else {
                    // A stray quote: it closes the quoted part, and the character after it
                    // counts as any character outside quotes. The field still ends at the
                    // line's end at the latest.
                    insideQuotes = false;
                    if (d >= 32)
                        store(d);
                }
            }
        } else if (c >= 32) {
            store(c);
        }
        if (field.complete || lineEnded())
            return field;
    }
}

void DelimitedReader::skipToLineEnd() {
    while (!lineEnded())
        take();
}

FirstLine checkFirstLine(DelimitedReader& reader) {
    FirstLine result;
    std::string text;
    for (;;) {
        if (static_cast<int>(result.fields.size()) + 1 > kMaxImportFields) {
            result.error = FirstLineError::TooManyFields;
            break;
        }
        const DelimitedReader::Field field = reader.readField(text);
        if (field.overflow) {
            result.error = FirstLineError::FieldTooLong;
            break;
        }
        result.fields.push_back(text);
        if (reader.lineEnded()) {
            if (!field.complete)
                result.error = FirstLineError::UnexpectedEndOfLine;
            break;
        }
    }
    if (result.error != FirstLineError::None)
        result.fields.clear();
    return result;
}

std::string firstLineMessage(FirstLineError error) {
    std::string message = "The file selected does not appear to be an ASCII delimited text file.  "
                          "An ASCII delimited file requires a unique format of each field being "
                          "surrounded by double quotes and separated by a comma.  ";
    switch (error) {
    case FirstLineError::FieldTooLong:
        return message + "The selected file has a field that is greater than 255 characters.";
    case FirstLineError::UnexpectedEndOfLine:
        return message + "The selected file had an unexpected end of a line most likely due to "
                         "an unmatched quote.";
    case FirstLineError::TooManyFields:
        return message + "The selected file has too many fields.  There are at least 10 more "
                         "fields than are required by Volumara.";
    case FirstLineError::None:
        break;
    }
    return {};
}

std::string importLabel(std::string_view text, bool utf8) {
    if (text.empty())
        return kBlankFieldLabel;
    if (!utf8)
        return std::string(text.substr(0, kImportLabelLength));
    size_t characters = 0;
    size_t end = 0;
    while (end < text.size()) {
        if (!isUtf8Continuation(static_cast<unsigned char>(text[end])) &&
            characters++ == kImportLabelLength)
            break;
        ++end;
    }
    return std::string(text.substr(0, end));
}

bool readRecordLine(DelimitedReader& reader, int fieldCount, std::vector<std::string>& fields) {
    if (fieldCount < 1)
        fieldCount = 1; // every call must take the line, or a caller's loop would never end
    fields.resize(static_cast<size_t>(fieldCount));
    for (std::string& field : fields)
        field.clear();
    for (int i = 0; i < fieldCount; ++i) {
        reader.readField(fields[static_cast<size_t>(i)]);
        if (i == 0 && fields[0].empty() && reader.lineEnded())
            return false;
        if (reader.lineEnded())
            return true;
    }
    reader.skipToLineEnd();
    return true;
}

} // namespace transfer
