#pragma once

// Reports for the engine's tests: a numbered report of any length that records the handlers
// the engine calls, page stores made from it, and reading a PDF back with poppler's tools.

#include "report_engine/base_report.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace testsupport {

// A report of `pages` pages: header "Sample Report" centred, body lines "Page <n> line <k>"
// (`linesPerPage` of them), footer "Page <n>" at the left; with `bigNumber` also the page
// number in 96 point type under the lines, so that pages look plainly different. Every handler
// call is logged as "before", "new 1", "header 1", "body 1", "footer 1", ..., "after".
class NumberedReport {
public:
    NumberedReport(int pages, int linesPerPage = 3, bool bigNumber = false)
        : pages_(pages), lines_(linesPerPage), bigNumber_(bigNumber) {}
    void attach(report_engine::TBaseReport& engine);
    std::vector<std::string> calls;
    int count(const std::string& prefix) const;

private:
    int pages_;
    int lines_;
    bool bigNumber_;
};

// The page store of a NumberedReport run through a file engine with no printer.
QByteArray numberedStore(int pages, int linesPerPage = 3, bool bigNumber = false);

// Whether a program is on the PATH.
bool haveProgram(const QString& name);
// The text of a PDF file (pdftotext -layout), pages separated by form feeds; empty on failure.
QString pdfText(const QString& path);
// Pages of a PDF file (pdfinfo), or -1.
int pdfPageCount(const QString& path);

// One word of a PDF page with its box in points (pdftotext -bbox).
struct PdfWord {
    QString text;
    double xMin;
    double yMin;
    double xMax;
    double yMax;
};
std::vector<PdfWord> pdfWords(const QString& path, int page = 1);
// The pages of a PDF file drawn in grey at `dpi` (pdftoppm); empty on failure.
std::vector<QImage> pdfPageImages(const QString& path, int dpi);
// Pixels whose grey differs noticeably, compared at a fifth of the size; images of different
// sizes differ everywhere.
qsizetype differingPixels(const QImage& a, const QImage& b);
const PdfWord* findWord(const std::vector<PdfWord>& words, const QString& text);

} // namespace testsupport
