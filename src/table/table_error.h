#pragma once

#include <stdexcept>
#include <string>

namespace table {

// The one exception the engine raises. Its message is complete and meant for the user:
// it names the file, field or text concerned, so callers can show it as it stands.
class TableError : public std::runtime_error {
public:
    explicit TableError(const std::string& message) : std::runtime_error(message) {}
};

// An index file whose contents make no sense. Its table can still be opened without it, and a
// new index built in its place.
class IndexDamagedError : public TableError {
public:
    using TableError::TableError;
};

// A value that one field cannot take. The message names the field as the table does; a window
// that shows the field under another name (the user's label) builds the same message with it.
class FieldValueError : public TableError {
public:
    FieldValueError(const std::string& before, const std::string& fieldName,
                    const std::string& after)
        : TableError(before + fieldName + after), before_(before), fieldName_(fieldName),
          after_(after) {}
    const std::string& fieldName() const { return fieldName_; }
    std::string naming(const std::string& name) const { return before_ + name + after_; }

private:
    std::string before_;
    std::string fieldName_;
    std::string after_;
};

} // namespace table
