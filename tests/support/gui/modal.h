#pragma once

// Driving real modal dialogs from a test: the callback runs inside the dialog's own event loop
// once a modal widget is active, then the test closes it (accept(), a button click ...).
//
//     testsupport::whenModalAppears([](QWidget* dialog) {
//         static_cast<QDialog*>(dialog)->accept();
//     });
//     window.exec(); // or whatever shows the dialog

#include <QWidget>

#include <functional>

namespace testsupport {

// Polls QApplication::activeModalWidget() every few milliseconds; when a modal widget other than
// the one active at the time of the call appears, calls `callback` with it. Fails the test (and
// stops polling) after `timeoutMs` without one; fails it too, and closes the dialog, when the
// dialog is still open `timeoutMs` after the callback, so that a test never hangs.
void whenModalAppears(std::function<void(QWidget*)> callback, int timeoutMs = 5000);

// Clicks the button whose text (mnemonics removed) is `text` in `dialog`; fails the test when
// there is none.
void clickButton(QWidget* dialog, const QString& text);

} // namespace testsupport
