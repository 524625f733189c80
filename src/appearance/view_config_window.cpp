#include "appearance/view_config_window.h"

#include "appearance/colour_painting.h"
#include "appearance/colour_sets.h"
#include "appearance/view_config_fonts.h"
#include "appearance/view_config_grid.h"

#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>

namespace appearance {

namespace {

constexpr std::array<const char*, TViewConfig::PageCount> kHelpKeywords{
    "Viewer Configuration Title",  "Viewer Configuration Look",  "Viewer Configuration Show",
    "Viewer Configuration Widths", "Viewer Configuration Order", "Viewer Configuration Names"};

constexpr int kLabelColumn = 0;
constexpr int kValueColumn = 1;

QString latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

void runViewConfig(QWidget* parent, app::Settings& settings, widgets::Seams& seams, double factor,
                   const widgets::UserFonts& fonts, std::function<void()> applyViewerOptions) {
    TViewConfig window(parent, settings, seams, factor, fonts, std::move(applyViewerOptions));
    window.exec();
}

TViewConfig::TViewConfig(QWidget* parent, app::Settings& settings, widgets::Seams& seams,
                         double factor, const widgets::UserFonts& fonts,
                         std::function<void()> applyViewerOptions)
    : QDialog(parent), settings_(settings), seams_(seams), factor_(factor), userFonts_(fonts),
      applyViewerOptions_(std::move(applyViewerOptions)), editor_(settings) {
    buildWindow();
    FormShow();
}

TViewConfig::~TViewConfig() = default;

void TViewConfig::FormShow() {
    showFont(TitleFontBox, settings_.gridTitleFont);
    showFont(CellFontBox, settings_.gridFont);
    showColour(TitleColorSwatch, settings_.gridTitleBackground);
    showColour(CellColorSwatch, settings_.gridCellColour);
    fillGrids();

    // Scaled first: the user fonts set only face and style, and take the size already scaled.
    // The other way round, the size a component inherits would be scaled a second time.
    widgets::scaleAndCentre(*this, factor_, seams_.screen.size());
    widgets::applyUserFonts(*this, userFonts_);
    setFixedSize(size()); // the controls are placed, not laid out
    for (ViewConfigGrid* grid : {FieldsToDisplay, FieldWidthGrid, FieldOrderGrid, FieldNameGrid})
        grid->applyFactor(factor_);
    setColors();

    MyTabbedPage->setCurrentIndex(ShowPage);
    FieldsToDisplay->setCurrentCell(0, kValueColumn);
    FieldOrderGrid->setCurrentCell(0, 0);
}

void TViewConfig::fillGrids() {
    GridColumnTexts labels;
    GridColumnTexts names;
    for (int row = 0; row < kViewConfigRows; ++row) {
        labels[static_cast<size_t>(row)] = settings_.field(row + 1).label;
        names[static_cast<size_t>(row)] = latin1(db::fieldByNumber(row + 1)->name);
    }
    const ViewConfigTexts& texts = editor_.texts();
    FieldsToDisplay->setColumnTexts(kLabelColumn, labels);
    FieldsToDisplay->setColumnTexts(kValueColumn, texts.shown);
    FieldWidthGrid->setColumnTexts(kLabelColumn, labels);
    FieldWidthGrid->setColumnTexts(kValueColumn, texts.widths);
    FieldOrderGrid->setColumnTexts(0, texts.order);
    FieldNameGrid->setColumnTexts(kLabelColumn, names);
    FieldNameGrid->setColumnTexts(kValueColumn, texts.names);
}

void TViewConfig::setColors() {
    for (int page = 0; page < MyTabbedPage->count(); ++page)
        markColourPart(*MyTabbedPage->widget(page), ColourPart::Window);
    for (QLabel* caption : majorCaptions_)
        markColourPart(*caption, ColourPart::MajorTitle);
    for (QLabel* caption : minorCaptions_)
        markColourPart(*caption, ColourPart::MinorTitle);
    // Font boxes, alignment buttons, check boxes and grids are painted by their kind.
    applyColourSet(*this, settings_.colours(app::WindowGroup::Configure));
}

void TViewConfig::showFont(QLineEdit* box, const app::GridFontSettings& font) {
    box->setText(fontDescription(font));
}

void TViewConfig::showColour(QLabel* swatch, app::Colour colour) {
    QPalette palette = swatch->palette();
    palette.setColor(QPalette::Window, toQColor(colour));
    swatch->setPalette(palette);
}

// The grid's fonts carry their text colour, chosen in the same dialog.
void TViewConfig::chooseFont(app::GridFontSettings& font, QLineEdit* box) {
    if (std::optional<widgets::FontAndColour> chosen =
            seams_.fonts.chooseFontAndColour(this, toQFont(font), toQColor(font.colour))) {
        takeChosenFont(font, chosen->font);
        if (chosen->colour.isValid())
            font.colour = fromQColor(chosen->colour);
        showFont(box, font);
    }
}

void TViewConfig::chooseColour(app::Colour& colour, QLabel* swatch) {
    if (std::optional<QColor> chosen = seams_.colours.chooseColour(this, toQColor(colour));
        chosen && chosen->isValid()) {
        colour = fromQColor(*chosen);
        showColour(swatch, colour);
    }
}

void TViewConfig::FieldsToDisplayDblClick(int row, int column) {
    if (column != kValueColumn || row < 0 || row >= kViewConfigRows)
        return;
    FieldsToDisplay->setCellText(row, column,
                                 toggledShownText(FieldsToDisplay->cellText(row, column)));
}

void TViewConfig::UpButtonClick() {
    const int row = editor_.moveUp(FieldOrderGrid->currentRow());
    FieldOrderGrid->setColumnTexts(0, editor_.texts().order);
    FieldOrderGrid->setCurrentCell(row, 0);
}

void TViewConfig::DownButtonClick() {
    const int row = editor_.moveDown(FieldOrderGrid->currentRow());
    FieldOrderGrid->setColumnTexts(0, editor_.texts().order);
    FieldOrderGrid->setCurrentCell(row, 0);
}

void TViewConfig::DefaultsButtonClick() {
    const db::MessageAnswer answer = seams_.messages.show(
        "Re-Order", "This will set the order of fields to the program defaults.  Continue?",
        db::MessageIcon::Question, db::MessageButtons::YesNo, db::MessageAnswer::No);
    if (answer != db::MessageAnswer::Yes)
        return;
    editor_.restoreCatalogueOrder();
    FieldOrderGrid->setColumnTexts(0, editor_.texts().order);
}

void TViewConfig::HelpButtonClick() {
    const int page = MyTabbedPage->currentIndex();
    if (page >= 0 && page < PageCount)
        seams_.help.showKeyword(QLatin1String(kHelpKeywords[static_cast<size_t>(page)]));
}

void TViewConfig::done(int result) {
    if (!closing_) {
        if (!FormCloseQuery())
            return;
        closing_ = true;
        FormClose();
    }
    QDialog::done(result);
}

void TViewConfig::readGridsIntoEditor() {
    for (ViewConfigGrid* grid : {FieldsToDisplay, FieldWidthGrid, FieldOrderGrid, FieldNameGrid})
        grid->commitPendingEdit();
    ViewConfigTexts& texts = editor_.texts();
    texts.shown = FieldsToDisplay->columnTexts(kValueColumn);
    texts.widths = FieldWidthGrid->columnTexts(kValueColumn);
    texts.names = FieldNameGrid->columnTexts(kValueColumn);
}

bool TViewConfig::FormCloseQuery() {
    readGridsIntoEditor();
    if (std::optional<DuplicateLabel> duplicate = editor_.findDuplicateLabel()) {
        refuseOnNamesPage(duplicate->secondRow, duplicateLabelMessage(duplicate->label));
        return false;
    }
    if (std::optional<int> blank = editor_.findBlankLabel()) {
        refuseOnNamesPage(*blank, blankLabelMessage(*blank));
        return false;
    }
    return true;
}

void TViewConfig::refuseOnNamesPage(int row, const QString& message) {
    seams_.messages.error(message.toStdString());
    MyTabbedPage->setCurrentIndex(NamesPage);
    FieldNameGrid->setCurrentCell(row, kValueColumn);
    FieldNameGrid->setFocus();
}

void TViewConfig::FormClose() {
    editor_.storeInto(settings_);
    FieldWidthGrid->setColumnTexts(kValueColumn, editor_.texts().widths);
    if (applyViewerOptions_)
        applyViewerOptions_();
}

} // namespace appearance
