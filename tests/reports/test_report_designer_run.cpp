// A new two-line report designed in the designer's windows as a user would, saved through the
// report selection window's New Report, and run to a text file.

#include "reports/report_builtins.h"
#include "reports/report_designer_window.h"
#include "reports/report_file.h"
#include "reports/report_layout_window.h"
#include "reports/report_window.h"
#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_designer.h"
#include "support_report_books.h"

#include "table/date_format.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

namespace {

using namespace reports;
using reporttest::child;
using reporttest::clickBox;
using Host = reporttest::DesignerHost;

constexpr db::SortLevels kByTitle{1, 0, 0, 0};

// The part window's answer: a field from the list, or a label, and a width.
void choosePart(QWidget* dialog, int fieldRow, const QString& label, const QString& width) {
    if (fieldRow >= 0) {
        child<QRadioButton>(dialog, "FieldButton")->click();
        child<QListWidget>(dialog, "FieldList")->setCurrentRow(fieldRow);
    } else {
        child<QRadioButton>(dialog, "LabelButton")->click();
        child<QLineEdit>(dialog, "LabelName")->setText(label);
    }
    child<QLineEdit>(dialog, "FieldWidth")->setText(width);
    testsupport::clickButton(dialog, QStringLiteral("Ok"));
}

// Line 1: Title 40; line 2: "By:" 4, Author 30 (the rest of each line stays empty space).
void designLayout(QWidget* dialog) {
    auto* layout = qobject_cast<TRepLayout*>(dialog);
    ASSERT_NE(layout, nullptr);
    const struct {
        int line;
        int part;
        int fieldRow;
        const char* label;
        const char* width;
    } steps[] = {{1, 1, 0, "", "40"}, {2, 1, -1, "By:", "4"}, {2, 2, 1, "", "30"}};
    for (const auto& step : steps) {
        testsupport::whenModalAppears([&step](QWidget* part) {
            choosePart(part, step.fieldRow, QString::fromLatin1(step.label),
                       QString::fromLatin1(step.width));
        });
        clickBox(*layout, step.line, step.part);
    }
    testsupport::clickButton(layout, QStringLiteral("Ok"));
}

TEST(DesignerRun, ANewTwoLineReportIsSavedAndPrintsItsLines) {
    table::setCurrentDateFormat(table::DateFormat{});
    testsupport::TempDir dir;
    Host host(QString::fromStdString(dir.path().string()), kByTitle);
    table::Table& books = host.table;
    reporttest::openBookTable(books, dir,
                              {{{"Title", "Emma"}, {"Author", "Austen, Jane"}},
                               {{"Title", "Ulysses"}, {"Author", "Joyce, James"}}},
                              kByTitle);
    ASSERT_TRUE(createReportFileIfMissing(host.programDirectory()));
    testsupport::ScriptedSeams s;

    TMyReport selection(nullptr, s.seams, host);
    selection.setOpenDesigner([&](ReportDefinition& definition, std::optional<int> index) {
        return runReportDesigner(&selection, s.seams, host, definition, index);
    });
    testsupport::whenModalAppears([](QWidget* dialog) {
        auto* designer = qobject_cast<TUserReport*>(dialog);
        ASSERT_NE(designer, nullptr);
        child<QLineEdit>(designer, "ReportName")->setText(QStringLiteral("Two Lines"));
        child<QLineEdit>(designer, "NumLines")->setText(QStringLiteral("2"));
        child<QCheckBox>(designer, "UseTotals")->setChecked(false);
        child<QCheckBox>(designer, "Level1Group")->setChecked(false);
        testsupport::whenModalAppears(designLayout);
        designer->SpecifyButtonClick();
        designer->UpdateButtonClick();
    });
    selection.NewButtonClick();

    ASSERT_EQ(selection.reportBox()->count(), 9);
    EXPECT_EQ(selection.reportBox()->currentItem()->text(), "Two Lines");
    const auto saved = ReportFile(reportFilePath(host.programDirectory())).load(8);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->numLines, 2);

    const auto run = reporttest::runText(*saved, books, reporttest::testContext(kByTitle), dir);
    ASSERT_GE(run.lines.size(), 4);
    QStringList body;
    for (qsizetype i = 0; i < 4; ++i) {
        EXPECT_EQ(run.lines[i].size(), 90) << i; // every line as wide as the report
        QString line = run.lines[i];
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        body.append(line);
    }
    EXPECT_EQ(body, (QStringList{"Emma", " By:Austen, Jane", "Ulysses", " By:Joyce, James"}))
        << run.text.toStdString();
}

} // namespace
