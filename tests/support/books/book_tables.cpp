#include "support/books/book_tables.h"

#include "db/book_database.h"
#include "support/scripted_messages.h"

#include <QString>

#include <stdexcept>

namespace testsupport {

std::string createBookTable(const TempDir& dir, const std::vector<Book>& books,
                            const std::string& name) {
    const std::string path = dir.file(name);
    ScriptedMessages messages;
    if (!db::makeNewTable(QString::fromStdString(path), messages))
        throw std::runtime_error("book table not created");
    table::Table handle;
    db::pointTableAt(handle, QString::fromStdString(path));
    handle.setOpenMode(table::OpenMode::Exclusive);
    handle.open();
    for (const Book& book : books) {
        handle.append();
        for (const auto& [field, text] : book)
            handle.setText(handle.fieldIndexOrThrow(field), text);
        handle.post();
    }
    handle.close();
    return path;
}

void openShared(table::Table& books, const std::string& path) {
    books.close();
    db::pointTableAt(books, QString::fromStdString(path));
    books.setOpenMode(table::OpenMode::Shared);
    books.open();
}

std::vector<std::string> column(table::Table& books, const std::string& fieldName) {
    std::vector<std::string> values;
    const int field = books.fieldIndexOrThrow(fieldName);
    for (books.first(); !books.eof(); books.next())
        values.push_back(books.asText(field));
    return values;
}

} // namespace testsupport
