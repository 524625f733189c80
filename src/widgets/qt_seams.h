#pragma once

// The seams as the running program fills them: Qt's message boxes and standard dialogs, the
// printers Qt knows, the primary screen, the system clock and Qt's random generator. The help
// window is the shell's own and is passed in.

#include "widgets/seams.h"

#include <QPointer>
#include <QWidget>

namespace widgets {

// QMessageBox with the caption, text, icon, buttons and default button asked for. Boxes belong
// to the owner window when one is set, else to the application's active window.
class QtUserMessages : public db::UserMessages {
public:
    explicit QtUserMessages(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    db::MessageAnswer show(const std::string& caption, const std::string& text,
                           db::MessageIcon icon, db::MessageButtons buttons,
                           db::MessageAnswer defaultAnswer) override;
    void beep(db::BeepKind kind) override; // QApplication::beep for every kind

private:
    QWidget* ownerWindow() const;
    QPointer<QWidget> owner_;
};

// QFileDialog (Qt's own widget dialog, so the filters behave the same everywhere). Each filter's
// patterns are widened to match both letter cases ("*.DBF" also matches "x.dbf"), since Linux
// file names are case-sensitive and tables arrive from Windows in either case. Open dialogs
// accept only existing files; save dialogs ask before replacing an existing file and add the
// default suffix to a name typed without one.
class QtFileDialogs : public FileDialogs {
public:
    QString openFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString saveFileName(QWidget* parent, const FileDialogRequest& request) override;
    QString directory(QWidget* parent, const QString& title, const QString& start) override;
};
// "Database Files (*.DBF)" -> "Database Files (*.DBF *.dbf)"; other text is kept as it is.
QString filterMatchingBothCases(const QString& filter);

class QtFontChooser : public FontChooser {
public:
    std::optional<QFont> chooseFont(QWidget* parent, const QFont& initial) override;
    std::optional<FontAndColour> chooseFontAndColour(QWidget* parent, const QFont& font,
                                                     const QColor& colour) override;
};

class QtColourChooser : public ColourChooser {
public:
    std::optional<QColor> chooseColour(QWidget* parent, const QColor& initial) override;
};

// QPrinterInfo for the list; set-up through QPrintDialog, whose properties page also holds the
// paper and orientation.
class QtPrinters : public Printers {
public:
    QStringList printerNames() override;
    QString defaultPrinterName() override;
    bool setUpPrinter(QWidget* parent, QPrinter& printer) override;
};

class QtScreen : public Screen {
public:
    QSize size() override; // the primary screen's full size; 640 x 480 when there is none
};

class SystemClock : public Clock {
public:
    QDate today() override;
    QDateTime now() override;
};

class SystemRandom : public RandomSource {
public:
    int bounded(int upper) override; // 0 when upper <= 0
};

// Every seam but help, owned together; main() keeps one for the whole run.
class SystemSeams {
public:
    explicit SystemSeams(HelpViewer& help);
    Seams& seams() { return seams_; }
    QtUserMessages& messages() { return messages_; }

private:
    QtUserMessages messages_;
    QtFileDialogs files_;
    QtFontChooser fonts_;
    QtColourChooser colours_;
    QtPrinters printers_;
    QtScreen screen_;
    SystemClock clock_;
    SystemRandom random_;
    Seams seams_;
};

} // namespace widgets
