// The designer's decisions without its windows: fitting lines on a width change with its
// questions and notices, the number-of-lines check, saving with the rename question, deleting,
// and the part window's change to one line.

#include "reports/report_builtins.h"
#include "reports/report_design.h"
#include "reports/report_file.h"
#include "reports/report_selection.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

using namespace reports;

struct Cell {
    const char* item;
    int width;
};

ReportLine lineOf(const std::vector<Cell>& cells) {
    ReportLine line = emptyLine();
    size_t index = 0;
    for (const Cell& cell : cells) {
        line[index].item = QString::fromLatin1(cell.item);
        line[index].fieldNo = bodyFieldNumberFor(line[index].item);
        line[index].width = cell.width;
        ++index;
    }
    if (index < line.size())
        line[index].width = 0;
    return line;
}

std::vector<int> widths(const ReportLine& line) {
    std::vector<int> result;
    for (int i = 0; i < usedPartCount(line); ++i)
        result.push_back(line[static_cast<size_t>(i)].width);
    return result;
}

TEST(ReportDesign, WidthChangesFitTheBodyLinesAndSetTheBodyFont) {
    struct Case {
        const char* name;
        int from;
        int to;
        std::vector<Cell> cells;
        const char* question; // null: nothing asked
        const char* notice;   // null: no notice
        std::vector<int> expected;
        int bodySize;
    };
    const std::vector<Case> cases{
        {"90 to 120 pads with the former end",
         90,
         120,
         {{"Title", 59}, {"YearPub", 5}, {"Author", 27}},
         nullptr,
         kBody8Notice,
         {59, 5, 27, 29},
         8},
        {"150 to 90 cuts the line",
         150,
         90,
         {{"Title", 60}, {"Author", 30}, {"Location", 60}},
         kTo90Question,
         nullptr,
         {60, 30},
         10},
        {"150 to 120 cuts the last part",
         150,
         120,
         {{"Title", 60}, {"Author", 30}, {"Location", 60}},
         kTo120Question,
         kBody8Notice,
         {60, 30, 30},
         8},
        {"120 to 150 widens the end",
         120,
         150,
         {{"Title", 100}, {"Author", 20}},
         nullptr,
         kBody6Notice,
         {100, 20, 30},
         6},
        {"120 to 90 cuts in the first part",
         120,
         90,
         {{"Title", 100}, {"Author", 20}},
         kTo90Question,
         nullptr,
         {90},
         10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ScriptedSeams s;
        ReportDefinition definition;
        definition.width = c.from;
        definition.numLines = 2;
        definition.line(1) = lineOf(c.cells);
        definition.line(3) = lineOf({{"Title", 200}}); // beyond NumLines: left alone
        const ReportLine totals = definition.totalsLine;
        if (c.question)
            s.messages.expect("Warning", c.question, db::MessageAnswer::Yes);
        if (c.notice)
            s.messages.expect("Notice", c.notice, db::MessageAnswer::Ok);

        EXPECT_TRUE(changeReportWidth(definition, c.from, c.to, s.messages));
        s.messages.verifyAllShown();
        EXPECT_EQ(widths(definition.line(1)), c.expected);
        EXPECT_EQ(widths(definition.line(2)), std::vector<int>{c.to}); // the empty line
        EXPECT_EQ(widths(definition.line(3)), std::vector<int>{200});
        EXPECT_EQ(definition.totalsLine, totals);
        EXPECT_EQ(definition.width, c.to);
        EXPECT_EQ(definition.font(FontSlotId::Body).size, c.bodySize);
        if (c.question) {
            EXPECT_EQ(s.messages.shown.front().defaultAnswer, db::MessageAnswer::No);
        }
    }
}

TEST(ReportDesign, AWidthChangeAnsweredNoOrToTheSameWidthChangesNothing) {
    testsupport::ScriptedSeams s;
    ReportDefinition definition;
    definition.width = 150;
    definition.line(1) = lineOf({{"Title", 60}, {"Author", 30}, {"Location", 60}});
    const ReportDefinition before = definition;
    s.messages.expect(kTo90Question, db::MessageAnswer::No);
    EXPECT_FALSE(changeReportWidth(definition, 150, 90, s.messages));
    s.messages.expect(kTo120Question, db::MessageAnswer::No);
    EXPECT_FALSE(changeReportWidth(definition, 150, 120, s.messages));
    EXPECT_FALSE(changeReportWidth(definition, 150, 150, s.messages));
    EXPECT_EQ(definition, before);
}

TEST(ReportDesign, NumberOfLinesOutsideZeroToTwelveIsRefused) {
    for (const char* text : {"13", "-1", "", "x", "1.5"}) {
        SCOPED_TRACE(text);
        testsupport::ScriptedSeams s;
        s.messages.expect("Notice", kNumLinesRangeMessage, db::MessageAnswer::Ok);
        EXPECT_FALSE(checkNumLines(QString::fromLatin1(text), s.messages));
        EXPECT_EQ(s.messages.beeps, std::vector<db::BeepKind>{db::BeepKind::Warning});
    }
    testsupport::ScriptedSeams s;
    EXPECT_EQ(checkNumLines(QStringLiteral(" 0 "), s.messages), 0);
    EXPECT_EQ(checkNumLines(QStringLiteral("12"), s.messages), 12);
}

TEST(ReportDesign, MarginsConvertWithinTenInches) {
    EXPECT_EQ(marginFromText(QStringLiteral(" 0.75 ")), 0.75);
    EXPECT_FALSE(marginFromText(QStringLiteral("abc")));
    EXPECT_FALSE(marginFromText(QStringLiteral("-1")));
    EXPECT_FALSE(marginFromText(QStringLiteral("11")));
    EXPECT_EQ(marginText(0.5), QStringLiteral("0.50"));
}

class Saving : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(createReportFileIfMissing(QString::fromStdString(dir_.path().string())));
    }
    testsupport::TempDir dir_;
    ReportFile file_{reportFilePath(QString::fromStdString(dir_.path().string()))};
    testsupport::ScriptedSeams s_;
};

TEST_F(Saving, RenameAnsweredYesAppendsNoOverwritesCancelStays) {
    struct Case {
        db::MessageAnswer answer;
        SaveOutcome outcome;
        int index;
        QStringList names;
    };
    const QStringList builtins = file_.list();
    QStringList appended = builtins;
    appended.append(QStringLiteral("Renamed"));
    QStringList overwritten = builtins;
    overwritten[2] = QStringLiteral("Renamed");
    const std::vector<Case> cases{
        {db::MessageAnswer::Yes, SaveOutcome::Saved, 8, appended},
        {db::MessageAnswer::No, SaveOutcome::Saved, 2, overwritten},
        {db::MessageAnswer::Cancel, SaveOutcome::Stayed, -1, builtins},
    };
    for (const Case& c : cases) {
        ReportFile fresh(file_.path());
        ASSERT_TRUE(QFile::remove(fresh.path()));
        ASSERT_TRUE(createReportFileIfMissing(QString::fromStdString(dir_.path().string())));
        ReportDefinition definition = *fresh.load(2);
        const QString opening = definition.reportName;
        definition.reportName = QStringLiteral("Renamed");
        s_.messages.expect("Warning", kRenameQuestion, c.answer);
        const SaveResult result = saveReport(fresh, definition, 2, opening, s_.messages);
        s_.messages.verifyAllShown();
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.index, c.index);
        EXPECT_EQ(fresh.list(), c.names);
    }
}

TEST_F(Saving, NewReportsAppendAndUnrenamedOnesReplaceWithoutAQuestion) {
    ReportDefinition fresh = newReportDefinition();
    fresh.reportName = QStringLiteral("Mine");
    const SaveResult added = saveReport(file_, fresh, std::nullopt, QString(), s_.messages);
    EXPECT_EQ(added.index, 8);
    EXPECT_TRUE(added.appended);
    fresh.numLines = 3;
    const SaveResult replaced = saveReport(file_, fresh, 8, QStringLiteral("Mine"), s_.messages);
    EXPECT_EQ(replaced.index, 8);
    EXPECT_FALSE(replaced.appended);
    EXPECT_EQ(file_.load(8)->numLines, 3);
    EXPECT_EQ(file_.count(), 9);
}

TEST_F(Saving, DeleteAsksFirst) {
    const QStringList before = file_.list();
    s_.messages.expect("Warning", kDeleteQuestion, db::MessageAnswer::No);
    EXPECT_FALSE(deleteReport(file_, 0, s_.messages));
    EXPECT_EQ(file_.list(), before);
    s_.messages.expect("Warning", kDeleteQuestion, db::MessageAnswer::Yes);
    EXPECT_TRUE(deleteReport(file_, 0, s_.messages));
    EXPECT_EQ(file_.list(), before.mid(1));
    EXPECT_EQ(s_.messages.shown.back().defaultAnswer, db::MessageAnswer::No);
}

TEST(ReportDesign, PartChoicesChangeOnePartAndRefitTheLine) {
    const ReportLine line = lineOf({{"Title", 59}, {"YearPub", 5}, {"Author", 26}});
    struct Case {
        const char* name;
        int part;
        PartChoice choice;
        std::vector<int> widths;
        QString item;
        int fieldNo;
        QString labelText;
    };
    using Kind = PartChoice::Kind;
    const std::vector<Case> cases{
        {"width 0 takes the rest", 2, {Kind::Field, {}, 3, "0"}, {59, 31}, "Publisher", 4, {}},
        {"narrower brings the next slot back",
         1,
         {Kind::Label, "  Name: ", -1, "50"},
         {50, 5, 26, 9},
         "<LABEL>",
         0,
         "Name:"},
        {"filler", 3, {Kind::Filler, {}, -1, "26"}, {59, 5, 26}, "<FILLER>", 0, {}},
        {"field without a choice keeps the part",
         3,
         {Kind::Field, {}, -1, "10"},
         {59, 5, 10, 16},
         "Author",
         2,
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::ScriptedSeams s;
        const auto result = applyPartChoice(line, c.part, false, c.choice, 90, s.messages);
        ASSERT_TRUE(result);
        EXPECT_EQ(widths(*result), c.widths);
        const ReportPart& part = (*result)[static_cast<size_t>(c.part - 1)];
        EXPECT_EQ(part.item, c.item);
        EXPECT_EQ(part.fieldNo, c.fieldNo);
        EXPECT_EQ(part.labelText, c.labelText);
    }
}

TEST(ReportDesign, TotalsPartsTakeTheTotalNamesAndBadWidthsAreRefused) {
    testsupport::ScriptedSeams s;
    const auto totals = applyPartChoice(emptyLine(), 1, true,
                                        {PartChoice::Kind::Field, {}, 3, "12"}, 120, s.messages);
    ASSERT_TRUE(totals);
    EXPECT_EQ((*totals)[0].item, "High Market");
    EXPECT_EQ((*totals)[0].fieldNo, 4);
    EXPECT_EQ(widths(*totals), (std::vector<int>{12, 108}));
    for (const char* text : {"abc", "-3", ""}) {
        s.messages.expect("Error", kInvalidWidthMessage, db::MessageAnswer::Ok);
        EXPECT_FALSE(applyPartChoice(emptyLine(), 1, false,
                                     {PartChoice::Kind::Filler, {}, -1, text}, 90, s.messages));
    }
}

} // namespace
