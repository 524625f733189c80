#include "support_backup.h"

#include "db/book_database.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <sstream>

#include <sys/resource.h>

namespace testsupport {

namespace {

struct FailOnMessage : db::UserMessages {
    db::MessageAnswer show(const std::string&, const std::string& text, db::MessageIcon,
                           db::MessageButtons, db::MessageAnswer answer) override {
        ADD_FAILURE() << text;
        return answer;
    }
    void beep(db::BeepKind) override {}
};

} // namespace

void makeBooks(const QString& path, const std::vector<std::string>& authors) {
    FailOnMessage silent;
    ASSERT_TRUE(db::makeNewTable(path, silent));
    table::Table handle;
    db::pointTableAt(handle, path);
    handle.setOpenMode(table::OpenMode::Exclusive);
    handle.open();
    const int author = handle.fieldIndexOrThrow("AUTHOR");
    for (const std::string& name : authors) {
        handle.append();
        handle.setText(author, name);
        handle.post();
    }
    handle.close();
}

std::vector<std::string> authorsIn(const QString& path) {
    table::Table handle;
    db::pointTableAt(handle, path);
    handle.setOpenMode(table::OpenMode::ReadOnly);
    handle.open();
    const int author = handle.fieldIndexOrThrow("AUTHOR");
    std::vector<std::string> authors;
    for (handle.first(); !handle.eof(); handle.next())
        authors.push_back(handle.asText(author));
    handle.close();
    return authors;
}

std::string readFile(const QString& path) {
    std::ifstream in(QFile::encodeName(path).toStdString(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const QString& path, const std::string& bytes) {
    std::ofstream(QFile::encodeName(path).toStdString(), std::ios::binary) << bytes;
}

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

namespace {

// Authors starting with "A"; the field is the second of a book table.
table::RecordFilter searchFilter() {
    return [](const table::RecordView& record) { return record.text(1).starts_with("A"); };
}

} // namespace

FakeMain::FakeMain(db::UserMessages& messages, QString programDirectory)
    : directory(std::move(programDirectory)), messages_(messages) {}

void FakeMain::openBooks(const char* name, const std::vector<std::string>& authors) {
    currentPath = directory + "/" + name;
    makeBooks(currentPath, authors);
    db::pointTableAt(books, currentPath);
    db::installIndex(books, expression);
    books.setOpenMode(table::OpenMode::Shared);
    books.open();
}

void FakeMain::startSearch() {
    books.setFilter(searchFilter());
    books.refresh();
    search = true;
}

void FakeMain::doEndSearch() {
    search = false;
    books.close();
    books.setFilter({});
    books.open();
}

void FakeMain::enableEndSearch() {
    search = true;
    books.setFilter(searchFilter());
    if (books.isOpen())
        books.refresh();
}

void FakeMain::saveAllLists() {
    ++listSaves;
    if (listsSaveToFiles)
        lists.saveAll(directory);
}

void FakeMain::loadAllLists() {
    ++listLoads;
    lists.loadAll(directory);
}

void FakeMain::databaseSwitched(const QString& path, const QString& indexFilePath,
                                const QString& newCaption) {
    currentPath = path;
    lastDatabase = path;
    indexFile = indexFilePath;
    caption = newCaption;
}

TableHolder::TableHolder(const QString& path, const char* mode) {
    process_.start(QStringLiteral(VOLUMARA_BIN_DIR "/table_child"),
                   {QStringLiteral("hold"), path, QString::fromLatin1(mode)});
    ready_ = process_.waitForStarted(10000) && process_.waitForReadyRead(10000) &&
             process_.readAll().startsWith("ready");
}

TableHolder::~TableHolder() {
    process_.kill();
    process_.waitForFinished(10000);
}

FileSizeLimit::FileSizeLimit(long long bytes) {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    previousSoft_ = static_cast<long long>(limit.rlim_cur);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(previousSoft_);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, previousHandler_);
}

} // namespace testsupport
