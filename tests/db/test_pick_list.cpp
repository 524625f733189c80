#include "db/pick_list.h"

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

QString dirOf(const TempDir& dir) {
    return QString::fromStdString(dir.path().string());
}

TEST(PickListFile, LoadTrimsSpacesSkipsBlankLinesAndKeepsDuplicatesInOrder) {
    TempDir dir;
    writeBytes(dir.file("AUTHOR.LST"),
               "  Tolkien \r\n\r\n    \r\nAusten\nTolkien\r\n\tTab\t\r\nLast");
    db::PickList list("AUTHOR.LST");
    list.load(dirOf(dir));
    EXPECT_EQ(list.entries(), QStringList({"Tolkien", "Austen", "Tolkien", "\tTab\t", "Last"}));
}

TEST(PickListFile, LongLinesContributeTheirFirst255Characters) {
    TempDir dir;
    std::string longLine = std::string(300, 'x') + "\r\n";
    std::string hugeLine = std::string(100000, 'y') + "\r\nafter\r\n";
    writeBytes(dir.file("A.LST"), longLine + hugeLine);
    db::PickList list("A.LST");
    list.load(dirOf(dir));
    ASSERT_EQ(list.entries().size(), 3);
    EXPECT_EQ(list.entries()[0], QString(255, 'x'));
    EXPECT_EQ(list.entries()[1], QString(255, 'y'));
    EXPECT_EQ(list.entries()[2], "after");
}

TEST(PickListFile, WindowsTextAndBinaryJunkLoadWithoutHarm) {
    TempDir dir;
    // "Brontë" and "€uro" in Windows-1252, then NUL and control bytes.
    writeBytes(dir.file("A.LST"), std::string("Bront\xEB\r\n\x80uro\r\n\x01\x00\xFF\r\n", 19));
    db::PickList list("A.LST");
    list.load(dirOf(dir));
    ASSERT_EQ(list.entries().size(), 3);
    EXPECT_EQ(list.entries()[0], QString::fromUtf8("Brontë"));
    EXPECT_EQ(list.entries()[1], QString::fromUtf8("€uro"));
    // Saving writes the same bytes back.
    ASSERT_TRUE(list.save(dirOf(dir)));
    EXPECT_EQ(readBytes(dir.file("A.LST")),
              std::string("Bront\xEB\r\n\x80uro\r\n\x01\x00\xFF\r\n", 19));
}

TEST(PickListFile, MissingFileGivesAnEmptyListAndSaveCreatesIt) {
    TempDir dir;
    db::PickList list("CONDITION.LST");
    list.setEntries({"Stale"});
    list.load(dirOf(dir));
    EXPECT_TRUE(list.entries().isEmpty());
    ASSERT_TRUE(list.save(dirOf(dir)));
    EXPECT_EQ(readBytes(dir.file("CONDITION.LST")), "");
    list.setEntries({"Fine", "Good", "Fine"});
    ASSERT_TRUE(list.save(dirOf(dir)));
    EXPECT_EQ(readBytes(dir.file("CONDITION.LST")), "Fine\r\nGood\r\nFine\r\n");
}

// A list with an entry Windows-1252 cannot hold is written in UTF-8 as a whole; one that needs
// no more stays in Windows-1252.
TEST(PickListFile, CharactersOutsideWindows1252SurviveASaveAndALoad) {
    TempDir dir;
    db::PickList list("A.LST");
    const QStringList entries = {QString::fromUtf8("Lǎozǐ 老子"), QString::fromUtf8("Brontë"),
                                 QString::fromUtf8("Чехов 📚"), "Plain"};
    list.setEntries(entries);
    ASSERT_TRUE(list.save(dirOf(dir)));
    EXPECT_EQ(readBytes(dir.file("A.LST")),
              "L\xC7\x8Eoz\xC7\x90 \xE8\x80\x81\xE5\xAD\x90\r\nBront\xC3\xAB\r\n"
              "\xD0\xA7\xD0\xB5\xD1\x85\xD0\xBE\xD0\xB2 \xF0\x9F\x93\x9A\r\nPlain\r\n");
    db::PickList reread("A.LST");
    reread.load(dirOf(dir));
    EXPECT_EQ(reread.entries(), entries);

    // A UTF-8 file cuts long lines at 255 characters, not bytes, and accepts a byte order mark.
    writeBytes(dir.file("B.LST"), "\xEF\xBB\xBF\xC3\xA9\r\n" + std::string(2, 'x'));
    std::string longLine;
    for (int i = 0; i < 300; ++i)
        longLine += "\xD0\x96";
    writeBytes(dir.file("C.LST"), longLine + "\n");
    db::PickList withMark("B.LST");
    withMark.load(dirOf(dir));
    EXPECT_EQ(withMark.entries(), QStringList({QString::fromUtf8("é"), "xx"}));
    db::PickList cut("C.LST");
    cut.load(dirOf(dir));
    ASSERT_EQ(cut.entries().size(), 1);
    EXPECT_EQ(cut.entries()[0], QString(255, QChar(0x416)));
}

TEST(PickListFile, FailedSaveLeavesTheOldFileAsItWas) {
    TempDir dir;
    writeBytes(dir.file("RATING.LST"), "Old\r\n");
    db::PickList list("RATING.LST");
    list.setEntries({"New"});
    std::filesystem::permissions(dir.file("RATING.LST"), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::group_read |
                                                             std::filesystem::perms::others_read);
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                        std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
    std::optional<bool> saved = testsupport::runUnprivileged([&] { return list.save(dirOf(dir)); });
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    ASSERT_TRUE(saved.has_value());
    EXPECT_FALSE(*saved);
    EXPECT_EQ(readBytes(dir.file("RATING.LST")), "Old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    // A directory that does not exist at all is no better.
    EXPECT_FALSE(list.save(dirOf(dir) + "/missing"));
}

TEST(PickList, AddValueTrimsAndSkipsExactDuplicatesOnly) {
    db::PickList list("A.LST");
    EXPECT_TRUE(list.addValue("  Austen  "));
    EXPECT_FALSE(list.addValue("Austen"));
    EXPECT_TRUE(list.addValue("austen"));
    EXPECT_FALSE(list.addValue("   "));
    EXPECT_FALSE(list.addValue(""));
    EXPECT_EQ(list.entries(), QStringList({"Austen", "austen"}));
}

TEST(PickList, EveryViewIsToldOfEveryChange) {
    db::PickList list("A.LST");
    int gridUpdates = 0;
    int formUpdates = 0;
    list.addObserver([&] { ++gridUpdates; });
    int formId = list.addObserver([&] { ++formUpdates; });
    list.addValue("One");
    list.insert(99, "Two");
    list.replace(0, "Uno");
    list.removeAt(5); // out of range: no change, no notice
    EXPECT_EQ(gridUpdates, 3);
    EXPECT_EQ(formUpdates, 3);
    list.removeObserver(formId);
    list.removeAt(0);
    EXPECT_EQ(gridUpdates, 4);
    EXPECT_EQ(formUpdates, 3);
    EXPECT_EQ(list.entries(), QStringList({"Two"}));
}

TEST(PickLists, NineListsByFieldRoundTripThroughTheirFiles) {
    TempDir dir;
    db::PickLists lists;
    EXPECT_EQ(lists.forField(1), nullptr); // Title has no list
    ASSERT_NE(lists.forField(19), nullptr);
    EXPECT_EQ(lists.forField(19)->fileName(), "CHECKOUT.LST");
    lists.forField(2)->addValue("Austen");
    lists.forField(6)->addValue("Market");
    lists.saveAll(dirOf(dir));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 9);
    EXPECT_EQ(readBytes(dir.file("BOUGHT.LST")), "Market\r\n");

    db::PickLists reloaded;
    reloaded.loadAll(dirOf(dir));
    EXPECT_EQ(reloaded.forField(2)->entries(), QStringList({"Austen"}));
    EXPECT_TRUE(reloaded.forField(25)->entries().isEmpty());
}

} // namespace
