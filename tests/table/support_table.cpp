#include "support_table.h"

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace tabletest {

const std::vector<table::FieldDef>& bookFields() {
    auto text = [](const char* name, uint32_t width) {
        return table::FieldDef{name, 'C', width, 0};
    };
    auto whole = [](const char* name) { return table::FieldDef{name, 'N', 11, 0}; };
    auto decimal = [](const char* name) { return table::FieldDef{name, 'F', 20, 4}; };
    auto date = [](const char* name) { return table::FieldDef{name, 'D', 8, 0}; };
    static const std::vector<table::FieldDef> fields = {
        text("Title", 90),     text("Author", 90),     whole("YearPub"),
        text("Publisher", 60), text("Category", 20),   text("WherePurch", 30),
        decimal("Cost"),       decimal("Value"),       text("Descriptio", 110),
        text("ISBN", 20),      text("Rating", 15),     date("PurchDate"),
        text("BookType", 15),  text("CatalogNum", 15), text("Sub1", 6),
        text("Sub2", 6),       text("CheckOut", 3),    date("CheckDate"),
        text("CheckName", 30), text("Volume", 8),      text("Issue", 8),
        text("Edition", 10),   text("KeyWords", 80),   whole("Pages"),
        text("Location", 30),  text("Condition", 20),  text("Editor", 30),
        text("Dewey", 20),     decimal("LowMarket"),   decimal("HighMarket"),
        text("UserDef1", 40),  text("UserDef2", 40),   text("UserDef3", 40),
        text("UserDef4", 40),  text("UserDef5", 40),   text("UserDef6", 40),
    };
    return fields;
}

std::string createBooks(const testsupport::TempDir& dir, const std::string& name) {
    std::string path = dir.file(name);
    table::Table::create(path, bookFields());
    return path;
}

void openAt(table::Table& table, const std::string& path, table::OpenMode mode) {
    auto slash = path.find_last_of('/');
    table.setDirectory(path.substr(0, slash));
    table.setTableName(path.substr(slash + 1));
    table.setOpenMode(mode);
    table.open();
}

void addBook(table::Table& table, const std::string& author, const std::string& title, int year) {
    table.append();
    table.setText(kAuthor, author);
    table.setText(kTitle, title);
    if (year != 0)
        table.setNumber(kYearPub, year);
    table.post();
}

std::vector<std::string> walk(table::Table& table, int field) {
    std::vector<std::string> seen;
    table.first();
    while (!table.eof() && !table.isEmpty()) {
        seen.push_back(table.asText(field));
        table.next();
    }
    return seen;
}

std::vector<std::string> walkBackwards(table::Table& table, int field) {
    std::vector<std::string> seen;
    table.last();
    while (!table.bof() && !table.isEmpty()) {
        seen.push_back(table.asText(field));
        table.prior();
    }
    return seen;
}

Child::Child(const std::vector<std::string>& arguments) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        throw std::runtime_error("pipe failed");
    std::string program = std::string(VOLUMARA_BIN_DIR) + "/table_child";
    std::vector<char*> argv;
    argv.push_back(program.data());
    std::vector<std::string> copies = arguments;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    int failed = posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    output_ = pipeEnds[0];
    if (failed != 0)
        throw std::runtime_error("cannot start " + program);
}

Child::~Child() {
    if (!reaped_) {
        kill();
        wait();
    }
    ::close(output_);
}

bool Child::readLine(std::string& line) {
    for (;;) {
        auto newline = pending_.find('\n');
        if (newline != std::string::npos) {
            line = pending_.substr(0, newline);
            pending_.erase(0, newline + 1);
            return true;
        }
        char buffer[4096];
        ssize_t got = ::read(output_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        pending_.append(buffer, static_cast<size_t>(got));
    }
}

void Child::kill() {
    if (!reaped_)
        ::kill(pid_, SIGKILL);
}

int Child::wait() {
    if (reaped_)
        return status_;
    int raw = 0;
    while (::waitpid(pid_, &raw, 0) < 0 && errno == EINTR) {
    }
    reaped_ = true;
    status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    return status_;
}

} // namespace tabletest
