#include "reports/report_window.h"

#include "appearance/colour_painting.h"
#include "reports/qt_printer_device.h"
#include "reports/report_file.h"
#include "reports/report_selection.h"
#include "reports/report_status_window.h"
#include "settings/settings.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <optional>

namespace reports {

namespace {

QPushButton* addButton(QWidget* parent, QVBoxLayout* column, const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    column->addWidget(button);
    return button;
}

QGroupBox* titledGroup(QWidget* parent, const char* title) {
    auto* group = new QGroupBox(QString::fromLatin1(title), parent);
    appearance::markColourPart(*group, appearance::ColourPart::MinorTitle);
    return group;
}

} // namespace

TMyReport::TMyReport(QWidget* parent, const widgets::Seams& seams, ReportHost& host)
    : QDialog(parent), seams_(seams), host_(host) {
    setObjectName(QStringLiteral("TMyReport"));
    setWindowTitle(QStringLiteral("Reports"));
    createControls();
    reloadList();
    design_.record(*this, seams_.messages);
    updateButtons();
}

TMyReport::~TMyReport() = default;

void TMyReport::createControls() {
    auto* sortGroup = titledGroup(this, "Current Sort Order");
    sortOrderLabel_ = new QLabel(sortGroup);
    sortOrderLabel_->setObjectName(QStringLiteral("SortOrderLabel"));
    sortOrderLabel_->setWordWrap(true);
    (new QVBoxLayout(sortGroup))->addWidget(sortOrderLabel_);

    auto* rangeGroup = titledGroup(this, "Records to Print");
    exportEntire_ = new QRadioButton(QStringLiteral("Print Entire Database"), rangeGroup);
    exportEntire_->setObjectName(QStringLiteral("ExportEntire"));
    exportSearch_ = new QRadioButton(QStringLiteral("Print Search Criteria"), rangeGroup);
    exportSearch_->setObjectName(QStringLiteral("ExportSearch"));
    auto* rangeLayout = new QVBoxLayout(rangeGroup);
    rangeLayout->addWidget(exportEntire_);
    rangeLayout->addWidget(exportSearch_);

    auto* listGroup = titledGroup(this, "Report Selection");
    reportBox_ = new QListWidget(listGroup);
    reportBox_->setObjectName(QStringLiteral("ReportBox"));
    (new QVBoxLayout(listGroup))->addWidget(reportBox_);
    connect(reportBox_, &QListWidget::itemDoubleClicked, this,
            [this] { run(OutputMode::Preview); });

    auto* left = new QVBoxLayout;
    left->addWidget(sortGroup);
    left->addWidget(rangeGroup);
    left->addWidget(listGroup, 1);

    auto* right = new QVBoxLayout;
    viewButton_ = addButton(this, right, "&View", "ViewButton");
    viewButton_->setDefault(true);
    auto* printButton = addButton(this, right, "&Print", "PrintButton");
    auto* fileButton = addButton(this, right, "Print To &File", "FileButton");
    right->addSpacing(12);
    newButton_ = addButton(this, right, "&New Report", "NewButton");
    modifyButton_ = addButton(this, right, "&Modify Report", "ModifyButton");
    right->addStretch(1);
    auto* helpButton = addButton(this, right, "&Help", "HelpButton");
    auto* exitButton = addButton(this, right, "E&xit", "ExitButton");

    connect(viewButton_, &QPushButton::clicked, this, [this] { run(OutputMode::Preview); });
    connect(printButton, &QPushButton::clicked, this, [this] { run(OutputMode::Printer); });
    connect(fileButton, &QPushButton::clicked, this, &TMyReport::FileButtonClick);
    connect(newButton_, &QPushButton::clicked, this, &TMyReport::NewButtonClick);
    connect(modifyButton_, &QPushButton::clicked, this, &TMyReport::ModifyButtonClick);
    // F1 as well, the key desktop users press for help.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, helpButton,
            &QPushButton::click);
    connect(helpButton, &QPushButton::clicked, this,
            [this] { seams_.help.showKeyword(QStringLiteral("Report Window")); });
    connect(exitButton, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right);
    resize(480, 380);
}

void TMyReport::setShowPreview(ShowPreview showPreview) {
    showPreview_ = std::move(showPreview);
    updateButtons();
}

void TMyReport::setOpenDesigner(OpenDesigner openDesigner) {
    openDesigner_ = std::move(openDesigner);
    updateButtons();
}

void TMyReport::updateButtons() {
    viewButton_->setEnabled(static_cast<bool>(showPreview_));
    newButton_->setEnabled(static_cast<bool>(openDesigner_));
    modifyButton_->setEnabled(static_cast<bool>(openDesigner_));
}

void TMyReport::reloadList() {
    reportBox_->clear();
    reportBox_->addItems(ReportFile(reportFilePath(host_.programDirectory())).list());
}

int TMyReport::showModal() {
    FormShow();
    return exec();
}

void TMyReport::FormShow() {
    widgets::prepareToShow(*this, &design_, host_.windowSizeFactor(), seams_.screen.size(),
                           host_.userFonts());
    appearance::applyColourSet(*this, host_.settings().colours(app::WindowGroup::Report));
    const bool searchActive = host_.searchActive();
    exportSearch_->setEnabled(searchActive);
    (searchActive ? exportSearch_ : exportEntire_)->setChecked(true);
    reportBox_->setFocus();
    const int last = host_.settings().lastReport;
    reportBox_->setCurrentRow(last >= 0 && last < reportBox_->count() ? last : -1);
    sortOrderLabel_->setText(sortOrderText(host_.settings()));
}

void TMyReport::done(int result) {
    host_.settings().lastReport = reportBox_->currentRow();
    QDialog::done(result);
}

bool TMyReport::selectionMissing() {
    if (reportBox_->currentRow() >= 0)
        return false;
    seams_.messages.beep(db::BeepKind::Warning);
    seams_.messages.show("Error", kNoReportSelectedMessage, db::MessageIcon::Warning,
                         db::MessageButtons::Ok, db::MessageAnswer::Ok);
    reportBox_->setFocus();
    return true;
}

bool TMyReport::loadSelected() {
    const auto loaded =
        ReportFile(reportFilePath(host_.programDirectory())).load(reportBox_->currentRow());
    if (!loaded)
        return false;
    current_ = *loaded;
    return true;
}

void TMyReport::run(OutputMode mode, const QString& textFilePath) {
    const bool searchOnly = !exportEntire_->isChecked();
    if (selectionMissing())
        return;
    if (!loadSelected()) {
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.show("Error", kReportNotLocatedMessage, db::MessageIcon::Warning,
                             db::MessageButtons::Ok, db::MessageAnswer::Ok);
        reportBox_->setFocus();
        return;
    }
    const bool restoreSearch = host_.searchActive() && !searchOnly;
    if (restoreSearch)
        host_.doEndSearch();
    ReportRunRequest request;
    request.definition = current_;
    request.mode = mode;
    request.textFilePath = textFilePath;
    std::optional<QtPrinterDevice> device;
    if (QPrinter* printer = host_.printer())
        device.emplace(*printer);
    request.printer = device ? &*device : nullptr;
    runReport(this, seams_, host_.bookTable(),
              reportContextFrom(host_.settings(), seams_.clock.today()), std::move(request),
              showPreview_);
    if (restoreSearch)
        host_.enableEndSearch();
}

void TMyReport::FileButtonClick() {
    widgets::FileDialogRequest request;
    request.title = QStringLiteral("Save Report As a Text File");
    request.directory = host_.programDirectory();
    request.filters = QStringList{QStringLiteral("Text Files (*.TXT)")};
    request.defaultSuffix = QStringLiteral("TXT");
    const QString chosen = seams_.files.saveFileName(this, request);
    if (!chosen.isEmpty())
        run(OutputMode::TextFile, chosen.left(255));
}

void TMyReport::NewButtonClick() {
    if (!openDesigner_)
        return;
    current_ = newReportDefinition();
    designerClosed(openDesigner_(current_, std::nullopt));
}

void TMyReport::ModifyButtonClick() {
    if (!openDesigner_ || selectionMissing())
        return;
    const int index = reportBox_->currentRow();
    loadSelected(); // a file that does not open leaves the current definition as it stands
    designerClosed(openDesigner_(current_, index));
}

void TMyReport::designerClosed(std::optional<int> selectRow) {
    if (!selectRow)
        return;
    reloadList();
    reportBox_->setCurrentRow(*selectRow < reportBox_->count() ? *selectRow : -1);
}

} // namespace reports
