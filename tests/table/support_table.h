#pragma once

// Helpers for the tests of Table: a book-like table, walking a view, and child processes that
// work on the same table from outside.

#include "support/temp_dir.h"
#include "table/table.h"

#include <string>
#include <sys/types.h>
#include <vector>

namespace tabletest {

// The 36 fields of a book table (Title, Author, YearPub, ... UserDef6).
const std::vector<table::FieldDef>& bookFields();
constexpr int kTitle = 0;
constexpr int kAuthor = 1;
constexpr int kYearPub = 2;
constexpr int kCost = 6;
constexpr int kPurchDate = 11;
inline const char* const kAuthorKey = "Upper(Left(Author,20))";

// Creates BOOKS.DBF in `dir` and returns its path.
std::string createBooks(const testsupport::TempDir& dir, const std::string& name = "BOOKS.DBF");
// Points `table` at `path` and opens it.
void openAt(table::Table& table, const std::string& path,
            table::OpenMode mode = table::OpenMode::Shared);
// Appends and posts one book.
void addBook(table::Table& table, const std::string& author, const std::string& title = "",
             int year = 0);

// Walks the view from first() to eof and returns one field of each record, in order.
std::vector<std::string> walk(table::Table& table, int field = kAuthor);
std::vector<std::string> walkBackwards(table::Table& table, int field = kAuthor);

// A child process running the table_child helper, its standard output readable by line.
class Child {
public:
    explicit Child(const std::vector<std::string>& arguments);
    ~Child(); // kills the child if it still runs
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    bool readLine(std::string& line); // false at end of output
    void kill();
    int wait(); // exit status, or 128 + signal
    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
    bool reaped_ = false;
    int status_ = 0;
};

} // namespace tabletest
