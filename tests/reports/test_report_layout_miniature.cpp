// The miniature of page 1 in the layout window: what it shows when the window opens, how it
// follows changes of the working copy without touching the report file or the grid's record,
// and how the part window opened from the layout is scaled and dressed.

#include "report_engine/page_store.h"
#include "reports/report_builtins.h"
#include "reports/report_designer_window.h"
#include "reports/report_file.h"
#include "reports/report_layout_window.h"
#include "reports/report_miniature.h"
#include "reports/report_part_window.h"
#include "support/gui/modal.h"
#include "support/gui/scripted_seams.h"
#include "support_designer.h"
#include "support_report_books.h"

#include "table/date_format.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {

using namespace reports;
using reporttest::child;
using reporttest::clickBox;
using Host = reporttest::DesignerHost;

constexpr db::SortLevels kByTitle{1, 0, 0, 0};

// The texts drawn on page 1 of the miniature's store.
QStringList pageTexts(const ReportMiniature& miniature) {
    const auto store = report_engine::PageStore::read(miniature.pageStore());
    EXPECT_EQ(store.pageCount(), 1);
    QStringList texts;
    if (store.pageCount() < 1)
        return texts;
    for (const auto& op : store.page(1))
        if (const auto* text = std::get_if<report_engine::store::Text>(&op))
            texts.append(text->text);
    return texts;
}

class LayoutMiniature : public ::testing::Test {
protected:
    void SetUp() override {
        table::setCurrentDateFormat(table::DateFormat{});
        ASSERT_TRUE(createReportFileIfMissing(host_.programDirectory()));
    }
    void openBooks(const std::vector<reporttest::Book>& books) {
        reporttest::openBookTable(host_.table, dir_, books, kByTitle);
    }
    QByteArray reportFileBytes() const {
        QFile file(reportFilePath(host_.programDirectory()));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Opens the layout from a definition window on the file's first report ("Title 59, YearPub
    // 5, Author 27" at 90) and runs `inLayout` in it once the miniature has shown page 1.
    void withLayout(const std::function<void(TUserReport&)>& beforeOpening,
                    const std::function<void(TRepLayout&)>& inLayout) {
        ReportDefinition definition = *ReportFile(reportFilePath(host_.programDirectory())).load(0);
        TUserReport window(nullptr, s_.seams, host_, definition, 0);
        beforeOpening(window);
        bool opened = false;
        testsupport::whenModalAppears(
            [&](QWidget* dialog) {
                auto* layout = qobject_cast<TRepLayout*>(dialog);
                ASSERT_NE(layout, nullptr);
                ASSERT_NE(layout->miniature(), nullptr);
                opened = true;
                // The engine lets events through while it runs, this one too: wait for the
                // first run from a timer of its own rather than inside whatever is running.
                auto* poll = new QTimer(layout);
                QObject::connect(poll, &QTimer::timeout, layout, [layout, poll, &inLayout] {
                    if (layout->miniature()->runs() < 1)
                        return;
                    poll->stop();
                    inLayout(*layout);
                    layout->reject();
                });
                poll->start(5);
            },
            15000);
        window.SpecifyButtonClick();
        EXPECT_TRUE(opened);
    }

    testsupport::TempDir dir_;
    Host host_{QString::fromStdString(dir_.path().string()), kByTitle};
    testsupport::ScriptedSeams s_;
};

TEST_F(LayoutMiniature, OpensOnPageOneAsTheDefinitionWindowStands) {
    openBooks({{{"Title", "Emma"}}, {{"Title", "Ulysses"}}, {{"Title", "Beloved"}}});
    host_.table.first();
    host_.table.next();
    const uint32_t current = host_.table.recordNumber();
    const QByteArray fileBefore = reportFileBytes();
    withLayout(
        [](TUserReport& window) { // typed, not saved
            window.findChild<QLineEdit*>(QStringLiteral("Title1"))
                ->setText(QStringLiteral("Shelf List"));
        },
        [](TRepLayout& layout) {
            const ReportMiniature& miniature = *layout.miniature();
            EXPECT_EQ(miniature.caption(), "Page 1 as it will print");
            EXPECT_FALSE(miniature.pageImage().isNull());
            const QStringList texts = pageTexts(miniature);
            for (const char* expected : {"Shelf List", "Title", "Beloved", "Emma", "Ulysses"})
                EXPECT_TRUE(texts.contains(QString::fromLatin1(expected)))
                    << expected << " in " << texts.join('|').toStdString();
        });
    EXPECT_EQ(host_.table.recordNumber(), current);
    EXPECT_FALSE(host_.table.observersSuspended());
    EXPECT_EQ(reportFileBytes(), fileBefore);
}

TEST_F(LayoutMiniature, EmptyTableShowsTheHeadersAndNoTableSaysSo) {
    withLayout([](TUserReport&) {},
               [](TRepLayout& layout) {
                   EXPECT_EQ(layout.miniature()->caption(), "No book table is open.");
                   EXPECT_TRUE(layout.miniature()->pageImage().isNull());
               });
    openBooks({});
    withLayout([](TUserReport&) {},
               [](TRepLayout& layout) {
                   const QStringList texts = pageTexts(*layout.miniature());
                   EXPECT_TRUE(texts.contains(QStringLiteral("Title")));
                   EXPECT_TRUE(texts.contains(QStringLiteral("Page 1")));
               });
}

// A part changed through the part window's OK shows once the changes pause, not at once.
TEST_F(LayoutMiniature, PartChangesShowInTheMiniature) {
    openBooks({{{"Title", "Emma"}, {"YearPub", "1815"}}});
    withLayout([](TUserReport&) {},
               [](TRepLayout& layout) {
                   ReportMiniature& miniature = *layout.miniature();
                   const QImage before = miniature.pageImage();
                   testsupport::whenModalAppears([](QWidget* part) {
                       part->findChild<QRadioButton*>(QStringLiteral("LabelButton"))->click();
                       part->findChild<QLineEdit*>(QStringLiteral("LabelName"))
                           ->setText(QStringLiteral("Zebra:"));
                       part->findChild<QLineEdit*>(QStringLiteral("FieldWidth"))
                           ->setText(QStringLiteral("20"));
                       testsupport::clickButton(part, QStringLiteral("Ok"));
                   });
                   clickBox(layout, 1, 1);
                   EXPECT_TRUE(miniature.refreshPending());
                   EXPECT_EQ(miniature.runs(), 1);
                   ASSERT_TRUE(QTest::qWaitFor([&] { return miniature.runs() == 2; }, 10000));
                   EXPECT_NE(miniature.pageImage(), before);
                   EXPECT_TRUE(pageTexts(miniature).contains(QStringLiteral("Zebra:")));
               });
}

// Typing in the part window shows the part on trial once the typing pauses, in one run; Cancel
// takes the miniature back to the working copy.
TEST_F(LayoutMiniature, TypingInThePartWindowShowsOnTrialUntilCancel) {
    openBooks({{{"Title", "Emma"}}});
    withLayout([](TUserReport&) {},
               [](TRepLayout& layout) {
                   ReportMiniature& miniature = *layout.miniature();
                   testsupport::whenModalAppears([&](QWidget* part) {
                       part->findChild<QRadioButton*>(QStringLiteral("LabelButton"))->click();
                       auto* label = part->findChild<QLineEdit*>(QStringLiteral("LabelName"));
                       for (const char* typed : {"Z", "Ze", "Zeb", "Zebra"})
                           label->setText(QString::fromLatin1(typed));
                       part->findChild<QLineEdit*>(QStringLiteral("FieldWidth"))
                           ->setText(QStringLiteral("x")); // not a width: no run for it
                       EXPECT_EQ(miniature.runs(), 1);
                       ASSERT_TRUE(QTest::qWaitFor([&] { return miniature.runs() == 2; }, 10000));
                       QTest::qWait(2 * ReportMiniature::kSettleMilliseconds);
                       EXPECT_EQ(miniature.runs(), 2);
                       EXPECT_TRUE(pageTexts(miniature).contains(QStringLiteral("Zebra")));
                       testsupport::clickButton(part, QStringLiteral("Cancel"));
                   });
                   clickBox(layout, 1, 1);
                   ASSERT_TRUE(QTest::qWaitFor([&] { return miniature.runs() == 3; }, 10000));
                   EXPECT_FALSE(pageTexts(miniature).contains(QStringLiteral("Zebra")));
                   EXPECT_TRUE(pageTexts(miniature).contains(QStringLiteral("Emma")));
               });
}

TEST_F(LayoutMiniature, PartWindowIsScaledAndTakesTheUserFonts) {
    host_.factor = 1.6;
    host_.fonts.label = QFont(QStringLiteral("DejaVu Serif"));
    ReportLine line{};
    line[0].item = QStringLiteral("Title");
    line[0].width = 90;
    const QSize designed = TReportPart(nullptr, s_.seams, host_.settings(), line, 1, 1, 90).size();
    withLayout(
        [](TUserReport&) {},
        [&](TRepLayout& layout) {
            QSize shown;
            QString family;
            testsupport::whenModalAppears([&](QWidget* part) {
                shown = part->size();
                family =
                    part->findChild<QRadioButton*>(QStringLiteral("FieldButton"))->font().family();
                testsupport::clickButton(part, QStringLiteral("Cancel"));
            });
            clickBox(layout, 1, 1);
            EXPECT_EQ(shown, designed * 1.6);
            EXPECT_EQ(family, "DejaVu Serif");
        });
}

} // namespace
