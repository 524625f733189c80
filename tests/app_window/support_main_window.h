#pragma once

// A main window on a temporary program directory with scripted seams, and book tables to open.

#include "app/main_window.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace testsupport {

// An empty book table at `path` holding one record per author, in that order.
void makeBookTable(const QString& path, const std::vector<std::string>& authors);
// A dBASE table that is not a book table.
void makeForeignTable(const QString& path);

class MainWindowTest : public ::testing::Test {
protected:
    QString programDirectory() const { return QString::fromStdString(dir.path().string()); }
    QString file(const char* name) const { return programDirectory() + "/" + name; }
    QString settingsPath() const { return file("VLMBOOK.INI"); }
    void writeSettings(const std::string& text) const;
    std::string readSettings() const;

    // A window made as main() makes it, not yet created.
    std::unique_ptr<app::TMain> makeWindow(const QStringList& arguments = {});
    // Made, created (FormCreate must succeed) and shown.
    std::unique_ptr<app::TMain> startWindow(const QStringList& arguments = {});

    TempDir dir;
    ScriptedSeams s;
};

template <typename T> T* child(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control named " << name;
    return found;
}

} // namespace testsupport
