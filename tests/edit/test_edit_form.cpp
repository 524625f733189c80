// The record edit form driven through its real widgets against a real book table, with every
// prompt scripted.

#include "support_edit.h"

#include "edit/pick_list_combo.h"
#include "support/gui/modal.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <gtest/gtest.h>

using namespace edit;
using db::MessageAnswer;
using edittest::enter;
using edittest::press;
using edittest::shown;

namespace {

const char* const kUpdate = "Up&date";
const char* const kExit = "E&xit";
const char* const kNext = "&Next";
const char* const kPrevious = "&Previous";

class EditFormTest : public testing::Test {
protected:
    EditFormTest() {
        table::DateFormat us;
        table::setCurrentDateFormat(us);
    }

    TMyEdit& open(EditMode mode) {
        if (!form_) {
            form_ = std::make_unique<TMyEdit>(host, s.seams);
        }
        form_->openFor(mode);
        form_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form_.get()));
        return *form_;
    }

    uint32_t records() { return host.table.recordCount(); }
    void expectError(const std::string& text) {
        s.messages.expect("Error", text, MessageAnswer::Ok);
    }
    void expectWarning(const std::string& text, MessageAnswer answer) {
        s.messages.expect("Warning", text, answer);
    }

    testsupport::TempDir dir;
    edittest::TestHost host{dir};
    testsupport::ScriptedSeams s;

private:
    std::unique_ptr<TMyEdit> form_;
};

TEST_F(EditFormTest, AddStartsBlankAndEachMoneyBoxMustHoldANumber) {
    TMyEdit& form = open(EditMode::Add);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Edit"));
    EXPECT_EQ(form.currentPage(), Page::Description);
    for (int number : {field::Cost, field::Value, field::LowMarket, field::HighMarket}) {
        EXPECT_EQ(shown(form, number), QStringLiteral("0")) << number;
    }
    EXPECT_EQ(shown(form, field::Title), QString());
    EXPECT_EQ(shown(form, field::PurchDate), QStringLiteral("  /  /    "));

    enter(form, field::Title, QStringLiteral("Persuasion"));
    const std::vector<std::pair<int, const char*>> money{{field::Cost, kInvalidCost},
                                                         {field::Value, kInvalidValue},
                                                         {field::LowMarket, kInvalidLowMarket},
                                                         {field::HighMarket, kInvalidHighMarket}};
    for (const auto& [number, message] : money) {
        enter(form, number, QString());
        expectError(message);
        press(form, kUpdate);
        EXPECT_EQ(form.currentPage(), Page::Worth);
        EXPECT_EQ(form.focusedField(), number);
        EXPECT_EQ(records(), 0u);
        enter(form, number, QStringLiteral("12.5"));
    }
    press(form, kUpdate);
    EXPECT_EQ(records(), 1u);
    EXPECT_EQ(form.editMode(), EditMode::Edit);
    EXPECT_EQ(host.current("TITLE"), "Persuasion");
    EXPECT_TRUE(host.table.isBlank(host.table.fieldIndex("PURCHDATE"))) << "untouched date box";
    EXPECT_EQ(host.current("CHECKOUT"), "No");
}

TEST_F(EditFormTest, DatesAreCheckedFirstAndAHalfTypedDateIsRefused) {
    TMyEdit& form = open(EditMode::Add);
    enter(form, field::Cost, QStringLiteral("abc"));
    enter(form, field::PurchDate, QStringLiteral("13"));
    enter(form, field::CheckDate, QStringLiteral("12"));
    EXPECT_EQ(shown(form, field::CheckDate), QStringLiteral("12/  /    "));

    expectError(kInvalidCheckOutDate);
    press(form, kUpdate);
    EXPECT_EQ(form.currentPage(), Page::Library);
    EXPECT_EQ(form.focusedField(), field::CheckDate);

    enter(form, field::CheckDate, QStringLiteral("03152024"));
    expectError(kInvalidPurchaseDate);
    press(form, kUpdate);
    EXPECT_EQ(form.currentPage(), Page::Description);
    EXPECT_EQ(form.focusedField(), field::PurchDate);

    enter(form, field::PurchDate, QStringLiteral("01051996"));
    expectError(kInvalidCost);
    press(form, kUpdate);
    EXPECT_EQ(records(), 0u);

    enter(form, field::Cost, QStringLiteral("-1.5e2"));
    press(form, kUpdate);
    ASSERT_EQ(records(), 1u);
    EXPECT_EQ(host.table.asDate(host.table.fieldIndex("PURCHDATE")), (table::Date{1996, 1, 5}));
    EXPECT_EQ(host.table.asDate(host.table.fieldIndex("CHECKDATE")), (table::Date{2024, 3, 15}));
    EXPECT_DOUBLE_EQ(host.table.asNumber(host.table.fieldIndex("COST")), -150.0);
}

TEST_F(EditFormTest, DatesFollowTheFormatInForce) {
    table::DateFormat german;
    german.order = table::DateFormat::Order::DayMonthYear;
    german.separator = '.';
    table::setCurrentDateFormat(german);
    host.addBook("Dated");
    host.table.edit();
    host.table.setDate(host.table.fieldIndex("PURCHDATE"), table::Date{1996, 1, 5});
    host.table.post();

    TMyEdit& form = open(EditMode::Edit);
    EXPECT_EQ(shown(form, field::PurchDate), QStringLiteral("05.01.1996"));
    EXPECT_EQ(shown(form, field::CheckDate), QStringLiteral("  .  .    "));
    enter(form, field::PurchDate, QStringLiteral("07021997"));
    press(form, kUpdate);
    EXPECT_EQ(host.table.asDate(host.table.fieldIndex("PURCHDATE")), (table::Date{1997, 2, 7}));
    EXPECT_TRUE(host.table.isBlank(host.table.fieldIndex("CHECKDATE")));
}

TEST_F(EditFormTest, SecondUpdateAfterAnAddChangesTheSameRecord) {
    TMyEdit& form = open(EditMode::Add);
    enter(form, field::Title, QStringLiteral("First"));
    press(form, kUpdate);
    enter(form, field::Title, QStringLiteral("Changed"));
    press(form, kUpdate);
    EXPECT_EQ(host.titles(), std::vector<std::string>{"Changed"});
}

TEST_F(EditFormTest, CopyInsertsOnlyWhenUpdatedAndAsksBeforeLeaving) {
    host.addBook("Original", "Austen");
    host.table.first();

    TMyEdit& form = open(EditMode::Copy);
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Original"));
    press(form, kExit);
    EXPECT_FALSE(form.isVisible()) << "an unchanged copy leaves without asking";
    EXPECT_EQ(records(), 1u);
    EXPECT_EQ(host.countsShown, 1);

    open(EditMode::Copy);
    expectWarning("This record has not been updated yet.  Update this record before moving to "
                  "the next record?",
                  MessageAnswer::Yes);
    press(form, kNext);
    EXPECT_EQ(host.titles(), (std::vector<std::string>{"Original", "Original"}));
    EXPECT_EQ(form.editMode(), EditMode::Edit);
    EXPECT_EQ(s.messages.beeps.back(), db::BeepKind::Question);
}

TEST_F(EditFormTest, MovingAsksWhenDataChangedAndHonoursEachAnswer) {
    host.addBook("One");
    host.addBook("Two");
    host.addBook("Three");
    host.table.first();
    TMyEdit& form = open(EditMode::Edit);

    press(form, kNext); // nothing changed: no question
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Two"));

    const std::string next =
        "Data has changed.  Update this record before moving to the next record?";
    enter(form, field::Title, QStringLiteral("Two!"));
    expectWarning(next, MessageAnswer::Cancel);
    press(form, kNext);
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Two!"));
    EXPECT_EQ(host.current("TITLE"), "Two");

    expectWarning(next, MessageAnswer::No);
    press(form, kNext);
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Three"));
    EXPECT_EQ(host.titles(), (std::vector<std::string>{"One", "Two", "Three"}));

    enter(form, field::Title, QStringLiteral("3"));
    expectWarning("Data has changed.  Update this record before moving to the previous record?",
                  MessageAnswer::Yes);
    press(form, kPrevious);
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Two"));
    EXPECT_EQ(host.titles(), (std::vector<std::string>{"One", "Two", "3"}));

    // Yes with a value that fails its check: the move does not happen.
    enter(form, field::Cost, QStringLiteral("ten"));
    expectWarning("Data has changed.  Update this record before moving to the previous record?",
                  MessageAnswer::Yes);
    expectError(kInvalidCost);
    press(form, kPrevious);
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Two"));
    EXPECT_EQ(form.currentPage(), Page::Worth);
}

TEST_F(EditFormTest, NewRecordAndExitAskOnlyAboutChanges) {
    host.addBook("One");
    host.table.first();
    TMyEdit& form = open(EditMode::Edit);

    enter(form, field::Title, QStringLiteral("Changed"));
    expectWarning("Data has changed.  Update this record before creating new one?",
                  MessageAnswer::No);
    form.fileAction(QStringLiteral("N&ew Record"))->trigger();
    EXPECT_EQ(form.editMode(), EditMode::Add);
    EXPECT_EQ(shown(form, field::Title), QString());
    EXPECT_EQ(shown(form, field::Cost), QStringLiteral("0"));

    enter(form, field::Title, QStringLiteral("Typed"));
    const std::string question = "Data has changed.  Do you want to exit without updating?";
    expectWarning(question, MessageAnswer::No);
    press(form, kExit);
    EXPECT_TRUE(form.isVisible());
    expectWarning(question, MessageAnswer::Yes);
    press(form, kExit);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(host.titles(), std::vector<std::string>{"One"});

    open(EditMode::Add);
    enter(form, field::Title, QStringLiteral("Typed"));
    form.close(); // the title-bar close box asks nothing
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(records(), 1u);
    EXPECT_EQ(host.countsShown, 2);
}

TEST_F(EditFormTest, StoredValuesGrowTheSharedListsOnceAndReachTheFiles) {
    TMyEdit& form = open(EditMode::Add);
    db::PickList& authors = *host.lists.forField(field::Author);
    PickListCombo gridView(authors); // another drop-down showing the same list
    auto* formCombo = qobject_cast<PickListCombo*>(form.control(field::Author));

    for (const char* typed : {"  Austen  ", "Austen", "austen", ""}) {
        form.fileAction(QStringLiteral("N&ew Record"))->trigger();
        enter(form, field::Author, QString::fromLatin1(typed));
        enter(form, field::Condition, QStringLiteral("Fine"));
        press(form, kUpdate);
    }
    EXPECT_EQ(records(), 4u);
    EXPECT_EQ(authors.entries(), (QStringList{QStringLiteral("Austen"), QStringLiteral("austen")}));
    EXPECT_EQ(gridView.count(), 2);
    EXPECT_EQ(gridView.itemText(1), QStringLiteral("austen"));
    EXPECT_EQ(formCombo->count(), 2);
    EXPECT_EQ(host.lists.forField(field::Condition)->entries(),
              QStringList{QStringLiteral("Fine")});
    EXPECT_EQ(host.current("AUTHOR"), "");

    form.close();
    QFile file(host.directory + QStringLiteral("/AUTHOR.LST"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("Austen\r\nausten\r\n"));
    for (const db::FieldInfo* info : db::pickListFields()) {
        EXPECT_TRUE(
            QFile::exists(host.directory + QLatin1Char('/') + QString::fromUtf8(info->listFile)))
            << info->listFile;
    }
}

TEST_F(EditFormTest, CheckOutToggleKeepsDateAndPersonWhileCleared) {
    host.addBook("Lent");
    host.table.edit();
    host.table.setText(host.table.fieldIndex("CHECKOUT"), "Yes");
    host.table.setDate(host.table.fieldIndex("CHECKDATE"), table::Date{2024, 2, 1});
    host.table.setText(host.table.fieldIndex("CHECKNAME"), "Ann");
    host.table.post();

    TMyEdit& form = open(EditMode::Edit);
    auto* box = qobject_cast<QCheckBox*>(form.control(field::CheckOut));
    EXPECT_TRUE(box->isChecked());
    edittest::clickCheckOut(form);
    EXPECT_EQ(shown(form, field::CheckName), QString());
    EXPECT_EQ(shown(form, field::CheckDate), QStringLiteral("  /  /    "));
    edittest::clickCheckOut(form);
    EXPECT_EQ(shown(form, field::CheckName), QStringLiteral("Ann"));
    EXPECT_EQ(shown(form, field::CheckDate), QStringLiteral("02/01/2024"));

    // Clearing a checked form empties what is held, so ticking brings nothing back.
    form.button(QStringLiteral("C&lear"))->click();
    EXPECT_FALSE(box->isChecked());
    edittest::clickCheckOut(form);
    EXPECT_EQ(shown(form, field::CheckName), QString());

    edittest::clickCheckOut(form);
    press(form, kUpdate);
    EXPECT_EQ(host.current("CHECKOUT"), "No");
}

// The order of the form's fields as written for its users: Enter walks it, across the pages.
const std::vector<int> kWrittenOrder{
    // Description
    field::Title, field::Author, field::Publisher, field::Editor, field::BookType, field::Volume,
    field::Issue, field::YearPub, field::Edition, field::Pages, field::PurchDate, field::WherePurch,
    // Catalog
    field::CatalogNum, field::Sub1, field::Sub2, field::Dewey, field::Isbn, field::Category,
    field::KeyWords, field::Rating, field::Location,
    // Worth
    field::Cost, field::Value, field::LowMarket, field::HighMarket,
    // Library
    field::CheckOut, field::CheckDate, field::CheckName,
    // Other
    field::Condition, field::Description, 31, 32, 33, 34, 35, field::UserDef6};

TEST_F(EditFormTest, EnterWalksTheWrittenOrderAcrossPages) {
    TMyEdit& form = open(EditMode::Add);
    std::vector<int> visited{form.focusedField()};
    std::vector<Page> pages{form.currentPage()};
    for (int step = 0; step < db::kFieldCount; ++step) {
        QTest::keyClick(form.control(visited.back()), Qt::Key_Return);
        visited.push_back(form.focusedField());
        pages.push_back(form.currentPage());
    }
    std::vector<int> expected = kWrittenOrder;
    expected.push_back(field::Title); // and round again
    EXPECT_EQ(visited, expected);
    for (size_t i = 0; i < visited.size(); ++i) {
        EXPECT_EQ(pages[i], pageOfField(visited[i])) << "field " << visited[i];
    }
    EXPECT_EQ(shown(form, field::Author), QString()) << "Enter types nothing";
}

// Tab visits the fields of each page in the same order (buttons in between do not count).
TEST_F(EditFormTest, TabWalksEachPagesFieldsInTheWrittenOrder) {
    TMyEdit& form = open(EditMode::Add);
    for (int page = 0; page < kPageCount; ++page) {
        std::vector<int> written;
        for (int number : kWrittenOrder) {
            if (static_cast<int>(pageOfField(number)) == page) {
                written.push_back(number);
            }
        }
        form.findChild<QTabWidget*>()->setCurrentIndex(page);
        form.control(written.front())->setFocus();
        std::vector<int> tabbed{written.front()};
        for (int step = 0; step < 40 && tabbed.size() < written.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const int number = form.focusedField();
            if (number != 0 && number != tabbed.back() &&
                static_cast<int>(pageOfField(number)) == page) {
                tabbed.push_back(number);
            }
        }
        EXPECT_EQ(tabbed, written) << "page " << page;
    }
}

TEST_F(EditFormTest, EngineRefusalLeavesTableAndFormAsTheyWere) {
    host.addBook("Kept");
    host.table.first();
    TMyEdit& form = open(EditMode::Add);
    enter(form, field::Title, QStringLiteral("New"));
    enter(form, field::YearPub, QStringLiteral("19a4"));
    expectError("'19a4' is not a valid number for field Year Pub.");
    press(form, kUpdate);
    EXPECT_EQ(host.titles(), std::vector<std::string>{"Kept"});
    EXPECT_EQ(form.editMode(), EditMode::Add) << "the next Update must still insert";
    EXPECT_EQ(shown(form, field::YearPub), QStringLiteral("19a4"));
    EXPECT_EQ(form.focusedField(), field::YearPub);

    enter(form, field::YearPub, QStringLiteral("1994"));
    press(form, kUpdate);
    EXPECT_EQ(host.titles(), (std::vector<std::string>{"Kept", "New"}));

    // Changing a record: a refused value leaves every field of the stored record unchanged.
    enter(form, field::Title, QStringLiteral("Renamed"));
    enter(form, field::Pages, QStringLiteral("x"));
    expectError("'x' is not a valid number for field Pages.");
    press(form, kUpdate);
    EXPECT_EQ(host.titles(), (std::vector<std::string>{"Kept", "New"}));
}

// A message about one field is shown with the field's page and box already in front of the
// user, and names the field by the user's label, not by its name in the table.
TEST_F(EditFormTest, RefusedValuesAreToldOnTheirPageUnderTheFieldsLabel) {
    struct Seen {
        std::string text;
        Page page;
        int field;
    };
    struct Recorder : db::UserMessages {
        db::UserMessages* next = nullptr;
        TMyEdit* form = nullptr;
        std::vector<Seen> seen;
        db::MessageAnswer show(const std::string& caption, const std::string& text,
                               db::MessageIcon icon, db::MessageButtons buttons,
                               db::MessageAnswer answer) override {
            seen.push_back({text, form->currentPage(), form->focusedField()});
            return next->show(caption, text, icon, buttons, answer);
        }
        void beep(db::BeepKind kind) override { next->beep(kind); }
    } recorder;
    recorder.next = &s.messages;
    widgets::Seams seams{recorder, s.files,  s.fonts, s.colours, s.printers,
                         s.help,   s.screen, s.clock, s.random};
    host.appSettings.field(field::Cost).label = QStringLiteral("Price Paid");
    host.appSettings.field(field::KeyWords).label = QStringLiteral("Subjects");
    host.appSettings.field(field::YearPub).label = QStringLiteral("Published");
    TMyEdit form(host, seams);
    recorder.form = &form;
    form.openFor(EditMode::Add);

    struct Case {
        int field;
        QString typed;
        std::string message;
        Page page;
    };
    const std::vector<Case> cases{
        {field::Cost, QStringLiteral("1e400"), "The value 1e400 does not fit the field Price Paid.",
         Page::Worth},
        {field::YearPub, QStringLiteral("19x5"),
         "'19x5' is not a valid number for field Published.", Page::Description},
        {field::KeyWords, QStringLiteral("\u65e5"),
         "The character '\u65e5' in Subjects cannot be stored in this database.  Please correct.",
         Page::Catalog}};
    for (const Case& c : cases) {
        enter(form, c.field, c.typed);
        form.control(field::Title)->setFocus();
        expectError(c.message);
        press(form, kUpdate);
        s.messages.verifyAllShown();
        ASSERT_FALSE(recorder.seen.empty());
        EXPECT_EQ(recorder.seen.back().page, c.page) << c.message;
        EXPECT_EQ(recorder.seen.back().field, c.field) << c.message;
        enter(form, c.field, c.field == field::Cost ? QStringLiteral("0") : QString());
    }
    EXPECT_EQ(records(), 0u);
}

TEST_F(EditFormTest, CharactersOutsideTheCodePageAreRefusedNamingTheField) {
    host.appSettings.field(field::KeyWords).label = QStringLiteral("Subjects");
    TMyEdit& form = open(EditMode::Add);
    EXPECT_EQ(form.label(field::KeyWords)->text(), QStringLiteral("Subjects"));
    enter(form, field::KeyWords, QStringLiteral("\u65e5\u672c"));
    expectError("The character '\u65e5' in Subjects cannot be stored in this database.  Please "
                "correct.");
    press(form, kUpdate);
    EXPECT_EQ(records(), 0u);
    EXPECT_EQ(form.currentPage(), Page::Catalog);
}

TEST_F(EditFormTest, ItemLineNamesTheTitleAfterLeavingABoxAndAfterMoving) {
    host.appSettings.field(field::Title).label = QStringLiteral("Book");
    host.addBook("Alpha");
    host.addBook("Beta");
    host.table.first();
    TMyEdit& form = open(EditMode::Edit);
    EXPECT_EQ(form.itemLineText(), QStringLiteral("Book: Alpha"));
    press(form, kNext);
    EXPECT_EQ(form.itemLineText(), QStringLiteral("Book: Beta"));
    qobject_cast<QLineEdit*>(form.control(field::Title))->setText(QStringLiteral("Gamma"));
    QTest::keyClick(form.control(field::Title), Qt::Key_Return); // leaves the Title box
    EXPECT_EQ(form.itemLineText(), QStringLiteral("Book: Gamma"));
}

TEST_F(EditFormTest, BrowseModePagesWithoutQuestionsAndStoresNothing) {
    host.browse = true;
    host.addBook("One");
    host.addBook("Two");
    host.table.first();
    TMyEdit& form = open(EditMode::Copy);
    for (const char* caption : {"&Update && Exit", "Up&date", "C&lear"}) {
        EXPECT_FALSE(form.button(QString::fromLatin1(caption))->isEnabled()) << caption;
    }
    for (const char* caption : {"&Update && Exit", "Up&date Record", "&Clear Record", "N&ew Record",
                                "Cu&t", "&Copy", "&Paste", "&Delete"}) {
        EXPECT_FALSE(form.fileAction(QString::fromLatin1(caption))->isEnabled()) << caption;
    }
    EXPECT_TRUE(qobject_cast<QLineEdit*>(form.control(field::Title))->isReadOnly());
    EXPECT_FALSE(form.control(field::CheckOut)->isEnabled());

    press(form, kNext);
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Two"));
    press(form, kPrevious);
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("One"));
    press(form, kExit);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(records(), 2u);
    EXPECT_TRUE(s.messages.shown.empty());
}

TEST_F(EditFormTest, EditOnAnEmptyTableStartsANewRecord) {
    TMyEdit& form = open(EditMode::Edit);
    EXPECT_EQ(form.editMode(), EditMode::Add);
    enter(form, field::Title, QStringLiteral("Only"));
    press(form, kUpdate);
    EXPECT_EQ(host.titles(), std::vector<std::string>{"Only"});
}

TEST_F(EditFormTest, EditMenuWorksOnTextBoxesAndLeavesDateBoxesAlone) {
    TMyEdit& form = open(EditMode::Add);
    auto* author = qobject_cast<PickListCombo*>(form.control(field::Author));
    enter(form, field::Author, QStringLiteral("Austen"));
    author->setFocus();
    author->lineEdit()->selectAll();
    form.fileAction(QStringLiteral("Cu&t"))->trigger();
    EXPECT_EQ(shown(form, field::Author), QString());

    form.control(field::Title)->setFocus();
    form.fileAction(QStringLiteral("&Paste"))->trigger();
    EXPECT_EQ(shown(form, field::Title), QStringLiteral("Austen"));

    enter(form, field::PurchDate, QStringLiteral("01051996"));
    auto* date = qobject_cast<QLineEdit*>(form.control(field::PurchDate));
    date->selectAll();
    form.fileAction(QStringLiteral("&Delete"))->trigger();
    EXPECT_EQ(shown(form, field::PurchDate), QStringLiteral("01/05/1996"));
}

TEST_F(EditFormTest, EachShowingScalesFromTheDesignAndFitsTheSmallestScreen) {
    TMyEdit& form = open(EditMode::Add);
    const QSize design = form.size();
    EXPECT_LE(design.width(), 640);
    EXPECT_LE(design.height(), 480 - 40) << "room for the title bar on a 640 x 480 screen";
    form.close();

    host.factor = 1.25;
    open(EditMode::Add);
    const QSize scaled = form.size();
    EXPECT_NEAR(scaled.width(), design.width() * 1.25, 2);
    form.close();
    open(EditMode::Add);
    EXPECT_EQ(form.size(), scaled) << "showing again must not scale twice";
    form.close();
}

TEST_F(EditFormTest, TheMainWindowCommandShowsTheFormModallyThenTheCount) {
    host.addBook("One");
    host.table.first();
    TMyEdit form(host, s.seams);
    QString titleShown;
    testsupport::whenModalAppears([&](QWidget* dialog) {
        ASSERT_EQ(dialog, &form);
        titleShown = shown(form, field::Title);
        EXPECT_EQ(host.countsShown, 0);
        press(form, QString::fromLatin1(kExit));
    });
    form.execFor(EditMode::Edit);
    EXPECT_EQ(titleShown, QStringLiteral("One"));
    EXPECT_EQ(host.countsShown, 1);
}

TEST_F(EditFormTest, HelpOpensAtTheInputWindowKeyword) {
    TMyEdit& form = open(EditMode::Add);
    for (QAction* action : form.findChildren<QAction*>()) {
        if (action->text() == QStringLiteral("&Help")) {
            action->trigger();
        }
    }
    EXPECT_EQ(s.help.calls, QStringList{QStringLiteral("Input Window")});
}

} // namespace
