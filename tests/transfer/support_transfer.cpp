#include "support_transfer.h"

#include <QString>

#include <fstream>
#include <iterator>

namespace transfertest {

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
