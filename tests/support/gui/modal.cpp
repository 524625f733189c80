#include "support/gui/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace testsupport {

namespace {

constexpr int kPollMs = 10;

struct ModalWatch {
    std::function<void(QWidget*)> callback;
    QPointer<QWidget> before;
    QElapsedTimer clock;
    int timeoutMs;
};

void poll(std::shared_ptr<ModalWatch> watch) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != nullptr && modal != watch->before.data() && modal->isVisible()) {
        QPointer<QWidget> handled(modal);
        watch->callback(modal);
        // A callback that leaves its dialog open would leave the test waiting for ever.
        QTimer::singleShot(watch->timeoutMs, [handled] {
            if (handled && handled->isVisible()) {
                ADD_FAILURE() << "The modal dialog was left open: closing it";
                if (auto* dialog = qobject_cast<QDialog*>(handled.data()))
                    dialog->reject();
                else
                    handled->close();
            }
        });
        return;
    }
    if (watch->clock.elapsed() > watch->timeoutMs) {
        ADD_FAILURE() << "No modal dialog appeared within " << watch->timeoutMs << " ms";
        return;
    }
    QTimer::singleShot(kPollMs, [watch] { poll(watch); });
}

} // namespace

void whenModalAppears(std::function<void(QWidget*)> callback, int timeoutMs) {
    auto watch = std::make_shared<ModalWatch>();
    watch->callback = std::move(callback);
    watch->before = QApplication::activeModalWidget();
    watch->timeoutMs = timeoutMs;
    watch->clock.start();
    QTimer::singleShot(kPollMs, [watch] { poll(watch); });
}

void clickButton(QWidget* dialog, const QString& text) {
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "No button \"" << text.toStdString() << "\" in the dialog";
}

} // namespace testsupport
