#pragma once

// Runs a file operation as a user that may not write the files the test made read-only. An
// ordinary user simply runs it; root, whom permissions do not stop, runs it in a child process
// that has given up its rights. Returns what the operation returned, or nothing when the child
// could not give up its rights.

#include <functional>
#include <optional>

#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

inline std::optional<bool> runUnprivileged(const std::function<bool()>& operation) {
    if (::geteuid() != 0)
        return operation();
    pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        ::_exit(operation() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}

} // namespace testsupport
