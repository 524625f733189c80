#include "settings/app_paths.h"

#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include <cstdlib>
#include <filesystem>

namespace {

using testsupport::TempDir;

// Points every per-user location at a temporary home and restores the environment afterwards.
class AppPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : kVariables) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        ::setenv("HOME", home_.path().c_str(), 1);
    }
    void TearDown() override {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
    }
    QString homePath(const char* relative) const {
        return QString::fromStdString((home_.path() / relative).string());
    }

    static constexpr const char* kVariables[] = {"HOME", "VOLUMARA_HOME", "XDG_DATA_HOME",
                                                 "XDG_CONFIG_HOME"};
    TempDir home_;
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

TEST_F(AppPathsTest, ProgramDirectoryPrefersOverrideThenExecutableThenUserData) {
    TempDir exe;
    QString exeDir = QString::fromStdString(exe.path().string());
    EXPECT_EQ(app::programDirectory(exeDir + "/"), exeDir);

    // A directory we may not write (here: one that does not exist) sends us to the data home.
    QString fallback = app::programDirectory(exeDir + "/missing/bin");
    EXPECT_EQ(fallback, homePath(".local/share/volumara"));
    EXPECT_TRUE(QFileInfo(fallback).isDir());

    ::setenv("XDG_DATA_HOME", homePath("data").toLocal8Bit().constData(), 1);
    EXPECT_EQ(app::programDirectory(exeDir + "/missing/bin"), homePath("data/volumara"));

    ::setenv("VOLUMARA_HOME", homePath("elsewhere/").toLocal8Bit().constData(), 1);
    EXPECT_EQ(app::programDirectory(exeDir), homePath("elsewhere"));
}

// An installed program's folder may be writable (by root, say) and is still no place for a
// user's tables; a build folder named bin without the installed share folder still is.
TEST_F(AppPathsTest, InstalledProgramKeepsItsDataInTheUserDataHome) {
    TempDir prefix;
    const std::filesystem::path bin = prefix.path() / "bin";
    std::filesystem::create_directories(bin);
    const QString binDir = QString::fromStdString(bin.string());
    EXPECT_EQ(app::programDirectory(binDir), binDir);

    std::filesystem::create_directories(prefix.path() / "share/volumara");
    EXPECT_EQ(app::programDirectory(binDir), homePath(".local/share/volumara"));
    EXPECT_EQ(app::programDirectory(binDir + "/"), homePath(".local/share/volumara"));
}

TEST_F(AppPathsTest, SettingsFileLivesInTheConfigurationDirectory) {
    EXPECT_EQ(app::settingsFilePath(), homePath(".config/VLMBOOK.INI"));
    EXPECT_TRUE(QFileInfo(homePath(".config")).isDir());
    ::setenv("XDG_CONFIG_HOME", homePath("cfg").toLocal8Bit().constData(), 1);
    EXPECT_EQ(app::settingsFilePath(), homePath("cfg/VLMBOOK.INI"));
    // A relative value is not a valid base directory and is ignored.
    ::setenv("XDG_CONFIG_HOME", "relative/cfg", 1);
    EXPECT_EQ(app::settingsFilePath(), homePath(".config/VLMBOOK.INI"));
}

} // namespace
