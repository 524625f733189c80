// volumara-cli: the book tables of Volumara Books from scripts, without a display.

#include "cli/cli_arguments.h"
#include "cli/commands.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

namespace {

void printUsage(std::FILE* out) {
    std::fputs("Usage: volumara-cli SUBCOMMAND [OPTIONS] ARGUMENTS\n\nSubcommands:\n", out);
    for (const cli::Command& command : cli::commands())
        std::fprintf(out, "  %s\n", command.synopsis);
    std::fputs("\n`volumara-cli SUBCOMMAND --help` describes one of them.\n", out);
}

bool asksForHelp(const cli::Words& words) {
    return std::find(words.begin(), words.end(), "--help") != words.end();
}

// Qt's own warnings (such as a missing XDG_RUNTIME_DIR) would mix with the program's messages,
// which scripts read from standard error; only Qt's critical errors are shown.
void quietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char** argv) {
    // Reports measure text with the fonts of the machine, which needs Qt's GUI application; it
    // draws on the offscreen platform so that no display is ever needed.
    const bool needsFonts = argc >= 2 && std::strcmp(argv[1], "report") == 0;
    if (needsFonts)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietQtMessages);
    std::unique_ptr<QCoreApplication> application =
        needsFonts ? std::make_unique<QGuiApplication>(argc, argv)
                   : std::make_unique<QCoreApplication>(argc, argv);
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
        printUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const auto& all = cli::commands();
    const auto command = std::find_if(all.begin(), all.end(), [&](const cli::Command& candidate) {
        return std::strcmp(candidate.name, argv[1]) == 0;
    });
    if (command == all.end()) {
        std::fprintf(stderr, "volumara-cli: unknown subcommand %s\n", argv[1]);
        printUsage(stderr);
        return 2;
    }
    const cli::Words words(argv + 2, argv + argc);
    if (asksForHelp(words)) {
        std::printf("Usage: volumara-cli %s\n\n%s%s", command->synopsis, command->help,
                    cli::commonHelp());
        return 0;
    }
    try {
        return command->run(words);
    } catch (const cli::UsageError& error) {
        std::fprintf(stderr, "volumara-cli %s: %s\nUsage: volumara-cli %s\n", command->name,
                     error.what(), command->synopsis);
        return 2;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
