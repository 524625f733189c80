// The report designer's windows driven as a user drives them: the definition window's controls
// and their enabling, width changes, the number-of-lines check, saving with the rename question,
// delete, the fonts window, clicks on the layout's boxes opening the part window, and a new
// report designed, saved and run to a text file.

#include "reports/report_builtins.h"
#include "reports/report_design.h"
#include "reports/report_designer_window.h"
#include "reports/report_file.h"
#include "reports/report_fonts_window.h"
#include "reports/report_layout_window.h"
#include "reports/report_selection.h"
#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_designer.h"
#include "support_report_books.h"

#include "table/date_format.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

using namespace reports;
using reporttest::child;
using reporttest::clickBox;
using Host = reporttest::DesignerHost;

void typeInto(QWidget* window, const char* name, const QString& text) {
    auto* edit = child<QLineEdit>(window, name);
    edit->setText(text);
    emit edit->editingFinished();
}

std::vector<int> widths(const ReportLine& line) {
    std::vector<int> result;
    for (int i = 0; i < usedPartCount(line); ++i)
        result.push_back(line[static_cast<size_t>(i)].width);
    return result;
}

void setPart(ReportLine& line, int part, const char* item, int width) {
    ReportPart& target = line[static_cast<size_t>(part - 1)];
    target.item = QString::fromLatin1(item);
    target.fieldNo = bodyFieldNumberFor(target.item);
    target.width = width;
}

class Designer : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(createReportFileIfMissing(host_.programDirectory())); }
    ReportFile file() const { return ReportFile(reportFilePath(host_.programDirectory())); }

    testsupport::TempDir dir_;
    Host host_{QString::fromStdString(dir_.path().string())};
    testsupport::ScriptedSeams s_;
};

TEST_F(Designer, OpensWithTheDefinitionAndEnablesByItsSettings) {
    ReportDefinition definition = newReportDefinition();
    definition.groupLevel1 = false;
    definition.groupLevel2 = true;
    TUserReport window(nullptr, s_.seams, host_, definition, std::nullopt);
    EXPECT_EQ(window.windowTitle(), "Report Definition");
    EXPECT_TRUE(child<QRadioButton>(&window, "Chars90")->isChecked());
    EXPECT_EQ(child<QLineEdit>(&window, "TitleLineFont")->text(), "Courier New 10pt");
    EXPECT_EQ(child<QLineEdit>(&window, "TopMargin")->text(), "0.50");
    EXPECT_FALSE(child<QPushButton>(&window, "DeleteButton")->isEnabled());
    auto* level2 = child<QCheckBox>(&window, "Level2Group");
    EXPECT_FALSE(level2->isEnabled());
    EXPECT_FALSE(level2->isChecked());
    child<QCheckBox>(&window, "Level1Group")->click();
    EXPECT_TRUE(level2->isEnabled());

    auto* headers = child<QCheckBox>(&window, "ColumnHeaders");
    EXPECT_TRUE(headers->isEnabled());
    typeInto(&window, "NumLines", " 3");
    EXPECT_EQ(definition.numLines, 3);
    EXPECT_EQ(child<QLineEdit>(&window, "NumLines")->text(), "3");
    EXPECT_FALSE(headers->isEnabled());
    EXPECT_TRUE(headers->isChecked());

    typeInto(&window, "LeftMargin", "abc");
    EXPECT_EQ(child<QLineEdit>(&window, "LeftMargin")->text(), "0.50");
    typeInto(&window, "LeftMargin", "0.7");
    EXPECT_EQ(child<QLineEdit>(&window, "LeftMargin")->text(), "0.70");
    EXPECT_EQ(definition.leftMargin, 0.7);
}

TEST_F(Designer, WidthButtonsAskFitAndGoBackOnNo) {
    ReportDefinition definition = *file().load(0); // Title 59, YearPub 5, Author 27 at 90
    TUserReport window(nullptr, s_.seams, host_, definition, 0);
    s_.messages.expect("Notice", kBody8Notice, db::MessageAnswer::Ok);
    child<QRadioButton>(&window, "Chars120")->click();
    EXPECT_EQ(widths(definition.line(1)), (std::vector<int>{59, 5, 27, 29}));
    EXPECT_EQ(child<QLineEdit>(&window, "RepBodyDataFont")->text(), "Arial 8pt");

    s_.messages.expect("Warning", kTo90Question, db::MessageAnswer::No);
    child<QRadioButton>(&window, "Chars90")->click();
    EXPECT_TRUE(child<QRadioButton>(&window, "Chars120")->isChecked());
    EXPECT_EQ(window.designWidth(), 120);
    EXPECT_EQ(definition.width, 120);
}

TEST_F(Designer, NumberOfLinesOutOfRangeStopsUpdateAndSpecify) {
    const QStringList before = file().list();
    for (const char* text : {"13", "-1"}) {
        ReportDefinition definition = newReportDefinition();
        TUserReport window(nullptr, s_.seams, host_, definition, std::nullopt);
        child<QLineEdit>(&window, "NumLines")->setText(QString::fromLatin1(text));
        s_.messages.expect("Notice", kNumLinesRangeMessage, db::MessageAnswer::Ok);
        window.UpdateButtonClick();
        s_.messages.expect("Notice", kNumLinesRangeMessage, db::MessageAnswer::Ok);
        window.SpecifyButtonClick(); // a layout window would fail the test: nothing handles it
        s_.messages.verifyAllShown();
        EXPECT_FALSE(window.fileChanged());
    }
    EXPECT_EQ(file().list(), before);
}

TEST_F(Designer, RenamedReportsAreAppendedOnYesAndOverwrittenOnNo) {
    const QStringList builtins = file().list();
    for (const auto answer : {db::MessageAnswer::Yes, db::MessageAnswer::No}) {
        ReportDefinition definition = *file().load(1);
        TUserReport window(nullptr, s_.seams, host_, definition, 1);
        typeInto(&window, "ReportName", "  Renamed  ");
        EXPECT_FALSE(child<QPushButton>(&window, "DeleteButton")->isEnabled());
        s_.messages.expect("Warning", kRenameQuestion, answer);
        window.UpdateButtonClick();
        EXPECT_TRUE(window.fileChanged());
        EXPECT_EQ(window.selectedIndex(), answer == db::MessageAnswer::Yes ? 8 : 1);
    }
    QStringList expected = builtins;
    expected[1] = QStringLiteral("Renamed");
    expected.append(QStringLiteral("Renamed"));
    EXPECT_EQ(file().list(), expected);

    ReportDefinition definition = *file().load(1);
    TUserReport window(nullptr, s_.seams, host_, definition, 1);
    typeInto(&window, "ReportName", "Other");
    s_.messages.expect("Warning", kRenameQuestion, db::MessageAnswer::Cancel);
    window.UpdateButtonClick();
    EXPECT_FALSE(window.fileChanged());
    EXPECT_EQ(file().list(), expected);
}

TEST_F(Designer, DeleteRemovesTheReportAfterItsQuestion) {
    const QStringList before = file().list();
    ReportDefinition definition = *file().load(7);
    TUserReport window(nullptr, s_.seams, host_, definition, 7);
    s_.messages.expect("Warning", kDeleteQuestion, db::MessageAnswer::Yes);
    child<QPushButton>(&window, "DeleteButton")->click();
    EXPECT_EQ(file().list(), before.mid(0, 7));
    EXPECT_EQ(window.selectedIndex(), 6);
}

TEST_F(Designer, FontsWindowTakesTheChosenFont) {
    ReportDefinition definition = newReportDefinition();
    definition.font(FontSlotId::Body).color = 255;
    TUserReport window(nullptr, s_.seams, host_, definition, std::nullopt);
    QFont chosen(QStringLiteral("Arial"));
    chosen.setPointSize(12);
    chosen.setItalic(true);
    s_.fonts.answer(chosen);
    testsupport::whenModalAppears([](QWidget* dialog) {
        auto* fonts = qobject_cast<TReportFonts*>(dialog);
        ASSERT_NE(fonts, nullptr);
        EXPECT_EQ(fonts->fontEdit(FontSlotId::Title)->text(), "Courier New 10pt");
        child<QPushButton>(fonts, "BodyFontButton")->click();
        EXPECT_EQ(fonts->fontEdit(FontSlotId::Body)->text(), "Arial 12pt");
        testsupport::clickButton(fonts, QStringLiteral("Ok"));
    });
    window.SetFontsClick();
    EXPECT_EQ(s_.fonts.initialFonts.at(0).family(), "Courier New");
    EXPECT_EQ(child<QLineEdit>(&window, "RepBodyDataFont")->text(), "Arial 12pt");
    const FontSlot& body = definition.font(FontSlotId::Body);
    EXPECT_TRUE(body.italic);
    EXPECT_FALSE(body.bold);
    EXPECT_EQ(body.color, 255);
}

TEST_F(Designer, ClickingABoxOpensThatPartAndWidthZeroTakesTheRest) {
    ReportDefinition definition = *file().load(1); // "2 Line 120 Column Report"
    LayoutOptions options;
    options.designWidth = 120;
    options.showTotals = true;
    TRepLayout layout(nullptr, s_.seams, host_.settings(), definition, std::move(options));
    bool opened = false;
    testsupport::whenModalAppears([&](QWidget* dialog) {
        opened = true;
        EXPECT_EQ(dialog->windowTitle(), "Select Report Part");
        EXPECT_EQ(child<QLabel>(dialog, "SelectedPart")->text(), "Line 2, Item 3");
        EXPECT_TRUE(child<QRadioButton>(dialog, "FieldButton")->isChecked());
        EXPECT_EQ(child<QListWidget>(dialog, "FieldList")->currentItem()->text(), "Author");
        EXPECT_FALSE(child<QLineEdit>(dialog, "LabelName")->isEnabled());
        child<QLineEdit>(dialog, "FieldWidth")->setText(QStringLiteral("0"));
        testsupport::clickButton(dialog, QStringLiteral("Ok"));
    });
    clickBox(layout, 2, 3);
    EXPECT_TRUE(opened);
    EXPECT_EQ(widths(layout.workingCopy().line(2)), (std::vector<int>{7, 1, 112}));
    EXPECT_EQ(widths(definition.line(2)).size(), 9u); // only OK hands the copy back

    testsupport::whenModalAppears([&](QWidget* dialog) {
        EXPECT_EQ(child<QLabel>(dialog, "SelectedPart")->text(), "Totals Line, Item 1");
        EXPECT_TRUE(child<QRadioButton>(dialog, "LabelButton")->isChecked());
        EXPECT_EQ(child<QLineEdit>(dialog, "LabelName")->text(), "Cost:");
        EXPECT_FALSE(child<QListWidget>(dialog, "FieldList")->isEnabled());
        EXPECT_EQ(child<QListWidget>(dialog, "FieldList")->count(), 4);
        testsupport::clickButton(dialog, QStringLiteral("Cancel"));
    });
    clickBox(layout, kTotalsLineNumber, 1);

    // Pressed in one box and released in another: nothing opens.
    const auto& boxes = layout.boxes();
    QTest::mousePress(layout.drawingArea(), Qt::LeftButton, {}, boxes[0].rect.center());
    QTest::mouseRelease(layout.drawingArea(), Qt::LeftButton, {}, boxes[1].rect.center());

    testsupport::clickButton(&layout, QStringLiteral("Ok"));
    EXPECT_EQ(widths(definition.line(2)), (std::vector<int>{7, 1, 112}));
}

TEST(LayoutGeometry, BoxesAreScaledToTheDrawingAreaAndTheLastReachesTheEnd) {
    ReportDefinition definition;
    definition.numLines = 2;
    setPart(definition.line(1), 1, "Title", 60);
    setPart(definition.line(1), 2, "Author", 30);
    definition.line(1)[2].width = 0;
    for (const double scale : {1.0, 1.5}) {
        const LayoutGeometry geometry{scale};
        const auto boxes = layoutBoxes(definition, 120, false, geometry);
        ASSERT_EQ(boxes.size(), 3u);
        const double perCharacter = (geometry.right() - geometry.left()) / 120.0;
        EXPECT_EQ(boxes[0].rect.right(), geometry.left() + std::lround(perCharacter * 60));
        EXPECT_EQ(boxes[1].rect.right(), geometry.right()); // followed by a 0-width part
        EXPECT_EQ(boxes[2].line, 2);
        EXPECT_EQ(boxes[2].rect.top(), geometry.bodyTop() + geometry.lineHeight());
        const auto hit = boxAt(boxes, geometry, boxes[1].rect.center());
        ASSERT_TRUE(hit);
        EXPECT_EQ(hit->part, 2);
        EXPECT_FALSE(boxAt(boxes, geometry, {geometry.left() + 5, geometry.totalsTop() + 5}));
        EXPECT_FALSE(boxAt(boxes, geometry, {geometry.left() + 5, geometry.bodyTop() - 5}));
    }
    const QFontMetrics metrics{QFont(QStringLiteral("Arial"))};
    const QString shown = shortenToFit(QStringLiteral("Description of the book"), metrics, 40);
    EXPECT_LE(metrics.horizontalAdvance(shown), 40);
    EXPECT_TRUE(QStringLiteral("Description of the book").startsWith(shown));
}

// The room left for the page miniature never overlaps a band or the totals heading, and is the
// larger of the gap above the totals line and the space below the bands.
TEST(LayoutGeometry, FreeRoomAvoidsTheBandsAndTakesTheLargerSpace) {
    const struct {
        int numLines;
        bool totals;
        int height;
        double scale;
        bool between; // above the totals line
    } cases[] = {
        {2, true, 420, 1.0, true},  {12, true, 420, 1.0, false}, {10, true, 900, 1.0, false},
        {2, true, 900, 1.0, false}, {3, false, 300, 1.0, false}, {2, true, 840, 2.0, true},
    };
    ReportDefinition definition = builtInReports()[3]; // every line used
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.numLines << " lines, height " << c.height);
        definition.numLines = c.numLines;
        const LayoutGeometry geometry{c.scale};
        const QRect room = freeLayoutRoom(geometry, c.numLines, c.totals, c.height);
        EXPECT_EQ(room.left(), geometry.left());
        EXPECT_EQ(room.right(), geometry.right());
        EXPECT_LT(room.bottom(), c.height);
        for (const LayoutBox& box : layoutBoxes(definition, 90, c.totals, geometry))
            EXPECT_FALSE(room.intersects(box.rect)) << box.line;
        const int headingTop = geometry.totalsTop() - std::lround(20 * c.scale);
        if (c.totals) {
            EXPECT_EQ(room.bottom() < headingTop, c.between);
        }
        if (c.totals && !c.between) {
            EXPECT_GT(room.height(), c.height - geometry.totalsBottom() - 20);
        }
    }
}

} // namespace
