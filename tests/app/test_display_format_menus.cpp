#include "app/display_format_menus.h"

#include "app/display_formats.h"
#include "app/settings.h"

#include <QAction>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

using app::DisplayFormatMenus;

QList<bool> checks(const QList<QAction*>& actions) {
    QList<bool> marks;
    for (const QAction* action : actions) {
        marks.append(action->isChecked());
    }
    return marks;
}

QList<bool> onlyChecked(qsizetype count, int number) {
    QList<bool> marks(count, false);
    if (number >= 1 && number <= count) {
        marks[number - 1] = true;
    }
    return marks;
}

class FormatMenus : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test";
        static char* argv[] = {name, nullptr};
        static QGuiApplication application(argc, argv);
    }
    void TearDown() override { table::setCurrentDateFormat(savedFormat_); }

    app::Settings settings;
    int refreshes = 0;
    DisplayFormatMenus menus{settings, [this] { ++refreshes; }};

private:
    table::DateFormat savedFormat_ = table::currentDateFormat();
};

TEST_F(FormatMenus, StartUpAppliesAndChecksTheStoredChoices) {
    EXPECT_EQ(menus.dateActions().size(), 12);
    EXPECT_EQ(menus.dateActions()[6]->text(), "mm/dd/yyyy");
    EXPECT_EQ(menus.currencyActions()[0]->text(), "&U.S. Dollars");
    EXPECT_EQ(menus.numericActions()[1]->text(), "&Windows Setting");

    settings.dateFormat = 11;
    settings.currencyFormat = 2;
    settings.numericFormat = 1;
    menus.applyStoredFormats();
    EXPECT_EQ(checks(menus.dateActions()), onlyChecked(12, 11));
    EXPECT_EQ(checks(menus.currencyActions()), onlyChecked(2, 2));
    EXPECT_EQ(checks(menus.numericActions()), onlyChecked(2, 1));
    EXPECT_EQ(table::currentDateFormat().format({1996, 1, 5}), "5-1-1996");
    EXPECT_EQ(refreshes, 0);
}

TEST_F(FormatMenus, AStoredValueWithoutAnItemAppliesAndChecksNothing) {
    app::applyDateFormat(1);
    settings.dateFormat = 13;
    settings.numericFormat = 0;
    menus.applyStoredFormats();
    EXPECT_EQ(checks(menus.dateActions()), onlyChecked(12, 0));
    EXPECT_EQ(checks(menus.numericActions()), onlyChecked(2, 0));
    EXPECT_EQ(table::currentDateFormat().format({1996, 1, 5}), "1/5/96");
    EXPECT_EQ(settings.dateFormat, 13);

    // Even the default format's item is then a change, and refreshes the grid.
    menus.dateActions()[0]->trigger();
    EXPECT_EQ(checks(menus.dateActions()), onlyChecked(12, 1));
    EXPECT_EQ(settings.dateFormat, 1);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(FormatMenus, ChoosingADateFormatAppliesStoresAndRefreshesOnce) {
    menus.applyStoredFormats();
    menus.dateActions()[5]->trigger();
    EXPECT_EQ(settings.dateFormat, 6);
    EXPECT_EQ(checks(menus.dateActions()), onlyChecked(12, 6));
    EXPECT_EQ(table::currentDateFormat().format({1996, 1, 5}), "5.1.96");
    EXPECT_EQ(refreshes, 1);

    // The checked item again: nothing changes, it stays checked, no refresh.
    menus.dateActions()[5]->trigger();
    EXPECT_EQ(checks(menus.dateActions()), onlyChecked(12, 6));
    EXPECT_EQ(refreshes, 1);
    menus.chooseDateFormat(99);
    EXPECT_EQ(settings.dateFormat, 6);
    EXPECT_EQ(refreshes, 1);
}

TEST_F(FormatMenus, NumberChoicesStoreAndMoveTheCheckWithoutRefreshing) {
    menus.applyStoredFormats();
    menus.numericActions()[1]->trigger();
    menus.currencyActions()[1]->trigger();
    EXPECT_EQ(settings.numericFormat, 2);
    EXPECT_EQ(settings.currencyFormat, 2);
    menus.currencyActions()[1]->trigger(); // the checked one keeps its mark
    EXPECT_EQ(checks(menus.currencyActions()), onlyChecked(2, 2));
    menus.numericActions()[0]->trigger();
    EXPECT_EQ(settings.numericFormat, 1);
    EXPECT_EQ(checks(menus.numericActions()), onlyChecked(2, 1));
    EXPECT_EQ(refreshes, 0);
}

} // namespace
