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
    checkedDateFormat_ = applyDateFormat(settings_.dateFormat) ? settings_.dateFormat : 0;
    checkOnly(dateActions_, checkedDateFormat_);
    checkOnly(currencyActions_, settings_.currencyFormat);
    checkOnly(numericActions_, settings_.numericFormat);
}

void DisplayFormatMenus::chooseDateFormat(int number) {
    // Triggering a checked item unchecks it before we hear of it; put the mark back.
    if (number == checkedDateFormat_ || !applyDateFormat(number)) {
        checkOnly(dateActions_, checkedDateFormat_);
        return;
    }
    checkedDateFormat_ = number;
    settings_.dateFormat = number;
    checkOnly(dateActions_, number);
    if (showDatesAnew_) {
        showDatesAnew_();
    }
}

void DisplayFormatMenus::chooseNumericFormat(int choice) {
    if (choice == kUsFormat || choice == kRegionalFormat) {
        settings_.numericFormat = choice;
    }
    checkOnly(numericActions_, settings_.numericFormat);
}

void DisplayFormatMenus::chooseCurrencyFormat(int choice) {
    if (choice == kUsFormat || choice == kRegionalFormat) {
        settings_.currencyFormat = choice;
    }
    checkOnly(currencyActions_, settings_.currencyFormat);
}

void DisplayFormatMenus::checkOnly(const QList<QAction*>& actions, int number) {
    for (qsizetype i = 0; i < actions.size(); ++i) {
        actions[i]->setChecked(i + 1 == number);
    }
}

} // namespace app
