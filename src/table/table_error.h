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

} // namespace table
