// The menu shortcuts of every window, pressed as keys while a text box has the focus, on the X11
// platform: its key scheme gives text boxes bindings of their own for many Ctrl keys (Ctrl+U
// erases the line, Ctrl+E goes to its end, Ctrl+D deletes a character ...), which the offscreen
// platform does not have. Each key must run its menu command and leave the box's text alone.

#include "app/main_commands.h"
#include "app/window_wiring.h"
#include "edit/tmy_edit.h"
#include "support/gui/modal.h"
#include "support_main_window.h"
#include "widgets/record_grid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <functional>
#include <map>

using namespace testsupport;

namespace {

// Without a window manager the X server's focus events can arrive late and hand the activation
// back to a window shown before: wait until `window` is, and stays, the active one.
bool makeActive(QWidget& window) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        window.activateWindow();
        if (QTest::qWaitForWindowActive(&window)) {
            QTest::qWait(50);
            if (QApplication::activeWindow() == &window)
                return true;
        }
    }
    return false;
}

class MenuShortcuts : public MainWindowTest {
protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"))
            << "this test needs an X server (run it under xvfb-run)";
    }
    void start() {
        makeBookTable(file("BOOKS.DBF"), {"Austen", "Brontë", "Carroll"});
        writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() +
                      "\r\nShow Tips=No\r\n[Grid Options]\r\nField Editing=Yes\r\n");
        window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        window->show();
        ASSERT_TRUE(makeActive(*window));
    }
    void TearDown() override {
        windows.reset();
        window.reset();
    }

    // A cell editor open on the first record's title, holding `text` with the cursor at its end.
    QLineEdit* typeIntoTitleCell(const QString& text) {
        widgets::RecordGrid& grid = window->ViewerGrid();
        const auto& model = grid.bookModel();
        const QModelIndex cell = model.index(0, model.columnOfField("Title"));
        grid.setFocus();
        grid.setCurrentIndex(cell);
        grid.edit(cell);
        QApplication::processEvents();
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        if (editor == nullptr)
            return nullptr;
        editor->setText(text);
        return editor;
    }

    std::unique_ptr<app::TMain> window;
    std::unique_ptr<app::ProgramWindows> windows;
};

// Keys whose X11 text bindings clash with a command of the main window, and commands without a
// clash; every one of them runs its command from inside a grid cell being typed in.
TEST_F(MenuShortcuts, MainWindowCommandsRunFromACellEditorThatKeepsItsText) {
    start();
    std::map<app::Command, int> runs;
    for (const app::CommandInfo& info : app::commandTable())
        window->wireCommand(info.command, [&runs, command = info.command] { ++runs[command]; });
    // Wiring Reports wires Print to the same handler: Print gets its own again.
    window->wireCommand(app::Command::Print, [&runs] { ++runs[app::Command::Print]; });
    int pressed = 0;
    for (const app::CommandInfo& info : app::commandTable()) {
        if (info.shortcut.isEmpty() || info.command == app::Command::EndSearch)
            continue; // End Search is not available without a search
        // A command that touches the table stores the cell being typed in first, which closes
        // its editor: every key starts from a freshly opened one.
        QLineEdit* editor = typeIntoTitleCell(QStringLiteral("Half typed"));
        ASSERT_NE(editor, nullptr) << "no cell editor has the focus before " << info.menuName;
        const QKeyCombination keys = info.shortcut[0];
        editor->setCursorPosition(5);
        QTest::keyClick(editor, keys.key(), keys.keyboardModifiers());
        EXPECT_EQ(runs[info.command], 1) << info.menuName << " did not run";
        EXPECT_EQ(editor->text(), QStringLiteral("Half typed")) << info.menuName;
        QApplication::processEvents();
        ++pressed;
    }
    EXPECT_GE(pressed, 25);
    QLineEdit* editor = typeIntoTitleCell(QStringLiteral("Half typed"));
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_F1);
    EXPECT_EQ(runs[app::Command::HelpContents], 2) << "F1 opens the help contents too";
}

// The record edit form, opened by the main window's Add command, with its title box focused.
class EditFormShortcuts : public MenuShortcuts {
protected:
    // Runs `body` with the form open in add mode, "Typed" in the title box and the focus there.
    void withForm(std::function<void(edit::TMyEdit&, QLineEdit&)> body) {
        whenModalAppears([body](QWidget* dialog) {
            auto* form = qobject_cast<edit::TMyEdit*>(dialog);
            ASSERT_NE(form, nullptr);
            ASSERT_TRUE(makeActive(*form));
            auto* title = qobject_cast<QLineEdit*>(form->control(edit::field::Title));
            title->setFocus();
            title->setText(QStringLiteral("Typed"));
            title->setCursorPosition(2);
            body(*form, *title);
            if (form->isVisible())
                form->reject();
        });
        window->findChild<QAction*>(QStringLiteral("MenuAdd"))->trigger();
        QApplication::processEvents();
    }
    void press(QWidget& box, const char* keys) {
        ASSERT_EQ(QApplication::activeWindow(), box.window()) << keys;
        const QKeyCombination combination = QKeySequence(QString::fromLatin1(keys))[0];
        QTest::keyClick(&box, combination.key(), combination.keyboardModifiers());
    }
    std::vector<std::string> titles() {
        table::Table& books = window->MyTable();
        std::vector<std::string> result;
        const int title = books.fieldIndexOrThrow("TITLE");
        for (books.first(); !books.eof(); books.next())
            result.push_back(books.asText(title));
        return result;
    }
    void SetUp() override {
        MenuShortcuts::SetUp();
        start();
        windows = std::make_unique<app::ProgramWindows>(*window, s.seams);
    }
};

TEST_F(EditFormShortcuts, UpdateAndExitStoresWhatWasTyped) {
    withForm([this](edit::TMyEdit& form, QLineEdit& title) {
        press(title, "Ctrl+U");
        EXPECT_EQ(title.text(), QStringLiteral("Typed"));
        EXPECT_FALSE(form.isVisible()) << "the form closes after storing";
    });
    const auto stored = titles();
    EXPECT_NE(std::find(stored.begin(), stored.end(), "Typed"), stored.end());
}

TEST_F(EditFormShortcuts, UpdateRecordClearAndNewRecordRunFromTheTitleBox) {
    withForm([this](edit::TMyEdit& form, QLineEdit& title) {
        press(title, "Ctrl+R");
        EXPECT_EQ(title.text(), QStringLiteral("Typed"));
        EXPECT_EQ(form.editMode(), edit::EditMode::Edit) << "Update Record stored it";

        title.setText(QStringLiteral("Changed"));
        s.messages.expect("Warning",
                          "Data has changed.  Update this record before creating new one?",
                          db::MessageAnswer::Cancel);
        press(title, "Ctrl+E");
        s.messages.verifyAllShown();
        EXPECT_EQ(title.text(), QStringLiteral("Changed"));

        for (const char* keys : {"Ctrl+P", "Ctrl+N"}) {
            s.messages.expectCaption("Warning", db::MessageAnswer::Cancel);
            press(title, keys);
            s.messages.verifyAllShown();
            EXPECT_EQ(title.text(), QStringLiteral("Changed")) << keys;
        }

        auto* cost = qobject_cast<QLineEdit*>(form.control(edit::field::Cost));
        cost->setText(QStringLiteral("12"));
        press(title, "Ctrl+L");
        EXPECT_EQ(cost->text(), QStringLiteral("0")) << "Clear Record ran";
    });
}

TEST_F(EditFormShortcuts, EditMenuLeavesDateBoxesAloneAndHelpOpensAtItsKeyword) {
    withForm([this](edit::TMyEdit& form, QLineEdit& title) {
        QGuiApplication::clipboard()->setText(QStringLiteral("03/04/1935"));
        auto* date = qobject_cast<QLineEdit*>(form.control(edit::field::PurchDate));
        ASSERT_NE(date, nullptr);
        date->setFocus();
        date->setText(QStringLiteral("01/02/2003"));
        const QString shownDate = date->displayText();
        date->selectAll();
        for (const char* keys : {"Ctrl+X", "Ctrl+V", "Ctrl+D"}) {
            press(*date, keys);
            EXPECT_EQ(date->displayText(), shownDate) << keys;
        }
        press(*date, "Ctrl+C");
        EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("03/04/1935"));

        title.setFocus();
        title.setCursorPosition(0);
        press(title, "Ctrl+D"); // Delete clears a selection only
        EXPECT_EQ(title.text(), QStringLiteral("Typed"));
        press(title, "Ctrl+H");
        press(title, "F1");
        EXPECT_EQ(s.help.calls, (QStringList{"Input Window", "Input Window"}));
        EXPECT_EQ(title.text(), QStringLiteral("Typed"));
    });
}

} // namespace
