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
        {"export",
         "export TABLE.DBF OUT (--text | --dbf) [--fields NAME,...] [--no-header] "
         "[--search CRITERIA]",
         "Writes the records of a book table, in its sort order, to a delimited text file or a\n"
         "new dBASE table, as the Export window does.\n"
         "  --text            delimited text (quoted texts, commas, CR LF lines)\n"
         "  --dbf             a new dBASE table with the book table's field types\n"
         "  --fields A,B,...  these fields (field names such as AUTHOR) in this order; default:\n"
         "                    the fields and order stored in the Export window\n"
         "  --no-header       no first line of column titles (text only)\n"
         "  --search C        only the records that pass the criteria C (see below)\n"
         "\n"
         "Criteria: levels joined by \" OR \" (a record passes when one level holds), items\n"
         "of a level joined by \" AND \" (every item must hold). An item is FIELD contains\n"
         "TEXT for text fields, FIELD = V, FIELD > V or FIELD < V for numbers and dates, and\n"
         "FIELD > LOW < HIGH for a range without its ends. FIELD is a label or a field name.\n"
         "Example: --search \"Author contains SMITH AND YearPub > 1990 OR Publisher contains "
         "PENGUIN\"\n",
         runExport},
        {"import", "import TABLE.DBF SOURCE (--text | --dbf) [--skip-first] [--map POS=NAME,...]",
         "Appends one book per record of a delimited text file or a dBASE table, storing each\n"
         "value as the Import window does, and prints how many were imported.\n"
         "  --text             SOURCE is delimited text; its first line must pass the check\n"
         "  --dbf              SOURCE is a dBASE table (dBASE III to 7, FoxPro)\n"
         "  --skip-first       the first line holds titles, not a record (text only)\n"
         "  --map 1=TITLE,...  source field 1 goes to the book field TITLE, and so on;\n"
         "                     default: source field i to book field i\n",
         runImport},
        {"report",
         "report TABLE.DBF (--name NAME | --number N) (--text OUT.TXT | --pdf OUT.PDF | "
         "--print [QUEUE]) [--search CRITERIA]",
         "Runs a report definition of VLMBOOK.URP over a book table, in its sort order, as the\n"
         "Reports window does.\n"
         "  --name NAME      the report of that name (any letter case)\n"
         "  --number N       the report at place N of the report list, from 1\n"
         "  --text OUT.TXT   a text file: CR LF lines, a form feed after every page\n"
         "  --pdf OUT.PDF    a PDF file of the printed pages\n"
         "  --print [QUEUE]  the CUPS queue QUEUE, or the default queue\n"
         "  --search C       only the records that pass the criteria C (as for export)\n",
         runReport},
        {"backup", "backup TABLE.DBF DIR | backup --lists DIR | backup --reports DIR",
         "Copies to the folder DIR, as the Back Up window does: the table's .DBF file (its\n"
         "index is rebuilt when it is restored), the nine pick-list files (--lists) or the\n"
         "report definitions file VLMBOOK.URP (--reports). The destination must have room for\n"
         "the copy; an earlier copy there is replaced only by a complete one.\n",
         runBackup},
    };
    return table;
}

} // namespace cli
