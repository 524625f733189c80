#include "widgets/qt_seams.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

namespace widgets {

// --- Message boxes
// ---------------------------------------------------------------------------------

namespace {

QMessageBox::Icon boxIcon(db::MessageIcon icon) {
    switch (icon) {
    case db::MessageIcon::Error:
        return QMessageBox::Critical;
    case db::MessageIcon::Warning:
        return QMessageBox::Warning;
    case db::MessageIcon::Information:
        return QMessageBox::Information;
    case db::MessageIcon::Question:
        return QMessageBox::Question;
    case db::MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(db::MessageButtons buttons) {
    switch (buttons) {
    case db::MessageButtons::Ok:
        return QMessageBox::Ok;
    case db::MessageButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case db::MessageButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case db::MessageButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::StandardButton boxButton(db::MessageAnswer answer) {
    switch (answer) {
    case db::MessageAnswer::Ok:
        return QMessageBox::Ok;
    case db::MessageAnswer::Yes:
        return QMessageBox::Yes;
    case db::MessageAnswer::No:
        return QMessageBox::No;
    case db::MessageAnswer::Cancel:
        return QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

// Closing the box with Escape or the title bar's button answers as the most cautious button.
db::MessageAnswer closedAnswer(db::MessageButtons buttons) {
    switch (buttons) {
    case db::MessageButtons::Ok:
        return db::MessageAnswer::Ok;
    case db::MessageButtons::YesNo:
        return db::MessageAnswer::No;
    case db::MessageButtons::YesNoCancel:
    case db::MessageButtons::OkCancel:
        return db::MessageAnswer::Cancel;
    }
    return db::MessageAnswer::Cancel;
}

} // namespace

QWidget* QtUserMessages::ownerWindow() const {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    if (owner_)
        return owner_->window();
    return QApplication::activeWindow();
}

db::MessageAnswer QtUserMessages::show(const std::string& caption, const std::string& text,
                                       db::MessageIcon icon, db::MessageButtons buttons,
                                       db::MessageAnswer defaultAnswer) {
    QMessageBox box(boxIcon(icon), QString::fromStdString(caption), QString::fromStdString(text),
                    boxButtons(buttons), ownerWindow());
    box.setTextFormat(Qt::PlainText); // texts may hold file names with '<' and '&'
    if (box.button(boxButton(defaultAnswer)) != nullptr)
        box.setDefaultButton(boxButton(defaultAnswer));
    if (buttons == db::MessageButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
    case QMessageBox::Ok:
        return db::MessageAnswer::Ok;
    case QMessageBox::Yes:
        return db::MessageAnswer::Yes;
    case QMessageBox::No:
        return db::MessageAnswer::No;
    case QMessageBox::Cancel:
        return db::MessageAnswer::Cancel;
    default:
        return closedAnswer(buttons);
    }
}

void QtUserMessages::beep(db::BeepKind) {
    QApplication::beep();
}

// --- File dialogs --------------------------------------------------------------------------------

QString filterMatchingBothCases(const QString& filter) {
    static const QRegularExpression patterns(QStringLiteral("\\(([^()]*)\\)"));
    const QRegularExpressionMatch match = patterns.match(filter);
    if (!match.hasMatch())
        return filter;
    QStringList widened;
    for (const QString& pattern : match.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()})
            if (!widened.contains(variant))
                widened.push_back(variant);
    }
    QString result = filter;
    result.replace(match.capturedStart(1), match.capturedLength(1), widened.join(QLatin1Char(' ')));
    return result;
}

namespace {

QString runFileDialog(QWidget* parent, const FileDialogRequest& request, bool save) {
    QFileDialog dialog(parent, request.title, request.directory);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (save)
        dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    QStringList filters;
    for (const QString& filter : request.filters)
        filters.push_back(filterMatchingBothCases(filter));
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtFileDialogs::openFileName(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(parent, request, false);
}

QString QtFileDialogs::saveFileName(QWidget* parent, const FileDialogRequest& request) {
    return runFileDialog(parent, request, true);
}

QString QtFileDialogs::directory(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(
        parent, title, start, QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
}

// --- Fonts, colours, printers
// ----------------------------------------------------------------------

std::optional<QFont> QtFontChooser::chooseFont(QWidget* parent, const QFont& initial) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parent);
    if (!ok)
        return std::nullopt;
    return chosen;
}

// Qt's font dialog has no colour: it is shown inside a dialog of ours, with a colour button and
// a sample of the colour beside it.
std::optional<FontAndColour> QtFontChooser::chooseFontAndColour(QWidget* parent, const QFont& font,
                                                                const QColor& colour) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Font"));
    auto* fonts = new QFontDialog(font, &dialog);
    fonts->setWindowFlags(Qt::Widget);
    fonts->setOptions(QFontDialog::NoButtons | QFontDialog::DontUseNativeDialog);
    QColor chosenColour = colour;
    auto* swatch = new QLabel(&dialog);
    swatch->setFixedSize(40, 20);
    swatch->setAutoFillBackground(true);
    swatch->setFrameShape(QFrame::Box);
    const auto showColour = [swatch, &chosenColour] {
        QPalette palette = swatch->palette();
        palette.setColor(QPalette::Window, chosenColour);
        swatch->setPalette(palette);
    };
    showColour();
    auto* colourButton = new QPushButton(QStringLiteral("&Color..."), &dialog);
    QObject::connect(colourButton, &QPushButton::clicked, &dialog, [&] {
        const QColor picked = QColorDialog::getColor(chosenColour, &dialog);
        if (picked.isValid()) {
            chosenColour = picked;
            showColour();
        }
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* colourRow = new QHBoxLayout;
    colourRow->addWidget(new QLabel(QStringLiteral("Color:"), &dialog));
    colourRow->addWidget(swatch);
    colourRow->addWidget(colourButton);
    colourRow->addStretch();
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(fonts);
    layout->addLayout(colourRow);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return FontAndColour{fonts->currentFont(), chosenColour};
}

std::optional<QColor> QtColourChooser::chooseColour(QWidget* parent, const QColor& initial) {
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

QStringList QtPrinters::printerNames() {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinters::defaultPrinterName() {
    return QPrinterInfo::defaultPrinterName();
}

bool QtPrinters::setUpPrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    // "Print to File (PDF)" is offered too: reports then go to a PDF file a collector can mail.
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    return dialog.exec() == QDialog::Accepted;
}

// --- Screen, clock, random
// -----------------------------------------------------------------------------

QSize QtScreen::size() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        return screen->size();
    return {640, 480};
}

QDate SystemClock::today() {
    return QDate::currentDate();
}

QDateTime SystemClock::now() {
    return QDateTime::currentDateTime();
}

int SystemRandom::bounded(int upper) {
    if (upper <= 0)
        return 0;
    return static_cast<int>(QRandomGenerator::global()->bounded(upper));
}

SystemSeams::SystemSeams(HelpViewer& help)
    : seams_{messages_, files_, fonts_, colours_, printers_, help, screen_, clock_, random_} {}

} // namespace widgets
