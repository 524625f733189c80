// A new book table must read in other programs with the catalogue's fields in catalogue order:
// users take their collection to spreadsheets and GIS tools through these readers.

#include "db/book_database.h"
#include "db/field_catalogue.h"
#include "support/scripted_messages.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Debian's interpreter, which holds python3-dbfread; another python3 first on PATH may not.
constexpr const char* kSystemPython = "/usr/bin/python3";

std::string run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        if (pclose(pipe) != 0)
            output.clear();
    }
    return output;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            result.push_back(line);
    return result;
}

std::vector<std::string> catalogueNamesUpperCase() {
    std::vector<std::string> names;
    for (const table::FieldDef& field : db::bookTableFieldDefs())
        names.push_back(field.name);
    return names;
}

class NewBookTable : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_.file("BOOKS.DBF");
        testsupport::ScriptedMessages messages;
        ASSERT_TRUE(db::makeNewTable(QString::fromStdString(path_), messages));
    }
    testsupport::TempDir dir_;
    std::string path_;
};

TEST_F(NewBookTable, DbfreadSeesTheCatalogueFieldsInOrder) {
    if (run(std::string(kSystemPython) + " -c 'import dbfread' && echo ok").empty())
        GTEST_SKIP() << "dbfread is not installed";
    const std::string script =
        "import sys, dbfread\n"
        "for name in dbfread.DBF(sys.argv[1]).field_names: print(name.upper())\n";
    const auto names =
        lines(run(std::string(kSystemPython) + " -c '" + script + "' '" + path_ + "'"));
    EXPECT_EQ(names, catalogueNamesUpperCase());
}

TEST_F(NewBookTable, GdalSeesTheCatalogueFieldsInOrder) {
    if (run("command -v ogrinfo").empty())
        GTEST_SKIP() << "GDAL is not installed";
    // ogrinfo lists one "NAME: Type (width.decimals)" line per field after the layer summary.
    std::vector<std::string> names;
    for (const std::string& line : lines(run("ogrinfo -ro -so -al '" + path_ + "'"))) {
        const auto colon = line.find(": ");
        if (colon == std::string::npos || line.find('(') == std::string::npos)
            continue;
        const std::string kind = line.substr(colon + 2);
        if (kind.rfind("String", 0) == 0 || kind.rfind("Integer", 0) == 0 ||
            kind.rfind("Real", 0) == 0 || kind.rfind("Date", 0) == 0)
            names.push_back(line.substr(0, colon));
    }
    EXPECT_EQ(names, catalogueNamesUpperCase());
}

} // namespace
