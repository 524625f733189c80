#include "support_edit.h"

#include "db/book_database.h"
#include "edit/date_box.h"
#include "edit/pick_list_combo.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace edittest {

TestHost::TestHost(const testsupport::TempDir& dir)
    : directory(QString::fromStdString(dir.path().string())) {
    testsupport::StrictMessages quiet;
    const QString path = directory + QStringLiteral("/BOOKS.DBF");
    if (!db::makeNewTable(path, quiet)) {
        throw std::runtime_error("cannot create the book table");
    }
    db::pointTableAt(table, path);
    table.open();
}

TestHost::~TestHost() {
    table.close();
}

void TestHost::addBook(const std::string& title, const std::string& author) {
    table.append();
    table.setText(table.fieldIndex("TITLE"), title);
    table.setText(table.fieldIndex("AUTHOR"), author);
    table.setText(table.fieldIndex("CHECKOUT"), "No");
    for (const char* money : {"COST", "VALUE", "LOWMARKET", "HIGHMARKET"}) {
        table.setText(table.fieldIndex(money), "0");
    }
    table.post();
}

std::vector<std::string> TestHost::titles() {
    std::vector<std::string> result;
    const auto mark = table.bookmark();
    for (table.first(); !table.eof(); table.next()) {
        result.push_back(table.asText(table.fieldIndex("TITLE")));
        if (table.recordNumber() == 0) {
            break;
        }
    }
    table.goToBookmark(mark);
    return result;
}

std::string TestHost::current(const char* fieldName) {
    return table.asText(table.fieldIndex(fieldName));
}

void enter(edit::TMyEdit& form, int fieldNumber, const QString& text) {
    QWidget* control = form.control(fieldNumber);
    if (auto* date = qobject_cast<edit::DateBox*>(control)) {
        date->setBoxText({});
        date->setFocus();
        date->setCursorPosition(0);
        QTest::keyClicks(date, text);
    } else if (auto* combo = qobject_cast<edit::PickListCombo*>(control)) {
        combo->setEditText(text);
    } else if (auto* box = qobject_cast<QLineEdit*>(control)) {
        box->setText(text);
    } else {
        ADD_FAILURE() << "no text control for field " << fieldNumber;
    }
}

QString shown(const edit::TMyEdit& form, int fieldNumber) {
    QWidget* control = form.control(fieldNumber);
    if (auto* date = qobject_cast<edit::DateBox*>(control)) {
        return date->boxText();
    }
    if (auto* combo = qobject_cast<edit::PickListCombo*>(control)) {
        return combo->currentText();
    }
    if (auto* box = qobject_cast<QLineEdit*>(control)) {
        return box->text();
    }
    return {};
}

void clickCheckOut(edit::TMyEdit& form) {
    auto* box = qobject_cast<QCheckBox*>(form.control(edit::field::CheckOut));
    box->click();
}

void press(edit::TMyEdit& form, const QString& buttonCaption) {
    QPushButton* button = form.button(buttonCaption);
    ASSERT_NE(button, nullptr) << buttonCaption.toStdString();
    ASSERT_TRUE(button->isEnabled()) << buttonCaption.toStdString();
    button->click();
}

} // namespace edittest
