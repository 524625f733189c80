#include "support_preview_store.h"

#include "report_engine/report_filer.h"

#include <QProcess>
#include <QRegularExpression>

namespace testsupport {

using report_engine::TBaseReport;

QByteArray previewStore(int pages) {
    report_engine::TReportFiler filer;
    filer.SetMarginLeft(0.5);
    filer.SetMarginTop(0.5);
    filer.OnPrintPage = [pages](TBaseReport& r, int page) {
        r.SetFont(QStringLiteral("Arial"), 12);
        r.PrintLn(QStringLiteral("Preview page %1").arg(page));
        r.SetFontColor(Qt::red);
        r.PrintLn(QStringLiteral("Colour %1").arg(page));
        r.SetTab(report_engine::kTabContinue, report_engine::Justify::Left, 3.0, 2,
                 report_engine::BoxAll, 40);
        r.PrintLn(QStringLiteral("\tshaded"));
        r.SetFont(QStringLiteral("Arial"), 72);
        r.GotoXY(0, 5);
        r.PrintCenter(QString::number(page), r.PageWidth() / 2);
        return page < pages;
    };
    filer.Execute();
    return filer.MemoryStore();
}

int pdfPages(const QString& path) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {path});
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return -1;
    static const QRegularExpression pagesLine(QStringLiteral("^Pages:\\s+(\\d+)"),
                                              QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match =
        pagesLine.match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

} // namespace testsupport
