// The Export dialog driven as the user drives it, against a real book table.

#include "support/gui/scripted_seams.h"
#include "support_transfer.h"
#include "transfer/export_window.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using transfer::TMyExport;
using transfertest::Book;

constexpr const char* kDefaultsQuestion =
    "This will set the order of fields to the program defaults.  Continue?";

class ExportWindow : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = transfertest::createBookTable(dir_, {{{"Title", "Apple"}, {"YearPub", "1935"}},
                                                     {{"Title", "Beta"}, {"YearPub", "2001"}},
                                                     {{"Title", "Avocado"}}});
        host_ = std::make_unique<transfertest::FakeHost>(path_);
    }
    // Only the fields named go out, in catalogue order.
    void exportOnly(std::initializer_list<int> numbers) {
        for (int n = 1; n <= 36; ++n)
            host_->settings().field(n).exported = false;
        for (int n : numbers)
            host_->settings().field(n).exported = true;
    }
    QRadioButton* radio(TMyExport& w, const char* name) {
        return w.findChild<QRadioButton*>(QString::fromLatin1(name));
    }
    void expectComplete() { s_.messages.expect("Ok", "Export Complete.", db::MessageAnswer::Ok); }

    testsupport::TempDir dir_;
    std::string path_;
    std::unique_ptr<transfertest::FakeHost> host_;
    testsupport::ScriptedSeams s_;
};

TEST_F(ExportWindow, UpDownAndDefaults) {
    TMyExport w(nullptr, *host_, s_.seams);
    w.setCurrentRow(1);
    w.UpButtonClick();
    EXPECT_EQ(w.cellText(1, 1), "Title");
    EXPECT_EQ(w.currentRow(), 1);
    w.setCurrentRow(36);
    w.DownButtonClick();
    EXPECT_EQ(w.cellText(36, 1), "User Defined 6");
    EXPECT_EQ(w.currentRow(), 36);

    w.setCurrentRow(3);
    w.UpButtonClick();
    EXPECT_EQ(w.cellText(2, 1), "Year Pub");
    EXPECT_EQ(w.cellText(3, 1), "Author");
    EXPECT_EQ(w.currentRow(), 2);
    w.ExportGrid()->setCurrentCell(1, 1);
    w.ExportGridDblClick();
    EXPECT_EQ(w.cellText(2, 2), "No");

    s_.messages.expect("Re-Order", kDefaultsQuestion, db::MessageAnswer::No);
    w.DefaultsButtonClick();
    EXPECT_EQ(w.cellText(2, 1), "Year Pub");
    EXPECT_EQ(w.cellText(2, 2), "No");
    s_.messages.expect("Re-Order", kDefaultsQuestion, db::MessageAnswer::Yes);
    w.DefaultsButtonClick();
    for (int row = 1; row <= 36; ++row) {
        EXPECT_EQ(w.cellText(row, 1), host_->settings().fieldLabel(row));
        EXPECT_EQ(w.cellText(row, 2), "Yes");
    }
}

TEST_F(ExportWindow, ExitKeepsTheOrderAndChoicesForNextTime) {
    {
        TMyExport w(nullptr, *host_, s_.seams);
        w.setCurrentRow(2);
        w.DownButtonClick();
        w.ExportGrid()->setCurrentCell(0, 1);
        w.ExportGridDblClick();
        radio(w, "DBaseButton")->click();
        w.reject();
    }
    EXPECT_EQ(host_->settings().field(3).exportOrder, 2);
    EXPECT_EQ(host_->settings().field(2).exportOrder, 3);
    EXPECT_FALSE(host_->settings().field(1).exported);
    EXPECT_EQ(host_->settings().exportFileType, 2);
    TMyExport again(nullptr, *host_, s_.seams);
    EXPECT_EQ(again.cellText(2, 1), "Year Pub");
    EXPECT_TRUE(radio(again, "DBaseButton")->isChecked());
    EXPECT_TRUE(again.findChild<QCheckBox*>("FirstRowCheck")->isHidden());
}

TEST_F(ExportWindow, HeaderOfColumnTitlesOrUpperCaseNames) {
    exportOnly({1, 3});
    host_->titles[3] = QStringLiteral("Year Pub");
    TMyExport w(nullptr, *host_, s_.seams);
    EXPECT_FALSE(radio(w, "ExportSearch")->isEnabled());
    const std::string out = dir_.file("OUT.TXT");
    s_.files.answer(QString::fromStdString(out));
    expectComplete();
    w.StartExportButtonClick();
    EXPECT_EQ(transfertest::fileText(out), "\"TITLE\",\"Year Pub\"\r\n"
                                           "\"Apple\",\"1935\"\r\n"
                                           "\"Beta\",\"2001\"\r\n"
                                           "\"Avocado\",\"\"\r\n");
    ASSERT_EQ(s_.files.calls.size(), 1u);
    EXPECT_EQ(s_.files.calls[0].request.title, "Export Data");
    EXPECT_EQ(s_.files.calls[0].request.defaultSuffix, "TXT");
}

TEST_F(ExportWindow, WholeTableDuringASearchLeavesTheSearchOn) {
    exportOnly({1});
    host_->settings().exportFirstRow = false;
    host_->startSearch("A");
    TMyExport w(nullptr, *host_, s_.seams);
    EXPECT_TRUE(radio(w, "ExportSearch")->isChecked());

    const std::string searched = dir_.file("SEARCH.TXT");
    s_.files.answer(QString::fromStdString(searched));
    expectComplete();
    w.StartExportButtonClick();
    EXPECT_EQ(transfertest::fileText(searched), "\"Apple\"\r\n\"Avocado\"\r\n");

    TMyExport whole(nullptr, *host_, s_.seams);
    radio(whole, "ExportEntire")->click();
    const std::string all = dir_.file("ALL.TXT");
    s_.files.answer(QString::fromStdString(all));
    expectComplete();
    whole.StartExportButtonClick();
    EXPECT_EQ(transfertest::fileText(all), "\"Apple\"\r\n\"Beta\"\r\n\"Avocado\"\r\n");
    EXPECT_EQ(host_->endSearchCalls, 1);
    EXPECT_TRUE(host_->searchActive());
    EXPECT_EQ(transfertest::column(host_->bookTable()),
              (std::vector<std::string>{"Apple", "Avocado"}));
}

TEST_F(ExportWindow, EmptyTableGivesHeaderOnlyOrFieldsOnly) {
    const std::string empty = transfertest::createBookTable(dir_, {}, "EMPTY.DBF");
    transfertest::FakeHost host(empty);
    exportOnly({});
    host.settings() = host_->settings();
    host.settings().field(1).exported = true;
    host.settings().field(12).exported = true;
    {
        TMyExport w(nullptr, host, s_.seams);
        s_.files.answer(QString::fromStdString(dir_.file("E.TXT")));
        expectComplete();
        w.StartExportButtonClick();
        EXPECT_EQ(transfertest::fileText(dir_.file("E.TXT")), "\"TITLE\",\"PURCHDATE\"\r\n");
    }
    TMyExport w(nullptr, host, s_.seams);
    radio(w, "DBaseButton")->click();
    s_.files.answer(QString::fromStdString(dir_.file("E.DBF")));
    expectComplete();
    w.StartExportButtonClick();
    table::Table out;
    transfertest::openShared(out, dir_.file("E.DBF"));
    EXPECT_EQ(out.fieldCount(), 2);
    EXPECT_EQ(out.fieldDescriptor(1).name, "PURCHDATE");
    EXPECT_EQ(out.recordCount(), 0u);
}

TEST_F(ExportWindow, RefusalsAndAFullDisk) {
    exportOnly({});
    TMyExport w(nullptr, *host_, s_.seams);
    s_.messages.expect("Error", "No fields selected for export.", db::MessageAnswer::Ok);
    w.StartExportButtonClick();

    w.setCurrentRow(1);
    w.ExportGrid()->setCurrentCell(0, 1);
    w.ExportGridDblClick();
    radio(w, "DBaseButton")->click();
    s_.files.answer(QString::fromStdString(dir_.file("OUT.TXT")));
    s_.messages.expect("Error", "Invalid file type selected.", db::MessageAnswer::Ok);
    w.StartExportButtonClick();

    s_.files.answer(QString()); // cancelled: nothing happens
    w.StartExportButtonClick();

    // The open table itself is never replaced, as text or as dBASE.
    const auto before = std::filesystem::file_size(path_);
    s_.files.answer(QString::fromStdString(path_));
    s_.messages.expect("Error",
                       "The open database cannot be replaced by an export.  Choose another file "
                       "name.",
                       db::MessageAnswer::Ok);
    w.StartExportButtonClick();
    radio(w, "AsciiButton")->click();
    s_.files.answer(QString::fromStdString(path_));
    s_.messages.expectCaption("Error");
    w.StartExportButtonClick();
    EXPECT_EQ(std::filesystem::file_size(path_), before);

    s_.files.answer(QStringLiteral("/dev/full"));
    s_.messages.expectCaption("Error");
    w.StartExportButtonClick();
    s_.messages.verifyAllShown();
    EXPECT_NE(s_.messages.shown.back().text.find("No space left on device"), std::string::npos);
    // The table stays usable and the dialog open for another try.
    EXPECT_EQ(transfertest::column(host_->bookTable()).size(), 3u);
    EXPECT_TRUE(w.isVisible() || !w.result());
}

} // namespace
