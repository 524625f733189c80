#pragma once

// The Options menu's three format submenus: "Report C&urrency Format", "&Report Numeric Format"
// and "&Date Format". The actions live here with their check marks and handlers, so that the
// main window only places them in its menus.

#include <QList>
#include <QObject>

#include <functional>

class QAction;

namespace app {

struct Settings;

class DisplayFormatMenus : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kCurrencyMenuCaption = "Report C&urrency Format";
    static constexpr const char* kNumericMenuCaption = "&Report Numeric Format";
    static constexpr const char* kDateMenuCaption = "&Date Format";

    // `settings` outlives this object. `showDatesAnew` runs after the date format changed, so
    // that the grid shows its dates in the new format.
    DisplayFormatMenus(Settings& settings, std::function<void()> showDatesAnew,
                       QObject* parent = nullptr);

    // Start-up: applies the stored date format and checks the items of the stored choices. A
    // stored value without an item applies nothing and checks nothing.
    void applyStoredFormats();

    // "&U.S. Dollars", "&Windows Setting".
    const QList<QAction*>& currencyActions() const { return currencyActions_; }
    // "&U.S. Format", "&Windows Setting".
    const QList<QAction*>& numericActions() const { return numericActions_; }
    // The twelve date formats in order, "mm/dd/yy" first.
    const QList<QAction*>& dateActions() const { return dateActions_; }

    // What choosing an item does. Choosing the checked date format changes nothing.
    void chooseDateFormat(int number);
    void chooseNumericFormat(int choice);
    void chooseCurrencyFormat(int choice);

private:
    static void checkOnly(const QList<QAction*>& actions, int number);

    Settings& settings_;
    std::function<void()> showDatesAnew_;
    QList<QAction*> currencyActions_;
    QList<QAction*> numericActions_;
    QList<QAction*> dateActions_;
    int checkedDateFormat_ = 0; // 0 while no item is checked
};

} // namespace app
