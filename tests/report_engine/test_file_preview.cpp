// The file preview without a window: starting, zoom limits and the fitting zooms.

#include "support_report_engine.h"

#include "report_engine/file_preview.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

using namespace report_engine;

class FixedBox : public PreviewScrollBox {
public:
    QSize outerSize() const override { return outer; }
    int frameThickness() const override { return 2; }
    QSize clientSize() const override { return outer - QSize(4, 4); }
    int verticalScrollBarWidth() const override { return 16; }
    int horizontalScrollBarHeight() const override { return 16; }
    double dotsPerInch() const override { return 96; }
    QPoint scrollPosition() const override { return position; }
    void setScrollPosition(QPoint p) override {
        position = p;
        positions.push_back(p);
    }
    void showBitmap(const QImage& bitmap) override { shown = bitmap.size(); }
    QSize outer{900, 700};
    QPoint position;
    std::vector<QPoint> positions;
    QSize shown;
};

class FilePreview : public ::testing::Test {
protected:
    void SetUp() override {
        bytes = testsupport::numberedStore(3);
        buffer.setData(bytes);
        preview.SetStream(&buffer);
        preview.SetScrollBox(&box);
        preview.MarginPercent = 2.5;
    }
    QByteArray bytes;
    QBuffer buffer;
    FixedBox box;
    TFilePreview preview;
};

TEST_F(FilePreview, NeedsAScrollBoxAndAStartBeforeDrawing) {
    TFilePreview bare;
    bare.SetStream(&buffer);
    try {
        bare.Start();
        FAIL();
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("ScrollBox must be assigned for FilePreview component"));
    }
    try {
        preview.PrintPage(1);
        FAIL();
    } catch (const EReportPrinter& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Error!  Canvas not yet active."));
    }
}

TEST_F(FilePreview, ZoomIsClampedAndAnnouncedOrRedrawn) {
    preview.Start();
    int announced = 0;
    const struct {
        double set;
        double got;
    } cases[] = {{5, 10}, {250, 200}, {10, 10}, {200, 200}, {33.3, 33.3}, {-1, 10}};
    for (const auto& c : cases) {
        preview.SetZoomFactor(c.set);
        EXPECT_DOUBLE_EQ(preview.ZoomFactor(), c.got) << c.set;
    }
    // Without a handler the page is drawn again at the new zoom.
    preview.SetZoomFactor(50);
    const int margin = qRound(816 * 0.025);
    EXPECT_EQ(box.shown, QSize(408 + 2 * margin, 528 + 2 * margin));
    preview.OnZoomChange = [&](TFilePreview&) { ++announced; };
    preview.ZoomIn();
    EXPECT_EQ(announced, 1);
    EXPECT_DOUBLE_EQ(preview.ZoomFactor(), 60);
    EXPECT_EQ(box.shown.width(), 408 + 2 * margin) << "the handler redraws, not the preview";
}

TEST_F(FilePreview, FittingZoomsFollowTheScrollBox) {
    preview.Start();
    const double margin = qRound(816 * 0.025); // 20 pixels
    // Whole page: the height limits a portrait page in a 900 x 700 box.
    EXPECT_DOUBLE_EQ(preview.ZoomPageFactor(), (700 - 4 - 2 * margin) / 1056.0 * 100);
    // Page width: the page is then taller than the box, so the scroll bar's width is left.
    EXPECT_DOUBLE_EQ(preview.ZoomPageWidthFactor(), (900 - 4 - 2 * margin - 16) / 816.0 * 100);
    box.outer = QSize(300, 2000);
    EXPECT_DOUBLE_EQ(preview.ZoomPageWidthFactor(), (300 - 4 - 2 * margin) / 816.0 * 100);
}

TEST_F(FilePreview, PagesChangeWithinTheStoreAndKeepTheScrollPosition) {
    std::vector<int> changes;
    preview.OnPageChange = [&](TFilePreview& p) { changes.push_back(p.CurrentPage()); };
    preview.Start();
    box.position = QPoint(5, 40);
    preview.PrevPage();
    preview.NextPage();
    preview.NextPage();
    preview.NextPage();
    preview.PrintPage(7);
    EXPECT_EQ(changes, (std::vector<int>{1, 2, 3, 3}));
    EXPECT_EQ(box.position, QPoint(5, 40));
    preview.Stop();
    EXPECT_FALSE(preview.Started());
    EXPECT_TRUE(preview.PageBitmap().isNull());
}

} // namespace
