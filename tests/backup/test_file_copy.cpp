// Copying files safely, the room rule and the volumes offered as destinations.

#include "backup/file_copy.h"
#include "backup/storage.h"
#include "support_backup.h"

#include <gtest/gtest.h>

using namespace testsupport;
using backup::copyFileReplacing;

namespace {

class FileCopyTest : public ::testing::Test {
protected:
    QString path(const char* name) const { return QString::fromStdString(dir.file(name)); }
    QString folder() const { return QString::fromStdString(dir.path().string()); }
    TempDir dir;
};

std::string pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 4096) % 251);
    return bytes;
}

TEST_F(FileCopyTest, ReplacesTheTargetWithAnExactCopyAndLeavesNoTemporaryFile) {
    const std::string bytes = pattern(3 * 1024 * 1024 + 17);
    writeFile(path("SOURCE.DBF"), bytes);
    writeFile(path("TARGET.DBF"), "an earlier, longer or shorter copy");
    std::vector<double> steps;
    EXPECT_EQ(copyFileReplacing(path("SOURCE.DBF"), path("TARGET.DBF"),
                                [&](double done) { steps.push_back(done); }),
              std::nullopt);
    EXPECT_EQ(readFile(path("TARGET.DBF")), bytes);
    EXPECT_EQ(filesIn(folder()), (QStringList{"SOURCE.DBF", "TARGET.DBF"}));
    ASSERT_FALSE(steps.empty());
    EXPECT_DOUBLE_EQ(steps.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
}

TEST_F(FileCopyTest, AnEmptyFileAndACopyOntoItselfAreCopiesToo) {
    writeFile(path("EMPTY.LST"), "");
    EXPECT_EQ(copyFileReplacing(path("EMPTY.LST"), path("COPY.LST")), std::nullopt);
    EXPECT_EQ(readFile(path("COPY.LST")), "");
    writeFile(path("SELF.LST"), "Austen\r\n");
    EXPECT_EQ(copyFileReplacing(path("SELF.LST"), path("SELF.LST")), std::nullopt);
    EXPECT_EQ(readFile(path("SELF.LST")), "Austen\r\n");
}

TEST_F(FileCopyTest, AFailedCopyLeavesTheEarlierTargetAsItWas) {
    writeFile(path("SOURCE.DBF"), pattern(2 * 1024 * 1024));
    writeFile(path("TARGET.DBF"), "the earlier good backup");
    {
        FileSizeLimit fullDevice(512 * 1024); // the device fills half way through
        EXPECT_NE(copyFileReplacing(path("SOURCE.DBF"), path("TARGET.DBF")), std::nullopt);
    }
    EXPECT_EQ(readFile(path("TARGET.DBF")), "the earlier good backup");
    EXPECT_EQ(filesIn(folder()), (QStringList{"SOURCE.DBF", "TARGET.DBF"}));
}

TEST_F(FileCopyTest, AMissingSourceOrFolderFailsWithoutTouchingAnything) {
    writeFile(path("TARGET.DBF"), "kept");
    EXPECT_NE(copyFileReplacing(path("MISSING.DBF"), path("TARGET.DBF")), std::nullopt);
    EXPECT_EQ(readFile(path("TARGET.DBF")), "kept");
    writeFile(path("SOURCE.DBF"), "data");
    EXPECT_NE(copyFileReplacing(path("SOURCE.DBF"), path("NO-SUCH-FOLDER/TARGET.DBF")),
              std::nullopt);
}

TEST(JoinPath, UsesOneSeparator) {
    EXPECT_EQ(backup::joinPath("/", "MASTER.DBF"), "/MASTER.DBF");
    EXPECT_EQ(backup::joinPath("/media/stick", "MASTER.DBF"), "/media/stick/MASTER.DBF");
    EXPECT_EQ(backup::joinPath("/media/stick/", "AUTHOR.LST"), "/media/stick/AUTHOR.LST");
}

TEST_F(FileCopyTest, AnExistingTargetCountsAsFreeRoom) {
    writeFile(path("SOURCE.DBF"), std::string(1000, 'x'));
    writeFile(path("OLD.DBF"), std::string(900, 'x'));
    struct Case {
        const char* target;
        std::optional<qint64> free;
        bool enough;
    };
    const Case cases[] = {
        {"NEW.DBF", 1000, true}, {"NEW.DBF", 999, false},         {"OLD.DBF", 100, true},
        {"OLD.DBF", 99, false},  {"NEW.DBF", std::nullopt, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(backup::enoughRoomFor(path("SOURCE.DBF"), path(c.target), c.free), c.enough)
            << c.target << " with " << c.free.value_or(-1) << " free";
}

TEST(Volumes, RemovableMediaFirstThenHomeThenTheRestWithoutSystemMounts) {
    const std::vector<backup::MountedVolume> mounted = {
        {"/", "", false},
        {"/proc", "", false},
        {"/run/user/1000", "", false},
        {"/data", "DATA", false},
        {"/run/media/anna/CARD", "CARD", false},
        {"/media/anna/STICK", "STICK", false},
        {"/media/cdrom", "DISC", true},
        {"/boot/efi", "", false},
    };
    const std::vector<backup::Volume> volumes = backup::orderVolumes(mounted, "/home/anna");
    QStringList roots;
    for (const backup::Volume& volume : volumes)
        roots << volume.rootPath;
    EXPECT_EQ(roots, (QStringList{"/media/anna/STICK", "/run/media/anna/CARD", "/home/anna", "/",
                                  "/data"}));
    EXPECT_TRUE(volumes[0].removable);
    EXPECT_EQ(volumes[0].displayName, "STICK (/media/anna/STICK)");
    EXPECT_FALSE(volumes[2].removable);

    EXPECT_EQ(backup::volumeHolding(volumes, "/home/anna/books"), 2);
    EXPECT_EQ(backup::volumeHolding(volumes, "/home/annabel"), 3);
    EXPECT_EQ(backup::volumeHolding(volumes, "/media/anna/STICK"), 0);
    EXPECT_EQ(backup::volumeHolding({}, "/home/anna"), -1);
}

TEST(Volumes, TheMachineOffersAtLeastTheFolderOfTheTests) {
    backup::SystemStorage storage;
    const std::vector<backup::Volume> volumes = storage.mountedVolumes();
    TempDir dir;
    EXPECT_GE(backup::volumeHolding(volumes, QString::fromStdString(dir.path().string())), 0);
    EXPECT_GT(storage.bytesAvailable(QString::fromStdString(dir.path().string())).value_or(0), 0);
}

} // namespace
