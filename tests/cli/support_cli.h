#pragma once

// Running volumara-cli as a child process on book tables made here, with its own settings and
// program directory, and no display.

#include "support/temp_dir.h"

#include <QStringList>

#include <string>
#include <vector>

namespace clitest {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// A home for the child: settings in HOME/config, program directory HOME/program.
class CliHome {
public:
    CliHome();
    CliRun run(const QStringList& arguments) const;
    std::string file(const std::string& name) const { return dir_.file(name); }
    std::string settingsPath() const;

private:
    testsupport::TempDir dir_;
};

// A book table at `path` indexed by author, holding one record per author (title "T<n>").
void makeBookTable(const std::string& path, const std::vector<std::string>& authors);

} // namespace clitest
