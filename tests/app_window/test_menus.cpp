#include "support_main_window.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

namespace {

using testsupport::MainWindowTest;

// A menu as text: "caption [shortcut]" per visible item, "-" for a separator, submenus in braces.
QString describe(const QMenu& menu) {
    QStringList items;
    for (QAction* action : menu.actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator()) {
            items << QStringLiteral("-");
        } else if (action->menu()) {
            items << action->text() + " {" + describe(*action->menu()) + "}";
        } else {
            QString item = action->text();
            if (!action->shortcut().isEmpty())
                item += " [" + action->shortcut().toString() + "]";
            items << item;
        }
    }
    return items.join(QStringLiteral(" | "));
}

using Menus = MainWindowTest;

TEST_F(Menus, HoldEveryCommandWithItsCaptionShortcutAndSeparators) {
    auto window = startWindow();
    QStringList bar;
    std::vector<std::string> menus;
    for (QAction* top : window->menuBar()->actions()) {
        bar << top->text();
        menus.push_back(describe(*top->menu()).toStdString());
    }
    EXPECT_EQ(bar.join(",").toStdString(), "&File,&Records,Navi&gate,&Options,&Tools,&Help");
    ASSERT_EQ(menus.size(), 6u);
    EXPECT_EQ(menus[0], "&New Database [Ctrl+W] | &Open Database [Ctrl+O] | - | "
                        "&Back Up Data [Ctrl+B] | &Restore Data [Ctrl+Y] | - | &Print [Ctrl+P] | "
                        "Printer &Setup [Ctrl+U] | - | E&xit [Ctrl+X]");
    EXPECT_EQ(menus[1], "&Add [Ctrl+A] | &Edit [Ctrl+E] | &Copy [Ctrl+C] | &Delete [Ctrl+D] | - | "
                        "&Import [Ctrl+M] | E&xport [Ctrl+T]");
    EXPECT_EQ(menus[2], "&Search (Query) [Ctrl+S] | &End Search [Ctrl+I] | &Locate [Ctrl+L] | "
                        "Locate &Next [Ctrl+N] | &Reports [Ctrl+R] | &Viewer [Ctrl+V]");
    EXPECT_EQ(menus[3],
              "Sort &Order [Ctrl+Q] | Screen Si&ze {640 x 480 [Shift+F1] | 800 x 600 [Shift+F2] | "
              "1024 x 768 [Shift+F3] | 1280 x 1024 [Shift+F4]} | &Screen Access {&Speed Buttons "
              "[Ctrl+F1] | &Lettered Buttons [Ctrl+F2] | &None [Ctrl+F3]} | &Color {&Main Window "
              "Color [Ctrl+F4] | &Edit Window Color [Ctrl+F5] | &Search Window Color [Ctrl+F6] | "
              "&Report Window Color [Ctrl+F7] | &Configure Window Color [Ctrl+F8] | - | &ALL "
              "Windows Color [Ctrl+F9]} | List &Maintenance {&Author | &Location | &Where "
              "Purchased | &Category | &Publisher | &Book Type | &Rating | Chec&k Out Person | "
              "C&ondition} | Report C&urrency Format {&U.S. Dollars | &Windows Setting} | &Report "
              "Numeric Format {&U.S. Format | &Windows Setting} | &Date Format {mm/dd/yy | "
              "mm-dd-yy | mm.dd.yy | dd/mm/yy | dd-mm-yy | dd.mm.yy | mm/dd/yyyy | mm-dd-yyyy | "
              "mm.dd.yyyy | dd/mm/yyyy | dd-mm-yyyy | dd.mm.yyyy} | - | &Label Font [Shift+F8] | "
              "&Edit Font [Shift+F9] | &Button Font [Shift+F10]");
    EXPECT_EQ(menus[4], "&Search and Replace [Ctrl+F] | &Undo Last Replace | &Rebuild Indexes | "
                        "&Pack Database");
    EXPECT_EQ(menus[5], "&Contents [Ctrl+H] | &Review \"Tips of the Day\" | &About");
}

TEST_F(Menus, SpeedBarHoldsSeventeenButtonsWithTheirHintsInFourGroups) {
    auto window = startWindow();
    QWidget* panel = window->findChild<QWidget*>(QStringLiteral("SpeedPanel"));
    ASSERT_NE(panel, nullptr);
    QStringList hints;
    int previousRight = -1;
    for (QObject* object : panel->children()) {
        auto* button = qobject_cast<QWidget*>(object);
        if (!button)
            continue;
        if (previousRight >= 0 && button->x() > previousRight + 1)
            hints << QStringLiteral("|");
        hints << button->toolTip();
        previousRight = button->geometry().right();
        EXPECT_FALSE(button->property("icon").value<QIcon>().isNull());
    }
    EXPECT_EQ(hints.join(",").toStdString(),
              "New Database,Open Database,|,Add Record,Edit Record,Copy Record,Delete Record,"
              "Import Records,Export Records,|,Search Records,End Search,Locate Record,"
              "Locate Next Record,Reports,Viewer Configuration,Color Setup,Set Sorting Order,|,"
              "Help");
}

} // namespace
