#pragma once

// A real book table in a temporary folder, a main window stand-in that owns it and the nine
// pick lists, and scripted seams: everything the record edit form needs to run in a test.

#include "edit/edit_host.h"
#include "edit/tmy_edit.h"
#include "support/gui/scripted_seams.h"
#include "support/temp_dir.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

namespace edittest {

class TestHost : public edit::EditHost {
public:
    explicit TestHost(const testsupport::TempDir& dir);
    ~TestHost() override;

    table::Table& bookTable() override { return table; }
    db::PickLists& pickLists() override { return lists; }
    void displayCount() override { ++countsShown; }
    bool browseMode() const override { return browse; }
    double windowSizeFactor() const override { return factor; }
    widgets::UserFonts userFonts() const override { return {}; }
    const app::Settings& settings() const override { return appSettings; }
    QString programDirectory() const override { return directory; }

    // Appends and posts a record with the given title and author.
    void addBook(const std::string& title, const std::string& author = {});
    // Titles of every record in physical order.
    std::vector<std::string> titles();
    // One field of the current record, as the engine reads it.
    std::string current(const char* fieldName);

    QString directory;
    table::Table table;
    db::PickLists lists;
    app::Settings appSettings;
    bool browse = false;
    double factor = 1.0;
    int countsShown = 0;
};

// Fills a control as the user would leave it: the whole text of an edit or combo box, or the
// characters typed into a date box from its first place.
void enter(edit::TMyEdit& form, int fieldNumber, const QString& text);
QString shown(const edit::TMyEdit& form, int fieldNumber);
void clickCheckOut(edit::TMyEdit& form);
void press(edit::TMyEdit& form, const QString& buttonCaption);

} // namespace edittest
