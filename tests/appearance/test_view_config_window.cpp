#include "appearance/view_config_window.h"
#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include <memory>

using appearance::TViewConfig;
using db::MessageAnswer;

namespace {

class ViewConfigWindow : public ::testing::Test {
protected:
    void open(double factor = 1.0) {
        window = std::make_unique<TViewConfig>(nullptr, settings, test.seams, factor, fonts,
                                               [this] { applied += 1; });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    template <typename T> T* find(const char* name) {
        T* widget = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    QTableWidget* grid(const char* name) { return find<QTableWidget>(name); }
    QTabWidget* notebook() { return find<QTabWidget>("MyTabbedPage"); }
    void click(const char* button) { find<QPushButton>(button)->click(); }
    void exitWindow() { click("ExitButton"); }

    void typeInto(QTableWidget* table, int row, int column, const QString& text) {
        notebook()->setCurrentWidget(table->parentWidget());
        table->setCurrentCell(row, column);
        table->editItem(table->item(row, column));
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(editor, text);
    }

    // The double click is sent straight to the grid: QTest's own depends on the timing of the
    // clicks before it.
    void doubleClickCell(QTableWidget* table, int row, int column) {
        table->scrollToItem(table->item(row, column));
        const QPoint centre = table->visualItemRect(table->item(row, column)).center();
        QWidget* viewport = table->viewport();
        QTest::mousePress(viewport, Qt::LeftButton, {}, centre);
        QMouseEvent doubleClick(QEvent::MouseButtonDblClick, centre, viewport->mapToGlobal(centre),
                                Qt::LeftButton, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &doubleClick);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centre);
    }

    testsupport::ScriptedSeams test;
    app::Settings settings;
    widgets::UserFonts fonts;
    std::unique_ptr<TViewConfig> window;
    int applied = 0;
};

} // namespace

TEST_F(ViewConfigWindow, OpensOnTheShowPageWithEveryGridFilled) {
    settings.field(2).displayed = false;
    settings.field(3).label = "Published";
    settings.field(1).order = 36;
    settings.field(36).order = 1;
    open();
    EXPECT_EQ(window->windowTitle(), "Viewer Configuration");
    EXPECT_EQ(notebook()->currentIndex(), TViewConfig::ShowPage);
    EXPECT_EQ(notebook()->tabText(notebook()->currentIndex()), "Fields to &Show");

    QTableWidget* show = grid("FieldsToDisplay");
    ASSERT_EQ(show->rowCount(), 36);
    EXPECT_EQ(show->horizontalHeaderItem(0)->text(), "FIELD");
    EXPECT_EQ(show->horizontalHeaderItem(1)->text(), "DISPLAY IT");
    EXPECT_EQ(show->item(1, 1)->text(), "No");
    EXPECT_EQ(show->item(2, 0)->text(), "Published");
    EXPECT_FALSE(show->item(0, 1)->flags() & Qt::ItemIsEditable);

    QTableWidget* widths = grid("FieldWidthGrid");
    EXPECT_EQ(widths->horizontalHeaderItem(1)->text(), "WIDTH");
    EXPECT_EQ(widths->item(0, 1)->text(), "15");
    EXPECT_TRUE(widths->item(0, 1)->flags() & Qt::ItemIsEditable);
    EXPECT_FALSE(widths->item(0, 0)->flags() & Qt::ItemIsEditable);

    QTableWidget* order = grid("FieldOrderGrid");
    EXPECT_EQ(order->columnCount(), 1);
    EXPECT_TRUE(order->horizontalHeader()->isHidden());
    EXPECT_EQ(order->item(0, 0)->text(), "User Defined 6");
    EXPECT_EQ(order->item(35, 0)->text(), "Title");

    QTableWidget* names = grid("FieldNameGrid");
    EXPECT_EQ(names->horizontalHeaderItem(1)->text(), "NAME TO USE");
    EXPECT_EQ(names->item(2, 0)->text(), "YearPub");
    EXPECT_EQ(names->item(2, 1)->text(), "Published");

    EXPECT_EQ(find<QLineEdit>("TitleFontBox")->text(), "12pt Arial");
    EXPECT_EQ(find<QLineEdit>("CellFontBox")->text(), "10pt Arial");
    EXPECT_TRUE(find<QRadioButton>("Alignment2")->isChecked());
    EXPECT_TRUE(test.messages.shown.empty());
}

TEST_F(ViewConfigWindow, OptionsAndAlignmentChangeTheSettingsAtOnce) {
    settings.gridTitleAlignment = 7; // no button for it
    open();
    for (const char* name : {"Alignment1", "Alignment2", "Alignment3"})
        EXPECT_FALSE(find<QRadioButton>(name)->isChecked()) << name;

    notebook()->setCurrentIndex(TViewConfig::TitlePage);
    find<QRadioButton>("Alignment3")->click();
    EXPECT_EQ(settings.gridTitleAlignment, 3);
    find<QCheckBox>("ShowTitlesCheck")->click();
    EXPECT_FALSE(settings.gridShowTitles);

    notebook()->setCurrentIndex(TViewConfig::LookPage);
    find<QCheckBox>("FieldEditingCheck")->click();
    EXPECT_TRUE(settings.gridFieldEditing);
    find<QCheckBox>("RowLinesCheck")->click();
    EXPECT_FALSE(settings.gridRowLines);
    EXPECT_TRUE(settings.gridColumnLines);
    EXPECT_TRUE(settings.gridRowIndicator);
    EXPECT_EQ(applied, 0); // the grid shows them when the window closes
}

TEST_F(ViewConfigWindow, FontAndColourDialogsChangeOnlyWhenConfirmed) {
    open();
    notebook()->setCurrentIndex(TViewConfig::TitlePage);
    test.fonts.answerWithColour(std::nullopt);
    test.fonts.answerWithColour(widgets::FontAndColour{QFont("Courier", 14), QColor(0, 128, 0)});
    test.colours.answer(std::nullopt);
    test.colours.answer(QColor(0, 0, 255));
    click("TitleFontButton");
    click("TitleColorButton");
    EXPECT_EQ(settings.gridTitleFont.name, "Arial");
    EXPECT_EQ(settings.gridTitleBackground, 8553090);
    EXPECT_EQ(find<QLineEdit>("TitleFontBox")->text(), "12pt Arial");

    click("TitleFontButton");
    click("TitleColorButton");
    EXPECT_EQ(test.fonts.initialFonts.at(0).family(), "Arial");
    EXPECT_EQ(test.fonts.initialFonts.at(0).pointSize(), 12);
    EXPECT_EQ(test.fonts.initialColours.at(0), QColor(0, 0, 0)); // the title font's colour
    EXPECT_EQ(settings.gridTitleFont.colour, 0x008000);
    EXPECT_EQ(test.colours.initialColours.at(0), QColor(0x82, 0x82, 0x82));
    EXPECT_EQ(settings.gridTitleFont.name, "Courier");
    EXPECT_EQ(settings.gridTitleFont.size, 14);
    EXPECT_EQ(settings.gridTitleBackground, 0xff0000);
    EXPECT_EQ(find<QLineEdit>("TitleFontBox")->text(), "14pt Courier");
    EXPECT_EQ(find<QLabel>("TitleColorSwatch")->palette().color(QPalette::Window),
              QColor(0, 0, 255));

    notebook()->setCurrentIndex(TViewConfig::LookPage);
    test.fonts.answerWithColour(widgets::FontAndColour{QFont("Courier", 8), QColor(0, 0, 255)});
    test.colours.answer(QColor(255, 255, 255));
    click("CellFontButton");
    click("CellColorButton");
    EXPECT_EQ(find<QLineEdit>("CellFontBox")->text(), "8pt Courier");
    EXPECT_EQ(settings.gridCellColour, 0xffffff);
    EXPECT_EQ(settings.gridFont.colour, 0xff0000); // blue, in Windows byte order
    EXPECT_EQ(settings.gridTitleFont.size, 14);
    EXPECT_EQ(settings.gridTitleFont.colour, 0x008000);
}

TEST_F(ViewConfigWindow, ClosingStoresEveryGridAndAppliesTheConfigurationOnce) {
    open();
    QTableWidget* show = grid("FieldsToDisplay");
    for (int row = 0; row < 36; ++row) // all hidden but one, by double clicks
        if (row != 4)
            doubleClickCell(show, row, 1);
    doubleClickCell(show, 4, 0); // the label column does not toggle
    show->setFocus();
    show->setCurrentCell(35, 0);
    QTest::keyClick(show, Qt::Key_Space); // the shown flag of the current row, from any column
    EXPECT_EQ(show->item(35, 1)->text(), "Yes");
    QTest::keyClick(show, Qt::Key_Space);
    EXPECT_EQ(show->item(0, 1)->text(), "No");
    EXPECT_EQ(show->item(4, 1)->text(), "Yes");

    QTableWidget* widths = grid("FieldWidthGrid");
    widths->item(0, 1)->setText("255");
    widths->item(1, 1)->setText("256");
    widths->item(2, 1)->setText("");
    widths->item(3, 1)->setText(" 30 ");
    typeInto(grid("FieldNameGrid"), 4, 1, "Genre");
    typeInto(grid("FieldNameGrid"), 5, 1, "Bought at a shop far away"); // editor holds 20
    exitWindow(); // while the last name is still being typed

    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(test.messages.shown.empty());
    for (int n = 1; n <= 36; ++n)
        EXPECT_EQ(settings.field(n).displayed, n == 5) << n;
    EXPECT_EQ(settings.field(1).width, 255);
    EXPECT_EQ(settings.field(2).width, 10);
    EXPECT_EQ(settings.field(3).width, 10);
    EXPECT_EQ(settings.field(4).width, 30);
    EXPECT_EQ(widths->item(1, 1)->text(), "10");
    EXPECT_EQ(settings.field(5).label, "Genre");
    EXPECT_EQ(settings.field(6).label, "Bought at a shop far");
}

TEST_F(ViewConfigWindow, DuplicateNamesKeepTheWindowOpenOnTheNamesPage) {
    open();
    QTableWidget* names = grid("FieldNameGrid");
    names->item(9, 1)->setText("cost"); // letter case makes it a different name
    names->item(19, 1)->setText("Author");
    notebook()->setCurrentIndex(TViewConfig::OrderPage);
    const std::string message =
        "Two field names have the same name \"Author\".  Please change one.";
    test.messages.expect("Error", message, MessageAnswer::Ok);
    exitWindow();
    test.messages.verifyAllShown();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(notebook()->currentIndex(), TViewConfig::NamesPage);
    EXPECT_EQ(names->currentRow(), 19);
    EXPECT_EQ(applied, 0);
    EXPECT_EQ(settings.field(10).label, "ISBN");

    // Escape is refused the same way.
    test.messages.expect("Error", message, MessageAnswer::Ok);
    QTest::keyClick(window.get(), Qt::Key_Escape);
    test.messages.verifyAllShown();
    EXPECT_TRUE(window->isVisible());

    names->item(19, 1)->setText("Volume No");
    window->close();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(applied, 1);
    EXPECT_EQ(settings.field(10).label, "cost");
    EXPECT_EQ(settings.field(20).label, "Volume No");
}

TEST_F(ViewConfigWindow, ABlankNameIsRefused) {
    open();
    grid("FieldNameGrid")->item(7, 1)->setText("  ");
    test.messages.expect("Error", "The field Value has no name.  Please enter a name for it.",
                         MessageAnswer::Ok);
    exitWindow();
    test.messages.verifyAllShown();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(notebook()->currentIndex(), TViewConfig::NamesPage);
}

TEST_F(ViewConfigWindow, OrderPageMovesRenamesAndDefaults) {
    open();
    notebook()->setCurrentIndex(TViewConfig::OrderPage);
    QTableWidget* order = grid("FieldOrderGrid");
    order->setCurrentCell(0, 0);
    click("UpButton"); // already at the top
    EXPECT_EQ(order->item(0, 0)->text(), "Title");
    click("DownButton");
    click("DownButton");
    EXPECT_EQ(order->currentRow(), 2);
    EXPECT_EQ(order->item(2, 0)->text(), "Title");
    order->setCurrentCell(35, 0);
    click("DownButton");
    click("UpButton");
    EXPECT_EQ(order->currentRow(), 34);
    EXPECT_EQ(order->item(34, 0)->text(), "User Defined 6");

    const std::string question =
        "This will set the order of fields to the program defaults.  Continue?";
    test.messages.expect("Re-Order", question, MessageAnswer::No);
    click("DefaultsButton");
    test.messages.verifyAllShown();
    EXPECT_EQ(test.messages.shown.at(0).buttons, db::MessageButtons::YesNo);
    EXPECT_EQ(order->item(2, 0)->text(), "Title"); // No keeps the moves

    grid("FieldNameGrid")->item(0, 1)->setText("Book Title");
    exitWindow();
    EXPECT_EQ(settings.field(1).label, "Book Title");
    EXPECT_EQ(settings.field(1).order, 3);
    EXPECT_EQ(settings.field(2).order, 1);
    EXPECT_EQ(settings.field(36).order, 35);

    // Next visit: Defaults answered Yes, then Exit puts the catalogue order back.
    settings.field(4).displayed = false;
    open();
    notebook()->setCurrentIndex(TViewConfig::OrderPage);
    EXPECT_EQ(grid("FieldOrderGrid")->item(2, 0)->text(), "Book Title");
    test.messages.expect("Re-Order", question, MessageAnswer::Yes);
    click("DefaultsButton");
    EXPECT_EQ(grid("FieldOrderGrid")->item(0, 0)->text(), "Book Title");
    exitWindow();
    for (int n = 1; n <= 36; ++n)
        EXPECT_EQ(settings.field(n).order, n);
    EXPECT_EQ(settings.field(1).label, "Book Title");
    EXPECT_FALSE(settings.field(4).displayed);
}

TEST_F(ViewConfigWindow, HelpOpensAtTheCurrentPage) {
    open();
    click("HelpButton");
    notebook()->setCurrentIndex(TViewConfig::TitlePage);
    click("HelpButton");
    notebook()->setCurrentIndex(TViewConfig::NamesPage);
    click("HelpButton");
    EXPECT_EQ(test.help.calls,
              (QStringList{"Viewer Configuration Show", "Viewer Configuration Title",
                           "Viewer Configuration Names"}));
}

TEST_F(ViewConfigWindow, ConfigureColoursAndScaledGrids) {
    app::ColourSet& colours = settings.colours(app::WindowGroup::Configure);
    colours[app::ColourRole::MainBackground] = 0x00ff00;
    colours[app::ColourRole::ListBoxBackground] = 0x0000ff;
    colours[app::ColourRole::ListBoxText] = 0xffffff;
    colours[app::ColourRole::CheckBackground] = 0xff0000;
    colours[app::ColourRole::EditText] = 0x00ffff;
    open(1.6);
    EXPECT_EQ(window->palette().color(QPalette::Window), QColor(0, 255, 0));
    QTableWidget* names = grid("FieldNameGrid");
    EXPECT_EQ(names->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(names->palette().color(QPalette::Text), QColor(255, 255, 255));
    EXPECT_EQ(find<QCheckBox>("RowLinesCheck")->palette().color(QPalette::Window),
              QColor(0, 0, 255));
    EXPECT_EQ(find<QLineEdit>("CellFontBox")->palette().color(QPalette::Text), QColor(255, 255, 0));

    EXPECT_EQ(names->columnWidth(0), 320);
    EXPECT_EQ(names->columnWidth(1), 320);
    EXPECT_GE(names->width(), 660);
    EXPECT_EQ(grid("FieldsToDisplay")->columnWidth(1), 160);
}

// Every control of every page lies inside the window, at the smallest window size and scaled up.
// With VOLUMARA_SCREENSHOT_DIR set, each page is also saved as a picture to look at.
TEST_F(ViewConfigWindow, EveryPageFitsAtSmallAndLargeSizes) {
    const QString pictures = qEnvironmentVariable("VOLUMARA_SCREENSHOT_DIR");
    for (const auto& [size, factor] : {std::pair{640, 1.0}, std::pair{1024, 1.6}}) {
        test.screen.screenSize = size == 640 ? QSize(640, 480) : QSize(1024, 768);
        fonts.label = QFont(QStringLiteral("Courier"));
        fonts.label.setBold(true);
        open(factor);
        // Captions take the label font's face at the scaled size, scaled once only.
        QLabel* caption = nullptr;
        for (QLabel* label : window->findChildren<QLabel*>())
            if (label->text() == "Title Font")
                caption = label;
        ASSERT_NE(caption, nullptr);
        EXPECT_TRUE(caption->font().bold());
        EXPECT_EQ(caption->font().family(), QFont(QStringLiteral("Courier")).family());
        EXPECT_NEAR(caption->font().pointSizeF(), QApplication::font().pointSizeF() * factor, 0.6);
        EXPECT_LE(window->width(), test.screen.screenSize.width());
        EXPECT_LE(window->height(), test.screen.screenSize.height());
        for (int page = 0; page < TViewConfig::PageCount; ++page) {
            notebook()->setCurrentIndex(page);
            QApplication::processEvents();
            for (QWidget* child : window->findChildren<QWidget*>()) {
                if (!child->isVisible() || child->isWindow())
                    continue;
                const QRect inWindow(child->mapTo(window.get(), QPoint(0, 0)), child->size());
                EXPECT_TRUE(window->rect().contains(inWindow))
                    << size << " page " << page << " " << child->metaObject()->className() << " "
                    << child->objectName().toStdString();
            }
            if (!pictures.isEmpty())
                window->grab().save(QStringLiteral("%1/view_config_%2_page%3.png")
                                        .arg(pictures)
                                        .arg(size)
                                        .arg(page + 1));
        }
        exitWindow();
    }
}

TEST_F(ViewConfigWindow, RunsModallyUntilClosed) {
    testsupport::whenModalAppears([](QWidget* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Viewer Configuration");
        testsupport::clickButton(dialog, QStringLiteral("Exit"));
    });
    appearance::runViewConfig(nullptr, settings, test.seams, 1.0, fonts, [this] { applied += 1; });
    EXPECT_EQ(applied, 1);
}
