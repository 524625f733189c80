#pragma once

// What the viewer configuration window edits in its four grids, kept apart from the widgets: the
// texts of the Show, Widths, Order and Names grids, moving fields up and down the order, putting
// the catalogue order back, checking the names before the window closes and storing everything
// into the settings when it does.

#include "settings/settings.h"

#include <QString>

#include <array>
#include <optional>

namespace appearance {

inline constexpr int kViewConfigRows = db::kFieldCount;
inline constexpr int kMinFieldWidth = 1;
inline constexpr int kMaxFieldWidth = 255;
// What a width that is not a number in range becomes.
inline constexpr int kFallbackFieldWidth = 10;

using GridColumnTexts = std::array<QString, kViewConfigRows>;

// Row r of the Show, Widths and Names texts belongs to catalogue field r + 1; row r of the Order
// texts names the field shown at grid position r + 1.
struct ViewConfigTexts {
    GridColumnTexts shown; // "Yes" shows the field; anything else hides it
    GridColumnTexts widths;
    GridColumnTexts order;
    GridColumnTexts names;
};

struct DuplicateLabel {
    int firstRow;
    int secondRow;
    QString label;
};

class ViewConfigEditor {
public:
    explicit ViewConfigEditor(const app::Settings& settings);

    ViewConfigTexts& texts() { return texts_; }
    const ViewConfigTexts& texts() const { return texts_; }

    // Swap the Order row with its neighbour; return the row that is current afterwards (the same
    // row when it cannot move).
    int moveUp(int row);
    int moveDown(int row);
    // Order rows back to catalogue order, by the labels the fields had when the window opened.
    void restoreCatalogueOrder();

    // The first pair of Names rows whose labels, as they will be stored, are equal.
    std::optional<DuplicateLabel> findDuplicateLabel() const;
    // The first Names row whose label holds nothing but blanks.
    std::optional<int> findBlankLabel() const;

    // Writes positions, labels, widths and shown flags. Width texts that are not a whole number in
    // range are stored, and left in the texts, as the fallback width.
    void storeInto(app::Settings& settings);

private:
    ViewConfigTexts texts_;
    GridColumnTexts openingLabels_; // by catalogue row; the Order texts are made of these
    std::array<int, kViewConfigRows> openingPositions_{};
};

// The Show text after a double click: "Yes" becomes "No", anything else "Yes".
QString toggledShownText(const QString& text);
// A width typed into the Widths grid, blanks around it ignored; nothing when it is not a whole
// number from kMinFieldWidth to kMaxFieldWidth.
std::optional<int> parseFieldWidth(const QString& text);
// A Names text as it is stored.
QString storedLabel(const QString& text);
QString duplicateLabelMessage(const QString& label);
QString blankLabelMessage(int row);

} // namespace appearance
