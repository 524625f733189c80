// Benchmark of the dBASE table engine on a book collection.
//
//   table_bench --generate N OUT.DBF        write N synthetic book records (with NewIndex)
//   table_bench --sqlite-inputs BOOKS.DBF DIR   books.csv and append.sql for sqlite_compare.sh
//   table_bench --search BOOKS.DBF          time only the searches, three times, on the table
//                                           itself (opened shared, left unchanged)
//   table_bench --transfer BOOKS.DBF OUTDIR  export to OUTDIR and import the text back
//   table_bench --import BOOKS.TXT OUTDIR   only the import of a text export_text wrote
//   table_bench BOOKS.DBF                   time the operations on a temporary copy
//
// Results are JSON lines on standard output: {"op": "...", "records": N, "seconds": S}.

#include "table/table_error.h"
#include "table_bench_ops.h"

#include <cstdio>
#include <exception>
#include <string>

namespace {

int usage() {
    std::fprintf(stderr, "usage: table_bench --generate N OUT.DBF\n"
                         "       table_bench --sqlite-inputs BOOKS.DBF DIR\n"
                         "       table_bench --search BOOKS.DBF\n"
                         "       table_bench --transfer BOOKS.DBF OUTDIR\n"
                         "       table_bench --import BOOKS.TXT OUTDIR\n"
                         "       table_bench BOOKS.DBF\n");
    return 2;
}

bool parseCount(const std::string& text, uint64_t& count) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    count = std::stoull(text);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    try {
        std::string command = argc > 1 ? argv[1] : "";
        if (command == "--generate" && argc == 4) {
            uint64_t count = 0;
            if (!parseCount(argv[2], count))
                return usage();
            benchfixture::generateCollection(count, argv[3]);
        } else if (command == "--sqlite-inputs" && argc == 4) {
            benchfixture::writeSqliteInputs(argv[2], argv[3]);
        } else if (command == "--transfer" && argc == 4) {
            benchfixture::runTransferBenchmark(argv[2], argv[3]);
        } else if (command == "--import" && argc == 4) {
            benchfixture::runImportBenchmark(argv[2], argv[3]);
        } else if (command == "--search" && argc == 3) {
            benchfixture::runSearchBenchmark(argv[2]);
        } else if (argc == 2 && !command.starts_with("--")) {
            benchfixture::runBenchmark(command);
        } else {
            return usage();
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "table_bench: %s\n", error.what());
        return 1;
    }
    return 0;
}
