#pragma once

#include <stdexcept>
#include <string>

namespace transfer {

// A failure of an import or export that the user is told about in the words of the message.
class TransferError : public std::runtime_error {
public:
    explicit TransferError(const std::string& message) : std::runtime_error(message) {}
};

} // namespace transfer
