#pragma once

// The places where a window meets the user or the machine outside its own widgets: message
// boxes and beeps, file and folder dialogs, the font and colour dialogs, the printers, the help
// window, the screen size, the clock and the random generator. Every window receives a `Seams`
// from its creator instead of calling QMessageBox, QFileDialog or the clock itself, so that a
// test can script every answer and fail on a prompt it did not expect.

#include "db/user_messages.h"

#include <QColor>
#include <QDate>
#include <QDateTime>
#include <QFont>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class QPrinter;
class QWidget;

namespace widgets {

struct FileDialogRequest {
    QString title;
    QString directory;   // where the dialog opens
    QString fileName;    // proposed name, may be empty
    QStringList filters; // "DBase Files (*.dbf *.DBF)", in the order shown
    QString defaultSuffix;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString openFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString saveFileName(QWidget* parent, const FileDialogRequest& request) = 0;
    virtual QString directory(QWidget* parent, const QString& title, const QString& start) = 0;
};

struct FontAndColour {
    QFont font;
    QColor colour;
};

class FontChooser {
public:
    virtual ~FontChooser() = default;
    // The chosen font, or nothing when the user cancelled.
    virtual std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) = 0;
    // The same with the text colour chosen beside the font (for fonts that carry a colour).
    virtual std::optional<FontAndColour> chooseFontAndColour(QWidget* parent, const QFont& font,
                                                             const QColor& colour) = 0;
};

class ColourChooser {
public:
    virtual ~ColourChooser() = default;
    virtual std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) = 0;
};

class Printers {
public:
    virtual ~Printers() = default;
    virtual QStringList printerNames() = 0;
    virtual QString defaultPrinterName() = 0;
    // The printer set-up dialog on `printer`; true when the user confirmed it.
    virtual bool setUpPrinter(QWidget* parent, QPrinter& printer) = 0;
};

class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual void showContents() = 0;
    virtual void showKeyword(const QString& keyword) = 0;
};

class Screen {
public:
    virtual ~Screen() = default;
    // Size of the screen the program runs on, in pixels.
    virtual QSize size() = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() = 0;
    virtual QDateTime now() = 0;
};

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A number in 0 .. upper - 1.
    virtual int bounded(int upper) = 0;
};

// Borrowed references; the owner (main(), or a test fixture) outlives every window.
struct Seams {
    db::UserMessages& messages;
    FileDialogs& files;
    FontChooser& fonts;
    ColourChooser& colours;
    Printers& printers;
    HelpViewer& help;
    Screen& screen;
    Clock& clock;
    RandomSource& random;
};

} // namespace widgets
