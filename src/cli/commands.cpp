#include "cli/commands.h"

namespace cli {

namespace {

constexpr const char* kCommonHelp =
    "\nEvery subcommand also takes:\n"
    "  --settings FILE  read these settings instead of the user's VLMBOOK.INI\n"
    "  --quiet          no progress bar on standard error\n"
    "  --help           this text\n";

} // namespace

const char* commonHelp() {
    return kCommonHelp;
}

const std::vector<Command>& commands() {
    static const std::vector<Command> table{
        {"info", "info TABLE.DBF",
         "Prints what a dBASE table holds as JSON: record and deleted counts, fields, index tags\n"
         "with their expressions, and whether it is a book table. Changes nothing.\n",
         runInfo},
        {"check", "check [--repair] TABLE.DBF",
         "Verifies the header against the file size, every record's deletion flag, every\n"
         "field's bytes against its type, and every index tag against the table (each record\n"
         "once, keys in order, keys equal to their expression). Prints each problem; exit\n"
         "status 1 when there is any. Changes nothing unless --repair is given:\n"
         "  --repair  set the header's record count to the complete records of a table cut\n"
         "            short by a crash (never dropping a complete record), and rebuild the\n"
         "            index tags. Needs the table to itself.\n",
         runCheck},
        {"new", "new TABLE.DBF",
         "Creates an empty book table with its index, as File > New does.\n", runNew},
        {"pack", "pack TABLE.DBF",
         "Removes deleted records for good and rebuilds the index tags, as Pack Database does.\n"
         "Needs the table to itself.\n",
         runPack},
        {"reindex", "reindex TABLE.DBF",
         "Rebuilds every index tag from the records, as Rebuild Indexes does. Needs the table\n"
         "to itself.\n",
         runReindex},
    };
    return table;
}

} // namespace cli
