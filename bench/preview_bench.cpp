// The preview on a big report: how long the file engine takes to store 200 pages, the file
// preview to read the store, and a page to be drawn at each zoom (the time between a zoom or
// page command and the new bitmap being handed to the scroll box).
//
//     preview_bench [pages] [--out DIR]   (default 200 pages; runs on the offscreen platform)
//
// With --out, also writes page 1 as the preview draws it at 100 % and at whole-page zoom
// (preview_100.png, preview_page.png) and the first three pages printed to report.pdf, to be
// looked at.

#include "report_engine/file_preview.h"
#include "report_engine/pdf_file_device.h"
#include "report_engine/report_filer.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

using namespace report_engine;

// A scroll box that only keeps the bitmap: what is timed is the engine's drawing.
class BitmapBox : public PreviewScrollBox {
public:
    QSize outerSize() const override { return {1000, 700}; }
    int frameThickness() const override { return 1; }
    QSize clientSize() const override { return {998, 698}; }
    int verticalScrollBarWidth() const override { return 15; }
    int horizontalScrollBarHeight() const override { return 15; }
    double dotsPerInch() const override { return 96; }
    QPoint scrollPosition() const override { return position; }
    void setScrollPosition(QPoint p) override { position = p; }
    void showBitmap(const QImage& bitmap) override { pixels += bitmap.width() * bitmap.height(); }
    QPoint position;
    qint64 pixels = 0;
};

// A list report as the status window prints it: titles, a boxed column header row, 50 body
// lines of seven cells with box lines, a shaded totals line and the footer.
void bookList(TBaseReport& r, int pages) {
    r.SetMarginLeft(0.5);
    r.SetMarginRight(0.5);
    r.SetMarginTop(0.5);
    r.SetMarginBottom(0.5);
    r.SetLineHeightMethod(LineHeightMethod::lhmFont);
    const double widths[] = {2.2, 1.6, 1.0, 0.6, 0.8, 0.6, 0.7};
    const auto setCells = [&](Justify justify, int lines, int shade) {
        r.ClearTabs();
        for (double width : widths)
            r.SetTab(kTabContinue, justify, width, 2, lines, shade);
    };
    r.OnPrintHeader = [](TBaseReport& e) {
        e.SetSectionTop(0.5);
        e.SetSectionBottom(1.25);
        e.SetFont(QStringLiteral("Arial"), 14);
        e.SetBold(true);
        e.PrintCenter(QStringLiteral("Books by Author"), e.PageWidth() / 2);
        e.NewLine();
        e.SetFont(QStringLiteral("Arial"), 10);
        e.PrintCenter(QStringLiteral("The whole collection"), e.PageWidth() / 2);
        e.NewLine();
    };
    r.OnPrintPage = [=](TBaseReport& e, int page) {
        e.Home();
        e.SetSectionTop(1.25);
        e.SetSectionBottom(e.PageHeight() - 1.25);
        e.SetFont(QStringLiteral("Arial"), 9);
        e.SetBold(true);
        setCells(Justify::Center, BoxAll, 0);
        e.PrintLn(QStringLiteral("\tTitle\tAuthor\tPublisher\tYear\tCost\tPages\tCondition"));
        e.SetFont(QStringLiteral("Arial"), 9);
        setCells(Justify::Left, BoxLeft | BoxRight, 0);
        for (int line = 0; line < 50 && e.LinesLeft() > 2; ++line)
            e.PrintLn(
                QStringLiteral("\tThe Collected Stories of No. %1\tHemingway, Ernest\tScribner"
                               "\t19%2\t$%3.50\t%4\tFine")
                    .arg(page * 50 + line)
                    .arg(line + 10)
                    .arg(line * 3 + 7)
                    .arg(200 + line));
        setCells(Justify::Right, BoxAll, 15);
        e.PrintLn(QStringLiteral("\tTOTALS\t\t\t\t$1,234.50\t\t"));
        return page < pages;
    };
    r.OnPrintFooter = [](TBaseReport& e) {
        e.SetSectionTop(e.PageHeight() - 1.0);
        e.SetSectionBottom(e.PageHeight() - 0.5);
        e.SetFont(QStringLiteral("Arial"), 8);
        e.PrintInSection(QStringLiteral("Page %1").arg(e.CurrentPage()), Justify::Left);
        e.PrintInSection(QStringLiteral("12/08/26"), Justify::Right);
    };
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    int pages = 200;
    QString out;
    for (int i = 1; i < argc; ++i) {
        if (QByteArray(argv[i]) == "--out" && i + 1 < argc)
            out = QString::fromLocal8Bit(argv[++i]);
        else
            pages = std::max(1, atoi(argv[i]));
    }

    QBuffer store;
    TReportFiler filer;
    filer.SetStream(&store);
    bookList(filer, pages);
    QElapsedTimer timer;
    timer.start();
    filer.Execute();
    std::printf("{\"op\": \"store_pages\", \"pages\": %d, \"ms\": %.1f, \"bytes\": %lld}\n",
                filer.PagesWritten(), timer.nsecsElapsed() / 1e6,
                static_cast<long long>(store.data().size()));

    BitmapBox box;
    TFilePreview preview;
    preview.SetStream(&store);
    preview.SetScrollBox(&box);
    preview.MarginPercent = 2.5;
    timer.restart();
    preview.Start();
    std::printf("{\"op\": \"start_preview\", \"pages\": %d, \"ms\": %.1f}\n", preview.Pages(),
                timer.nsecsElapsed() / 1e6);

    for (double zoom : {10.0, 25.0, 50.0, 75.0, 100.0, 150.0, 200.0}) {
        preview.SetZoomFactor(zoom);
        std::vector<double> times;
        // Every tenth page, and the last, at this zoom.
        for (int page = 1; page <= preview.Pages(); page += std::max(1, preview.Pages() / 20)) {
            timer.restart();
            preview.PrintPage(page);
            times.push_back(timer.nsecsElapsed() / 1e6);
        }
        std::printf("{\"op\": \"draw_page\", \"zoom\": %.0f, \"pages_drawn\": %zu, "
                    "\"median_ms\": %.2f, \"max_ms\": %.2f, \"bitmap\": \"%dx%d\"}\n",
                    zoom, times.size(), median(times),
                    *std::max_element(times.begin(), times.end()), preview.PageBitmap().width(),
                    preview.PageBitmap().height());
    }
    if (!out.isEmpty()) {
        preview.SetZoomFactor(100);
        preview.PrintPage(1);
        preview.PageBitmap().save(out + QStringLiteral("/preview_100.png"));
        preview.SetZoomFactor(preview.ZoomPageFactor());
        preview.PageBitmap().save(out + QStringLiteral("/preview_page.png"));
        PdfFileDevice pdf(out + QStringLiteral("/report.pdf"), QPageSize(QPageSize::Letter));
        TFilePrinter printer;
        printer.SetStream(&store);
        printer.SetPrinter(&pdf);
        printer.PrintRange(1, 3);
    }
    return 0;
}
