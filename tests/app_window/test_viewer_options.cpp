#include "app/viewer_columns.h"
#include "support_main_window.h"
#include "widgets/record_grid.h"

namespace {

using testsupport::child;
using testsupport::MainWindowTest;

std::vector<int> fieldNumbers(const std::vector<widgets::ColumnDef>& columns) {
    std::vector<int> numbers;
    for (const widgets::ColumnDef& column : columns)
        numbers.push_back(column.fieldIndex + 1);
    return numbers;
}

TEST(ViewerColumns, FollowFieldOrderLeavingOutHiddenFields) {
    app::Settings settings;
    std::vector<int> expected;
    for (int number = 1; number <= db::kFieldCount; ++number)
        expected.push_back(number);
    EXPECT_EQ(fieldNumbers(app::viewerColumns(settings)), expected);

    // Author first, Title third, Publisher hidden.
    settings.field(2).order = 1;
    settings.field(1).order = 3;
    settings.field(3).order = 2;
    settings.field(4).displayed = false;
    settings.field(2).label = "Writer";
    settings.field(2).width = 30;
    const auto columns = app::viewerColumns(settings);
    ASSERT_GE(columns.size(), 4u);
    EXPECT_EQ(fieldNumbers(columns).size(), 35u);
    EXPECT_EQ((std::vector<int>{columns[0].fieldIndex + 1, columns[1].fieldIndex + 1,
                                columns[2].fieldIndex + 1, columns[3].fieldIndex + 1}),
              (std::vector<int>{2, 3, 1, 5}));
    EXPECT_EQ(columns[0].title, "Writer");
    EXPECT_EQ(columns[0].widthChars, 30);
}

TEST(ViewerColumns, BrokenOrdersNeverShowAFieldTwiceNorLoseOne) {
    app::Settings settings;
    for (int number = 1; number <= db::kFieldCount; ++number)
        settings.field(number).order = 7; // every field claims position 7
    const auto numbers = fieldNumbers(app::viewerColumns(settings));
    ASSERT_EQ(numbers.size(), static_cast<size_t>(db::kFieldCount));
    EXPECT_EQ(numbers[0], 1); // positions nobody claims fall back to field 1
    std::vector<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < db::kFieldCount; ++i)
        EXPECT_EQ(sorted[static_cast<size_t>(i)], i + 1);
}

using ViewerOptions = MainWindowTest;

TEST_F(ViewerOptions, GridTakesTheStoredColumnsAndOptions) {
    writeSettings("[Field Names]\r\nAuthor=Writer\r\n"
                  "[Display Fields]\r\nTitle=No\r\n"
                  "[Field Order]\r\nAuthor=1\r\nTitle=2\r\n"
                  "[Grid Options]\r\nField Editing=Yes\r\nRow Lines=No\r\n"
                  "Cell Color=16777215\r\n"
                  "[Grid Title]\r\nAlignment=3\r\n");
    auto window = startWindow();
    auto& grid = *child<widgets::RecordGrid>(*window, "ViewerGrid");
    EXPECT_EQ(grid.model()->columnCount(), db::kFieldCount - 1);
    EXPECT_EQ(grid.model()->headerData(0, Qt::Horizontal).toString(), "Writer");
    EXPECT_EQ(grid.bookModel().fieldIndexAt(0), 1);
    const widgets::GridOptions& options = grid.options();
    EXPECT_TRUE(options.editing);
    EXPECT_FALSE(options.rowLines);
    EXPECT_TRUE(options.columnLines);
    EXPECT_EQ(options.cellColour, QColor(255, 255, 255));
    EXPECT_EQ(options.titleColour, QColor(130, 130, 130));
    EXPECT_EQ(options.titleAlignment, 3);
    EXPECT_EQ(options.titleFont.pointSize(), 12);
    EXPECT_EQ(options.cellFont.pointSize(), 10);

    // A changed configuration takes effect when the options are applied again.
    window->settings().field(1).displayed = true;
    window->settings().gridFieldEditing = false;
    window->settings().gridFont.size = 14;
    window->settings().gridFont.bold = true;
    window->SetViewerOptions();
    EXPECT_EQ(grid.model()->columnCount(), db::kFieldCount);
    EXPECT_FALSE(grid.options().editing);
    EXPECT_EQ(grid.options().cellFont.pointSize(), 14);
    EXPECT_TRUE(grid.options().cellFont.bold());
}

} // namespace
