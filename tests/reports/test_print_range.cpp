// The page range dialog: its checks and its window.

#include "reports/print_range_check.h"
#include "reports/print_range_window.h"

#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"

#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using reports::PageRangeCheck;
using Field = PageRangeCheck::Field;

const char* const kStart = "Invalid Starting Page specified. Please correct.";
const char* const kEnd = "Invalid Ending Page specified.  Please correct.";

TEST(PageRangeCheck, StartAndEndMustLieInTheReport) {
    const struct {
        const char* start;
        const char* end;
        int pages;
        Field wrong;
        int first;
        int last;
    } cases[] = {
        {"1", "4", 4, Field::None, 1, 4},      {" 2 ", "3", 4, Field::None, 2, 3},
        {"3", "3", 4, Field::None, 3, 3},      {"0", "4", 4, Field::StartPage, 0, 0},
        {"5", "5", 4, Field::StartPage, 5, 0}, {"-1", "2", 4, Field::StartPage, -1, 0},
        {"x", "2", 4, Field::StartPage, 0, 0}, {"", "2", 4, Field::StartPage, 0, 0},
        {"3", "2", 4, Field::EndPage, 3, 2},   {"2", "5", 4, Field::EndPage, 2, 5},
        {"2", "abc", 4, Field::EndPage, 2, 0}, {"1", "1", 1, Field::None, 1, 1},
    };
    for (const auto& c : cases) {
        const PageRangeCheck check = reports::checkPageRange(QString::fromLatin1(c.start),
                                                             QString::fromLatin1(c.end), c.pages);
        const std::string label = std::string(c.start) + ".." + c.end;
        EXPECT_EQ(check.wrongField, c.wrong) << label;
        EXPECT_EQ(check.start, c.first) << label;
        if (c.wrong != Field::StartPage) {
            EXPECT_EQ(check.end, c.last) << label;
        }
        const char* message = c.wrong == Field::StartPage ? kStart
                              : c.wrong == Field::EndPage ? kEnd
                                                          : "";
        EXPECT_EQ(check.message, QString::fromLatin1(message)) << label;
    }
}

class PrintRangeWindow : public ::testing::Test {
protected:
    testsupport::ScriptedSeams s;
    app::Settings settings;
};

TEST_F(PrintRangeWindow, ProposesTheWholeReportAndConfirmsAGoodRange) {
    reports::TPrintRange dialog(nullptr, s.seams, settings, 7);
    testsupport::whenModalAppears([&](QWidget*) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Page Printing"));
        EXPECT_EQ(dialog.startPageEdit()->text(), QStringLiteral("1"));
        EXPECT_EQ(dialog.endPageEdit()->text(), QStringLiteral("7"));
        EXPECT_EQ(dialog.startPageEdit()->maxLength(), 3);
        EXPECT_EQ(dialog.endPageEdit()->maxLength(), 3);
        dialog.startPageEdit()->setText(QStringLiteral("2"));
        dialog.endPageEdit()->setText(QStringLiteral("5"));
        testsupport::clickButton(&dialog, QStringLiteral("Print"));
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(dialog.confirmed());
    EXPECT_EQ(dialog.startPage(), 2);
    EXPECT_EQ(dialog.endPage(), 5);
}

TEST_F(PrintRangeWindow, AWrongPageStaysOpenWithTheMessageAndFocusOnTheField) {
    reports::TPrintRange dialog(nullptr, s.seams, settings, 4);
    s.messages.expect("Error", kStart, db::MessageAnswer::Ok);
    s.messages.expect("Error", kEnd, db::MessageAnswer::Ok);
    testsupport::whenModalAppears([&](QWidget*) {
        dialog.startPageEdit()->setText(QStringLiteral("0"));
        testsupport::clickButton(&dialog, QStringLiteral("Print"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.startPageEdit()->hasFocus());
        dialog.startPageEdit()->setText(QStringLiteral("3"));
        dialog.endPageEdit()->setText(QStringLiteral("2"));
        testsupport::clickButton(&dialog, QStringLiteral("Print"));
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.endPageEdit()->hasFocus());
        testsupport::clickButton(&dialog, QStringLiteral("Cancel"));
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_FALSE(dialog.confirmed());
}

} // namespace
