#pragma once

// Page stores for the preview tests, made by the file engine.

#include <QByteArray>
#include <QString>

namespace testsupport {

// `pages` pages: "Preview page <n>" in black at the top left, a red "Colour <n>" under it and a
// box with a 40 % shade; the page number in 72 point type in the middle.
QByteArray previewStore(int pages);

// Pages of a PDF file (pdfinfo), or -1.
int pdfPages(const QString& path);

} // namespace testsupport
