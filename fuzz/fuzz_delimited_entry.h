#pragma once

// What the delimited-text fuzz target does with one input, shared with the test that replays
// its seed corpus: the first-line check, then every record line as an import reads them.

#include "transfer/delimited_text.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fuzzing {

inline void readDelimitedFile(const uint8_t* data, size_t size) {
    using namespace transfer;
    const std::span<const uint8_t> bytes(data, size);
    DelimitedReader check(bytes);
    const FirstLine first = checkFirstLine(check);
    for (const std::string& field : first.fields) {
        importLabel(field, false);
        importLabel(field, true);
    }
    // Record lines are read whatever the check said, with its count or the most there can be.
    const int fieldCount =
        first.fields.empty() ? kMaxImportFields : static_cast<int>(first.fields.size());
    DelimitedReader reader(bytes);
    std::vector<std::string> fields;
    size_t lines = 0;
    while (!reader.atEnd()) {
        const size_t before = reader.position();
        readRecordLine(reader, fieldCount, fields);
        if (reader.position() == before || ++lines > size + 1)
            __builtin_trap(); // a line that takes nothing would never end an import
    }
}

} // namespace fuzzing
