// The windows opened from the main window's commands, shown again and again as a user does:
// their size, what they hold while on screen, their colours and their help key.

#include "app/window_wiring.h"
#include "appearance/colour_sets.h"
#include "appearance/view_config_window.h"
#include "edit/tmy_edit.h"
#include "search/criteria_grid.h"
#include "search/search_window.h"
#include "search/sort_order_window.h"
#include "support/gui/modal.h"
#include "support_main_window.h"
#include "widgets/grid_settings.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

using namespace testsupport;

namespace {

class WindowShowing : public MainWindowTest {
protected:
    void start(const std::string& moreSettings = {}) {
        makeBookTable(file("BOOKS.DBF"), {"Carroll", "Austen", "Brontë"});
        writeSettings("[Misc]\r\nLast Database=" + file("BOOKS.DBF").toStdString() +
                      "\r\nShow Tips=No\r\n" + moreSettings);
        window = makeWindow();
        ASSERT_TRUE(window->FormCreate());
        windows = std::make_unique<app::ProgramWindows>(*window, s.seams);
        window->show();
        QApplication::processEvents();
    }
    void TearDown() override {
        windows.reset();
        window.reset();
    }
    // Runs the command of a menu item; `answer` handles the window it opens, which it must close
    // unless `closeAfter` does.
    void run(const char* menuItem, std::function<void(QWidget*)> answer) {
        whenModalAppears([answer](QWidget* dialog) {
            // Keys go to the window's shortcuts only once the application sees it active.
            dialog->activateWindow();
            EXPECT_TRUE(
                QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }));
            answer(dialog);
            if (dialog->isVisible())
                static_cast<QDialog*>(dialog)->reject();
        });
        child<QAction>(*window, menuItem)->trigger();
        QApplication::processEvents();
    }

    std::unique_ptr<app::TMain> window;
    std::unique_ptr<app::ProgramWindows> windows;
};

// At 1024 x 768 every window is scaled by 1.6 from its design size, on every showing.
TEST_F(WindowShowing, LongLivedWindowsHaveTheSameSizeEachTimeTheyAreShown) {
    start("Window Size=1024\r\n");
    ASSERT_DOUBLE_EQ(window->windowSizeFactor(), 1.6);
    for (const char* command : {"MenuSearch", "MenuAdd"}) {
        std::vector<QSize> sizes;
        for (int showing = 0; showing < 3; ++showing)
            run(command, [&sizes](QWidget* dialog) { sizes.push_back(dialog->size()); });
        ASSERT_EQ(sizes.size(), 3u) << command;
        EXPECT_EQ(sizes[1], sizes[0]) << command;
        EXPECT_EQ(sizes[2], sizes[0]) << command;
        EXPECT_LE(sizes[0].width(), 1024) << command << " fits the screen";
    }
}

// Minimised and restored, or hidden and shown again by the desktop, the windows keep what the
// user has chosen or typed so far.
TEST_F(WindowShowing, SearchAndSortOrderKeepTheirStateWhenShownAgainWithoutTheirCommand) {
    start();
    run("MenuSearch", [](QWidget* dialog) {
        auto* search = qobject_cast<search::TMySearch*>(dialog);
        ASSERT_NE(search, nullptr);
        search->grid()->makeCurrent(2);
        QTest::keyClicks(search->grid()->openEditor(), "Austen");
        search->grid()->commitOpenEditor();
        search->findMoreButton()->click(); // level 2
        search->grid()->makeCurrent(1);
        QTest::keyClicks(search->grid()->openEditor(), "Book");
        search->grid()->commitOpenEditor();
        for (const auto& hideAndShow : std::vector<std::function<void()>>{
                 [search] { search->showMinimized(), search->showNormal(); },
                 [search] { search->hide(), search->show(); }}) {
            hideAndShow();
            QApplication::processEvents();
            EXPECT_EQ(search->grid()->criterionText(1), QStringLiteral("Book"));
            EXPECT_EQ(search->levels().level(), 2);
            EXPECT_EQ(search->levels().items().size(), 1u);
        }
    });
    run("MenuSearch", [](QWidget* dialog) {
        auto* search = qobject_cast<search::TMySearch*>(dialog);
        EXPECT_EQ(search->grid()->criterionText(1), QString()) << "the command starts afresh";
        EXPECT_EQ(search->levels().level(), 1);
    });
    run("MenuSortOrder", [](QWidget* dialog) {
        auto* sort = qobject_cast<search::TMySortOrder*>(dialog);
        ASSERT_NE(sort, nullptr);
        sort->levelList(1)->setCurrentIndex(5);
        sort->hide();
        sort->show();
        QApplication::processEvents();
        EXPECT_EQ(sort->levelList(1)->currentIndex(), 5);
    });
}

// Going back to system colours (negative values) takes effect the next time the window shows.
TEST_F(WindowShowing, SearchWindowFollowsSystemColoursAfterExplicitOnes) {
    start();
    app::ColourSet& colours = window->settings().colours(app::WindowGroup::Search);
    colours[app::ColourRole::MainBackground] = 0x0000FF; // red
    colours[app::ColourRole::ListBoxBackground] = 0x00FF00;
    colours[app::ColourRole::ListBoxText] = 0xFF0000;
    const auto paletteOf = [this](const char* command) {
        QPalette form, grid;
        run(command, [&](QWidget* dialog) {
            auto* search = qobject_cast<search::TMySearch*>(dialog);
            form = search->palette();
            grid = search->grid()->palette();
        });
        return std::pair{form, grid};
    };
    auto [before, gridBefore] = paletteOf("MenuSearch");
    EXPECT_EQ(before.color(QPalette::Window), QColor(255, 0, 0));
    EXPECT_EQ(gridBefore.color(QPalette::Base), QColor(0, 255, 0));
    EXPECT_EQ(gridBefore.color(QPalette::Text), QColor(0, 0, 255));

    constexpr app::Colour kButtonFace = static_cast<app::Colour>(0x8000000F);
    constexpr app::Colour kWindow = static_cast<app::Colour>(0x80000005);
    constexpr app::Colour kWindowText = static_cast<app::Colour>(0x80000008);
    colours[app::ColourRole::MainBackground] = kButtonFace;
    colours[app::ColourRole::ListBoxBackground] = kWindow;
    colours[app::ColourRole::ListBoxText] = kWindowText;
    auto [after, gridAfter] = paletteOf("MenuSearch");
    EXPECT_EQ(after.color(QPalette::Window), widgets::colourFromSetting(kButtonFace));
    EXPECT_EQ(gridAfter.color(QPalette::Base), widgets::colourFromSetting(kWindow));
    EXPECT_EQ(gridAfter.color(QPalette::Text), widgets::colourFromSetting(kWindowText));
}

// F1 opens help at the window's keyword, beside the key or button the window had already.
TEST_F(WindowShowing, F1OpensHelpAtEachWindowsKeyword) {
    start();
    QTest::keyClick(&window->ViewerGrid(), Qt::Key_F1);
    run("MenuSearch", [](QWidget* dialog) {
        auto* search = qobject_cast<search::TMySearch*>(dialog);
        search->grid()->makeCurrent(1);
        QTest::keyClick(search->grid()->openEditor(), Qt::Key_F1);
    });
    run("MenuAdd", [](QWidget* dialog) {
        auto* form = qobject_cast<edit::TMyEdit*>(dialog);
        QTest::keyClick(form->control(edit::field::Title), Qt::Key_F1);
    });
    run("MenuViewer", [](QWidget* dialog) {
        auto* pages = dialog->findChild<QTabWidget*>();
        ASSERT_NE(pages, nullptr);
        for (int page : {0, 3}) {
            pages->setCurrentIndex(page);
            QTest::keyClick(pages->currentWidget(), Qt::Key_F1);
        }
    });
    run("MenuReports", [](QWidget* dialog) {
        QTest::keyClick(dialog->findChild<QWidget*>("ReportBox"), Qt::Key_F1);
        whenModalAppears([](QWidget* designer) {
            designer->activateWindow();
            EXPECT_TRUE(
                QTest::qWaitFor([designer] { return QApplication::activeWindow() == designer; }));
            QTest::keyClick(designer->findChild<QLineEdit*>("ReportName"), Qt::Key_F1);
            static_cast<QDialog*>(designer)->reject();
        });
        dialog->findChild<QPushButton*>("NewButton")->click();
    });
    run("MenuExport", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_F1); });
    EXPECT_EQ(s.help.calls.join(",").toStdString(),
              "contents,Search Window,Input Window,Viewer Configuration Title,"
              "Viewer Configuration Widths,Report Window,User Defined Reports,Export Window");
}

// The contrast ratio of two colours by the WCAG formula: 1 (none) to 21 (black on white).
double contrast(const QColor& one, const QColor& other) {
    const auto luminance = [](const QColor& colour) {
        const auto channel = [](int value) {
            const double v = value / 255.0;
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * channel(colour.red()) + 0.7152 * channel(colour.green()) +
               0.0722 * channel(colour.blue());
    };
    const double a = luminance(one) + 0.05, b = luminance(other) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

// The colour a widget's text is drawn on: its own background when it fills it, else that of the
// first parent that does.
QColor backgroundBehind(const QWidget& widget) {
    for (const QWidget* w = &widget; w != nullptr; w = w->parentWidget()) {
        if (w->autoFillBackground() || w->isWindow())
            return w->palette().color(w->backgroundRole());
    }
    return {};
}

// Every caption, check box and menu of `window` that is on screen, with too little contrast:
// below 4.5:1, or 3:1 for bold or large (12 points and up) captions.
std::string unreadableTexts(QWidget& window) {
    const auto large = [](const QFont& font) { return font.bold() || font.pointSizeF() >= 12; };
    QStringList unreadable;
    const auto check = [&](const QWidget& widget, QPalette::ColorRole textRole,
                           const QString& text) {
        const QColor background = widget.inherits("QMenuBar")
                                      ? widget.palette().color(QPalette::Window)
                                      : backgroundBehind(widget);
        const QColor foreground = widget.palette().color(QPalette::Active, textRole);
        if (contrast(foreground, background) < (large(widget.font()) ? 3.0 : 4.5))
            unreadable << QStringLiteral("%1 \"%2\" %3 on %4")
                              .arg(QString::fromLatin1(widget.metaObject()->className()), text,
                                   foreground.name(), background.name());
    };
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        if (!widget->isVisibleTo(&window) || widget->window() != &window)
            continue;
        if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty())
            check(*label, label->foregroundRole(), label->text());
        else if (auto* box = qobject_cast<QAbstractButton*>(widget);
                 box && (box->inherits("QCheckBox") || box->inherits("QRadioButton")))
            check(*box, box->foregroundRole(), box->text());
        else if (auto* menus = qobject_cast<QMenuBar*>(widget)) {
            check(*menus, QPalette::ButtonText, QStringLiteral("menu bar"));
            check(*menus, QPalette::WindowText, QStringLiteral("menu bar"));
        }
    }
    return unreadable.join(QStringLiteral("; ")).toStdString();
}

// No predefined combination leaves a text unreadable in the main window or the edit form, the
// record count and the search label included.
TEST_F(WindowShowing, EveryPredefinedCombinationLeavesEveryTextReadable) {
    start();
    window->EnableEndSearch(); // "SEARCH ON" on show
    for (const appearance::ColourCombination& combination : appearance::colourCombinations()) {
        SCOPED_TRACE(combination.name);
        for (app::WindowGroup group : {app::WindowGroup::Main, app::WindowGroup::Edit})
            appearance::applyCombination(window->settings().colours(group), combination);
        window->SetColors();
        EXPECT_EQ(unreadableTexts(*window), "");
        run("MenuAdd", [](QWidget* dialog) { EXPECT_EQ(unreadableTexts(*dialog), ""); });
    }
}

} // namespace
