#include "transfer/import_windows.h"

#include "search/window_colours.h"
#include "transfer/import_core.h"
#include "transfer/step_runner.h"
#include "transfer/transfer_window_look.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

namespace transfer {

namespace {

constexpr int kPositionRole = Qt::UserRole + 1;

QPushButton* makeButton(QWidget* parent, const char* text, const char* name) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

// ---- The mapping dialog -----------------------------------------------------------------------

TMyImport::TMyImport(QWidget* parent, TransferHost& host, widgets::Seams& seams, ImportKind kind,
                     QString path, const std::vector<std::string>& labels)
    : QDialog(parent), host_(host), seams_(seams), kind_(kind), path_(std::move(path)),
      fieldCount_(static_cast<int>(std::min<size_t>(labels.size(), kMaxImportFields))) {
    setObjectName(QStringLiteral("TMyImport"));
    setWindowTitle(kind == ImportKind::Text ? QStringLiteral("Ascii Delimited Text Import")
                                            : QStringLiteral("DBase File Import"));
    buildControls();
    fillGrid(labels);
    skipFirstCheck_->setChecked(host_.settings().importSkipFirst);
    if (kind == ImportKind::Dbase) {
        skipFirstCheck_->hide();
        skipFirstCheck_->setEnabled(false);
    }
}

void TMyImport::buildControls() {
    const auto minorTitle = [this](const char* text) {
        auto* label = new QLabel(QString::fromLatin1(text), this);
        minorTitles_.push_back(label);
        return label;
    };
    grid_ = new QTableWidget(this);
    grid_->setObjectName(QStringLiteral("ImportGrid"));
    grid_->setColumnCount(3);
    grid_->setHorizontalHeaderLabels({QStringLiteral("VOLUMARA FIELDS"),
                                      QStringLiteral("IMPORT FIELDS"), QStringLiteral("USE")});
    grid_->verticalHeader()->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(grid_, &QTableWidget::cellDoubleClicked, this, [this] { ImportGridDblClick(); });

    auto* up = makeButton(this, "&Up", "UpButton");
    auto* down = makeButton(this, "&Down", "DownButton");
    auto* start = makeButton(this, "&Start Import", "StartButton");
    auto* exitButton = makeButton(this, "E&xit", "ExitButton");
    auto* help = makeButton(this, "&Help", "HelpButton");
    // F1 as well, the key desktop users press for help.
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, help,
            &QPushButton::click);
    connect(up, &QPushButton::clicked, this, &TMyImport::UpButtonClick);
    connect(down, &QPushButton::clicked, this, &TMyImport::DownButtonClick);
    connect(start, &QPushButton::clicked, this, &TMyImport::StartButtonClick);
    connect(exitButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { seams_.help.showKeyword(QStringLiteral("Import Window")); });
    skipFirstCheck_ = new QCheckBox(QStringLiteral("Skip First Record"), this);
    skipFirstCheck_->setObjectName(QStringLiteral("SkipFirstCheck"));
    connect(skipFirstCheck_, &QCheckBox::clicked, this,
            [this](bool on) { host_.settings().importSkipFirst = on; });
    countLabel_ = new QLabel(this);
    countLabel_->setObjectName(QStringLiteral("ImportCount"));

    auto* left = new QVBoxLayout;
    left->addWidget(minorTitle("Field"));
    left->addWidget(grid_);
    auto* right = new QVBoxLayout;
    right->addWidget(minorTitle("Alignment"));
    right->addWidget(up);
    right->addWidget(down);
    right->addWidget(skipFirstCheck_);
    right->addWidget(minorTitle("Import"));
    right->addWidget(minorTitle("Count"));
    right->addWidget(countLabel_);
    right->addStretch();
    right->addWidget(start);
    right->addWidget(exitButton);
    right->addWidget(help);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
}

void TMyImport::fillGrid(const std::vector<std::string>& labels) {
    const int rows = std::max(fieldCount_, static_cast<int>(db::kFieldCount));
    grid_->setRowCount(rows);
    for (int row = 1; row <= rows; ++row) {
        const bool bookField = row <= db::kFieldCount;
        grid_->setItem(
            row - 1, 0,
            new QTableWidgetItem(bookField ? host_.settings().fieldLabel(row) : QString()));
        const bool source = row <= fieldCount_;
        // Each import field carries its source position, so that equal labels stay apart.
        auto* label = new QTableWidgetItem(
            source ? QString::fromStdString(labels[static_cast<size_t>(row - 1)])
                   : QStringLiteral("<EMPTY>"));
        label->setData(kPositionRole, source ? row : 0);
        grid_->setItem(row - 1, 1, label);
        grid_->setItem(row - 1, 2,
                       new QTableWidgetItem(source ? QStringLiteral("Yes") : QString()));
    }
    grid_->setCurrentCell(0, 1);
}

QString TMyImport::cellText(int row, int column) const {
    const QTableWidgetItem* item = grid_->item(row - 1, column - 1);
    return item ? item->text() : QString();
}

int TMyImport::rowCount() const {
    return grid_->rowCount();
}

int TMyImport::currentRow() const {
    return grid_->currentRow() + 1;
}

void TMyImport::setCurrentRow(int row, int column) {
    grid_->setCurrentCell(row - 1, column - 1);
}

QString TMyImport::countText() const {
    return countLabel_->text();
}

void TMyImport::swapImportCells(int a, int b) {
    swapGridRows(*grid_, a, b, 1, 3);
}

void TMyImport::UpButtonClick() {
    const int row = currentRow();
    if (row < 2)
        return;
    swapImportCells(row, row - 1);
    setCurrentRow(row - 1, std::max(1, grid_->currentColumn() + 1));
}

void TMyImport::DownButtonClick() {
    const int row = currentRow();
    if (row < 1 || row >= rowCount())
        return;
    swapImportCells(row, row + 1);
    setCurrentRow(row + 1, std::max(1, grid_->currentColumn() + 1));
}

void TMyImport::ImportGridDblClick() {
    const int row = currentRow();
    if (grid_->currentColumn() != 2 || row < 1)
        return;
    QTableWidgetItem* use = grid_->item(row - 1, 2);
    if (use->text() == QLatin1String("Yes"))
        use->setText(QStringLiteral("No"));
    else if (use->text() == QLatin1String("No"))
        use->setText(QStringLiteral("Yes"));
}

void TMyImport::showCount(uint32_t count) {
    countLabel_->setText(QString::number(count));
}

void TMyImport::StartButtonClick() {
    if (running_)
        return;
    std::vector<MappingRow> rows;
    for (int row = 1; row <= rowCount(); ++row)
        rows.push_back({grid_->item(row - 1, 1)->data(kPositionRole).toInt(),
                        cellText(row, 3) == QLatin1String("Yes")});
    const std::vector<int> map = buildImportMap(rows, fieldCount_);
    table::Table& books = host_.bookTable();
    running_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    books.suspendObservers();
    std::string failure;
    uint32_t count = 0;
    try {
        const ImportFormats formats = currentImportFormats();
        const std::string path = path_.toStdString();
        std::unique_ptr<ImportRun> run =
            kind_ == ImportKind::Text
                ? startTextImport(books, path, map, skipFirstCheck_->isChecked(), formats)
                : startDbfImport(books, path, map, formats);
        showCount(0);
        runInSteps([&] { return run->step(kRecordsPerStep); },
                   [&] {
                       count = run->count();
                       showCount(count);
                   });
        count = run->count();
    } catch (const std::exception& error) {
        failure = error.what();
    }
    books.resumeObservers();
    QApplication::restoreOverrideCursor();
    running_ = false;
    host_.displayCount();
    if (!failure.empty()) {
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.error(failure);
    } else {
        showCount(count);
        seams_.messages.show("Ok", "Import Complete.", db::MessageIcon::Information,
                             db::MessageButtons::Ok, db::MessageAnswer::Ok);
    }
    accept();
}

void TMyImport::showEvent(QShowEvent* event) {
    if (!dressed_) {
        dressed_ = true;
        const double factor = host_.windowSizeFactor();
        scaleFieldGrid(*grid_, {179, 179, 38}, factor);
        widgets::applyUserFonts(*this, host_.userFonts());
        widgets::scaleAndCentre(*this, factor, seams_.screen.size());
        applyColours();
    }
    QDialog::showEvent(event);
}

void TMyImport::applyColours() {
    paintTransferWindow(*this, *grid_, minorTitles_, *skipFirstCheck_,
                        host_.settings().colours(app::WindowGroup::Configure));
}

void TMyImport::closeEvent(QCloseEvent* event) {
    if (running_) {
        event->ignore(); // an import runs to its end
        return;
    }
    QDialog::closeEvent(event);
}

void TMyImport::done(int result) {
    if (!running_)
        QDialog::done(result);
}

// ---- The source dialog ------------------------------------------------------------------------

TImportFormat::TImportFormat(QWidget* parent, TransferHost& host, widgets::Seams& seams)
    : QDialog(parent), host_(host), seams_(seams) {
    setObjectName(QStringLiteral("TImportFormat"));
    setWindowTitle(QStringLiteral("Import Format"));
    asciiRadio_ = new QRadioButton(QStringLiteral("Ascii Delimited File"), this);
    asciiRadio_->setObjectName(QStringLiteral("AsciiButton"));
    dbaseRadio_ = new QRadioButton(QStringLiteral("DBase File (DBF)"), this);
    dbaseRadio_->setObjectName(QStringLiteral("DBaseButton"));
    auto* fileButton = makeButton(this, "Select &File", "FileButton");
    auto* cancelButton = makeButton(this, "&Cancel", "CancelButton");
    connect(fileButton, &QPushButton::clicked, this, &TImportFormat::FileButtonClick);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(fileButton);
    buttons->addWidget(cancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(asciiRadio_);
    layout->addWidget(dbaseRadio_);
    layout->addLayout(buttons);
    (host_.settings().importFileType == 2 ? dbaseRadio_ : asciiRadio_)->setChecked(true);
}

void TImportFormat::showEvent(QShowEvent* event) {
    if (!dressed_) {
        dressed_ = true;
        widgets::applyUserFonts(*this, host_.userFonts());
        widgets::scaleAndCentre(*this, host_.windowSizeFactor(), seams_.screen.size());
        const app::ColourSet& colours = host_.settings().colours(app::WindowGroup::Configure);
        search::paintBackground(*this, colours[app::ColourRole::MainBackground]);
        for (QRadioButton* radio : {asciiRadio_, dbaseRadio_})
            search::paintBackground(*radio, colours[app::ColourRole::RadioBackground],
                                    colours[app::ColourRole::RadioText]);
    }
    QDialog::showEvent(event);
}

void TImportFormat::done(int result) {
    host_.settings().importFileType = dbaseRadio_->isChecked() ? 2 : 1;
    QDialog::done(result);
}

void TImportFormat::FileButtonClick() {
    if (dbaseRadio_->isChecked())
        DoDBF();
    else
        DoAscii();
}

void TImportFormat::DoAscii() {
    const QString path =
        seams_.files.openFileName(this, {QStringLiteral("Import Data"),
                                         QString::fromStdString(host_.bookTable().directory()),
                                         QString(),
                                         {QStringLiteral("Ascii Delimited Text (*.TXT *.txt)")},
                                         QStringLiteral("TXT")});
    if (path.isEmpty())
        return;
    TextSource source;
    try {
        source = inspectTextFile(path.toStdString());
    } catch (const std::exception& error) {
        seams_.messages.error(error.what());
        return;
    }
    if (source.error != FirstLineError::None) {
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.error(firstLineMessage(source.error));
        return;
    }
    runMapping(ImportKind::Text, path, source.labels);
}

void TImportFormat::DoDBF() {
    const QString path =
        seams_.files.openFileName(this, {QStringLiteral("Import Data"),
                                         QString::fromStdString(host_.bookTable().directory()),
                                         QString(),
                                         {QStringLiteral("DBase  (*.DBF *.dbf)")},
                                         QStringLiteral("DBF")});
    if (path.isEmpty())
        return;
    if (path.right(4).toUpper() != QLatin1String(".DBF")) {
        seams_.messages.beep(db::BeepKind::Warning);
        seams_.messages.error("Invalid file type selected.");
        return;
    }
    std::vector<std::string> labels;
    try {
        labels = inspectDbfFile(QFileInfo(path).absoluteFilePath().toStdString());
    } catch (const std::exception& error) {
        seams_.messages.error(error.what());
        return;
    }
    runMapping(ImportKind::Dbase, QFileInfo(path).absoluteFilePath(), labels);
}

void TImportFormat::runMapping(ImportKind kind, const QString& path,
                               const std::vector<std::string>& labels) {
    {
        TMyImport mapping(this, host_, seams_, kind, path, labels);
        mapping.exec();
    }
    accept(); // closing the mapping dialog, by any means, closes this one too
}

} // namespace transfer
