#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace table {
class Table;
}

namespace benchfixture {

// Prints one result line: {"op": "...", "records": N, "seconds": S, "cpu_seconds": C}.
// The processor time (user and system) tells more than the elapsed time on a busy machine.
void reportTiming(const std::string& op, uint64_t records, double seconds, double cpuSeconds);

// User plus system time this process has used so far.
double processorSeconds();

// Runs `work` (which returns how many records it touched) and reports it under `op`.
template <typename Work> uint64_t timed(const std::string& op, Work&& work) {
    const double cpuStart = processorSeconds();
    auto start = std::chrono::steady_clock::now();
    uint64_t records = work();
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    reportTiming(op, records, elapsed.count(), processorSeconds() - cpuStart);
    return records;
}

// Reads every field of the current record as text; returns the bytes read so that the work
// cannot be optimised away.
uint64_t readRecordAsText(const table::Table& books);

// A new book table of `count` synthetic records with the tag NewIndex over the author key.
void generateCollection(uint64_t count, const std::string& dbfPath);
// The same collection as SQLite input: books.csv (every record, physical order) and
// append.sql (the 10 000 records the append step adds, as INSERTs in one transaction).
void writeSqliteInputs(const std::string& dbfPath, const std::string& outputDirectory);
// Times searches compiled from criteria as the search window compiles them.
void timeSearches(table::Table& books);
// Times a locate that finds nothing, over the whole table; `books` is open shared (the scan
// opens a handle of its own beside it).
void timeLocate(table::Table& books);
// Times a search and replace of one publisher over the whole table, the index rebuilt; `books`
// is open shared and is reopened shared.
void timeReplace(table::Table& books);
// The searches alone on `dbfPath`, opened shared and left unchanged.
void runSearchBenchmark(const std::string& dbfPath);

// Times export to delimited text and to dBASE of every field of `dbfPath` (opened shared, in
// NewIndex order), and the import of that text into a new book table; the files stay in
// `outputDirectory` (BOOKS.TXT, EXPORT.DBF, IMPORT.DBF) for the comparisons.
void runTransferBenchmark(const std::string& dbfPath, const std::string& outputDirectory);
// Only import_text, from a text file that export_text wrote.
void runImportBenchmark(const std::string& textPath, const std::string& outputDirectory);

// Times the table operations on a copy of `dbfPath` made in a temporary folder.
void runBenchmark(const std::string& dbfPath);

constexpr int kScreenRows = 40;
constexpr int kAppendCount = 10000;
constexpr uint64_t kAppendSeed = 77;

} // namespace benchfixture
