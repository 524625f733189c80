#pragma once

// Driving the report designer's windows as a user does.

#include "reports/report_layout_window.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace reporttest {

// The named child of `window`; a failure when there is none.
template <typename Widget> Widget* child(QWidget* window, const char* name) {
    auto* found = window->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Clicks the middle of the layout box of `line` and `part`, as computed for the window.
void clickBox(reports::TRepLayout& layout, int line, int part);

} // namespace reporttest
