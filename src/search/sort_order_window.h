#pragma once

// The Sort Order dialog: four lists of "<NONE>" and the field labels, whose positions are the
// sort levels; "&Ok" puts the chosen order in place, "&Cancel" leaves everything as it was.

#include "search/sort_order.h"
#include "settings/settings.h"
#include "widgets/seams.h"
#include "widgets/window_geometry.h"

#include <QDialog>

#include <array>

class QComboBox;

namespace search {

class TMySortOrder : public QDialog {
    Q_OBJECT
public:
    // `context` and `settings` are the main window's and outlive the dialog.
    TMySortOrder(QWidget* parent, widgets::Seams& seams, const app::Settings& settings,
                 SortOrderContext& context, double windowFactor, const widgets::UserFonts& fonts);

    QComboBox* levelList(int level) const { return lists_[static_cast<size_t>(level)]; }
    db::SortLevels chosenLevels() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void OkButtonClick();

    widgets::Seams& seams_;
    const app::Settings& settings_;
    SortOrderContext& context_;
    double windowFactor_;
    widgets::UserFonts fonts_;
    std::array<QComboBox*, 4> lists_{};
    std::array<QWidget*, 4> headings_{};
    bool dressed_ = false;
};

} // namespace search
