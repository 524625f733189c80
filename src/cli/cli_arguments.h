#pragma once

// The command line of one subcommand: options (`--name` or `--name VALUE` / `--name=VALUE`) and
// positional arguments, checked against what the subcommand accepts. Plain code, no Qt.

#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli {

// A mistake in how the program was called: the message, and exit status 2.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct OptionRule {
    std::string name;           // without the leading "--"
    bool takesValue = false;    // --name VALUE
    bool valueOptional = false; // --print [QUEUE]: a value only when the next word is no
                                // option and the required arguments came before
};

class Arguments {
public:
    // Parses `words` (the words after the subcommand). "--" ends the options. Throws UsageError
    // for an unknown option, a missing value, or a positional count outside min..max.
    Arguments(const std::vector<std::string>& words, const std::vector<OptionRule>& options,
              size_t minPositional, size_t maxPositional);

    bool has(const std::string& option) const { return values_.count(option) != 0; }
    // The option's value; nothing when the option is absent or was given without one.
    std::optional<std::string> value(const std::string& option) const;
    const std::vector<std::string>& positional() const { return positional_; }
    const std::string& positional(size_t index) const { return positional_.at(index); }

    // Exactly one of `options` must be given; returns it. Throws UsageError otherwise.
    std::string oneOf(const std::vector<std::string>& options) const;

private:
    std::map<std::string, std::optional<std::string>> values_;
    std::vector<std::string> positional_;
};

// "A,B,C" split at commas, blanks around each part removed, empty parts kept out.
std::vector<std::string> splitList(const std::string& text);

} // namespace cli
