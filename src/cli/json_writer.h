#pragma once

// A small writer of JSON text for the command-line program's machine-readable output.

#include <cstdint>
#include <string>
#include <vector>

namespace cli {

class JsonWriter {
public:
    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(const std::string& name);
    JsonWriter& string(const std::string& utf8);
    JsonWriter& number(int64_t value);
    JsonWriter& boolean(bool value);
    const std::string& text() const { return text_; }

private:
    void beforeValue();
    static std::string escaped(const std::string& utf8);

    std::string text_;
    std::vector<bool> firstInContainer_;
    bool afterKey_ = false;
};

} // namespace cli
