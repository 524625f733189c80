// The import dialogs driven as the user drives them, against a real book table.

#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_transfer.h"
#include "transfer/import_windows.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace {

using transfer::ImportKind;
using transfer::TImportFormat;
using transfer::TMyImport;

std::string quotedLine(int fields, const std::string& prefix) {
    std::string line;
    for (int i = 1; i <= fields; ++i)
        line += (i > 1 ? ",\"" : "\"") + prefix + std::to_string(i) + "\"";
    return line + "\r\n";
}

std::vector<std::string> labels(int count) {
    std::vector<std::string> result;
    for (int i = 1; i <= count; ++i)
        result.push_back("L" + std::to_string(i));
    return result;
}

class ImportWindow : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = transfertest::createBookTable(dir_, {{{"Title", "Existing"}}});
        host_ = std::make_unique<transfertest::FakeHost>(path_);
    }
    std::string writeText(const std::string& bytes) {
        const std::string path = dir_.file("IN.TXT");
        transfertest::writeFile(path, bytes);
        return path;
    }
    void expectComplete() { s_.messages.expect("Ok", "Import Complete.", db::MessageAnswer::Ok); }
    std::vector<std::string> titles() {
        host_->bookTable().selectTag("");
        host_->bookTable().refresh();
        return transfertest::column(host_->bookTable());
    }

    testsupport::TempDir dir_;
    std::string path_;
    std::unique_ptr<transfertest::FakeHost> host_;
    testsupport::ScriptedSeams s_;
};

TEST_F(ImportWindow, FortyFieldsShowRowsWithoutBookFieldsThatImportNothing) {
    const std::string file = writeText(quotedLine(40, "h") + quotedLine(40, "v"));
    TMyImport w(nullptr, *host_, s_.seams, ImportKind::Text, QString::fromStdString(file),
                labels(40));
    EXPECT_EQ(w.windowTitle(), "Ascii Delimited Text Import");
    ASSERT_EQ(w.rowCount(), 40);
    EXPECT_EQ(w.cellText(36, 1), "User Defined 6");
    EXPECT_EQ(w.cellText(37, 1), "");
    EXPECT_EQ(w.cellText(40, 2), "L40");
    EXPECT_EQ(w.cellText(40, 3), "Yes");
    // Field 1 moved down to row 37 is not imported although its USE reads Yes; each book
    // field k takes source field k + 1.
    for (int row = 1; row < 37; ++row) {
        w.setCurrentRow(row);
        w.DownButtonClick();
    }
    EXPECT_EQ(w.cellText(37, 2), "L1");
    EXPECT_EQ(w.cellText(37, 3), "Yes");
    EXPECT_EQ(w.cellText(1, 1), "Title");
    w.findChild<QCheckBox*>("SkipFirstCheck")->setChecked(true);
    expectComplete();
    w.StartButtonClick();
    EXPECT_EQ(w.countText(), "1");
    EXPECT_EQ(titles(), (std::vector<std::string>{"Existing", "v2"}));
    table::Table& books = host_->bookTable();
    books.last();
    EXPECT_EQ(books.asText(books.fieldIndexOrThrow("Author")), "v3");
    for (int field = 0; field < books.fieldCount(); ++field)
        EXPECT_NE(books.asText(field), "v1");
    EXPECT_GE(host_->countsShown, 1);
}

TEST_F(ImportWindow, TenFieldsLeaveEmptyRowsThatCannotBeSwitchedOn) {
    TMyImport w(nullptr, *host_, s_.seams, ImportKind::Text, QString(), labels(10));
    ASSERT_EQ(w.rowCount(), 36);
    EXPECT_EQ(w.cellText(11, 2), "<EMPTY>");
    EXPECT_EQ(w.cellText(11, 3), "");
    w.setCurrentRow(11, 3);
    w.ImportGridDblClick();
    EXPECT_EQ(w.cellText(11, 3), "");
    w.setCurrentRow(2, 3);
    w.ImportGridDblClick();
    EXPECT_EQ(w.cellText(2, 3), "No");
    w.ImportGridDblClick();
    EXPECT_EQ(w.cellText(2, 3), "Yes");
    // Up moves the label and its USE cell together; the book fields stay.
    w.ImportGridDblClick();
    w.UpButtonClick();
    EXPECT_EQ(w.cellText(1, 2), "L2");
    EXPECT_EQ(w.cellText(1, 3), "No");
    EXPECT_EQ(w.cellText(2, 2), "L1");
    EXPECT_EQ(w.cellText(2, 3), "Yes");
    EXPECT_EQ(w.cellText(1, 1), "Title");
    EXPECT_EQ(w.currentRow(), 1);
    w.UpButtonClick();
    EXPECT_EQ(w.cellText(1, 2), "L2");
}

TEST_F(ImportWindow, EqualLabelsKeepTheirOwnSourceFields) {
    host_->settings().importSkipFirst = false;
    const std::string file = writeText("\"\",\"x\",\"\"\r\n\"t1\",\"x\",\"a3\"\r\n");
    TMyImport w(nullptr, *host_, s_.seams, ImportKind::Text, QString::fromStdString(file),
                {"<BLANK FIELD>", "x", "<BLANK FIELD>"});
    w.setCurrentRow(3);
    w.UpButtonClick(); // the second blank field goes to Author, "x" to Year Pub
    w.findChild<QCheckBox*>("SkipFirstCheck")->click();
    EXPECT_TRUE(host_->settings().importSkipFirst);
    expectComplete();
    w.StartButtonClick();
    table::Table& books = host_->bookTable();
    books.selectTag("");
    books.refresh();
    books.last();
    EXPECT_EQ(books.asText(0), "t1");
    EXPECT_EQ(books.asText(1), "a3");
    EXPECT_EQ(books.asText(2), "0");
}

TEST_F(ImportWindow, SourceDialogChecksTheFileAndClosesWithTheMapping) {
    host_->settings().importFileType = 7; // anything but 2 is delimited text
    TImportFormat source(nullptr, *host_, s_.seams);
    EXPECT_TRUE(source.findChild<QRadioButton*>("AsciiButton")->isChecked());

    s_.files.answer(QString()); // cancelled
    source.FileButtonClick();
    s_.files.answer(QString::fromStdString(writeText("abc,def\r\n")));
    s_.messages.expect("Error",
                       "The file selected does not appear to be an ASCII delimited text file.  "
                       "An ASCII delimited file requires a unique format of each field being "
                       "surrounded by double quotes and separated by a comma.  The selected file "
                       "had an unexpected end of a line most likely due to an unmatched quote.",
                       db::MessageAnswer::Ok);
    source.FileButtonClick();
    EXPECT_EQ(s_.files.calls.back().request.title, "Import Data");

    source.findChild<QRadioButton*>("DBaseButton")->setChecked(true);
    s_.files.answer(QString::fromStdString(dir_.file("IN.TXT")));
    s_.messages.expect("Error", "Invalid file type selected.", db::MessageAnswer::Ok);
    source.FileButtonClick();

    // A dBASE source: the mapping dialog hides Skip First Record; its Exit closes both.
    const std::string other = transfertest::createBookTable(dir_, {{{"Title", "Other"}}}, "O.DBF");
    s_.files.answer(QString::fromStdString(other));
    bool sawMapping = false;
    testsupport::whenModalAppears([&](QWidget* dialog) {
        auto* mapping = qobject_cast<TMyImport*>(dialog);
        ASSERT_NE(mapping, nullptr);
        sawMapping = true;
        EXPECT_EQ(mapping->windowTitle(), "DBase File Import");
        EXPECT_TRUE(mapping->findChild<QCheckBox*>("SkipFirstCheck")->isHidden());
        EXPECT_EQ(mapping->cellText(1, 2), "TITLE");
        testsupport::clickButton(dialog, "Exit");
    });
    source.FileButtonClick();
    EXPECT_TRUE(sawMapping);
    EXPECT_EQ(source.result(), QDialog::Accepted);
    EXPECT_EQ(host_->settings().importFileType, 2);
    EXPECT_EQ(titles(), (std::vector<std::string>{"Existing"}));
}

TEST_F(ImportWindow, DbaseImportAppendsEveryForeignRecord) {
    const std::string other = transfertest::createBookTable(
        dir_, {{{"Title", "One"}, {"PurchDate", "3/4/1935"}}, {{"Title", "Two"}}}, "O.DBF");
    TMyImport w(nullptr, *host_, s_.seams, ImportKind::Dbase, QString::fromStdString(other),
                labels(36));
    expectComplete();
    w.StartButtonClick();
    EXPECT_EQ(w.countText(), "2");
    EXPECT_EQ(titles(), (std::vector<std::string>{"Existing", "One", "Two"}));
}

} // namespace
