#include "app/list_editor.h"

#include "db/field_catalogue.h"
#include "support/gui/qt_print.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

QStringList listItems(const QListWidget& list) {
    QStringList items;
    for (int row = 0; row < list.count(); ++row)
        items << list.item(row)->text();
    return items;
}

TEST(ListMaintenanceEntries, ListNumbersNameTheFieldsAndCaptionsQuoteTheWord) {
    db::PickLists lists;
    const std::map<int, QString> files = {
        {1, "AUTHOR.LST"},   {2, "LOCATION.LST"}, {3, "BOUGHT.LST"},
        {4, "CATEGORY.LST"}, {5, "PUBLISH.LST"},  {6, "RATING.LST"},
        {7, "BOOKTYPE.LST"}, {8, "CHECKOUT.LST"}, {9, "CONDITION.LST"}};
    for (const auto& [number, file] : files) {
        db::PickList* list = app::pickListForListNumber(lists, number);
        ASSERT_NE(list, nullptr) << number;
        EXPECT_EQ(list->fileName(), file);
    }
    EXPECT_EQ(app::pickListForListNumber(lists, 0), nullptr);
    EXPECT_EQ(app::pickListForListNumber(lists, 10), nullptr);
    EXPECT_EQ(app::listEditorCaption(app::kListMaintenanceEntries[2]),
              "Edit \"Purchased From\" List");
    // Menu order differs from list numbers at Book Type and Rating.
    EXPECT_STREQ(app::kListMaintenanceEntries[5].menuText, "&Book Type");
    EXPECT_EQ(app::kListMaintenanceEntries[5].listNumber, 7);
}

class ListEditorWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        authors().setEntries({"Austen", "Byron", "Chaucer"});
        observer = authors().addObserver([this] { ++notified; });
    }
    db::PickList& authors() { return *lists.forField(db::fieldNumberByName("Author")); }
    std::unique_ptr<app::TMyEditBox> open(int position) {
        auto editor = std::make_unique<app::TMyEditBox>(
            app::kListMaintenanceEntries[static_cast<size_t>(position)], lists, seams.seams,
            app::TMyEditBox::Look{});
        editor->show();
        QApplication::setActiveWindow(editor.get());
        return editor;
    }
    void add(app::TMyEditBox& editor, const QString& text) {
        editor.AddInfo()->setFocus();
        QTest::keyClicks(editor.AddInfo(), text);
        QTest::mouseClick(editor.AddButton(), Qt::LeftButton);
    }

    testsupport::ScriptedSeams seams;
    db::PickLists lists;
    int observer = 0;
    int notified = 0;
};

TEST_F(ListEditorWindowTest, OpensOnTheSharedListWithCaptionLimitAndFirstEntrySelected) {
    auto editor = open(0);
    EXPECT_EQ(editor->windowTitle(), "Edit \"Author\" List");
    EXPECT_EQ(editor->AddInfo()->maxLength(), 90);
    EXPECT_TRUE(editor->AddInfo()->text().isEmpty());
    EXPECT_EQ(listItems(*editor->TheList()), (QStringList{"Austen", "Byron", "Chaucer"}));
    EXPECT_EQ(editor->TheList()->currentRow(), 0);
    EXPECT_TRUE(editor->TheList()->hasFocus());

    auto rating = open(6);
    EXPECT_EQ(rating->windowTitle(), "Edit \"Rating\" List");
    EXPECT_EQ(rating->AddInfo()->maxLength(), 15);
    EXPECT_EQ(rating->TheList()->count(), 0);
    EXPECT_EQ(rating->TheList()->currentRow(), -1);
}

TEST_F(ListEditorWindowTest, AddAppendsTrimmedTextAndAlwaysEmptiesAndFocusesTheBox) {
    auto editor = open(0);
    add(*editor, "  Dickens  ");
    add(*editor, "Austen");
    add(*editor, "     ");
    editor->AddInfo()->setText("\tTab kept"); // only spaces are trimmed
    QTest::mouseClick(editor->AddButton(), Qt::LeftButton);
    EXPECT_EQ(listItems(*editor->TheList()),
              (QStringList{"Austen", "Byron", "Chaucer", "Dickens", "Austen", "\tTab kept"}));
    EXPECT_TRUE(editor->AddInfo()->text().isEmpty());
    EXPECT_TRUE(editor->AddInfo()->hasFocus());
    // Enter in the box adds too, and does not close the editor.
    QTest::keyClicks(editor->AddInfo(), "Eliot");
    QTest::keyClick(editor->AddInfo(), Qt::Key_Return);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->TheList()->count(), 7);
    EXPECT_EQ(notified, 0) << "nothing reaches the shared list before Ok";
}

TEST_F(ListEditorWindowTest, DeleteFollowsTheSelectionRules) {
    auto editor = open(0);
    editor->TheList()->setCurrentRow(2);
    QTest::mouseClick(editor->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(listItems(*editor->TheList()), (QStringList{"Austen", "Byron"}));
    EXPECT_EQ(editor->TheList()->currentRow(), 1);
    editor->TheList()->setCurrentRow(0);
    QTest::mouseClick(editor->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(listItems(*editor->TheList()), QStringList{"Byron"});
    EXPECT_EQ(editor->TheList()->currentRow(), 0);
    QTest::mouseClick(editor->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(editor->TheList()->count(), 0);
    EXPECT_TRUE(editor->TheList()->selectedItems().isEmpty());
    QTest::mouseClick(editor->DeleteButton(), Qt::LeftButton); // nothing left: nothing happens

    auto other = open(0);
    other->TheList()->clearSelection();
    QTest::mouseClick(other->DeleteButton(), Qt::LeftButton);
    EXPECT_EQ(other->TheList()->count(), 3) << "nothing selected, nothing deleted";
}

TEST_F(ListEditorWindowTest, OkReplacesTheSharedListAndTheFileWaitsForTheNextSave) {
    testsupport::TempDir dir;
    const QString programDirectory = QString::fromStdString(dir.path().string());
    ASSERT_TRUE(authors().save(programDirectory));

    auto editor = open(0);
    editor->TheList()->setCurrentRow(1);
    QTest::mouseClick(editor->DeleteButton(), Qt::LeftButton);
    add(*editor, "Woolf");
    QTest::mouseClick(editor->OkButton(), Qt::LeftButton);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(authors().entries(), (QStringList{"Austen", "Chaucer", "Woolf"}));
    EXPECT_EQ(notified, 1) << "the grid and the edit form refill from the shared list";

    db::PickList onDisk(QStringLiteral("AUTHOR.LST"));
    onDisk.load(programDirectory);
    EXPECT_EQ(onDisk.entries(), (QStringList{"Austen", "Byron", "Chaucer"}));
    ASSERT_TRUE(authors().save(programDirectory)); // as the edit form does when it closes
    QFile file(programDirectory + "/AUTHOR.LST");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "Austen\r\nChaucer\r\nWoolf\r\n");
}

TEST_F(ListEditorWindowTest, CancelLeavesTheSharedListAsItWas) {
    auto editor = open(0);
    add(*editor, "Woolf");
    QTest::mouseClick(editor->DeleteButton(), Qt::LeftButton);
    QTest::mouseClick(editor->CancelButton(), Qt::LeftButton);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(authors().entries(), (QStringList{"Austen", "Byron", "Chaucer"}));
    EXPECT_EQ(notified, 0);
}

TEST_F(ListEditorWindowTest, TakesTheConfigureWindowColours) {
    app::TMyEditBox::Look look;
    look.colours[app::ColourRole::EditBackground] = 0x0000FF;    // red in the low byte
    look.colours[app::ColourRole::ListBoxText] = 0xFF0000;       // blue
    look.colours[app::ColourRole::MainBackground] = -2147483633; // a system colour: left alone
    app::TMyEditBox editor(app::kListMaintenanceEntries[0], lists, seams.seams, look);
    const QColor before = editor.palette().color(QPalette::Window);
    editor.show();
    EXPECT_EQ(editor.AddInfo()->palette().color(QPalette::Base), QColor(255, 0, 0));
    EXPECT_EQ(editor.TheList()->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(editor.palette().color(QPalette::Window), before);
}

} // namespace
