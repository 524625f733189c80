// The Qt seams as the program uses them, and the strictness of the scripted ones.

#include "support/gui/modal.h"
#include "support/gui/qt_print.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"
#include "widgets/qt_seams.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <fstream>

namespace {

struct BoxSeen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    QString defaultButton;
};

// Shows a box through QtUserMessages, reads it while it is up and answers by clicking `answer`.
std::pair<BoxSeen, db::MessageAnswer> showAndAnswer(db::MessageIcon icon,
                                                    db::MessageButtons buttons,
                                                    db::MessageAnswer defaultAnswer,
                                                    const QString& answer) {
    BoxSeen seen;
    testsupport::whenModalAppears([&seen, answer](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons.push_back(button->text().remove('&'));
        seen.buttons.sort();
        if (box->defaultButton() != nullptr)
            seen.defaultButton = box->defaultButton()->text().remove('&');
        testsupport::clickButton(box, answer);
    });
    widgets::QtUserMessages messages;
    const db::MessageAnswer result =
        messages.show("Confirm", "Delete this record?  <b>&", icon, buttons, defaultAnswer);
    return {seen, result};
}

TEST(QtUserMessages, ShowsCaptionTextIconButtonsAndDefaultAndReturnsTheAnswer) {
    auto [seen, answer] = showAndAnswer(db::MessageIcon::Question, db::MessageButtons::YesNo,
                                        db::MessageAnswer::No, "Yes");
    EXPECT_EQ(seen.title, "Confirm");
    EXPECT_EQ(seen.text, "Delete this record?  <b>&"); // plain text, double blank kept
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, (QStringList{"No", "Yes"}));
    EXPECT_EQ(seen.defaultButton, "No");
    EXPECT_EQ(answer, db::MessageAnswer::Yes);

    auto [error, ok] =
        showAndAnswer(db::MessageIcon::Error, db::MessageButtons::Ok, db::MessageAnswer::Ok, "OK");
    EXPECT_EQ(error.icon, QMessageBox::Critical);
    EXPECT_EQ(error.buttons, (QStringList{"OK"}));
    EXPECT_EQ(ok, db::MessageAnswer::Ok);

    auto [three, cancelled] = showAndAnswer(
        db::MessageIcon::Warning, db::MessageButtons::YesNoCancel, db::MessageAnswer::No, "Cancel");
    EXPECT_EQ(three.icon, QMessageBox::Warning);
    EXPECT_EQ(three.buttons, (QStringList{"Cancel", "No", "Yes"}));
    EXPECT_EQ(three.defaultButton, "No");
    EXPECT_EQ(cancelled, db::MessageAnswer::Cancel);
}

// Types `name` into a file dialog and presses its accept button, again until the dialog takes it
// (the dialog reads its folder in the background and may not be ready at once).
void typeAndAccept(QWidget* modal, const QString& name, int triesLeft = 100) {
    QPointer<QWidget> dialog(modal);
    auto* edit = modal->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(edit, nullptr);
    edit->setText(name);
    QMetaObject::invokeMethod(modal, "accept");
    if (dialog && dialog->isVisible() && triesLeft > 0)
        QTimer::singleShot(20, [dialog, name, triesLeft] {
            if (dialog && dialog->isVisible())
                typeAndAccept(dialog, name, triesLeft - 1);
        });
}

TEST(QtFileDialogs, FiltersMatchBothLetterCases) {
    EXPECT_EQ(widgets::filterMatchingBothCases("Database Files (*.DBF)"),
              "Database Files (*.DBF *.dbf)");
    EXPECT_EQ(widgets::filterMatchingBothCases("Text (*.txt *.Csv)"),
              "Text (*.txt *.TXT *.Csv *.csv *.CSV)");
    EXPECT_EQ(widgets::filterMatchingBothCases("All files"), "All files");

    testsupport::TempDir dir;
    std::ofstream(dir.file("lower.dbf")) << "x";
    std::ofstream(dir.file("other.txt")) << "x";
    QStringList filtersShown;
    testsupport::whenModalAppears([&filtersShown, &dir](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        filtersShown = dialog->nameFilters();
        typeAndAccept(dialog, QString::fromStdString(dir.file("lower.dbf")));
    });
    widgets::QtFileDialogs files;
    widgets::FileDialogRequest request{"Open Database File",
                                       QString::fromStdString(dir.path()),
                                       {},
                                       {"Database Files (*.DBF)"},
                                       "DBF"};
    const QString chosen = files.openFileName(nullptr, request);
    EXPECT_EQ(filtersShown, (QStringList{"Database Files (*.DBF *.dbf)"}));
    EXPECT_EQ(chosen, QString::fromStdString(dir.file("lower.dbf")));

    // A save dialog offers the proposed name; a name typed without an extension gets the
    // default one.
    QString proposed;
    testsupport::whenModalAppears([&proposed](QWidget* modal) {
        auto* name = modal->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(name, nullptr);
        proposed = name->text();
        typeAndAccept(modal, "NEWBOOKS");
    });
    request.title = "New Database File";
    request.fileName = "MASTER.DBF";
    EXPECT_EQ(files.saveFileName(nullptr, request),
              QString::fromStdString(dir.file("NEWBOOKS.DBF")));
    EXPECT_EQ(proposed, "MASTER.DBF");
}

// The font dialog of the grid's fonts offers the text colour beside the font.
TEST(QtFontChooser, ChoosesAColourBesideTheFont) {
    widgets::QtFontChooser fonts;
    testsupport::whenModalAppears([](QWidget* modal) {
        auto* fontDialog = modal->findChild<QFontDialog*>();
        ASSERT_NE(fontDialog, nullptr);
        fontDialog->setCurrentFont(QFont(QStringLiteral("Courier"), 15));
        // The colour dialog runs inside the font dialog's own loop.
        QTimer::singleShot(50, [] {
            auto* colourDialog = qobject_cast<QColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(colourDialog, nullptr);
            EXPECT_EQ(colourDialog->currentColor(), QColor(10, 20, 30));
            colourDialog->setCurrentColor(QColor(0, 128, 0));
            colourDialog->accept();
        });
        testsupport::clickButton(modal, QStringLiteral("Color..."));
        modal->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)
            ->button(QDialogButtonBox::Ok)
            ->click();
    });
    const auto chosen =
        fonts.chooseFontAndColour(nullptr, QFont(QStringLiteral("Arial"), 10), QColor(10, 20, 30));
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(chosen->font.pointSize(), 15);
    EXPECT_EQ(chosen->colour, QColor(0, 128, 0));

    testsupport::whenModalAppears([](QWidget* modal) {
        modal->findChild<QDialogButtonBox*>(QString(), Qt::FindDirectChildrenOnly)
            ->button(QDialogButtonBox::Cancel)
            ->click();
    });
    EXPECT_FALSE(fonts.chooseFontAndColour(nullptr, QFont(), QColor(1, 2, 3)).has_value());
}

TEST(ScriptedSeams, EveryPromptMustHaveBeenScripted) {
    EXPECT_NONFATAL_FAILURE(
        {
            testsupport::StrictMessages messages;
            messages.error("Surprise");
        },
        "Unexpected message box [Error]: \"Surprise\"");
    EXPECT_NONFATAL_FAILURE(
        {
            testsupport::StrictMessages messages;
            messages.expect("Confirm", "Delete this record?", db::MessageAnswer::Yes);
            EXPECT_EQ(messages.show("Confirm", "Something else", db::MessageIcon::Question,
                                    db::MessageButtons::YesNo, db::MessageAnswer::No),
                      db::MessageAnswer::No);
            messages.verifyAllShown();
        },
        "was expected");
    EXPECT_NONFATAL_FAILURE(
        {
            testsupport::StrictMessages messages;
            messages.expect("Never shown");
        },
        "was not shown");
    EXPECT_NONFATAL_FAILURE(
        {
            testsupport::ScriptedSeams seams;
            EXPECT_TRUE(seams.files.openFileName(nullptr, {"Open", "", "", {}, ""}).isEmpty());
        },
        "Unexpected open file dialog \"Open\"");
    EXPECT_NONFATAL_FAILURE(
        {
            testsupport::ScriptedSeams seams;
            seams.random.script({5});
            seams.random.bounded(3);
        },
        "outside 0..2");

    // Scripted answers come back in order and the requests are kept.
    testsupport::ScriptedSeams seams;
    seams.messages.expect("Confirm", "Delete this record?", db::MessageAnswer::Yes);
    seams.messages.expectCaption("Error");
    EXPECT_EQ(seams.seams.messages.show("Confirm", "Delete this record?", db::MessageIcon::Question,
                                        db::MessageButtons::YesNo, db::MessageAnswer::No),
              db::MessageAnswer::Yes);
    seams.seams.messages.error("Any engine message");
    seams.files.answer("/tmp/a.dbf");
    seams.files.answer("");
    EXPECT_EQ(seams.seams.files.openFileName(nullptr, {"Open Database File", "/x", "", {}, ""}),
              "/tmp/a.dbf");
    EXPECT_EQ(seams.seams.files.saveFileName(nullptr, {"New Database File", "/x", "", {}, ""}), "");
    ASSERT_EQ(seams.files.calls.size(), 2u);
    EXPECT_EQ(seams.files.calls[1].kind, testsupport::FileDialogKind::Save);
    seams.fonts.answer(std::nullopt);
    EXPECT_FALSE(seams.seams.fonts.chooseFont(nullptr, QFont("Arial")).has_value());
    seams.random.script({2, 0});
    EXPECT_EQ(seams.seams.random.bounded(3), 2);
    EXPECT_EQ(seams.seams.random.bounded(3), 0);
    seams.seams.help.showKeyword("Search");
    EXPECT_EQ(seams.help.calls, QStringList{"Search"});
}

} // namespace
