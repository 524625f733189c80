#pragma once

// Book tables and a stand-in for the main window for the import and export tests.

#include "support/books/book_tables.h"
#include "support/temp_dir.h"
#include "table/table.h"
#include "transfer/transfer_host.h"

#include <map>
#include <string>
#include <vector>

namespace transfertest {

using testsupport::Book;
using testsupport::column;
using testsupport::createBookTable;
using testsupport::openShared;

std::string fileText(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);

// The main window's part: the book table open shared, settings, a search that shows only the
// records whose Title starts with `searchPrefix` while active.
class FakeHost : public transfer::TransferHost {
public:
    explicit FakeHost(const std::string& path);
    table::Table& bookTable() override { return table_; }
    app::Settings& settings() override { return settings_; }
    bool searchActive() const override { return searchActive_; }
    void doEndSearch() override;
    void enableEndSearch() override;
    QString columnTitle(int number) const override;
    void displayCount() override { ++countsShown; }
    double windowSizeFactor() const override { return 1.0; }
    const widgets::UserFonts& userFonts() const override { return fonts_; }

    void startSearch(const std::string& titlePrefix);
    std::map<int, QString> titles; // column titles applied so far, by field number
    int endSearchCalls = 0;
    int countsShown = 0;

private:
    table::Table table_;
    app::Settings settings_;
    widgets::UserFonts fonts_;
    bool searchActive_ = false;
    std::string prefix_;
};

} // namespace transfertest
