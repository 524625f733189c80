// Searches as the search window runs them: criteria compiled into search items, then the record
// count through the record filter that tests them; and a locate as the locate dialog runs it.

#include "search/locate.h"
#include "search/record_test.h"
#include "search/replace.h"
#include "search/replace_undo.h"
#include "search/search_items.h"
#include "table/table.h"
#include "table_bench_fields.h"
#include "table_bench_ops.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>

namespace benchfixture {
namespace {

constexpr int kAuthorRow = 2;
constexpr int kYearPubRow = 3;
constexpr int kPublisherRow = 4;
constexpr int kCostRow = 7;

search::CriteriaTexts noCriteria() {
    return {};
}

void compileOrThrow(search::SearchLevels& levels, const search::CriteriaTexts& texts,
                    const search::RowOperators& operators) {
    search::DateReading dates;
    if (levels.compileLevel(texts, operators, dates).status != search::CompileStatus::Compiled)
        throw std::runtime_error("benchmark search criteria did not compile");
    levels.startNextLevel();
}

uint64_t countThrough(table::Table& books, const search::SearchLevels& levels) {
    books.setFilter(
        search::makeRecordFilter(std::make_shared<const search::RecordTest>(levels.items())));
    books.refresh();
    uint64_t count = books.recordCount();
    books.setFilter({});
    books.refresh();
    return count;
}

search::SearchLevels authorSmith() {
    search::SearchLevels levels;
    search::CriteriaTexts texts = noCriteria();
    texts[kAuthorRow - 1] = "smith";
    compileOrThrow(levels, texts, search::initialRowOperators());
    return levels;
}

} // namespace

void timeSearches(table::Table& books) {
    search::RowOperators operators = search::initialRowOperators();
    timed("search_author_contains", [&] { return countThrough(books, authorSmith()); });
    timed("search_two_levels", [&] {
        search::SearchLevels levels;
        search::CriteriaTexts first = noCriteria();
        first[kAuthorRow - 1] = "smith";
        first[kYearPubRow - 1] = "> 1990";
        search::RowOperators firstOperators = operators;
        firstOperators[kYearPubRow - 1] = search::RowOperator::Greater;
        compileOrThrow(levels, first, firstOperators);
        search::CriteriaTexts second = noCriteria();
        second[kPublisherRow - 1] = "penguin";
        second[kCostRow - 1] = "< 50";
        search::RowOperators secondOperators = operators;
        secondOperators[kCostRow - 1] = search::RowOperator::Less;
        compileOrThrow(levels, second, secondOperators);
        return countThrough(books, levels);
    });
}

void timeLocate(table::Table& books) {
    const uint64_t records = books.recordCount();
    timed("locate_anywhere_miss", [&] {
        const search::LocateCriteria nobody{"Author", "Qzxjv", search::MatchType::PartialAnywhere,
                                            false};
        if (search::runLocateScan(search::prepareLocateScan(books, {}, nobody, true)) != 0)
            throw std::runtime_error("the benchmark's locate value was found");
        return records;
    });
}

namespace {

// Nothing is asked and nothing goes wrong in the benchmark; a message would be a failure.
class ThrowingMessages : public db::UserMessages {
public:
    db::MessageAnswer show(const std::string&, const std::string& text, db::MessageIcon,
                           db::MessageButtons, db::MessageAnswer) override {
        throw std::runtime_error("unexpected message: " + text);
    }
    void beep(db::BeepKind) override {}
};

} // namespace

void timeReplace(table::Table& books) {
    constexpr int kPublisherField = 4;
    ThrowingMessages messages;
    search::ReplaceContext context{books, kAuthorKey, messages, {}, {}, {}, {}};
    const search::ReplaceValidation input = search::validateReplace(
        kPublisherField, "penguin books", "Penguin Random House", false, search::DateReading{});
    uint64_t changed = 0;
    timed("replace_publisher", [&] {
        search::ReplaceRun run(context, input.request, search::replaceUndoPath(books));
        if (run.start() != search::ExclusiveTableRun::Start::Started)
            throw std::runtime_error("the replace did not get the table");
        while (run.step(1u << 20, {})) {
        }
        run.finish();
        changed = run.counters().changed;
        return uint64_t{run.counters().processed};
    });
    std::fprintf(stderr, "table_bench: replace_publisher changed %llu records\n",
                 static_cast<unsigned long long>(changed));
}

namespace {

void openShared(table::Table& books, const std::string& dbfPath, const std::string& tag) {
    books.setDirectory(std::filesystem::absolute(dbfPath).parent_path().string());
    books.setTableName(std::filesystem::path(dbfPath).filename().string());
    books.setOpenMode(table::OpenMode::Shared);
    books.selectTag(tag);
    books.open();
}

} // namespace

void runSearchBenchmark(const std::string& dbfPath) {
    {
        // What the grid asks first: the live records, counted on a map of its own (the
        // searches below still start on a fresh one).
        table::Table counted;
        openShared(counted, dbfPath, "");
        timed("count_live_first", [&] { return counted.recordCount(); });
    }
    {
        // The same search in physical order on a fresh map: the count is the first pass
        // through the file (in NewIndex order the walk to the first match comes first).
        table::Table physical;
        openShared(physical, dbfPath, "");
        timed("search_physical_first", [&] { return countThrough(physical, authorSmith()); });
    }
    table::Table books;
    openShared(books, dbfPath, "NewIndex");
    // The first pass maps the file in; the later ones show the search itself.
    for (int pass = 0; pass < 3; ++pass)
        timeSearches(books);
}

} // namespace benchfixture
