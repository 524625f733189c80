#include "support_designer.h"

#include <QTest>

namespace reporttest {

void clickBox(reports::TRepLayout& layout, int line, int part) {
    for (const reports::LayoutBox& box : layout.boxes())
        if (box.line == line && box.part == part) {
            QTest::mouseClick(layout.drawingArea(), Qt::LeftButton, {}, box.rect.center());
            return;
        }
    ADD_FAILURE() << "no box for line " << line << " part " << part;
}

} // namespace reporttest
