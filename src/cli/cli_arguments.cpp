#include "cli/cli_arguments.h"

#include <algorithm>

namespace cli {

namespace {

const OptionRule* findOption(const std::vector<OptionRule>& options, const std::string& name) {
    auto found = std::find_if(options.begin(), options.end(),
                              [&name](const OptionRule& rule) { return rule.name == name; });
    return found == options.end() ? nullptr : &*found;
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

Arguments::Arguments(const std::vector<std::string>& words, const std::vector<OptionRule>& options,
                     size_t minPositional, size_t maxPositional) {
    bool optionsEnded = false;
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (optionsEnded || word.size() < 3 || word.compare(0, 2, "--") != 0) {
            if (word == "--")
                optionsEnded = true;
            else
                positional_.push_back(word);
            continue;
        }
        const auto equals = word.find('=');
        const std::string name =
            word.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const OptionRule* rule = findOption(options, name);
        if (rule == nullptr)
            throw UsageError("unknown option --" + name);
        if (values_.count(name) != 0)
            throw UsageError("--" + name + " is given twice");
        std::optional<std::string> value;
        if (equals != std::string::npos) {
            if (!rule->takesValue)
                throw UsageError("--" + name + " takes no value");
            value = word.substr(equals + 1);
        } else if (rule->takesValue) {
            const bool nextIsValue = i + 1 < words.size() && words[i + 1].compare(0, 2, "--") != 0;
            // An optional value is taken only once the required arguments have been seen, so
            // that "--print TABLE.DBF" still names the table.
            if (nextIsValue && (!rule->valueOptional || positional_.size() >= minPositional))
                value = words[++i];
            else if (!rule->valueOptional)
                throw UsageError("--" + name + " needs a value");
        }
        values_[name] = value;
    }
    if (positional_.size() < minPositional)
        throw UsageError("too few arguments");
    if (positional_.size() > maxPositional)
        throw UsageError("too many arguments: " + positional_[maxPositional]);
}

std::optional<std::string> Arguments::value(const std::string& option) const {
    auto found = values_.find(option);
    return found == values_.end() ? std::nullopt : found->second;
}

std::string Arguments::oneOf(const std::vector<std::string>& options) const {
    std::string chosen;
    std::string names;
    for (const std::string& option : options) {
        names += (names.empty() ? "--" : " or --") + option;
        if (!has(option))
            continue;
        if (!chosen.empty())
            throw UsageError("give only one of " + names);
        chosen = option;
    }
    if (chosen.empty()) {
        std::string all;
        for (const std::string& option : options)
            all += (all.empty() ? "--" : ", --") + option;
        throw UsageError("give one of " + all);
    }
    return chosen;
}

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= text.size()) {
        const auto comma = text.find(',', start);
        const std::string part = trimmed(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (!part.empty())
            parts.push_back(part);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return parts;
}

} // namespace cli
