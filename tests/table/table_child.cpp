// A second process for the table tests: opens a table given on the command line and works on it
// while the test watches (or kills it). Reports on standard output, one line per finished step.
//
//   tryopen <dbf> shared|exclusive|readonly   prints "ok" or "error <message>"
//   hold <dbf> shared|exclusive                opens, prints "ready", waits to be killed
//   edit <dbf> <recno>                         opens shared, locks the record, prints "ready"
//   append <dbf> <count> <prefix>              appends authors <prefix>00001 ..., prints "done"
//   churn <dbf> <seed>                         exclusive; appends, edits, deletes and packs until
//                                              killed, printing "A n", "E n", "D n", "P"

#include "table/table.h"

#include <cstdlib>
#include <random>
#include <string>
#include <unistd.h>

namespace {

constexpr int kTitle = 0;
constexpr int kAuthor = 1;

void say(const std::string& line) {
    std::string text = line + "\n";
    ssize_t ignored = ::write(STDOUT_FILENO, text.data(), text.size());
    (void)ignored;
}

table::OpenMode modeNamed(const std::string& name) {
    if (name == "exclusive")
        return table::OpenMode::Exclusive;
    if (name == "readonly")
        return table::OpenMode::ReadOnly;
    return table::OpenMode::Shared;
}

void openAt(table::Table& books, const std::string& path, table::OpenMode mode) {
    auto slash = path.find_last_of('/');
    books.setDirectory(path.substr(0, slash));
    books.setTableName(path.substr(slash + 1));
    books.setOpenMode(mode);
    books.selectTag("AUTHORS");
    books.open();
}

std::string numbered(const std::string& prefix, long n) {
    std::string digits = std::to_string(n);
    if (digits.size() < 5)
        digits.insert(0, 5 - digits.size(), '0');
    return prefix + digits;
}

[[noreturn]] void waitToBeKilled() {
    for (;;)
        ::pause();
}

void churn(table::Table& books, unsigned seed) {
    std::mt19937 random(seed);
    long next = 1;
    for (long step = 1;; ++step) {
        unsigned roll = random() % 100;
        uint32_t count = books.header().recordCount;
        if (roll < 70 || count == 0) {
            books.append();
            books.setText(kTitle, numbered("T", next));
            books.setText(kAuthor, numbered("A", next));
            books.post();
            say("A " + std::to_string(next++));
        } else if (roll < 98) {
            if (!books.goToRecord(1 + random() % count))
                continue;
            std::string seq = books.asText(kTitle).substr(1);
            if (roll < 90) {
                books.edit();
                books.setText(kAuthor, "A" + seq + "-E" + std::to_string(step));
                books.post();
                say("E " + std::to_string(std::stol(seq)));
            } else {
                books.deleteRecord();
                say("D " + std::to_string(std::stol(seq)));
            }
        } else {
            books.pack();
            say("P");
        }
    }
}

int run(int argc, char** argv) {
    if (argc < 3)
        return 2;
    std::string command = argv[1];
    std::string path = argv[2];
    table::Table books;
    if (command == "tryopen") {
        try {
            openAt(books, path, modeNamed(argc > 3 ? argv[3] : ""));
            say("ok");
        } catch (const table::TableError& error) {
            say(std::string("error ") + error.what());
        }
        return 0;
    }
    if (command == "hold") {
        openAt(books, path, modeNamed(argc > 3 ? argv[3] : ""));
        say("ready");
        waitToBeKilled();
    }
    if (command == "edit" && argc > 3) {
        openAt(books, path, table::OpenMode::Shared);
        if (!books.goToRecord(static_cast<uint32_t>(std::stoul(argv[3]))))
            return 3;
        books.edit();
        say("ready");
        waitToBeKilled();
    }
    if (command == "append" && argc > 4) {
        openAt(books, path, table::OpenMode::Shared);
        long count = std::stol(argv[3]);
        for (long i = 1; i <= count; ++i) {
            books.append();
            books.setText(kAuthor, numbered(argv[4], i));
            books.post();
        }
        say("done");
        return 0;
    }
    if (command == "churn" && argc > 3) {
        openAt(books, path, table::OpenMode::Exclusive);
        churn(books, static_cast<unsigned>(std::stoul(argv[3])));
    }
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        say(std::string("error ") + error.what());
        return 1;
    }
}
