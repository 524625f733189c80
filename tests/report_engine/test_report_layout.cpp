// Where the engine puts things: cells, captions, box lines and shading on a printed PDF and on
// a drawn page, the line cursor, units and text measurement.

#include "support/temp_dir.h"
#include "support_report_engine.h"

#include "report_engine/file_printer.h"
#include "report_engine/font_metrics.h"
#include "report_engine/page_store.h"
#include "report_engine/pdf_file_device.h"
#include "report_engine/report_filer.h"
#include "report_engine/report_printer.h"

#include <QFontDatabase>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

using namespace report_engine;

// One line of cells: a right-justified amount in a boxed cell at the left margin, a centred
// word in a shaded cell after it, and a caption centred on the page on the next line.
void cellsReport(TBaseReport& engine) {
    engine.SetMarginLeft(0.5);
    engine.SetMarginTop(0.5);
    engine.OnPrintPage = [](TBaseReport& r, int) {
        r.SetFont(QStringLiteral("Arial"), 10);
        r.SetTab(kTabContinue, Justify::Right, 2.0, 5, BoxAll, 0);
        r.SetTab(kTabContinue, Justify::Center, 2.0, 5, BoxLeft | BoxBottom, 20);
        r.PrintLn(QStringLiteral("\t12345.67\tMIDDLE"));
        r.PrintCenter(QStringLiteral("CAPTION"), r.PageWidth() / 2);
        r.NewLine();
        return false;
    };
}

class PdfLayout : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testsupport::haveProgram(QStringLiteral("pdftotext")))
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    }
    void expectCellsPlaced(const QString& pdf) {
        const auto words = testsupport::pdfWords(pdf);
        const testsupport::PdfWord* amount =
            testsupport::findWord(words, QStringLiteral("12345.67"));
        const testsupport::PdfWord* middle = testsupport::findWord(words, QStringLiteral("MIDDLE"));
        const testsupport::PdfWord* caption =
            testsupport::findWord(words, QStringLiteral("CAPTION"));
        ASSERT_TRUE(amount && middle && caption) << pdf.toStdString();
        // Right-justified: ends at the cell's right edge (0.5 + 2.0 in) minus the inner margin.
        EXPECT_NEAR(amount->xMax, (2.5 - 0.05) * 72, 0.8);
        // Centred on the middle of the second cell (2.5 + 1.0 in).
        EXPECT_NEAR((middle->xMin + middle->xMax) / 2, 3.5 * 72, 0.8);
        // Centred on the page (8.5 in wide).
        EXPECT_NEAR((caption->xMin + caption->xMax) / 2, 4.25 * 72, 0.8);
        // The caption is one line (1/6 in) below the cells.
        EXPECT_NEAR(caption->yMax - amount->yMax, 72.0 / 6, 0.8);
    }
    testsupport::TempDir dir;
};

PdfFileDevice letterPdf(const QString& path) {
    return PdfFileDevice(path, QPageSize(QPageSize::Letter));
}

TEST_F(PdfLayout, CellsAndCaptionsSitWhereTheyArePlacedWhenPrintedDirectly) {
    const QString path = QString::fromStdString(dir.file("direct.pdf"));
    PdfFileDevice printer = letterPdf(path);
    TReportPrinter engine;
    engine.SetPrinter(&printer);
    cellsReport(engine);
    engine.Execute();
    expectCellsPlaced(path);
}

TEST_F(PdfLayout, StoredPagesPrintTheSameLayout) {
    TReportFiler filer;
    cellsReport(filer);
    filer.Execute();
    QBuffer buffer;
    buffer.setData(filer.MemoryStore());
    const QString path = QString::fromStdString(dir.file("stored.pdf"));
    PdfFileDevice printer = letterPdf(path);
    TFilePrinter filePrinter;
    filePrinter.SetStream(&buffer);
    filePrinter.SetPrinter(&printer);
    filePrinter.Execute();
    expectCellsPlaced(path);
}

// A stored page drawn at 100 pixels per inch.
QImage drawnPage(const QByteArray& bytes, bool monochrome = false) {
    const PageStore store = PageStore::read(bytes);
    QImage image(850, 1100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    store.drawPage(painter, 1, 100, 100, monochrome);
    return image;
}

bool dark(const QImage& image, int x, int y) {
    return qGray(image.pixel(x, y)) < 128;
}

TEST(DrawnLayout, BoxLinesAndShadeFollowTheCellSettings) {
    TReportFiler filer;
    cellsReport(filer);
    filer.Execute();
    const QImage page = drawnPage(filer.MemoryStore());
    // Line 1 spans 0.5 .. 0.6667 in: rows 50 .. 66. Cell 1: x 50 .. 250; cell 2: 250 .. 450.
    const int mid = 58;
    struct Probe {
        const char* what;
        int x;
        int y;
        bool dark;
    } probes[] = {
        {"cell 1 left edge", 50, mid, true},        {"cell 1 right edge", 250, mid, true},
        {"cell 1 top edge", 150, 50, true},         {"cell 1 bottom edge", 60, 66, true},
        {"inside cell 1", 60, mid, false},          {"cell 2 right edge absent", 450, mid, false},
        {"cell 2 top edge absent", 260, 50, false}, {"cell 2 bottom edge", 440, 66, true},
        {"above the line", 150, 45, false},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(dark(page, p.x, p.y), p.dark) << p.what;
    // Shade 20 %: grey 255 - 20 * 255 / 100 = 204 where no text is.
    EXPECT_EQ(qGray(page.pixel(440, mid)), 204);
    EXPECT_EQ(qGray(page.pixel(150, mid - 3)), 255) << "cell 1 is not shaded";
}

TEST(DrawnLayout, TabShadeFillsCellsWithoutTheirOwnShadeAndMonochromeUsesBlackDots) {
    TReportFiler filer;
    filer.SetTabShade(150); // clamped to 100: black
    EXPECT_EQ(filer.TabShade(), 100);
    filer.SetTabShade(50);
    filer.OnPrintPage = [](TBaseReport& r, int) {
        r.SetTab(1.0, Justify::Left, 1.0, 0, BoxNone, 0);
        r.PrintLn(QStringLiteral("\t"));
        return false;
    };
    filer.Execute();
    const QImage colour = drawnPage(filer.MemoryStore());
    EXPECT_EQ(qGray(colour.pixel(150, 8)), 255 - 50 * 255 / 100);
    const QImage mono = drawnPage(filer.MemoryStore(), true);
    int black = 0;
    int white = 0;
    for (int x = 110; x < 190; ++x) {
        const int grey = qGray(mono.pixel(x, 8));
        black += grey == 0;
        white += grey == 255;
    }
    EXPECT_EQ(black + white, 80);
    EXPECT_GT(black, 20);
    EXPECT_GT(white, 20);
}

TEST(Cursor, LineHeightAndLinesLeftFollowTheMethodAndTheSection) {
    struct Case {
        LineHeightMethod method;
        double fontSize;
        int linesPerInch;
        double sectionHeight;
        double lineHeight;
        int linesLeft;
    } cases[] = {
        {LineHeightMethod::lhmLinesPerInch, 10, 6, 1.0, 1.0 / 6, 6},
        {LineHeightMethod::lhmLinesPerInch, 10, 8, 1.0, 1.0 / 8, 8},
        {LineHeightMethod::lhmFont, 12, 6, 1.0, 0.2, 5},
        {LineHeightMethod::lhmFont, 10, 6, 0.14, 1.0 / 6, 1}, // the baseline still fits
        {LineHeightMethod::lhmFont, 10, 6, 0.12, 1.0 / 6, 0},
    };
    for (const Case& c : cases) {
        TReportFiler filer;
        filer.SetLineHeightMethod(c.method);
        filer.SetLinesPerInch(c.linesPerInch);
        double height = 0;
        int left = -1;
        filer.OnPrintPage = [&](TBaseReport& r, int) {
            r.SetFont(QStringLiteral("Arial"), c.fontSize);
            r.SetSectionTop(2.0);
            r.SetSectionBottom(2.0 + c.sectionHeight);
            height = r.LineHeight();
            left = r.LinesLeft();
            return false;
        };
        filer.Execute();
        EXPECT_DOUBLE_EQ(height, c.lineHeight) << c.fontSize << " " << c.sectionHeight;
        EXPECT_EQ(left, c.linesLeft) << c.fontSize << " " << c.sectionHeight;
    }
}

TEST(Cursor, SectionTopMovesTheCursorOnlyDownAndNewLineCountsLines) {
    TReportFiler filer;
    std::vector<double> tops;
    filer.OnPrintPage = [&](TBaseReport& r, int) {
        r.SetSectionTop(1.0);
        tops.push_back(r.LineTop());
        r.NewLine();
        r.NewLine();
        tops.push_back(r.LineTop());
        r.SetSectionTop(0.5); // above the cursor: stays
        tops.push_back(r.LineTop());
        r.Home();
        tops.push_back(r.LineTop());
        EXPECT_EQ(r.LineNum(), 1);
        return false;
    };
    filer.Execute();
    ASSERT_EQ(tops.size(), 4u);
    EXPECT_DOUBLE_EQ(tops[0], 1.0);
    EXPECT_NEAR(tops[1], 1.0 + 2.0 / 6, 1e-12);
    EXPECT_NEAR(tops[2], 1.0 + 2.0 / 6, 1e-12);
    EXPECT_DOUBLE_EQ(tops[3], 0.5);
}

TEST(Tabs, CellsContinueAfterThePreviousOneAndKeepMarginsInHundredths) {
    TReportFiler filer;
    filer.SetMarginLeft(0.75);
    filer.ClearTabs();
    filer.SetTab(kTabContinue, Justify::Left, 1.5, 2, BoxNone, 0);
    filer.SetTab(kTabContinue, Justify::Right, 2.0, 10, BoxAll, 0);
    filer.SetTab(5.0, Justify::Center, 1.0, 0, BoxNone, 0);
    EXPECT_DOUBLE_EQ(filer.Tab(1).left, 0.75);
    EXPECT_DOUBLE_EQ(filer.Tab(2).left, 2.25);
    EXPECT_DOUBLE_EQ(filer.Tab(3).left, 5.0);
    EXPECT_DOUBLE_EQ(filer.TabRoom(1), 1.5 - 0.04);
    EXPECT_DOUBLE_EQ(filer.TabRoom(2), 2.0 - 0.2);
    EXPECT_DOUBLE_EQ(filer.TabRoom(4), 0.0);
}

TEST(Units, MillimetresConvertEveryPositionAndWidth) {
    TReportFiler filer;
    filer.SetUnits(Units::unMM);
    filer.SetMarginLeft(25.4);
    EXPECT_DOUBLE_EQ(filer.MarginLeft(), 25.4);
    EXPECT_DOUBLE_EQ(filer.PageWidth(), 8.5 * 25.4);
    filer.SetUnits(Units::unInch);
    EXPECT_DOUBLE_EQ(filer.MarginLeft(), 1.0);
    EXPECT_DOUBLE_EQ(filer.PageHeight(), 11.0);
}

TEST(Units, NoPrinterGivesALetterPageInEitherOrientation) {
    TReportFiler filer;
    EXPECT_DOUBLE_EQ(filer.PageWidth(), 8.5);
    filer.SetOrientation(Orientation::poLandScape);
    EXPECT_DOUBLE_EQ(filer.PageWidth(), 11.0);
    EXPECT_DOUBLE_EQ(filer.PageHeight(), 8.5);
}

TEST(Fonts, ReportFacesMeasureLikeTheirWindowsNamesakes) {
    if (!QFontDatabase::hasFamily(QStringLiteral("Liberation Sans")) ||
        !QFontDatabase::hasFamily(QStringLiteral("Liberation Mono")))
        GTEST_SKIP() << "the Liberation fonts are not installed";
    EXPECT_EQ(resolvedFamily(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(resolvedFamily(QStringLiteral("Courier New")), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(resolvedFamily(QStringLiteral("Courier")), QStringLiteral("Liberation Mono"));
    TReportFiler filer;
    // Arial's W advances 1933/2048 em; Courier New's glyphs all 1229/2048 em.
    filer.SetFont(QStringLiteral("Arial"), 10);
    EXPECT_NEAR(filer.TextWidth(QString(10, QLatin1Char('W'))), 10 * 1933.0 / 2048 * 10 / 72, 1e-3);
    filer.SetFont(QStringLiteral("Courier New"), 12);
    EXPECT_NEAR(filer.TextWidth(QStringLiteral("Volumara 95")), 11 * 1229.0 / 2048 * 12 / 72, 1e-3);
    // Widths scale with the size exactly: no hinting at any size.
    filer.SetFont(QStringLiteral("Arial"), 7);
    const double small = filer.TextWidth(QStringLiteral("Market value"));
    filer.SetFont(QStringLiteral("Arial"), 21);
    EXPECT_NEAR(filer.TextWidth(QStringLiteral("Market value")), 3 * small, 1e-6);
}

TEST(Fonts, SetFontResetsStyleAndColourAndStylesAreRecorded) {
    TReportFiler filer;
    filer.OnPrintPage = [](TBaseReport& r, int) {
        r.SetFont(QStringLiteral("Arial"), 12);
        r.SetBold(true);
        r.SetItalic(true);
        r.SetFontColor(Qt::red);
        r.Print(QStringLiteral("styled"));
        r.SetFont(QStringLiteral("Courier New"), 9);
        r.Print(QStringLiteral("plain"));
        return false;
    };
    filer.Execute();
    const PageStore store = PageStore::read(filer.MemoryStore());
    const auto& styled = std::get<store::Text>(store.page(1)[0]);
    const auto& plain = std::get<store::Text>(store.page(1)[1]);
    const ReportFont& a = store.fonts()[static_cast<size_t>(styled.font)];
    const ReportFont& b = store.fonts()[static_cast<size_t>(plain.font)];
    EXPECT_TRUE(a.bold && a.italic && !a.underline);
    EXPECT_EQ(a.colour, QColor(Qt::red));
    EXPECT_EQ(a.size, 12);
    EXPECT_FALSE(b.bold || b.italic);
    EXPECT_EQ(b.colour, QColor(Qt::black));
    EXPECT_EQ(b.name, QStringLiteral("Courier New"));
    // Text without a tab runs on from the cursor.
    filer.SetFont(QStringLiteral("Arial"), 12);
    EXPECT_GT(plain.baseline.x(), styled.baseline.x());
}

} // namespace
