#include "support_book_table.h"

#include "db/field_catalogue.h"

#include <cstdio>

namespace testsupport {

BookRow generatedBook(int index, int count) {
    // A multiplier prime to the count scatters the authors against the record order.
    const long scattered = (static_cast<long>(index) * 7919L) % std::max(count, 1);
    char author[32];
    std::snprintf(author, sizeof author, "Author %06ld", scattered);
    char title[32];
    std::snprintf(title, sizeof title, "Title %d", index);
    return {title, author, std::to_string(1900 + index % 120), index % 3 == 0 ? "Yes" : "No"};
}

void makeBookTable(table::Table& table, const TempDir& dir, int count,
                   const std::function<BookRow(int, int)>& make) {
    const std::string path = dir.file("BOOKS.DBF");
    table::Table::create(path, db::bookTableFieldDefs());
    table.setDirectory(dir.path().string());
    table.setTableName("BOOKS");
    table.setOpenMode(table::OpenMode::Shared);
    table.open();
    table.suspendObservers();
    for (int i = 0; i < count; ++i) {
        const BookRow row = make(i, count);
        table.append();
        table.setText(kTitleField, row.title);
        table.setText(kAuthorField, row.author);
        table.setText(kYearPubField, row.yearPub);
        table.setText(kCheckOutField, row.checkOut);
        table.post();
    }
    table.addTag("NewIndex", "Upper(Left(Author,20))");
    table.selectTag("NewIndex");
    table.first();
    table.resumeObservers();
}

} // namespace testsupport
