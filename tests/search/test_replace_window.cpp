// The Search and Replace dialog driven as the user drives it.

#include "search/replace_window.h"

#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_books.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using search::TSearchAndReplace;
using searchtest::Book;

class ReplaceWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = searchtest::createBookTable(
            dir_, {Book{{"Title", "One"}, {"Publisher", "Penguin"}},
                   Book{{"Title", "Two"}, {"Publisher", "Penguin Classics"}},
                   Book{{"Title", "Three"}, {"Publisher", "PENGUIN"}},
                   Book{{"Title", "Four"}, {"Publisher", "Faber"}}});
        searchtest::openShared(books_, path_);
    }

    // Shows the dialog; `answer` works it. Returns whether it closed by itself.
    bool show(std::function<void(TSearchAndReplace*)> answer) {
        TSearchAndReplace dialog(nullptr, s_.seams, settings_, context_, dir_.file("BOOKS.UND"),
                                 1.0, widgets::UserFonts{});
        bool closedByItself = true;
        testsupport::whenModalAppears([&](QWidget* widget) {
            auto* replace = qobject_cast<TSearchAndReplace*>(widget);
            ASSERT_NE(replace, nullptr);
            answer(replace);
            for (int wait = 0; wait < 500 && replace->running(); ++wait)
                QTest::qWait(5);
            if (replace->isVisible()) {
                closedByItself = false;
                replace->reject();
            }
        });
        dialog.exec();
        counters_ = dialog.lastCounters();
        return closedByItself;
    }
    static void choose(TSearchAndReplace* dialog, const char* label, const char* search,
                       const char* replacement) {
        dialog->fieldList()->setCurrentIndex(dialog->fieldList()->findText(label));
        QTest::keyClicks(dialog->searchEdit(), search);
        QTest::keyClicks(dialog->replacementEdit(), replacement);
    }

    testsupport::TempDir dir_;
    std::string path_;
    table::Table books_;
    testsupport::ScriptedSeams s_;
    app::Settings settings_;
    bool searchOn_ = false;
    search::ReplaceContext context_{books_, "", s_.messages, {}, [this] { return searchOn_; },
                                    {},     {}};
    search::ReplaceCounters counters_;
};

TEST_F(ReplaceWindowTest, FieldKindSetsTheInputRulesOfBothBoxes) {
    show([](TSearchAndReplace* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Search and Replace");
        EXPECT_EQ(dialog->fieldList()->count(), 36);
        EXPECT_EQ(dialog->fieldList()->currentIndex(), -1);
        EXPECT_EQ(dialog->fieldList()->maxVisibleItems(), 15);
        EXPECT_FALSE(dialog->confirmBox()->isChecked());
        struct Case {
            const char* label;
            bool masked;
            int maxLength;
        };
        for (const Case& c : {Case{"Publisher", false, 60}, Case{"Cost", true, 0},
                              Case{"Purchase Date", true, 0}, Case{"Title", false, 90}}) {
            SCOPED_TRACE(c.label);
            dialog->searchEdit()->setText("left over");
            dialog->fieldList()->setCurrentIndex(dialog->fieldList()->findText(c.label));
            for (QLineEdit* box : {dialog->searchEdit(), dialog->replacementEdit()}) {
                EXPECT_EQ(!box->inputMask().isEmpty(), c.masked);
                EXPECT_EQ(box->text().remove('/').trimmed(), "");
                if (!c.masked) {
                    EXPECT_EQ(box->maxLength(), c.maxLength);
                }
            }
        }
        QTest::keyClicks(dialog->searchEdit(), "12/25/1999");
        EXPECT_EQ(dialog->searchEdit()->displayText(), "12/25/1999");
        dialog->reject();
    });
}

TEST_F(ReplaceWindowTest, BadInputIsRefusedWithItsMessageAndNothingRuns) {
    s_.messages.expect("Error", "No field has been selected.", db::MessageAnswer::Ok);
    s_.messages.expect("Error", "Invalid replacement date entered.  Please correct.",
                       db::MessageAnswer::Ok);
    s_.messages.expect("Error", "Invalid search value entered.  Please correct.",
                       db::MessageAnswer::Ok);
    EXPECT_FALSE(show([](TSearchAndReplace* dialog) {
        dialog->startButton()->click();
        choose(dialog, "Purchase Date", "01022020", ""); // a date cannot be blanked
        dialog->startButton()->click();
        choose(dialog, "Cost", "1,5", "2");
        dialog->startButton()->click();
        EXPECT_EQ(dialog->counter(0)->text(), "0");
    }));
    EXPECT_EQ(books_.openMode(), table::OpenMode::Shared);
    EXPECT_EQ(searchtest::column(books_, "Publisher")[0], "Penguin");
}

TEST_F(ReplaceWindowTest, RunCountsAsksAndFinishes) {
    s_.messages.expect("Confirm", "Item = \"One\".  Change this record?", db::MessageAnswer::No);
    s_.messages.expect("Confirm", "Item = \"Three\".  Change this record?", db::MessageAnswer::Yes);
    s_.messages.expect("Finished", "Global Search and Replace Complete.", db::MessageAnswer::Ok);
    EXPECT_TRUE(show([](TSearchAndReplace* dialog) {
        choose(dialog, "Publisher", "penguin", "Penguin Books");
        dialog->confirmBox()->setChecked(true);
        dialog->startButton()->click();
    }));
    EXPECT_EQ(counters_.processed, 4u);
    EXPECT_EQ(counters_.found, 2u);
    EXPECT_EQ(counters_.changed, 1u);
    EXPECT_EQ(searchtest::column(books_, "Publisher"),
              (std::vector<std::string>{"Penguin", "Penguin Classics", "Penguin Books", "Faber"}));
}

TEST_F(ReplaceWindowTest, TableHeldElsewhereKeepsTheDialogOpen) {
    table::Table other;
    searchtest::openShared(other, path_);
    s_.messages.expect("Error", search::kReplaceInUseMessage, db::MessageAnswer::Ok);
    EXPECT_FALSE(show([](TSearchAndReplace* dialog) {
        choose(dialog, "Publisher", "penguin", "X");
        dialog->startButton()->click();
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(dialog->runStarted());
    }));
    EXPECT_TRUE(books_.isOpen());
}

} // namespace
