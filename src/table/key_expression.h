#pragma once

#include "dbf_format.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace table {

// A compiled dBASE index expression producing character keys. Understands what book tables use:
// field names (any letter case), Upper(x), Left(x,n), STR(numeric,w[,d]), DTOS(date), and terms
// joined by "+". Function names are matched without regard to case.
class KeyExpression {
public:
    // Throws TableError with a message naming the expression (and the unknown field, when that
    // is the fault) when the text cannot be compiled against `fields`.
    static KeyExpression compile(std::string_view text, const std::vector<FieldDescriptor>& fields);

    const std::string& text() const { return text_; }
    char keyType() const { return 'C'; }
    uint32_t keyLength() const { return keyLength_; }

    // Writes the key of `record` (pointing at its deletion-flag byte) into `key`, which gets
    // exactly keyLength() bytes in the table's code page, blank-padded.
    void evaluate(const uint8_t* record, std::string& key) const;

    struct Term; // one "+"-joined part, compiled

private:
    std::string text_;
    uint32_t keyLength_ = 0;
    std::vector<std::shared_ptr<const Term>> terms_;
};

} // namespace table
