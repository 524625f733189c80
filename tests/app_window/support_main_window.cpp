#include "support_main_window.h"

#include "db/book_database.h"

#include <QApplication>
#include <QFile>

#include <fstream>
#include <sstream>

namespace testsupport {

void makeBookTable(const QString& path, const std::vector<std::string>& authors) {
    struct Silent : db::UserMessages {
        db::MessageAnswer show(const std::string&, const std::string& text, db::MessageIcon,
                               db::MessageButtons, db::MessageAnswer answer) override {
            ADD_FAILURE() << text;
            return answer;
        }
        void beep(db::BeepKind) override {}
    } silent;
    ASSERT_TRUE(db::makeNewTable(path, silent));
    table::Table handle;
    db::pointTableAt(handle, path);
    handle.setOpenMode(table::OpenMode::Exclusive);
    handle.open();
    const int author = handle.fieldIndexOrThrow("AUTHOR");
    const int title = handle.fieldIndexOrThrow("TITLE");
    int number = 1;
    for (const std::string& name : authors) {
        handle.append();
        handle.setText(author, name);
        handle.setText(title, "Book " + std::to_string(number++));
        handle.post();
    }
    handle.close();
}

void makeForeignTable(const QString& path) {
    table::Table::create(QFile::encodeName(path).toStdString(),
                         {{"NAME", 'C', 20, 0}, {"PRICE", 'N', 8, 2}});
}

void MainWindowTest::writeSettings(const std::string& text) const {
    std::ofstream(settingsPath().toStdString(), std::ios::binary) << text;
}

std::string MainWindowTest::readSettings() const {
    std::ifstream in(settingsPath().toStdString(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::unique_ptr<app::TMain> MainWindowTest::makeWindow(const QStringList& arguments) {
    return std::make_unique<app::TMain>(app::MainWindowEnvironment{
        s.seams, programDirectory(), settingsPath(), programDirectory(), arguments});
}

std::unique_ptr<app::TMain> MainWindowTest::startWindow(const QStringList& arguments) {
    auto window = makeWindow(arguments);
    EXPECT_TRUE(window->FormCreate());
    window->show();
    QApplication::processEvents();
    return window;
}

} // namespace testsupport
