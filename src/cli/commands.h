#pragma once

// The subcommands of volumara-cli: each reads its words, does its work and returns the exit
// status (0 done, 1 failed with the program's message on standard error). A mistake in the
// call itself throws UsageError, which the caller turns into status 2.

#include <string>
#include <vector>

namespace cli {

using Words = std::vector<std::string>;

struct Command {
    const char* name;
    const char* synopsis; // the line of the usage summary
    const char* help;     // the text of `SUBCOMMAND --help`, after the synopsis
    int (*run)(const Words& words);
};

const std::vector<Command>& commands();

// The help lines of the options every subcommand takes.
const char* commonHelp();

int runInfo(const Words& words);
int runCheck(const Words& words);
int runNew(const Words& words);
int runPack(const Words& words);
int runReindex(const Words& words);
int runExport(const Words& words);
int runImport(const Words& words);
int runReport(const Words& words);
int runBackup(const Words& words);

} // namespace cli
