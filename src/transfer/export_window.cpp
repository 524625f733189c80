#include "transfer/export_window.h"

#include "search/window_colours.h"
#include "transfer/export_core.h"
#include "transfer/step_runner.h"
#include "transfer/transfer_window_look.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace transfer {

namespace {

constexpr int kFieldRole = Qt::UserRole + 1;
constexpr const char* kDefaultsQuestion =
    "This will set the order of fields to the program defaults.  Continue?";
constexpr const char* kOwnTableMessage =
    "The open database cannot be replaced by an export.  Choose another file name.";
constexpr const char* kNotesText =
    "Select a field and use the Up and Down buttons to change the order in which fields are "
    "exported.  Double click the EXPORT IT column to include or leave out a field.";

QString yesNo(bool yes) {
    return yes ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace

TMyExport::TMyExport(QWidget* parent, TransferHost& host, widgets::Seams& seams)
    : QDialog(parent), host_(host), seams_(seams) {
    setWindowTitle(QStringLiteral("Export"));
    setObjectName(QStringLiteral("TMyExport"));
    buildControls();
    fillGrid();
    // What to export and how: from the search state and the stored choices.
    if (host_.searchActive()) {
        searchRadio_->setEnabled(true);
        searchRadio_->setChecked(true);
    } else {
        entireRadio_->setChecked(true);
        searchRadio_->setEnabled(false);
    }
    const app::Settings& settings = host_.settings();
    firstRowCheck_->setChecked(settings.exportFirstRow);
    if (settings.exportFileType == 2)
        dbaseRadio_->setChecked(true);
    else
        asciiRadio_->setChecked(true);
    chooseKind(settings.exportFileType == 2);
}

void TMyExport::buildControls() {
    const auto minorTitle = [this](const char* text) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        minorTitles_.push_back(label);
        return label;
    };
    const auto button = [this](const char* text, const char* name, auto handler) {
        auto* b = new QPushButton(QString::fromLatin1(text), this);
        b->setObjectName(QString::fromLatin1(name));
        connect(b, &QPushButton::clicked, this, handler);
        buttons_.push_back(b);
        return b;
    };

    grid_ = new QTableWidget(db::kFieldCount, 2, this);
    grid_->setObjectName(QStringLiteral("ExportGrid"));
    grid_->setHorizontalHeaderLabels({QStringLiteral("FIELD"), QStringLiteral("EXPORT IT")});
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setShowGrid(true);
    grid_->setTabKeyNavigation(true);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { ExportGridDblClick(); });

    auto* left = new QVBoxLayout;
    left->addWidget(minorTitle("Field"));
    left->addWidget(grid_);

    auto* ordering = new QVBoxLayout;
    ordering->addWidget(minorTitle("Ordering"));
    ordering->addWidget(button("&Up", "UpButton", &TMyExport::UpButtonClick));
    ordering->addWidget(button("&Down", "DownButton", &TMyExport::DownButtonClick));
    ordering->addWidget(button("D&efaults", "DefaultsButton", &TMyExport::DefaultsButtonClick));
    ordering->addWidget(minorTitle("NOTES"));
    auto* notes = new QLabel(QString::fromLatin1(kNotesText), this);
    notes->setWordWrap(true);
    ordering->addWidget(notes);

    auto* what = new QGroupBox(this);
    auto* whatLayout = new QVBoxLayout(what);
    entireRadio_ = new QRadioButton(QStringLiteral("Export Entire Database"), what);
    entireRadio_->setObjectName(QStringLiteral("ExportEntire"));
    searchRadio_ = new QRadioButton(QStringLiteral("Export Search Criteria"), what);
    searchRadio_->setObjectName(QStringLiteral("ExportSearch"));
    whatLayout->addWidget(entireRadio_);
    whatLayout->addWidget(searchRadio_);

    auto* how = new QGroupBox(this);
    auto* howLayout = new QVBoxLayout(how);
    asciiRadio_ = new QRadioButton(QStringLiteral("Ascii Delimited Text File"), how);
    asciiRadio_->setObjectName(QStringLiteral("AsciiButton"));
    dbaseRadio_ = new QRadioButton(QStringLiteral("DBase File (DBF)"), how);
    dbaseRadio_->setObjectName(QStringLiteral("DBaseButton"));
    firstRowCheck_ = new QCheckBox(QStringLiteral("&First Record Contains Field Names"), how);
    firstRowCheck_->setObjectName(QStringLiteral("FirstRowCheck"));
    howLayout->addWidget(asciiRadio_);
    howLayout->addWidget(dbaseRadio_);
    howLayout->addWidget(firstRowCheck_);
    connect(asciiRadio_, &QRadioButton::clicked, this, [this] { chooseKind(false); });
    connect(dbaseRadio_, &QRadioButton::clicked, this, [this] { chooseKind(true); });
    connect(firstRowCheck_, &QCheckBox::clicked, this,
            [this](bool on) { host_.settings().exportFirstRow = on; });

    MyGauge_ = new QProgressBar(this);
    MyGauge_->setObjectName(QStringLiteral("MyGauge"));
    MyGauge_->setRange(0, 1);
    MyGauge_->setValue(0);

    auto* right = new QVBoxLayout;
    right->addLayout(ordering);
    right->addWidget(minorTitle("What to Export"));
    right->addWidget(what);
    right->addWidget(minorTitle("How To Export"));
    right->addWidget(how);
    right->addWidget(minorTitle("Export Progress"));
    right->addWidget(MyGauge_);
    auto* actions = new QHBoxLayout;
    actions->addWidget(
        button("&Start Export", "StartExportButton", &TMyExport::StartExportButtonClick));
    actions->addWidget(button("E&xit", "ExitButton", &QDialog::reject));
    actions->addWidget(button("&Help", "HelpButton", [this] {
        seams_.help.showKeyword(QStringLiteral("Export Window"));
    }));
    right->addLayout(actions);
    right->addStretch();
    // F1 as well, the key desktop users press for help.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated,
            findChild<QPushButton*>(QStringLiteral("HelpButton")), &QPushButton::click);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
}

void TMyExport::setRow(int row, int fieldNumber, bool included) {
    auto* label = new QTableWidgetItem(host_.settings().fieldLabel(fieldNumber));
    label->setData(kFieldRole, fieldNumber);
    grid_->setItem(row - 1, 0, label);
    grid_->setItem(row - 1, 1, new QTableWidgetItem(yesNo(included)));
}

void TMyExport::fillGrid() {
    const auto order = exportOrder(host_.settings());
    for (int row = 1; row <= db::kFieldCount; ++row) {
        const int number = order[static_cast<size_t>(row - 1)];
        setRow(row, number, host_.settings().field(number).exported);
    }
    grid_->setCurrentCell(0, 0);
}

QString TMyExport::cellText(int row, int column) const {
    const QTableWidgetItem* item = grid_->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

int TMyExport::currentRow() const {
    return grid_->currentRow() + 1;
}

void TMyExport::setCurrentRow(int row) {
    grid_->setCurrentCell(row - 1, std::max(0, grid_->currentColumn()));
}

void TMyExport::swapRows(int a, int b) {
    swapGridRows(*grid_, a, b, 0, 2);
}

void TMyExport::UpButtonClick() {
    const int row = currentRow();
    if (row < 2)
        return;
    swapRows(row, row - 1);
    setCurrentRow(row - 1);
}

void TMyExport::DownButtonClick() {
    const int row = currentRow();
    if (row < 1 || row >= db::kFieldCount)
        return;
    swapRows(row, row + 1);
    setCurrentRow(row + 1);
}

void TMyExport::DefaultsButtonClick() {
    seams_.messages.beep(db::BeepKind::Question);
    if (seams_.messages.show("Re-Order", kDefaultsQuestion, db::MessageIcon::Question,
                             db::MessageButtons::YesNo,
                             db::MessageAnswer::No) != db::MessageAnswer::Yes)
        return;
    for (int row = 1; row <= db::kFieldCount; ++row)
        setRow(row, row, true);
}

void TMyExport::ExportGridDblClick() {
    const int row = currentRow();
    if (grid_->currentColumn() != 1 || row < 1 || row > db::kFieldCount)
        return;
    QTableWidgetItem* item = grid_->item(row - 1, 1);
    item->setText(yesNo(item->text() != QLatin1String("Yes")));
}

void TMyExport::chooseKind(bool dbase) {
    firstRowCheck_->setVisible(!dbase);
    firstRowCheck_->setEnabled(!dbase);
}

void TMyExport::UpdateConfigs() {
    std::vector<ExportRow> rows;
    for (int row = 1; row <= db::kFieldCount; ++row) {
        const QTableWidgetItem* label = grid_->item(row - 1, 0);
        rows.push_back({label ? label->data(kFieldRole).toInt() : 0,
                        cellText(row, 2) == QLatin1String("Yes")});
    }
    storeExportRows(host_.settings(), rows);
    host_.settings().exportFileType = dbaseRadio_->isChecked() ? 2 : 1;
}

void TMyExport::showEvent(QShowEvent* event) {
    if (!dressed_) {
        dressed_ = true;
        const double factor = host_.windowSizeFactor();
        scaleFieldGrid(*grid_, {200, 100}, factor);
        widgets::applyUserFonts(*this, host_.userFonts());
        widgets::scaleAndCentre(*this, factor, seams_.screen.size());
        applyColours();
    }
    QDialog::showEvent(event);
}

void TMyExport::applyColours() {
    const app::ColourSet& colours = host_.settings().colours(app::WindowGroup::Configure);
    using app::ColourRole;
    paintTransferWindow(*this, *grid_, minorTitles_, *firstRowCheck_, colours);
    for (QRadioButton* radio : {entireRadio_, searchRadio_, asciiRadio_, dbaseRadio_})
        search::paintBackground(*radio, colours[ColourRole::RadioBackground],
                                colours[ColourRole::RadioText]);
}

void TMyExport::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore(); // the loop runs to its end; it has no cancel
        return;
    }
    QDialog::closeEvent(event);
}

void TMyExport::done(int result) {
    if (running_)
        return;
    UpdateConfigs();
    QDialog::done(result);
}

void TMyExport::StartExportButtonClick() {
    if (running_)
        return;
    UpdateConfigs();
    if (exportedFields(host_.settings()).empty()) {
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.error("No fields selected for export.");
        return;
    }
    if (dbaseRadio_->isChecked())
        DoDBase();
    else
        DoAscii();
}

std::vector<std::string> TMyExport::headerTitles(const std::vector<int>& numbers) const {
    std::vector<std::string> titles;
    const table::Table& books = host_.bookTable();
    for (int number : numbers) {
        QString title = host_.columnTitle(number);
        if (title.isEmpty()) {
            const int index = books.fieldIndex(db::fieldByNumber(number)->name);
            title = QString::fromStdString(books.fieldDescriptor(index).name).toUpper();
        }
        titles.push_back(toCp1252(title.toStdString(), "the column title " + title.toStdString()));
    }
    return titles;
}

void TMyExport::DoAscii() {
    const QString path =
        seams_.files.saveFileName(this, {QStringLiteral("Export Data"),
                                         QString::fromStdString(host_.bookTable().directory()),
                                         QString(),
                                         {QStringLiteral("Ascii Delimited Text (*.TXT *.txt)")},
                                         QStringLiteral("TXT")});
    if (path.isEmpty())
        return;
    if (isBookTableFile(path.toStdString(), host_.bookTable())) {
        seams_.messages.error(kOwnTableMessage);
        return;
    }
    try {
        const std::vector<int> numbers = exportedFields(host_.settings());
        const std::vector<ExportField> fields = exportList(numbers, host_.bookTable());
        const ValueFormats formats = currentValueFormats();
        TextExportFile file(path.toStdString());
        if (firstRowCheck_->isChecked())
            file.writeHeader(headerTitles(numbers));
        if (!runRecordLoop(
                [&](const table::Table& books) { file.writeRecord(books, fields, formats); }))
            return;
        file.close();
    } catch (const std::exception& error) {
        seams_.messages.error(error.what());
        return;
    }
    complete();
}

void TMyExport::DoDBase() {
    const QString path =
        seams_.files.saveFileName(this, {QStringLiteral("Export Data"),
                                         QString::fromStdString(host_.bookTable().directory()),
                                         QString(),
                                         {QStringLiteral("DBase (*.DBF *.dbf)")},
                                         QStringLiteral("DBF")});
    if (path.isEmpty())
        return;
    if (path.right(4).toUpper() != QLatin1String(".DBF")) {
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.error("Invalid file type selected.");
        return;
    }
    if (isBookTableFile(path.toStdString(), host_.bookTable())) {
        seams_.messages.error(kOwnTableMessage);
        return;
    }
    try {
        const std::vector<ExportField> fields =
            exportList(exportedFields(host_.settings()), host_.bookTable());
        DbfExportFile file(path.toStdString(), fields);
        if (!QFileInfo::exists(path))
            return;
        if (!runRecordLoop([&](const table::Table& books) { file.writeRecord(books); }))
            return;
        file.close();
    } catch (const std::exception& error) {
        seams_.messages.error(error.what());
        return;
    }
    complete();
}

bool TMyExport::runRecordLoop(const std::function<void(const table::Table&)>& write) {
    MyGauge_->setMinimum(0);
    const bool endedSearch = entireRadio_->isChecked() && host_.searchActive();
    if (endedSearch)
        host_.doEndSearch();
    table::Table& books = host_.bookTable();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const table::Table::Bookmark start = books.bookmark();
    books.suspendObservers();
    running_ = true;
    bool ok = true;
    try {
        RecordWalk walk(books);
        MyGauge_->setMaximum(static_cast<int>(std::max<uint32_t>(walk.total(), 1)));
        runInSteps([&] { return walk.step(write, kRecordsPerStep); },
                   [&] { MyGauge_->setValue(static_cast<int>(walk.done())); });
    } catch (const std::exception& error) {
        ok = false;
        seams_.messages.error(error.what());
    }
    running_ = false;
    if (start != 0)
        books.goToBookmark(start);
    books.resumeObservers();
    if (endedSearch)
        host_.enableEndSearch();
    QApplication::restoreOverrideCursor();
    if (!ok)
        MyGauge_->setValue(0);
    return ok;
}

void TMyExport::complete() {
    seams_.messages.show("Ok", "Export Complete.", db::MessageIcon::Information,
                         db::MessageButtons::Ok, db::MessageAnswer::Ok);
    MyGauge_->setValue(0);
    accept();
}

} // namespace transfer
