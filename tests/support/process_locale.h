#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace testsupport {

// The process locales under which number text must come out the same: QApplication applies the
// environment's LC_NUMERIC to the C library, so a German or French user runs the program under
// a decimal comma. scripts/install-deps.sh generates the two regional ones.
inline constexpr const char* kProcessLocales[] = {"C", "de_DE.UTF-8", "fr_FR.UTF-8"};

// Puts the whole process under `name`, as setlocale(LC_ALL, ...) does, and back to "C" when it
// goes away. Fails the current test when the locale is not installed.
class ProcessLocale {
public:
    explicit ProcessLocale(const char* name) : active_(std::setlocale(LC_ALL, name) != nullptr) {
        if (!active_)
            ADD_FAILURE() << "the locale " << name
                          << " is not installed (scripts/install-deps.sh generates it)";
    }
    ~ProcessLocale() { std::setlocale(LC_ALL, "C"); }
    ProcessLocale(const ProcessLocale&) = delete;
    ProcessLocale& operator=(const ProcessLocale&) = delete;

    bool active() const { return active_; }

private:
    bool active_;
};

} // namespace testsupport
