// Copying a large table file as a backup does: how long it takes and how often the progress
// moves on (the window stays responsive because the copy runs on a worker thread; the longest
// gap between progress reports is how long the bar may stand still).
//
//     backup_bench [size in MiB, default 1024] [folder, default $TMPDIR or /tmp]

#include "backup/file_copy.h"

#include <QDir>
#include <QString>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void writeSource(const std::string& path, long long mebibytes) {
    std::vector<char> block(1024 * 1024);
    std::ofstream out(path, std::ios::binary);
    for (long long i = 0; i < mebibytes; ++i) {
        for (size_t j = 0; j < block.size(); j += 512)
            block[j] = static_cast<char>(i + static_cast<long long>(j));
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

void copyOnce(const QString& source, const QString& target, long long mebibytes, const char* what) {
    int reports = 0;
    double longestGap = 0;
    Clock::time_point last = Clock::now();
    const Clock::time_point start = last;
    const auto failure = backup::copyFileReplacing(source, target, [&](double) {
        const Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, std::chrono::duration<double>(now - last).count());
        last = now;
        ++reports;
    });
    const double seconds = secondsSince(start);
    if (failure) {
        std::printf("%s: failed: %s\n", what, failure->c_str());
        return;
    }
    std::printf("%-28s %8.2f s  %8.1f MiB/s  %5d progress reports, longest gap %.3f s\n", what,
                seconds, static_cast<double>(mebibytes) / seconds, reports, longestGap);
}

} // namespace

int main(int argc, char** argv) {
    const long long mebibytes = argc > 1 ? std::atoll(argv[1]) : 1024;
    const char* tmp = std::getenv("TMPDIR");
    const QString folder = QString::fromLocal8Bit(argc > 2 ? argv[2]
                                                  : tmp    ? tmp
                                                           : "/tmp") +
                           QStringLiteral("/backup_bench");
    QDir().mkpath(folder);
    const QString source = folder + "/MASTER.DBF";
    const QString target = folder + "/COPY.DBF";
    const Clock::time_point start = Clock::now();
    writeSource(source.toStdString(), mebibytes);
    std::printf("source of %lld MiB written in %.2f s\n", mebibytes, secondsSince(start));
    copyOnce(source, target, mebibytes, "copy to a new file");
    copyOnce(source, target, mebibytes, "copy over the earlier copy");
    QDir(folder).removeRecursively();
    return 0;
}
