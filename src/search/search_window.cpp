#include "search/search_window.h"

#include "appearance/colour_painting.h"
#include "search/criteria_grid.h"
#include "search/record_test.h"
#include "search/search_options.h"
#include "search/wait_cursor.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <exception>
#include <memory>

namespace search {

namespace {

constexpr const char* kHelpKeyword = "Search Window";

} // namespace

TMySearch::TMySearch(QWidget* parent, widgets::Seams& seams, const app::Settings& settings,
                     db::PickLists& pickLists, SearchHost& host)
    : QDialog(parent), seams_(seams), settings_(settings), pickLists_(pickLists), host_(host) {
    setWindowTitle(QStringLiteral("Search"));
    setObjectName(QStringLiteral("TMySearch"));
    grid_ = new CriteriaGrid(operators_, this);
    connect(grid_, &CriteriaGrid::optionsRequested, this, [this](int row) { showOptions(row); });

    auto* buttons = new QHBoxLayout;
    QPushButton* okButton = addButton("&Ok", "OkButton");
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
    connect(addButton("E&xit", "ExitButton"), &QPushButton::clicked, this,
            [this] { ExitButtonClick(); });
    connect(addButton("&Clear Search", "ClearButton"), &QPushButton::clicked, this,
            [this] { ClearButtonClick(); });
    findMoreButton_ = addButton("&Find More", "FindMoreButton");
    connect(findMoreButton_, &QPushButton::clicked, this, [this] { FindMoreButtonClick(); });
    connect(addButton("&Help", "HelpButton"), &QPushButton::clicked, this,
            [this] { HelpButtonClick(); });
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            [this] { HelpButtonClick(); });
    for (QPushButton* button : findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        buttons->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8); // the 620-pixel grid fits a 640-pixel screen
    layout->addWidget(grid_, 1, Qt::AlignHCenter);
    layout->addLayout(buttons);
    resize(640, 420);
    design_.record(*this, seams_.messages);
}

QPushButton* TMySearch::addButton(const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(text), this);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    return button;
}

int TMySearch::execSearch() {
    FormShow();
    return exec();
}

void TMySearch::openSearch() {
    FormShow();
    open();
}

void TMySearch::FormShow() {
    design_.restore(*this);
    widgets::applyUserFonts(*this, host_.userFonts());
    const double factor = host_.windowSizeFactor();
    widgets::scaleAndCentre(*this, factor, seams_.screen.size());
    grid_->applyFactor(factor);
    // The items of a search in force live on in the book table's filter; the window starts a
    // new set.
    levels_.clear();
    findMoreButton_->setEnabled(true);
    setLevelHeading();
    QStringList labels;
    for (int field = 1; field <= db::kFieldCount; ++field)
        labels << settings_.fieldLabel(field);
    grid_->setFieldLabels(labels);
    grid_->clearCriteria();
    const app::ColourSet& colours = settings_.colours(app::WindowGroup::Search);
    appearance::paintColourPart(*this, appearance::ColourPart::Window, colours);
    appearance::paintColourPart(*grid_, appearance::ColourPart::List, colours);
    grid_->setFocus();
}

void TMySearch::setLevelHeading() {
    grid_->setLevel(levels_.level());
}

bool TMySearch::compileCurrentLevel() {
    const DateReading dates{table::currentDateFormat(), seams_.clock.today().year()};
    const CompileOutcome outcome = levels_.compileLevel(grid_->criteriaTexts(), operators_, dates);
    reportCompileOutcome(outcome, seams_.messages);
    switch (outcome.status) {
    case CompileStatus::Compiled:
        return true;
    case CompileStatus::Invalid:
        grid_->makeCurrent(outcome.row);
        return false;
    case CompileStatus::Overflow:
        overflowCleared();
        return false;
    case CompileStatus::Empty:
        grid_->setFocus();
        return false;
    }
    return false;
}

void TMySearch::overflowCleared() {
    grid_->clearCriteria();
    findMoreButton_->setEnabled(true);
    setLevelHeading();
    grid_->setFocus();
}

void TMySearch::startNextLevel() {
    grid_->clearCriteria();
    levels_.startNextLevel();
    setLevelHeading();
    if (!levels_.canFindMore())
        findMoreButton_->setEnabled(false);
    grid_->setFocus();
}

void TMySearch::OkButtonClick() {
    findMoreButton_->setEnabled(true);
    if (compileCurrentLevel())
        runSearch();
}

void TMySearch::runSearch() {
    bool found = false;
    try {
        WaitCursor hourglass;
        if (host_.searchActive())
            host_.reopenBookTable();
        host_.setRecordFilter(
            makeRecordFilter(std::make_shared<const RecordTest>(levels_.items())));
        host_.enableEndSearch();
        table::Table& books = host_.bookTable();
        books.refresh();
        found = !books.isEmpty();
        if (!found)
            host_.doEndSearch();
    } catch (const std::exception& error) {
        seams_.messages.error(error.what());
        if (host_.searchActive())
            host_.doEndSearch();
        return;
    }
    if (found) {
        accept();
        return;
    }
    seams_.messages.show("Notice", kNoMatchesMessage, db::MessageIcon::Information,
                         db::MessageButtons::Ok, db::MessageAnswer::Ok);
    clearSearch();
}

void TMySearch::ExitButtonClick() {
    findMoreButton_->setEnabled(true);
    reject();
}

void TMySearch::clearSearch() {
    grid_->clearCriteria();
    levels_.clear();
    findMoreButton_->setEnabled(true);
    setLevelHeading();
    grid_->setFocus();
}

void TMySearch::ClearButtonClick() {
    clearSearch();
}

void TMySearch::FindMoreButtonClick() {
    if (compileCurrentLevel())
        startNextLevel();
    else
        grid_->setFocus();
}

void TMySearch::HelpButtonClick() {
    seams_.help.showKeyword(QString::fromLatin1(kHelpKeyword));
}

void TMySearch::showOptions(int row) {
    if (!rowHasOptions(row))
        return;
    const bool choosesOperator = rowKind(row) != RowKind::Text;
    QStringList entries;
    int selected = -1;
    if (choosesOperator) {
        for (const char* choice : rowOperatorChoices())
            entries << QString::fromLatin1(choice);
        selected = static_cast<int>(operators_[static_cast<size_t>(row - 1)]) - 1;
    } else if (const db::PickList* list = pickLists_.forField(row)) {
        entries = list->entries();
    }
    TSearchOptions options(this, settings_.fieldLabel(row), entries, selected,
                           settings_.colours(app::WindowGroup::Search));
    widgets::applyUserFonts(options, host_.userFonts());
    widgets::scaleAndCentre(options, host_.windowSizeFactor(), seams_.screen.size());
    if (options.exec() != QDialog::Accepted)
        return;
    const int chosen = options.selectedIndex();
    if (choosesOperator) {
        if (chosen >= 0)
            operators_[static_cast<size_t>(row - 1)] = static_cast<RowOperator>(chosen + 1);
    } else if (chosen >= 0) {
        grid_->setCriterionText(row, entries[chosen]);
    }
    grid_->makeCurrent(row);
}

} // namespace search
