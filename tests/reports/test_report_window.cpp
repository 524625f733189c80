// The report selection window over a real report file and book table: what it shows for the
// search state and the sort order, its two messages, the report list and the last report kept,
// runs to a text file over the whole table or the search result, and the designer hooks.

#include "reports/report_builtins.h"
#include "reports/report_file.h"
#include "reports/report_selection.h"
#include "reports/report_status_window.h"
#include "reports/report_window.h"
#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_report_books.h"

#include "table/date_format.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace {

using namespace reports;

constexpr db::SortLevels kByCategory{5, 0, 0, 0};

void clickOkWhenDone(QWidget* dialog) {
    auto* form = static_cast<TReportForm*>(dialog);
    if (form->running() || form->button()->text() != "OK") {
        QTimer::singleShot(10, [form] { clickOkWhenDone(form); });
        return;
    }
    form->button()->click();
}

// The main window's side: its table, settings and search state, with a search that keeps the
// "Art" books when it is on.
class Host : public ReportHost {
public:
    Host(table::Table& table, QString programDirectory)
        : table_(table), programDirectory_(std::move(programDirectory)) {}
    table::Table& bookTable() override { return table_; }
    app::Settings& settings() override { return settings_; }
    QString programDirectory() const override { return programDirectory_; }
    bool searchActive() const override { return searchActive_; }
    void doEndSearch() override {
        calls.push_back("end search");
        setSearch(false);
    }
    void enableEndSearch() override {
        calls.push_back("enable end search");
        setSearch(true);
    }
    QPrinter* printer() override { return nullptr; }
    double windowSizeFactor() const override { return 1.0; }
    const widgets::UserFonts& userFonts() const override { return fonts_; }

    void setSearch(bool on) {
        searchActive_ = on;
        table::RecordFilter artOnly = [](const table::RecordView& record) {
            return record.text(4) == "Art"; // CATEGORY
        };
        table_.setFilter(on ? artOnly : table::RecordFilter{});
        table_.refresh();
    }

    std::vector<std::string> calls;

private:
    table::Table& table_;
    QString programDirectory_;
    app::Settings settings_;
    widgets::UserFonts fonts_;
    bool searchActive_ = false;
};

class ReportWindow : public ::testing::Test {
protected:
    void SetUp() override {
        table::setCurrentDateFormat(table::DateFormat{});
        std::vector<reporttest::Book> books;
        for (int i = 1; i <= 6; ++i)
            books.push_back(
                {{"Title", "Book " + std::to_string(i)}, {"Category", i <= 2 ? "Art" : "History"}});
        reporttest::openBookTable(table_, dir_, books, kByCategory);
        host_.settings().sortLevels = kByCategory;
    }
    QString path(const char* name) const { return QString::fromStdString(dir_.file(name)); }
    QStringList textLines(const QString& file) const {
        QFile text(file);
        EXPECT_TRUE(text.open(QIODevice::ReadOnly));
        return QString::fromLatin1(text.readAll()).split(QStringLiteral("\r\n"));
    }
    int linesWith(const QStringList& lines, const QString& part) const {
        return static_cast<int>(lines.filter(part).size());
    }

    testsupport::TempDir dir_;
    table::Table table_;
    Host host_{table_, QString::fromStdString(dir_.path().string())};
    testsupport::ScriptedSeams s_;
};

TEST_F(ReportWindow, ShowsTheSortOrderAndOffersTheSearchOnlyWhileOneIsActive) {
    ASSERT_TRUE(createReportFileIfMissing(host_.programDirectory()));
    TMyReport window(nullptr, s_.seams, host_);
    host_.settings().sortLevels = {5, 0, 2, 0};
    QTimer::singleShot(0, &window, [&] {
        EXPECT_EQ(window.findChild<QLabel*>("SortOrderLabel")->text(), "Category, Author");
        EXPECT_FALSE(window.findChild<QRadioButton*>("ExportSearch")->isEnabled());
        EXPECT_TRUE(window.findChild<QRadioButton*>("ExportEntire")->isChecked());
        window.reject();
    });
    window.showModal();

    host_.settings().sortLevels = {0, 0, 0, 0};
    host_.setSearch(true);
    QTimer::singleShot(0, &window, [&] {
        EXPECT_EQ(window.findChild<QLabel*>("SortOrderLabel")->text(), kNoSortOrderText);
        EXPECT_TRUE(window.findChild<QRadioButton*>("ExportSearch")->isEnabled());
        EXPECT_TRUE(window.findChild<QRadioButton*>("ExportSearch")->isChecked());
        window.reject();
    });
    window.showModal();
}

TEST_F(ReportWindow, ListsTheFileAndKeepsTheLastReport) {
    ASSERT_TRUE(createReportFileIfMissing(host_.programDirectory()));
    TMyReport window(nullptr, s_.seams, host_);
    ASSERT_EQ(window.reportBox()->count(), static_cast<int>(builtInReports().size()));
    EXPECT_EQ(window.reportBox()->item(0)->text(), builtInReports()[0].reportName);

    for (const auto& [stored, shown] : {std::pair{2, 2}, std::pair{99, -1}, std::pair{-1, -1}}) {
        host_.settings().lastReport = stored;
        int selected = -2;
        QTimer::singleShot(0, &window, [&] {
            selected = window.reportBox()->currentRow();
            window.reject();
        });
        window.showModal();
        EXPECT_EQ(selected, shown) << "stored " << stored;
        EXPECT_EQ(host_.settings().lastReport, shown);
    }
}

TEST_F(ReportWindow, EmptyReportFileAnswersEveryRunWithTheNoSelectionMessage) {
    QFile(path("VLMBOOK.URP")).open(QIODevice::WriteOnly);
    TMyReport window(nullptr, s_.seams, host_);
    EXPECT_EQ(window.reportBox()->count(), 0);
    for (OutputMode mode : {OutputMode::Printer, OutputMode::Preview}) {
        s_.messages.expect("Error", kNoReportSelectedMessage, db::MessageAnswer::Ok);
        window.run(mode);
    }
    s_.files.answer(path("OUT.TXT"));
    s_.messages.expect("Error", kNoReportSelectedMessage, db::MessageAnswer::Ok);
    window.FileButtonClick();
    EXPECT_EQ(s_.files.calls.at(0).request.title, "Save Report As a Text File");
    EXPECT_FALSE(QFile::exists(path("OUT.TXT")));
    // A file that went away after the list was read.
    ASSERT_TRUE(createReportFileIfMissing(host_.programDirectory()) ||
                ReportFile(path("VLMBOOK.URP")).append(builtInReports()));
    window.reloadList();
    window.reportBox()->setCurrentRow(0);
    QFile::remove(path("VLMBOOK.URP"));
    s_.messages.expect("Error", kReportNotLocatedMessage, db::MessageAnswer::Ok);
    window.run(OutputMode::TextFile, path("OUT.TXT"));
}

TEST_F(ReportWindow, WholeTableRunDuringASearchShowsTheSearchAgainAfterwards) {
    ASSERT_TRUE(createReportFileIfMissing(host_.programDirectory()));
    TMyReport window(nullptr, s_.seams, host_);
    host_.setSearch(true);
    window.reportBox()->setCurrentRow(0);

    // The search result only: the two art books.
    window.findChild<QRadioButton*>("ExportSearch")->setEnabled(true);
    window.findChild<QRadioButton*>("ExportSearch")->setChecked(true);
    testsupport::whenModalAppears(clickOkWhenDone);
    s_.files.answer(path("SEARCH.TXT"));
    window.FileButtonClick();
    EXPECT_EQ(linesWith(textLines(path("SEARCH.TXT")), "Book "), 2);
    EXPECT_TRUE(host_.calls.empty());

    // The whole table: the search is ended for the run and made active again after it.
    window.findChild<QRadioButton*>("ExportEntire")->setChecked(true);
    testsupport::whenModalAppears(clickOkWhenDone);
    s_.files.answer(path("ALL.TXT"));
    window.FileButtonClick();
    EXPECT_EQ(linesWith(textLines(path("ALL.TXT")), "Book "), 6);
    EXPECT_EQ(host_.calls, (std::vector<std::string>{"end search", "enable end search"}));
    EXPECT_TRUE(host_.searchActive());
    EXPECT_EQ(table_.recordCount(), 2u);
}

TEST_F(ReportWindow, NewAndModifyOpenTheDesignerAndReadTheListAgain) {
    ASSERT_TRUE(createReportFileIfMissing(host_.programDirectory()));
    TMyReport window(nullptr, s_.seams, host_);
    EXPECT_FALSE(window.findChild<QPushButton*>("NewButton")->isEnabled());
    std::vector<std::optional<int>> opened;
    window.setOpenDesigner(
        [&](ReportDefinition& definition, std::optional<int> index) -> std::optional<int> {
            opened.push_back(index);
            if (index)
                return std::nullopt;
            EXPECT_EQ(definition, newReportDefinition());
            definition.reportName = QStringLiteral("Mine");
            return ReportFile(path("VLMBOOK.URP")).append(definition);
        });
    window.NewButtonClick();
    EXPECT_EQ(window.reportBox()->count(), static_cast<int>(builtInReports().size()) + 1);
    EXPECT_EQ(window.reportBox()->item(window.reportBox()->count() - 1)->text(), "Mine");
    EXPECT_EQ(window.reportBox()->currentRow(), window.reportBox()->count() - 1);

    window.reportBox()->setCurrentRow(-1);
    s_.messages.expect("Error", kNoReportSelectedMessage, db::MessageAnswer::Ok);
    window.ModifyButtonClick();
    window.reportBox()->setCurrentRow(1);
    window.ModifyButtonClick();
    EXPECT_EQ(window.currentDefinition(), builtInReports()[1]);
    EXPECT_EQ(opened, (std::vector<std::optional<int>>{std::nullopt, 1}));
}

TEST(NewReport, StartsFromTheDefaultsOfANewDefinition) {
    const ReportDefinition fresh = newReportDefinition();
    EXPECT_TRUE(fresh.reportName.isEmpty());
    EXPECT_EQ(fresh.width, 90);
    EXPECT_EQ(fresh.numLines, 1);
    EXPECT_TRUE(fresh.horzLines && fresh.vertLines && fresh.groupLevel1 && !fresh.groupLevel2);
    EXPECT_TRUE(fresh.font(FontSlotId::Title).bold);
    EXPECT_FALSE(fresh.font(FontSlotId::Body).bold);
    EXPECT_EQ(fresh.font(FontSlotId::Spare).name, "Courier New");
    EXPECT_EQ(fresh.line(1), emptyLine());
}

} // namespace
