#pragma once

// The test the book table's record filter runs for every record while a search is active: a
// record passes when every item of at least one level holds. The items' fields are found in the
// table's layout once; each record is then read straight from its bytes, without parsing any
// criterion and without building strings.

#include "search/search_items.h"
#include "table/table.h"

#include <memory>
#include <utility>
#include <vector>

namespace search {

class RecordTest {
public:
    explicit RecordTest(std::vector<SearchItem> items);
    ~RecordTest();
    // A copy binds on its own: each table handle, and each thread, runs a copy of its own.
    RecordTest(const RecordTest&);
    RecordTest& operator=(const RecordTest&) = delete;

    // Whether the record passes. The first call for a table layout binds the items to its
    // fields; a later record of another layout binds them again.
    bool matches(const table::RecordView& record) const;

    const std::vector<SearchItem>& items() const { return items_; }

private:
    struct BoundItem;
    bool bindingFits(const table::DbfHeader& header) const;
    void bind(const table::DbfHeader& header) const;
    bool holds(const BoundItem& item, const uint8_t* record) const;
    void prefetchAhead(const table::RecordView& record) const;

    std::vector<SearchItem> items_;
    // Filled on first use; the filter runs on the one thread that owns the table.
    mutable std::vector<BoundItem> bound_;
    mutable const table::DbfHeader* boundHeader_ = nullptr;
    mutable std::pair<uint32_t, size_t> boundLayout_; // record length, field count
    mutable std::vector<uint32_t> prefetchOffsets_;
};

// A record filter that runs `test`; an empty test passes no record. Every copy of the filter
// holds a test of its own, so that a copy can run on another handle or thread.
table::RecordFilter makeRecordFilter(std::shared_ptr<const RecordTest> test);

} // namespace search
