#include "app/table_maintenance_window.h"

#include "db/book_database.h"
#include "db/field_catalogue.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"
#include "widgets/progress_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QProcess>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

using db::MaintenanceResult;
using db::MessageAnswer;

const int kAuthor = db::fieldNumberByName("Author") - 1;

// The main window as the maintenance commands see it.
class FakeMain : public app::MaintenanceHost {
public:
    explicit FakeMain(widgets::Seams& seams) : seams_(seams) {}
    QWidget* hostWindow() override { return &window; }
    table::Table& bookTable() override { return books; }
    widgets::Seams& seams() override { return seams_; }
    db::PickLists& pickLists() override { return lists; }
    app::TMyEditBox::Look configureWindowLook() override { return {}; }
    void SetViewerOptions() override { ++viewerOptions; }
    void DisplayCount() override {
        ++counts;
        shownCount = books.isOpen() ? books.recordCount() : 0;
    }

    QWidget window;
    table::Table books;
    db::PickLists lists;
    int viewerOptions = 0;
    int counts = 0;
    uint32_t shownCount = 0;

private:
    widgets::Seams& seams_;
};

class MaintenanceWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = QString::fromStdString(dir.file("MASTER.DBF"));
        ASSERT_TRUE(db::makeNewTable(path, seams.messages));
        db::pointTableAt(main.books, path);
        db::installIndex(main.books, db::buildSortExpression({2, 0, 0, 0}));
        main.books.selectTag(db::kIndexTag);
        main.books.open();
        for (const char* author : {"Woolf", "Austen", "Hardy", "Byron"}) {
            main.books.append();
            main.books.setText(kAuthor, author);
            main.books.post();
        }
        main.books.first();
        main.books.deleteRecord(); // Austen
    }

    testsupport::TempDir dir;
    QString path;
    testsupport::ScriptedSeams seams;
    FakeMain main{seams.seams};
};

TEST_F(MaintenanceWindowTest, PackAndRebuildReopenTheTableAndShowTheCount) {
    seams.messages.expect("Confirm", db::kPackQuestion, MessageAnswer::Yes);
    seams.messages.expect("Confirm", db::kRebuildQuestion, MessageAnswer::Yes);
    EXPECT_EQ(app::runPackDatabase(main), MaintenanceResult::Done);
    EXPECT_EQ(app::runRebuildIndexes(main), MaintenanceResult::Done);
    seams.messages.verifyAllShown();
    EXPECT_EQ(main.viewerOptions, 2);
    EXPECT_EQ(main.counts, 2);
    EXPECT_EQ(main.shownCount, 3u);
    EXPECT_EQ(main.books.header().recordCount, 3u);
    main.books.first();
    EXPECT_EQ(main.books.asText(kAuthor), "Byron");

    seams.messages.expect("Confirm", db::kPackQuestion, MessageAnswer::No);
    EXPECT_EQ(app::runPackDatabase(main), MaintenanceResult::Cancelled);
    EXPECT_EQ(main.counts, 2);
}

TEST_F(MaintenanceWindowTest, AnotherCopyOfTheProgramHoldingTheTableStopsThePack) {
    QProcess holder;
    holder.start(QStringLiteral(VOLUMARA_BIN_DIR "/table_child"),
                 {QStringLiteral("hold"), path, QStringLiteral("shared")});
    ASSERT_TRUE(holder.waitForStarted(10000));
    ASSERT_TRUE(holder.waitForReadyRead(10000));

    seams.messages.expect("Confirm", db::kPackQuestion, MessageAnswer::Yes);
    seams.messages.expect("Error", db::kPackNeedsExclusiveMessage, MessageAnswer::Ok);
    seams.messages.expect("Confirm", db::kRebuildQuestion, MessageAnswer::Yes);
    seams.messages.expect("Error", db::kReindexNeedsExclusiveMessage, MessageAnswer::Ok);
    EXPECT_EQ(app::runPackDatabase(main), MaintenanceResult::Failed);
    EXPECT_EQ(app::runRebuildIndexes(main), MaintenanceResult::Failed);
    seams.messages.verifyAllShown();
    EXPECT_TRUE(main.books.isOpen());
    EXPECT_EQ(main.shownCount, 3u);
    EXPECT_EQ(main.books.header().recordCount, 4u) << "nothing packed";
}

TEST(ProgressRunner, KeepsTheEventLoopRunningAndRethrowsTheWorkersError) {
    QWidget parent;
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    double lastReported = -1;
    widgets::runWithProgress(&parent, "Working...", [&](const table::Progress& progress) {
        for (int step = 1; step <= 10; ++step) {
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
            progress(step / 10.0);
            lastReported = step / 10.0;
        }
    });
    EXPECT_EQ(lastReported, 1.0);
    EXPECT_GE(ticks, 5) << "the program's windows went on being served during the work";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the progress window is gone";

    EXPECT_THROW(
        widgets::runWithProgress(&parent, "Failing...",
                                 [](const table::Progress&) { throw table::TableError("broken"); }),
        table::TableError);
}

} // namespace
