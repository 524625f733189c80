#include "support_report_engine.h"

#include "report_engine/report_filer.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

namespace testsupport {

using report_engine::TBaseReport;

void NumberedReport::attach(TBaseReport& engine) {
    const auto log = [this](const char* what, int page) {
        calls.push_back(page < 0 ? std::string(what)
                                 : std::string(what) + " " + std::to_string(page));
    };
    engine.OnBeforePrint = [log](TBaseReport&) { log("before", -1); };
    engine.OnAfterPrint = [log](TBaseReport&) { log("after", -1); };
    engine.OnNewPage = [log](TBaseReport& r) { log("new", r.CurrentPage()); };
    engine.OnPrintHeader = [log](TBaseReport& r) {
        log("header", r.CurrentPage());
        r.SetSectionTop(0.5);
        r.SetFont(QStringLiteral("Arial"), 14);
        r.PrintCenter(QStringLiteral("Sample Report"), r.PageWidth() / 2);
        r.NewLine();
    };
    engine.OnPrintPage = [this, log](TBaseReport& r, int page) {
        log("body", page);
        r.SetSectionTop(1.25);
        r.SetFont(QStringLiteral("Arial"), 10);
        for (int line = 1; line <= lines_; ++line)
            r.PrintLn(QStringLiteral("Page %1 line %2").arg(page).arg(line));
        if (bigNumber_) {
            r.SetFont(QStringLiteral("Arial"), 96);
            r.NewLine();
            r.PrintCenter(QString::number(page), r.PageWidth() / 2);
        }
        return page < pages_;
    };
    engine.OnPrintFooter = [log](TBaseReport& r) {
        log("footer", r.CurrentPage());
        r.SetSectionTop(r.PageHeight() - 1.0);
        r.SetFont(QStringLiteral("Arial"), 8);
        r.PrintInSection(QStringLiteral("Page %1").arg(r.CurrentPage()),
                         report_engine::Justify::Left);
    };
}

int NumberedReport::count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& call : calls)
        if (call.rfind(prefix, 0) == 0)
            ++n;
    return n;
}

QByteArray numberedStore(int pages, int linesPerPage, bool bigNumber) {
    report_engine::TReportFiler filer;
    NumberedReport report(pages, linesPerPage, bigNumber);
    report.attach(filer);
    filer.Execute();
    return filer.MemoryStore();
}

bool haveProgram(const QString& name) {
    return !QStandardPaths::findExecutable(name).isEmpty();
}

namespace {

QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

QString pdfText(const QString& path) {
    return runTool(QStringLiteral("pdftotext"),
                   {QStringLiteral("-layout"), path, QStringLiteral("-")});
}

int pdfPageCount(const QString& path) {
    const QString info = runTool(QStringLiteral("pdfinfo"), {path});
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(info);
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

std::vector<PdfWord> pdfWords(const QString& path, int page) {
    const QString html =
        runTool(QStringLiteral("pdftotext"),
                {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page),
                 QStringLiteral("-l"), QString::number(page), path, QStringLiteral("-")});
    static const QRegularExpression word(
        QStringLiteral("<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" "
                       "yMax=\"([\\d.]+)\">([^<]*)</word>"));
    std::vector<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                         m.captured(3).toDouble(), m.captured(4).toDouble()});
    }
    return words;
}

std::vector<QImage> pdfPageImages(const QString& path, int dpi) {
    QTemporaryDir dir;
    if (!dir.isValid())
        return {};
    const QString prefix = dir.filePath(QStringLiteral("page"));
    QProcess process;
    process.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-gray"),
                   QStringLiteral("-png"), path, prefix});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return {};
    QStringList names = QDir(dir.path()).entryList({QStringLiteral("page*.png")}, QDir::Files);
    // pdftoppm pads page numbers to the width of the last one, so the names sort in order.
    names.sort();
    std::vector<QImage> pages;
    for (const QString& name : names)
        pages.push_back(QImage(dir.filePath(name)).convertToFormat(QImage::Format_Grayscale8));
    return pages;
}

qsizetype differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return qsizetype(std::max(a.width(), b.width())) * std::max(a.height(), b.height());
    // Compared at a fifth of the size, so that glyphs drawn by different rasterisers (bitmap
    // fonts of a PostScript printer, outlines of a PDF) count as the same.
    const QSize small = a.size() / 5;
    const QImage ga = a.convertToFormat(QImage::Format_Grayscale8)
                          .scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QImage gb = b.convertToFormat(QImage::Format_Grayscale8)
                          .scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    qsizetype count = 0;
    for (int y = 0; y < ga.height(); ++y) {
        const uchar* ra = ga.constScanLine(y);
        const uchar* rb = gb.constScanLine(y);
        for (int x = 0; x < ga.width(); ++x)
            count += std::abs(int(ra[x]) - int(rb[x])) > 40;
    }
    return count;
}

const PdfWord* findWord(const std::vector<PdfWord>& words, const QString& text) {
    for (const PdfWord& w : words)
        if (w.text == text)
            return &w;
    return nullptr;
}

} // namespace testsupport
