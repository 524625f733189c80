#include "cli/criteria_text.h"

#include "cli/cli_arguments.h"
#include "db/field_catalogue.h"

#include <QString>

namespace cli {

namespace {

std::string trimmed(std::string_view text) {
    return std::string(search::trimBlanks(text));
}

// The parts of `text` between occurrences of `separator` (matched exactly, blanks included).
std::vector<std::string> splitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const auto found = text.find(separator, start);
        parts.push_back(trimmed(std::string_view(text).substr(
            start, found == std::string::npos ? std::string::npos : found - start)));
        if (found == std::string::npos)
            return parts;
        start = found + separator.size();
    }
}

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

struct ParsedItem {
    int field = 0;
    std::string cellText; // as the criteria grid would hold it
    search::RowOperator rowOperator = search::RowOperator::Equal;
};

ParsedItem parseItem(const std::string& item, const app::Settings& settings) {
    const std::string lowered = lowerAscii(item);
    const auto contains = lowered.find(" contains ");
    const auto symbol = item.find_first_of("=<>");
    if (contains == std::string::npos && symbol == std::string::npos)
        throw UsageError("criterion \"" + item + "\" has no operator (contains, =, >, <)");
    const bool isContains =
        contains != std::string::npos && (symbol == std::string::npos || contains < symbol);
    const std::string fieldName =
        trimmed(std::string_view(item).substr(0, isContains ? contains : symbol));
    ParsedItem parsed;
    parsed.field = fieldNumberNamed(fieldName, settings);
    if (parsed.field == 0)
        throw UsageError("criterion \"" + item + "\": no field is named \"" + fieldName + "\"");
    const search::RowKind kind = search::rowKind(parsed.field);
    if (isContains) {
        if (kind != search::RowKind::Text)
            throw UsageError("criterion \"" + item + "\": " + fieldName +
                             " is compared with =, > or <, not contains");
        parsed.cellText = trimmed(std::string_view(item).substr(contains + 10));
        if (parsed.cellText.empty())
            throw UsageError("criterion \"" + item + "\" has no text to look for");
        return parsed;
    }
    if (kind == search::RowKind::Text)
        throw UsageError("criterion \"" + item + "\": " + fieldName +
                         " is a text field: use contains");
    const char op = item[symbol];
    const std::string rest = trimmed(std::string_view(item).substr(symbol + 1));
    const auto upper = rest.find('<');
    if (op == '>' && upper != std::string::npos) {
        parsed.rowOperator = search::RowOperator::Between;
        parsed.cellText = "> " + trimmed(std::string_view(rest).substr(0, upper)) + " AND < " +
                          trimmed(std::string_view(rest).substr(upper + 1));
    } else {
        parsed.rowOperator = op == '='   ? search::RowOperator::Equal
                             : op == '>' ? search::RowOperator::Greater
                                         : search::RowOperator::Less;
        parsed.cellText = std::string(1, op) + " " + rest;
    }
    if (rest.empty())
        throw UsageError("criterion \"" + item + "\" has no value");
    return parsed;
}

} // namespace

int fieldNumberNamed(const std::string& name, const app::Settings& settings) {
    const QString wanted = QString::fromStdString(name).trimmed();
    for (int number = 1; number <= db::kFieldCount; ++number)
        if (settings.fieldLabel(number).trimmed().compare(wanted, Qt::CaseInsensitive) == 0)
            return number;
    return db::fieldNumberByName(name);
}

std::optional<std::vector<search::SearchItem>> compileCriteria(const std::string& criteria,
                                                               const app::Settings& settings,
                                                               const search::DateReading& dates,
                                                               db::UserMessages& messages) {
    const std::string whole = trimmed(criteria);
    for (const char* joiner : {" AND", " OR"}) {
        const std::string_view end(joiner);
        if (whole.size() >= end.size() &&
            whole.compare(whole.size() - end.size(), end.size(), end) == 0)
            throw UsageError("\"" + criteria + "\" ends with" + std::string(joiner));
    }
    search::SearchLevels levels;
    const std::vector<std::string> levelTexts = splitAt(whole, " OR ");
    for (size_t level = 0; level < levelTexts.size(); ++level) {
        if (level > 0 && !levels.startNextLevel())
            throw UsageError("more than " + std::to_string(search::kMaxLevels) +
                             " levels joined by OR");
        search::CriteriaTexts texts;
        search::RowOperators operators = search::initialRowOperators();
        for (const std::string& item : splitAt(levelTexts[level], " AND ")) {
            if (item.empty())
                throw UsageError("an empty criterion in \"" + criteria + "\"");
            const ParsedItem parsed = parseItem(item, settings);
            const size_t row = static_cast<size_t>(parsed.field - 1);
            if (!texts[row].empty())
                throw UsageError("criterion \"" + item + "\": a level may name a field only once");
            texts[row] = parsed.cellText;
            operators[row] = parsed.rowOperator;
        }
        const search::CompileOutcome outcome = levels.compileLevel(texts, operators, dates);
        if (outcome.status != search::CompileStatus::Compiled) {
            search::reportCompileOutcome(outcome, messages);
            return std::nullopt;
        }
    }
    return levels.items();
}

} // namespace cli
