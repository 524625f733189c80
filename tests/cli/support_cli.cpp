#include "support_cli.h"

#include "db/book_database.h"
#include "support/scripted_messages.h"
#include "table/table.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

namespace clitest {

CliHome::CliHome() {
    QDir().mkpath(QString::fromStdString(dir_.file("config")));
    QDir().mkpath(QString::fromStdString(dir_.file("program")));
}

std::string CliHome::settingsPath() const {
    return dir_.file("config/VLMBOOK.INI");
}

CliRun CliHome::run(const QStringList& arguments) const {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_DATA_HOME"})
        environment.remove(QString::fromLatin1(name));
    environment.insert("HOME", QString::fromStdString(dir_.path().string()));
    environment.insert("XDG_CONFIG_HOME", QString::fromStdString(dir_.file("config")));
    environment.insert("VOLUMARA_HOME", QString::fromStdString(dir_.file("program")));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(VOLUMARA_BIN_DIR "/volumara-cli"), arguments);
    EXPECT_TRUE(process.waitForFinished(120000)) << "volumara-cli did not end";
    CliRun result;
    result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput().toStdString();
    result.err = process.readAllStandardError().toStdString();
    return result;
}

void makeBookTable(const std::string& path, const std::vector<std::string>& authors) {
    testsupport::ScriptedMessages messages;
    ASSERT_TRUE(db::makeNewTable(QString::fromStdString(path), messages));
    table::Table books;
    db::pointTableAt(books, QString::fromStdString(path));
    books.setOpenMode(table::OpenMode::Exclusive);
    books.open();
    db::installIndex(books, "Upper(Left(Author,20))");
    int n = 0;
    for (const std::string& author : authors) {
        books.append();
        books.setText(books.fieldIndexOrThrow("AUTHOR"), author);
        books.setText(books.fieldIndexOrThrow("TITLE"), "T" + std::to_string(++n));
        books.post();
    }
    books.close();
}

} // namespace clitest
