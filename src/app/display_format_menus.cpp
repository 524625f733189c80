#include "app/display_format_menus.h"

#include "app/display_formats.h"
#include "app/settings.h"

#include <QAction>

namespace app {

namespace {

QAction* checkableAction(const QString& caption, QObject* parent) {
    auto* action = new QAction(caption, parent);
    action->setCheckable(true);
    return action;
}

} // namespace

DisplayFormatMenus::DisplayFormatMenus(Settings& settings, std::function<void()> showDatesAnew,
                                       QObject* parent)
    : QObject(parent), settings_(settings), showDatesAnew_(std::move(showDatesAnew)) {
    const QString usCaptions[] = {QStringLiteral("&U.S. Dollars"), QStringLiteral("&U.S. Format")};
    for (int kind = 0; kind < 2; ++kind) {
        QList<QAction*>& actions = kind == 0 ? currencyActions_ : numericActions_;
        actions.append(checkableAction(usCaptions[kind], this));
        actions.append(checkableAction(QStringLiteral("&Windows Setting"), this));
        for (int choice = 1; choice <= 2; ++choice) {
            connect(actions[choice - 1], &QAction::triggered, this, [this, kind, choice] {
                kind == 0 ? chooseCurrencyFormat(choice) : chooseNumericFormat(choice);
            });
        }
    }
    for (const DateFormatChoice& choice : dateFormatChoices()) {
        QAction* action = checkableAction(QString::fromLatin1(choice.menuCaption), this);
        const int number = choice.number;
        connect(action, &QAction::triggered, this, [this, number] { chooseDateFormat(number); });
        dateActions_.append(action);
    }
}

void DisplayFormatMenus::applyStoredFormats() {
    applyDateFormat(settings_.dateFormat);
    showChecks();
}

void DisplayFormatMenus::chooseDateFormat(int number) {
    const bool changed = app::chooseDateFormat(settings_, number);
    // Triggering a checked item unchecks it before we hear of it; the marks are set anew.
    showChecks();
    if (changed && showDatesAnew_) {
        showDatesAnew_();
    }
}

void DisplayFormatMenus::chooseNumericFormat(int choice) {
    app::chooseNumericFormat(settings_, choice);
    showChecks();
}

void DisplayFormatMenus::chooseCurrencyFormat(int choice) {
    app::chooseCurrencyFormat(settings_, choice);
    showChecks();
}

void DisplayFormatMenus::showChecks() {
    checkOnly(dateActions_, settings_.dateFormat);
    checkOnly(currencyActions_, settings_.currencyFormat);
    checkOnly(numericActions_, settings_.numericFormat);
}

void DisplayFormatMenus::checkOnly(const QList<QAction*>& actions, int number) {
    for (qsizetype i = 0; i < actions.size(); ++i) {
        actions[i]->setChecked(i + 1 == number);
    }
}

} // namespace app
