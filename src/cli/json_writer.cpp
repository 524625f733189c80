#include "cli/json_writer.h"

#include <cstdio>

namespace cli {

void JsonWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!firstInContainer_.empty()) {
        if (!firstInContainer_.back())
            text_ += ',';
        firstInContainer_.back() = false;
    }
}

JsonWriter& JsonWriter::beginObject() {
    beforeValue();
    text_ += '{';
    firstInContainer_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    text_ += '}';
    firstInContainer_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    beforeValue();
    text_ += '[';
    firstInContainer_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    text_ += ']';
    firstInContainer_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::key(const std::string& name) {
    beforeValue();
    text_ += escaped(name) + ':';
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::string(const std::string& utf8) {
    beforeValue();
    text_ += escaped(utf8);
    return *this;
}

JsonWriter& JsonWriter::number(int64_t value) {
    beforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    beforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

std::string JsonWriter::escaped(const std::string& utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (c < 0x20) {
                char code[8];
                std::snprintf(code, sizeof code, "\\u%04x", c);
                out += code;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + '"';
}

} // namespace cli
