#include "support_transfer.h"

#include "db/book_database.h"
#include "support/scripted_messages.h"

#include <QString>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace transfertest {

std::string createBookTable(const testsupport::TempDir& dir, const std::vector<Book>& books,
                            const std::string& name) {
    const std::string path = dir.file(name);
    testsupport::ScriptedMessages messages;
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

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

FakeHost::FakeHost(const std::string& path) {
    openShared(table_, path);
}

void FakeHost::doEndSearch() {
    ++endSearchCalls;
    searchActive_ = false;
    table_.close();
    table_.setFilter({});
    table_.open();
}

void FakeHost::enableEndSearch() {
    searchActive_ = true;
    const int title = table_.fieldIndexOrThrow("Title");
    const std::string prefix = prefix_;
    table_.setFilter([title, prefix](const table::RecordView& record) {
        return record.text(title).starts_with(prefix);
    });
    table_.refresh();
}

void FakeHost::startSearch(const std::string& titlePrefix) {
    prefix_ = titlePrefix;
    enableEndSearch();
}

QString FakeHost::columnTitle(int number) const {
    const auto found = titles.find(number);
    return found == titles.end() ? QString() : found->second;
}

} // namespace transfertest
