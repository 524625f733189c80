#pragma once

// Driving the report designer's windows as a user does.

#include "reports/report_layout_window.h"
#include "reports/report_window.h"
#include "settings/settings.h"
#include "table/table.h"
#include "widgets/window_geometry.h"

#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

namespace reporttest {

// The main window's part for the report windows: a book table of its own, settings sorting by
// `sortLevels`, no search and no printer.
class DesignerHost : public reports::ReportHost {
public:
    explicit DesignerHost(QString programDirectory, const db::SortLevels& sortLevels = {})
        : programDirectory_(std::move(programDirectory)) {
        settings_.sortLevels = sortLevels;
    }
    table::Table& bookTable() override { return table; }
    app::Settings& settings() override { return settings_; }
    QString programDirectory() const override { return programDirectory_; }
    bool searchActive() const override { return false; }
    void doEndSearch() override {}
    void enableEndSearch() override {}
    QPrinter* printer() override { return nullptr; }
    double windowSizeFactor() const override { return factor; }
    const widgets::UserFonts& userFonts() const override { return fonts; }

    table::Table table;
    double factor = 1.0;
    widgets::UserFonts fonts;

private:
    QString programDirectory_;
    app::Settings settings_;
};

// The named child of `window`; a failure when there is none.
template <typename Widget> Widget* child(QWidget* window, const char* name) {
    auto* found = window->findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

// Clicks the middle of the layout box of `line` and `part`, as computed for the window.
void clickBox(reports::TRepLayout& layout, int line, int part);

} // namespace reporttest
