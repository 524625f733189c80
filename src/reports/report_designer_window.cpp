#include "reports/report_designer_window.h"

#include "appearance/colour_painting.h"
#include "reports/report_design.h"
#include "reports/report_file.h"
#include "reports/report_fonts_window.h"
#include "reports/report_layout_window.h"
#include "settings/settings.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace reports {

namespace {

QGroupBox* titledGroup(QWidget* parent, const char* title) {
    auto* group = new QGroupBox(QString::fromLatin1(title), parent);
    appearance::markColourPart(*group, appearance::ColourPart::MinorTitle);
    return group;
}

template <typename Widget> Widget* named(Widget* widget, const char* name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLineEdit* edit(QWidget* parent, const char* name, int maxLength) {
    auto* line = named(new QLineEdit(parent), name);
    line->setMaxLength(maxLength);
    return line;
}

QCheckBox* check(QWidget* parent, const char* text, const char* name) {
    return named(new QCheckBox(QString::fromLatin1(text), parent), name);
}

} // namespace

QString fontSlotText(const FontSlot& slot) {
    return QStringLiteral("%1 %2pt").arg(slot.name).arg(slot.size);
}

TUserReport::TUserReport(QWidget* parent, const widgets::Seams& seams, ReportHost& host,
                         ReportDefinition& definition, std::optional<int> existingIndex)
    : QDialog(parent), seams_(seams), host_(host), definition_(definition),
      existingIndex_(existingIndex) {
    setObjectName(QStringLiteral("TUserReport"));
    setWindowTitle(QStringLiteral("Report Definition"));
    createControls();
    design_.record(*this, seams_.messages);
    fillControls();
}

TUserReport::~TUserReport() = default;

void TUserReport::createControls() {
    auto* nameGroup = titledGroup(this, "Report Name");
    reportName_ = edit(nameGroup, "ReportName", 30);
    (new QVBoxLayout(nameGroup))->addWidget(reportName_);
    connect(reportName_, &QLineEdit::editingFinished, this, &TUserReport::ReportNameExit);

    auto* widthGroup = titledGroup(this, "Report Width");
    auto* widthLayout = new QHBoxLayout(widthGroup);
    struct WidthButton {
        QRadioButton*& button;
        const char* text;
        const char* name;
        int width;
    };
    for (const WidthButton& b : {WidthButton{chars90_, "90 Chars", "Chars90", 90},
                                 WidthButton{chars120_, "120 Chars", "Chars120", 120},
                                 WidthButton{chars150_, "150 Chars", "Chars150", 150}}) {
        b.button = named(new QRadioButton(QString::fromLatin1(b.text), widthGroup), b.name);
        widthLayout->addWidget(b.button);
        const int width = b.width;
        connect(b.button, &QRadioButton::clicked, this, [this, width] { widthChosen(width); });
    }

    auto* titleGroup = titledGroup(this, "Report Titles");
    auto* titleLayout = new QVBoxLayout(titleGroup);
    const char* titleNames[3] = {"Title1", "Title2", "Title3"};
    for (int i = 0; i < 3; ++i) {
        titles_[i] = edit(titleGroup, titleNames[i], 80);
        titleLayout->addWidget(titles_[i]);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(nameGroup, 0, 0);
    grid->addWidget(widthGroup, 0, 1);
    grid->addWidget(createFontsGroup(), 1, 0, 1, 2);
    grid->addWidget(titleGroup, 2, 0, 1, 2);
    grid->addWidget(createOptionsGroup(), 3, 0);
    grid->addWidget(createMarginsGroup(), 3, 1);

    auto* buttons = new QHBoxLayout;
    auto* update = named(new QPushButton(QStringLiteral("&Update"), this), "UpdateButton");
    auto* cancel = named(new QPushButton(QStringLiteral("&Cancel"), this), "CancelButton");
    deleteButton_ = named(new QPushButton(QStringLiteral("&Delete"), this), "DeleteButton");
    auto* help = named(new QPushButton(QStringLiteral("&Help"), this), "HelpButton");
    for (QPushButton* button : {update, cancel, deleteButton_, help})
        buttons->addWidget(button);
    // F1 as well, the key desktop users press for help.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, help,
            &QPushButton::click);
    connect(update, &QPushButton::clicked, this, &TUserReport::UpdateButtonClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(deleteButton_, &QPushButton::clicked, this, &TUserReport::DeleteButtonClick);
    connect(help, &QPushButton::clicked, this,
            [this] { seams_.help.showKeyword(QStringLiteral("User Defined Reports")); });

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    // Tight spacing keeps the whole window on a 640 x 480 screen.
    for (QLayout* inner : findChildren<QLayout*>()) {
        inner->setSpacing(3);
        inner->setContentsMargins(6, 3, 6, 3);
    }
    resize(600, 440);
}

QWidget* TUserReport::createFontsGroup() {
    auto* group = titledGroup(this, "Report Fonts");
    auto* grid = new QGridLayout(group);
    struct FontEdit {
        QLineEdit*& edit;
        const char* caption;
        const char* name;
    };
    int column = 0;
    for (const FontEdit& f : {FontEdit{titleLineFont_, "Title Lines", "TitleLineFont"},
                              FontEdit{columnHeaderFont_, "Column Headers", "ColumnHeaderFont"},
                              FontEdit{repBodyDataFont_, "Report Body", "RepBodyDataFont"},
                              FontEdit{footnoteFont_, "Footnotes", "FootnoteFont"}}) {
        f.edit = named(new QLineEdit(group), f.name);
        f.edit->setReadOnly(true);
        grid->addWidget(new QLabel(QString::fromLatin1(f.caption), group), 0, column);
        grid->addWidget(f.edit, 1, column++);
    }
    auto* setFonts = named(new QPushButton(QStringLiteral("&Set Fonts"), group), "SetFonts");
    grid->addWidget(setFonts, 1, column);
    connect(setFonts, &QPushButton::clicked, this, &TUserReport::SetFontsClick);
    return group;
}

QWidget* TUserReport::createOptionsGroup() {
    auto* group = titledGroup(this, "Report Options");
    auto* grid = new QGridLayout(group);
    level1Group_ = check(group, "Group by Level 1 Sort", "Level1Group");
    level2Group_ = check(group, "Group by Level 2 Sort", "Level2Group");
    columnHeaders_ = check(group, "Column Headers", "ColumnHeaders");
    horzLines_ = check(group, "Horizontal Lines", "HorzLines");
    vertLines_ = check(group, "Vertical Lines", "VertLines");
    dateOnPage_ = check(group, "Date On Pages", "DateOnPage");
    pageNumbers_ = check(group, "Page Numbers", "PageNumbers");
    landOrient_ = check(group, "Print Landscape", "LandOrient");
    useTotals_ = check(group, "Use Totals", "UseTotals");
    const QCheckBox* order[] = {level1Group_, level2Group_, columnHeaders_, horzLines_,
                                vertLines_,   dateOnPage_,  pageNumbers_,   landOrient_};
    for (int i = 0; i < 8; ++i)
        grid->addWidget(const_cast<QCheckBox*>(order[i]), i % 4, i / 4);
    connect(level1Group_, &QCheckBox::toggled, this,
            [this](bool on) { level2Group_->setEnabled(on); });

    numLines_ = edit(group, "NumLines", 2);
    auto* numLinesRow = new QHBoxLayout;
    numLinesRow->addWidget(new QLabel(QStringLiteral("Number of Lines"), group));
    numLinesRow->addWidget(numLines_);
    numLinesRow->addWidget(useTotals_);
    grid->addLayout(numLinesRow, 4, 0, 1, 2);
    connect(numLines_, &QLineEdit::editingFinished, this, &TUserReport::NumLinesExit);

    auto* specify =
        named(new QPushButton(QStringLiteral("&Specify Report Content"), group), "SpecifyButton");
    grid->addWidget(specify, 5, 0, 1, 2);
    connect(specify, &QPushButton::clicked, this, &TUserReport::SpecifyButtonClick);
    return group;
}

QWidget* TUserReport::createMarginsGroup() {
    auto* group = titledGroup(this, "Margins (in inches)");
    auto* grid = new QGridLayout(group);
    struct Margin {
        QLineEdit*& edit;
        const char* caption;
        const char* name;
        double ReportDefinition::*value;
    };
    int row = 0;
    for (const Margin& m :
         {Margin{topMargin_, "Top", "TopMargin", &ReportDefinition::topMargin},
          Margin{bottomMargin_, "Bottom", "BottomMargin", &ReportDefinition::bottomMargin},
          Margin{leftMargin_, "Left", "LeftMargin", &ReportDefinition::leftMargin},
          Margin{rightMargin_, "Right", "RightMargin", &ReportDefinition::rightMargin}}) {
        m.edit = edit(group, m.name, 5);
        grid->addWidget(new QLabel(QString::fromLatin1(m.caption), group), row, 0);
        grid->addWidget(m.edit, row++, 1);
        QLineEdit* line = m.edit;
        const auto value = m.value;
        connect(line, &QLineEdit::editingFinished, this,
                [this, line, value] { marginExit(line, definition_.*value); });
    }
    return group;
}

void TUserReport::fillControls() {
    reportName_->setText(definition_.reportName);
    for (int i = 0; i < 3; ++i)
        titles_[i]->setText(definition_.titles[static_cast<size_t>(i)]);
    numLines_->setText(QString::number(definition_.numLines));
    topMargin_->setText(marginText(definition_.topMargin));
    bottomMargin_->setText(marginText(definition_.bottomMargin));
    leftMargin_->setText(marginText(definition_.leftMargin));
    rightMargin_->setText(marginText(definition_.rightMargin));
    (definition_.width == 150   ? chars150_
     : definition_.width == 120 ? chars120_
                                : chars90_)
        ->setChecked(true);
    level1Group_->setChecked(definition_.groupLevel1);
    level2Group_->setChecked(definition_.groupLevel1 && definition_.groupLevel2);
    level2Group_->setEnabled(definition_.groupLevel1);
    columnHeaders_->setChecked(definition_.columnHeaders);
    horzLines_->setChecked(definition_.horzLines);
    vertLines_->setChecked(definition_.vertLines);
    dateOnPage_->setChecked(definition_.dateOnPage);
    pageNumbers_->setChecked(definition_.pageNumbers);
    landOrient_->setChecked(definition_.landscape);
    useTotals_->setChecked(definition_.useTotals);
    refreshFontTexts();
    updateLineOptions();
    openingName_ = definition_.reportName;
    deleteButton_->setEnabled(existingIndex_.has_value());
    reportName_->setFocus();
}

void TUserReport::refreshFontTexts() {
    titleLineFont_->setText(fontSlotText(definition_.font(FontSlotId::Title)));
    columnHeaderFont_->setText(fontSlotText(definition_.font(FontSlotId::ColumnHeader)));
    repBodyDataFont_->setText(fontSlotText(definition_.font(FontSlotId::Body)));
    footnoteFont_->setText(fontSlotText(definition_.font(FontSlotId::Footnote)));
}

int TUserReport::showModal() {
    widgets::prepareToShow(*this, &design_, host_.windowSizeFactor(), seams_.screen.size(),
                           host_.userFonts());
    appearance::applyColourSet(*this, host_.settings().colours(app::WindowGroup::Report));
    reportName_->setFocus();
    return exec();
}

int TUserReport::designWidth() const {
    return chars150_->isChecked() ? 150 : chars120_->isChecked() ? 120 : 90;
}

void TUserReport::widthChosen(int width) {
    const int from = definition_.width;
    if (from == width)
        return;
    if (changeReportWidth(definition_, from, width, seams_.messages)) {
        refreshFontTexts();
        return;
    }
    checkWidth(from); // answered No: the previous button again
}

void TUserReport::checkWidth(int width) {
    QRadioButton* button = width == 150 ? chars150_ : width == 120 ? chars120_ : chars90_;
    const QSignalBlocker blocker(button);
    button->setChecked(true);
}

void TUserReport::ReportNameExit() {
    if (!existingIndex_)
        return;
    definition_.reportName = reportName_->text().trimmed().left(30);
    deleteButton_->setEnabled(definition_.reportName == openingName_);
}

void TUserReport::NumLinesExit() {
    if (const auto value = numLinesFromText(numLines_->text())) {
        definition_.numLines = *value;
        numLines_->setText(QString::number(*value));
    }
    updateLineOptions();
}

void TUserReport::marginExit(QLineEdit* edit, double& margin) {
    // A margin that is not a number of inches keeps the last good one, shown again.
    if (const auto value = marginFromText(edit->text()))
        margin = *value;
    edit->setText(marginText(margin));
    NumLinesExit();
}

void TUserReport::updateLineOptions() {
    const auto value = numLinesFromText(numLines_->text());
    const bool singleLine = value.value_or(definition_.numLines) < 2;
    for (QCheckBox* box : {columnHeaders_, horzLines_, vertLines_})
        box->setEnabled(singleLine);
}

void TUserReport::copyControlsIntoDefinition() {
    for (auto [edit, margin] : {std::pair{topMargin_, &definition_.topMargin},
                                std::pair{bottomMargin_, &definition_.bottomMargin},
                                std::pair{leftMargin_, &definition_.leftMargin},
                                std::pair{rightMargin_, &definition_.rightMargin}})
        marginExit(edit, *margin);
    applyControls(definition_);
}

void TUserReport::applyControls(ReportDefinition& target) const {
    for (auto [edit, margin] :
         {std::pair{topMargin_, &target.topMargin}, std::pair{bottomMargin_, &target.bottomMargin},
          std::pair{leftMargin_, &target.leftMargin}, std::pair{rightMargin_, &target.rightMargin}})
        if (const auto value = marginFromText(edit->text()))
            *margin = *value;
    target.reportName = reportName_->text().trimmed().left(30);
    for (int i = 0; i < 3; ++i)
        target.titles[static_cast<size_t>(i)] = titles_[i]->text().left(80);
    target.width = designWidth();
    target.columnHeaders = columnHeaders_->isChecked();
    target.groupLevel1 = level1Group_->isChecked();
    target.groupLevel2 = target.groupLevel1 && level2Group_->isChecked();
    target.pageNumbers = pageNumbers_->isChecked();
    target.landscape = landOrient_->isChecked();
    target.dateOnPage = dateOnPage_->isChecked();
    target.horzLines = horzLines_->isChecked();
    target.vertLines = vertLines_->isChecked();
    target.useTotals = useTotals_->isChecked();
}

bool TUserReport::takeNumLines() {
    const auto numLines = checkNumLines(numLines_->text(), seams_.messages);
    if (!numLines) {
        numLines_->setFocus();
        return false;
    }
    definition_.numLines = *numLines;
    numLines_->setText(QString::number(*numLines));
    return true;
}

void TUserReport::UpdateButtonClick() {
    if (!takeNumLines())
        return;
    copyControlsIntoDefinition();
    ReportFile file(reportFilePath(host_.programDirectory()));
    const SaveResult result =
        saveReport(file, definition_, existingIndex_, openingName_, seams_.messages);
    if (result.outcome != SaveOutcome::Saved)
        return;
    fileChanged_ = true;
    selectedIndex_ = result.index;
    accept();
}

void TUserReport::DeleteButtonClick() {
    if (!existingIndex_)
        return;
    ReportFile file(reportFilePath(host_.programDirectory()));
    if (!deleteReport(file, *existingIndex_, seams_.messages))
        return;
    fileChanged_ = true;
    const int remaining = file.count().value_or(0);
    selectedIndex_ = std::min(*existingIndex_, remaining - 1);
    accept();
}

void TUserReport::SetFontsClick() {
    TReportFonts fonts(this, seams_, definition_);
    widgets::prepareToShow(fonts, &fonts.design(), host_.windowSizeFactor(), seams_.screen.size(),
                           host_.userFonts());
    appearance::applyColourSet(fonts, host_.settings().colours(app::WindowGroup::Report));
    fonts.exec();
    refreshFontTexts();
}

void TUserReport::SpecifyButtonClick() {
    if (!takeNumLines())
        return;
    updateLineOptions();
    LayoutOptions options;
    options.designWidth = designWidth();
    options.showTotals = useTotals_->isChecked();
    options.scale = host_.windowSizeFactor();
    options.fonts = host_.userFonts();
    options.pending = definition_;
    applyControls(options.pending);
    options.table = &host_.bookTable();
    options.context = reportContextFrom(host_.settings(), seams_.clock.today());
    options.printer = host_.printer();
    TRepLayout layout(this, seams_, host_.settings(), definition_, std::move(options));
    appearance::applyColourSet(layout, host_.settings().colours(app::WindowGroup::Report));
    layout.exec();
}

std::optional<int> runReportDesigner(QWidget* parent, const widgets::Seams& seams, ReportHost& host,
                                     ReportDefinition& definition,
                                     std::optional<int> existingIndex) {
    TUserReport window(parent, seams, host, definition, existingIndex);
    window.showModal();
    if (!window.fileChanged())
        return std::nullopt;
    return window.selectedIndex();
}

} // namespace reports
