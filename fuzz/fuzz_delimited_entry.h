#pragma once

// What the delimited-text fuzz target does with one input, shared with the test that replays
// its seed corpus: the encoding test, the first-line check, then every record line as an
// import reads them.

#include "transfer/delimited_text.h"
#include "transfer/import_core.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace fuzzing {

inline void readDelimitedFile(const uint8_t* data, size_t size) {
    using namespace transfer;
    const TextEncoding encoding = detectEncoding(std::span<const uint8_t>(data, size));
    const std::span<const uint8_t> bytes =
        std::span<const uint8_t>(data, size).subspan(encoding.skip);
    DelimitedReader check(bytes);
    const FirstLine first = checkFirstLine(check);
    for (const std::string& field : first.fields) {
        importLabel(field, encoding.utf8);
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
