#include "appearance/view_config_editor.h"

#include <algorithm>
#include <numeric>

namespace appearance {

namespace {

QString yesNo(bool value) {
    return value ? QStringLiteral("Yes") : QStringLiteral("No");
}

// Blanks are spaces only: other control characters typed into a cell are not trimmed away.
QString trimSpaces(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// Catalogue rows sorted by their stored position. A settings file edited by hand may give two
// fields the same position or none a valid one; the stable sort still yields every field once,
// in the stored order wherever that order is sound.
std::array<int, kViewConfigRows> rowsByPosition(const app::Settings& settings) {
    std::array<int, kViewConfigRows> rows{};
    std::iota(rows.begin(), rows.end(), 0);
    std::ranges::stable_sort(rows, {}, [&settings](int row) {
        int position = settings.field(row + 1).order;
        return (position >= 1 && position <= kViewConfigRows) ? position : kViewConfigRows + 1;
    });
    return rows;
}

} // namespace

ViewConfigEditor::ViewConfigEditor(const app::Settings& settings) {
    for (int row = 0; row < kViewConfigRows; ++row) {
        const app::FieldSettings& field = settings.field(row + 1);
        openingLabels_[row] = field.label;
        openingPositions_[row] = field.order;
        texts_.shown[row] = yesNo(field.displayed);
        texts_.widths[row] = QString::number(field.width);
        texts_.names[row] = field.label;
    }
    const std::array<int, kViewConfigRows> rows = rowsByPosition(settings);
    for (int position = 0; position < kViewConfigRows; ++position)
        texts_.order[position] = openingLabels_[rows[position]];
}

int ViewConfigEditor::moveUp(int row) {
    if (row <= 0 || row >= kViewConfigRows)
        return row;
    std::swap(texts_.order[row], texts_.order[row - 1]);
    return row - 1;
}

int ViewConfigEditor::moveDown(int row) {
    if (row < 0 || row >= kViewConfigRows - 1)
        return row;
    std::swap(texts_.order[row], texts_.order[row + 1]);
    return row + 1;
}

void ViewConfigEditor::restoreCatalogueOrder() {
    texts_.order = openingLabels_;
}

std::optional<DuplicateLabel> ViewConfigEditor::findDuplicateLabel() const {
    // Compared as stored, cut to the label length, so that two names differing only beyond it
    // never end up as two equal labels.
    for (int first = 0; first < kViewConfigRows; ++first) {
        const QString label = storedLabel(texts_.names[first]);
        for (int second = first + 1; second < kViewConfigRows; ++second) {
            if (storedLabel(texts_.names[second]) == label)
                return DuplicateLabel{first, second, label};
        }
    }
    return std::nullopt;
}

std::optional<int> ViewConfigEditor::findBlankLabel() const {
    for (int row = 0; row < kViewConfigRows; ++row) {
        if (trimSpaces(storedLabel(texts_.names[row])).isEmpty())
            return row;
    }
    return std::nullopt;
}

void ViewConfigEditor::storeInto(app::Settings& settings) {
    // The Order rows hold the labels the fields had at opening, so renaming a field in the same
    // visit does not lose its place. Each row is claimed by one field only, which keeps the
    // positions a permutation even when two fields came in with the same label.
    std::array<bool, kViewConfigRows> claimed{};
    for (int row = 0; row < kViewConfigRows; ++row) {
        app::FieldSettings& field = settings.field(row + 1);
        for (int position = 0; position < kViewConfigRows; ++position) {
            if (!claimed[position] && texts_.order[position] == openingLabels_[row]) {
                claimed[position] = true;
                field.order = position + 1;
                break;
            }
        }
    }
    for (int row = 0; row < kViewConfigRows; ++row) {
        app::FieldSettings& field = settings.field(row + 1);
        field.label = storedLabel(texts_.names[row]);
        std::optional<int> width = parseFieldWidth(texts_.widths[row]);
        if (!width) {
            width = kFallbackFieldWidth;
            texts_.widths[row] = QString::number(kFallbackFieldWidth);
        }
        field.width = *width;
        field.displayed = texts_.shown[row] == QLatin1String("Yes");
    }
}

QString toggledShownText(const QString& text) {
    return yesNo(text != QLatin1String("Yes"));
}

std::optional<int> parseFieldWidth(const QString& text) {
    const QString trimmed = trimSpaces(text);
    // Digits with an optional sign only; toInt alone would also skip other white space.
    qsizetype start = (trimmed.startsWith('+') || trimmed.startsWith('-')) ? 1 : 0;
    if (trimmed.size() == start ||
        !std::all_of(trimmed.begin() + start, trimmed.end(),
                     [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }))
        return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok, 10);
    if (!ok || value < kMinFieldWidth || value > kMaxFieldWidth)
        return std::nullopt;
    return value;
}

QString storedLabel(const QString& text) {
    return text.left(app::kMaxFieldLabelLength);
}

QString duplicateLabelMessage(const QString& label) {
    return QStringLiteral("Two field names have the same name \"") + label +
           QStringLiteral("\".  Please change one.");
}

QString blankLabelMessage(int row) {
    const std::string_view name = db::fieldByNumber(row + 1)->name;
    return QStringLiteral("The field %1 has no name.  Please enter a name for it.")
        .arg(QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())));
}

} // namespace appearance
