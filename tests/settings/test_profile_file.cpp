#include "settings/profile_file.h"

#include "db/unprivileged.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using testsupport::TempDir;

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

QString qpath(const std::string& path) {
    return QString::fromStdString(path);
}

TEST(ProfileFileRead, SectionsAndKeysIgnoreCaseAndMissingOnesGiveTheDefault) {
    TempDir dir;
    writeBytes(dir.file("A.INI"), "; comment\n[Misc]\nButton Bar = 2 \n  [ grid font ]  \n"
                                  "FONT NAME=\"Times New Roman\"\nEmpty=\n");
    app::ProfileFile file(qpath(dir.file("A.INI")));
    EXPECT_EQ(file.readString("misc", "button bar", "1", 15), "2");
    EXPECT_EQ(file.readString("Grid Font", "Font Name", "Arial", 150), "Times New Roman");
    EXPECT_EQ(file.readString("Grid Font", "Empty", "x", 150), "");
    EXPECT_EQ(file.readString("Grid Font", "Size", "10", 15), "10");
    EXPECT_EQ(file.readString("Nowhere", "Button Bar", "dflt", 15), "dflt");
    // A key of another section is not found.
    EXPECT_EQ(file.readString("Misc", "Font Name", "Arial", 150), "Arial");

    app::ProfileFile missing(qpath(dir.file("NONE.INI")));
    EXPECT_EQ(missing.readString("Misc", "Button Bar", "1", 15), "1");
}

TEST(ProfileFileRead, ValuesAreCutToTheBufferLessItsTerminator) {
    TempDir dir;
    writeBytes(dir.file("A.INI"), "[S]\r\nLong=" + std::string(300, 'v') + "\r\n");
    app::ProfileFile file(qpath(dir.file("A.INI")));
    EXPECT_EQ(file.readString("S", "Long", "", 15).size(), 14);
    EXPECT_EQ(file.readString("S", "Long", "", 150).size(), 149);
    EXPECT_EQ(file.readString("S", "Long", "", 250).size(), 249);
    EXPECT_EQ(file.readString("S", "Missing", "defaultvalue", 5), "defa");
}

TEST(ProfileFileRead, HostileContentReadsSafely) {
    TempDir dir;
    std::string junk;
    for (int i = 0; i < 200000; ++i)
        junk.push_back(static_cast<char>((i * 7919) % 256));
    writeBytes(dir.file("A.INI"), "[S]\r\nBig=" + std::string(100000, 'x') + "\r\n" + junk +
                                      "\n[T]\nKey=found\n[Unclosed\n=novalue\n");
    app::ProfileFile file(qpath(dir.file("A.INI")));
    EXPECT_EQ(file.readString("S", "Big", "", 250), QString(249, 'x'));
    EXPECT_EQ(file.readString("T", "Key", "", 15), "found");
    EXPECT_EQ(file.readString("Unclosed", "", "d", 15), "novalue");
}

TEST(ProfileFileWrite, UpdatesInPlaceKeepingEverythingElse) {
    TempDir dir;
    writeBytes(dir.file("A.INI"),
               "; Written by hand\r\n[Misc]\r\nButton Bar=1\r\nUnknown=keep me\r\n"
               "\r\n[Other]\nA=1\n");
    app::ProfileFile file(qpath(dir.file("A.INI")));
    file.writeString("MISC", "button bar", "3");
    file.writeString("Misc", "Window Size", "800");
    file.writeString("New Section", "Key", "Value");
    file.writeString("Other", "B", "line\nbreak");
    ASSERT_TRUE(file.save());
    EXPECT_EQ(readBytes(dir.file("A.INI")),
              "; Written by hand\r\n[Misc]\r\nbutton bar=3\r\nUnknown=keep me\r\n"
              "Window Size=800\r\n\r\n[Other]\r\nA=1\r\nB=line break\r\n"
              "[New Section]\r\nKey=Value\r\n");
    app::ProfileFile reread(qpath(dir.file("A.INI")));
    EXPECT_EQ(reread.readString("Misc", "Button Bar", "", 15), "3");
}

TEST(ProfileFileWrite, TextIsWrittenInWindows1252) {
    TempDir dir;
    app::ProfileFile file(qpath(dir.file("A.INI")));
    file.writeString("Field Names", "Title", QString::fromUtf8("Titre été €"));
    ASSERT_TRUE(file.save());
    EXPECT_EQ(readBytes(dir.file("A.INI")), "[Field Names]\r\nTitle=Titre \xE9t\xE9 \x80\r\n");
    EXPECT_EQ(
        app::ProfileFile(qpath(dir.file("A.INI"))).readString("Field Names", "TITLE", "", 150),
        QString::fromUtf8("Titre été €"));
}

// A value Windows-1252 cannot hold turns the whole file into UTF-8, text written before by the
// Windows program included; reading tells the two apart by whether the bytes are valid UTF-8.
TEST(ProfileFileWrite, TextOutsideWindows1252MakesTheWholeFileUtf8) {
    TempDir dir;
    writeBytes(dir.file("A.INI"), "; \xC9t\xE9 1999\r\n[Misc]\r\nLast Database=/tmp/\xE9.DBF\r\n");
    app::ProfileFile file(qpath(dir.file("A.INI")));
    file.writeString("Misc", "Last File 1", QString::fromUtf8("/home/u/Книги/A.DBF"));
    file.writeString(QString::fromUtf8("Поля"), QString::fromUtf8("Ключ"), "1");
    ASSERT_TRUE(file.save());
    EXPECT_EQ(readBytes(dir.file("A.INI")),
              "; \xC3\x89t\xC3\xA9 1999\r\n[Misc]\r\nLast Database=/tmp/\xC3\xA9.DBF\r\n"
              "Last File 1=/home/u/\xD0\x9A\xD0\xBD\xD0\xB8\xD0\xB3\xD0\xB8/A.DBF\r\n"
              "[\xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8F]\r\n\xD0\x9A\xD0\xBB\xD1\x8E\xD1\x87=1\r\n");
    app::ProfileFile reread(qpath(dir.file("A.INI")));
    EXPECT_EQ(reread.readString("misc", "last file 1", "", 250),
              QString::fromUtf8("/home/u/Книги/A.DBF"));
    EXPECT_EQ(reread.readString("MISC", "Last Database", "", 250), QString::fromUtf8("/tmp/é.DBF"));
    // Names still match without regard to case, in any script.
    EXPECT_EQ(reread.readString(QString::fromUtf8("ПОЛЯ"), QString::fromUtf8("КЛЮЧ"), "", 15), "1");
    // The buffer counts characters, not bytes.
    EXPECT_EQ(reread.readString("Misc", "Last File 1", "", 12), QString::fromUtf8("/home/u/Кни"));

    // Once no value needs it, the file goes back to Windows-1252.
    writeBytes(dir.file("B.INI"), "[Misc]\r\nLast Database=/tmp/\xE9.DBF\r\n");
    app::ProfileFile other(qpath(dir.file("B.INI")));
    other.writeString("Misc", "Last File 1", QString::fromUtf8("/home/u/Книги/A.DBF"));
    ASSERT_TRUE(other.save());
    app::ProfileFile otherReread(qpath(dir.file("B.INI")));
    otherReread.writeString("Misc", "Last File 1", "");
    ASSERT_TRUE(otherReread.save());
    EXPECT_EQ(readBytes(dir.file("B.INI")),
              "[Misc]\r\nLast Database=/tmp/\xE9.DBF\r\nLast File 1=\r\n");
}

TEST(ProfileFileRead, Utf8WithAByteOrderMarkReadsAndKeepsTheMark) {
    TempDir dir;
    writeBytes(dir.file("A.INI"), "\xEF\xBB\xBF[Misc]\r\nLast Database=/b\xC3\xBC/x\r\n");
    app::ProfileFile file(qpath(dir.file("A.INI")));
    EXPECT_EQ(file.readString("Misc", "Last Database", "", 250), QString::fromUtf8("/bü/x"));
    file.writeString("Misc", "Show Tips", "No");
    ASSERT_TRUE(file.save());
    EXPECT_EQ(readBytes(dir.file("A.INI")),
              "\xEF\xBB\xBF[Misc]\r\nLast Database=/b\xC3\xBC/x\r\nShow Tips=No\r\n");
}

TEST(ProfileFileWrite, UnwritableFileIsSkippedAndLeftUnchanged) {
    namespace fs = std::filesystem;
    TempDir dir;
    const std::string original = "[Misc]\r\nButton Bar=1\r\n";
    writeBytes(dir.file("A.INI"), original);
    fs::permissions(dir.file("A.INI"),
                    fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // The directory itself stays writable: replacing the file by renaming must not sneak past
    // the file's own protection.
    fs::permissions(dir.path(), fs::perms::all);
    app::ProfileFile file(qpath(dir.file("A.INI")));
    file.writeString("Misc", "Button Bar", "2");
    std::optional<bool> saved = testsupport::runUnprivileged([&] { return file.save(); });
    ASSERT_TRUE(saved.has_value());
    EXPECT_FALSE(*saved);
    EXPECT_EQ(readBytes(dir.file("A.INI")), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(ProfileFileWrite, FileTooLargeToReadIsNeverRewritten) {
    TempDir dir;
    {
        std::ofstream out(dir.file("A.INI"), std::ios::binary);
        out << "[Misc]\r\nButton Bar=2\r\n";
        std::string block(1 << 20, ';');
        for (int i = 0; i < 33; ++i)
            out << block;
    }
    auto sizeBefore = std::filesystem::file_size(dir.file("A.INI"));
    app::ProfileFile file(qpath(dir.file("A.INI")));
    EXPECT_EQ(file.readString("Misc", "Button Bar", "1", 15), "1");
    file.writeString("Misc", "Button Bar", "3");
    EXPECT_FALSE(file.save());
    EXPECT_EQ(std::filesystem::file_size(dir.file("A.INI")), sizeBefore);
}

} // namespace
