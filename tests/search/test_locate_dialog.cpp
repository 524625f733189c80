// The locate component and its dialog, driven as the user drives them.

#include "search/locate_dialog.h"

#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_books.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using search::MatchType;
using search::TMyLocateDlg;
using searchtest::Book;

class Host : public search::LocateHost {
public:
    explicit Host(table::Table& books) : books_(books) {}
    table::Table& bookTable() override { return books_; }
    bool postPendingEdit() override {
        ++posts;
        return true;
    }
    table::RecordFilter recordFilterCopy() override { return {}; }
    bool moveToRecord(uint32_t recno) override { return books_.goToRecord(recno); }
    double windowSizeFactor() const override { return 1.0; }
    const widgets::UserFonts& userFonts() const override { return fonts_; }
    int posts = 0;

private:
    table::Table& books_;
    widgets::UserFonts fonts_;
};

class LocateDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string path = searchtest::createBookTable(
            dir_, {Book{{"Title", "Emma"}, {"Author", "Austen"}},
                   Book{{"Title", "The Hobbit"}, {"Author", "Tolkien"}},
                   Book{{"Title", "Persuasion"}, {"Author", "Austen"}}});
        searchtest::openShared(books_, path);
        books_.display(books_.fieldIndexOrThrow("Author")).label = "Written~By";
    }

    // Runs Locate; `answer` fills in and closes the dialog.
    bool locate(std::function<void(TMyLocateDlg*)> answer) {
        testsupport::whenModalAppears([answer](QWidget* dialog) {
            auto* locate = qobject_cast<TMyLocateDlg*>(dialog);
            ASSERT_NE(locate, nullptr);
            locate->activateWindow(); // focus rules need an active window
            EXPECT_TRUE(QTest::qWaitForWindowActive(locate));
            answer(locate);
        });
        return component_.Execute();
    }
    static void choose(TMyLocateDlg* dialog, const char* label, const char* value) {
        dialog->fieldList()->setCurrentIndex(dialog->fieldList()->findText(label));
        dialog->valueEdit()->setText(value);
    }
    static void expectClosed(TMyLocateDlg* dialog) {
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            dialog->reject();
        }
    }

    testsupport::TempDir dir_;
    table::Table books_;
    testsupport::ScriptedSeams s_;
    app::Settings settings_;
    Host host_{books_};
    search::TMyLocateDialog component_{nullptr, s_.seams, settings_, host_};
};

TEST_F(LocateDialogTest, FirstAndNextCloseOnAMatchAndStayOpenOtherwise) {
    books_.goToRecord(1);
    s_.messages.expect("Information", "No matches found", db::MessageAnswer::Ok);
    EXPECT_TRUE(locate([](TMyLocateDlg* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Locate Field Value");
        choose(dialog, "Written By", "tolkien");
        dialog->matchButton(MatchType::Exact)->setChecked(true);
        dialog->caseBox()->setChecked(true);
        dialog->firstButton()->click(); // case-sensitive: no "tolkien"
        EXPECT_TRUE(dialog->isVisible());
        dialog->caseBox()->setChecked(false);
        dialog->firstButton()->click();
        expectClosed(dialog);
    }));
    EXPECT_EQ(books_.recordNumber(), 2u);
    EXPECT_GE(host_.posts, 2); // a pending edit is stored before every search

    s_.messages.expect("Information", "No more matches found", db::MessageAnswer::Ok);
    EXPECT_FALSE(locate([](TMyLocateDlg* dialog) {
        EXPECT_EQ(dialog->fieldList()->currentText(), "Written By");
        EXPECT_EQ(dialog->valueEdit()->text(), "tolkien");
        EXPECT_TRUE(dialog->matchButton(MatchType::Exact)->isChecked());
        dialog->nextButton()->click(); // nothing after record 2
        EXPECT_TRUE(dialog->isVisible());
        dialog->cancelButton()->click();
    }));
    EXPECT_EQ(books_.recordNumber(), 2u);
}

TEST_F(LocateDialogTest, CancelKeepsWhatWasTypedForTheNextLocateAndLocateNext) {
    books_.goToRecord(1);
    EXPECT_FALSE(locate([](TMyLocateDlg* dialog) {
        choose(dialog, "Written By", "aust");
        dialog->matchButton(MatchType::PartialAnywhere)->setChecked(true);
        dialog->cancelButton()->click();
    }));
    EXPECT_EQ(books_.recordNumber(), 1u);
    const search::LocateSettings& stored = component_.settings();
    EXPECT_EQ(stored.searchField, "AUTHOR");
    EXPECT_EQ(stored.searchValue, "aust");
    EXPECT_EQ(stored.matchType, MatchType::PartialAnywhere);
    EXPECT_FALSE(stored.caseSensitive);

    EXPECT_TRUE(component_.LocateNext());
    EXPECT_EQ(books_.recordNumber(), 3u);
    s_.messages.expect("Information", "No more matches found", db::MessageAnswer::Ok);
    EXPECT_FALSE(component_.LocateNext()); // after the last match: the record stays
    EXPECT_EQ(books_.recordNumber(), 3u);
    component_.settings().showMessages = false;
    EXPECT_FALSE(component_.LocateNext()); // silently
}

TEST_F(LocateDialogTest, LocateNextWithoutAValueOpensTheDialogWithNextAsDefault) {
    component_.settings().defaultButton = 0;
    component_.settings().searchField = "TITLE";
    bool shown = false;
    testsupport::whenModalAppears([&](QWidget* widget) {
        auto* dialog = qobject_cast<TMyLocateDlg*>(widget);
        ASSERT_NE(dialog, nullptr);
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
        shown = true;
        EXPECT_TRUE(dialog->nextButton()->isDefault());
        EXPECT_FALSE(dialog->firstButton()->isDefault());
        EXPECT_EQ(dialog->fieldList()->currentText(), "TITLE");
        EXPECT_TRUE(dialog->valueEdit()->hasFocus());
        dialog->reject();
    });
    EXPECT_FALSE(component_.LocateNext());
    EXPECT_TRUE(shown);
    EXPECT_EQ(component_.settings().defaultButton, 1);
}

TEST_F(LocateDialogTest, FieldListRulesForValueFocusAndDefaultButton) {
    component_.settings().defaultButton = 0;
    component_.settings().searchField = "AUTHOR";
    locate([](TMyLocateDlg* dialog) {
        QComboBox* list = dialog->fieldList();
        EXPECT_TRUE(dialog->valueEdit()->hasFocus());
        EXPECT_TRUE(dialog->firstButton()->isDefault());
        EXPECT_EQ(list->count(), 36);
        EXPECT_LT(list->findText("TITLE"), list->findText("Written By")); // sorted
        dialog->valueEdit()->setText("typed");
        list->setFocus();
        QApplication::processEvents();
        EXPECT_FALSE(dialog->firstButton()->isDefault());
        EXPECT_FALSE(dialog->nextButton()->isDefault());
        list->setCurrentIndex(list->findText("TITLE")); // another field: empty value, focus
        QApplication::processEvents();
        EXPECT_EQ(dialog->valueEdit()->text(), "");
        EXPECT_TRUE(dialog->valueEdit()->hasFocus());
        EXPECT_TRUE(dialog->nextButton()->isDefault()); // leaving the list
        dialog->reject();
    });
    component_.settings().sortedFields = false;
    component_.settings().fieldSelection = 1;
    books_.display(books_.fieldIndexOrThrow("Title")).visible = false;
    locate([](TMyLocateDlg* dialog) {
        EXPECT_EQ(dialog->fieldList()->count(), 35);
        EXPECT_EQ(dialog->fieldList()->itemText(0), "Written By"); // table order
        dialog->reject();
    });
}

TEST_F(LocateDialogTest, MissingFieldAndClosedTableAreReported) {
    s_.messages.expect("Warning", "Field  not found.", db::MessageAnswer::Ok);
    locate([](TMyLocateDlg* dialog) {
        dialog->valueEdit()->setText("x"); // no field chosen
        dialog->firstButton()->click();
        EXPECT_TRUE(dialog->isVisible());
        dialog->reject();
    });

    books_.close();
    s_.messages.expect("Error", "DataSource does not reference an active DataSet",
                       db::MessageAnswer::Ok);
    EXPECT_FALSE(component_.Execute());
    s_.messages.expect("Warning", "DataSource does not refer to an active table!",
                       db::MessageAnswer::Ok);
    EXPECT_FALSE(component_.LocateNext());
}

} // namespace
