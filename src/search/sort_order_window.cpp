#include "search/sort_order_window.h"

#include "appearance/colour_painting.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace search {

namespace {

constexpr std::array<const char*, 4> kHeadings{"Primary Sort", "Secondary Sort", "Third Level Sort",
                                               "Fourth Level Sort"};

} // namespace

TMySortOrder::TMySortOrder(QWidget* parent, widgets::Seams& seams, const app::Settings& settings,
                           SortOrderContext& context, double windowFactor,
                           const widgets::UserFonts& fonts)
    : QDialog(parent), seams_(seams), settings_(settings), context_(context),
      windowFactor_(windowFactor), fonts_(fonts) {
    setWindowTitle(QStringLiteral("Sort Order"));
    setObjectName(QStringLiteral("TMySortOrder"));
    auto* grid = new QGridLayout;
    for (size_t level = 0; level < lists_.size(); ++level) {
        auto* heading = new QLabel(QString::fromLatin1(kHeadings[level]), this);
        auto* list = new QComboBox(this);
        list->setEditable(false);
        list->addItem(QStringLiteral("<NONE>"));
        for (int field = 1; field <= db::kFieldCount; ++field)
            list->addItem(settings.fieldLabel(field));
        list->setMinimumContentsLength(20);
        heading->setBuddy(list);
        grid->addWidget(heading, static_cast<int>(level) * 2, 0);
        grid->addWidget(list, static_cast<int>(level) * 2 + 1, 0);
        headings_[level] = heading;
        lists_[level] = list;
    }
    auto* okButton = new QPushButton(QStringLiteral("&Ok"), this);
    okButton->setObjectName(QStringLiteral("OkButton"));
    okButton->setDefault(true);
    auto* cancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(okButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(280, 300);
}

db::SortLevels TMySortOrder::chosenLevels() const {
    db::SortLevels levels{};
    for (size_t level = 0; level < lists_.size(); ++level)
        levels[level] = std::max(0, lists_[level]->currentIndex());
    return levels;
}

void TMySortOrder::showEvent(QShowEvent* event) {
    // Once, when the command opens the dialog: shown again after being minimised or moved
    // between desktops it keeps the user's choices.
    if (!dressed_) {
        dressed_ = true;
        for (size_t level = 0; level < lists_.size(); ++level) {
            const int stored = settings_.sortLevels[level];
            lists_[level]->setCurrentIndex(stored >= 0 && stored <= db::kFieldCount ? stored : 0);
        }
        widgets::applyUserFonts(*this, fonts_);
        widgets::scaleAndCentre(*this, windowFactor_, seams_.screen.size());
        const app::ColourSet& colours = settings_.colours(app::WindowGroup::Configure);
        appearance::paintColourPart(*this, appearance::ColourPart::Window, colours);
        for (QWidget* heading : headings_)
            appearance::paintColourPart(*heading, appearance::ColourPart::MinorTitle, colours);
    }
    QDialog::showEvent(event);
}

void TMySortOrder::OkButtonClick() {
    // Another program holding the table leaves the dialog open for another try or Cancel.
    if (putSortOrderInPlace(context_, chosenLevels()) != SortOrderOutcome::InUse)
        accept();
}

} // namespace search
