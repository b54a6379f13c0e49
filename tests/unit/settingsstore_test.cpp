#include "mainwindow/settingsstore.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/profilestore.h"
#include "platform/tempfile.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;

const char kKey[] = "Software/Quorvel/Page Binder/ENV";

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguage(Language::English); }

    SettingsStore Settings() { return SettingsStore(profile_, "/opt/aw/"); }

    ScratchDir dir_;
    ProfileStore profile_{(dir_ / "config/settings").string()};
};

TEST_F(SettingsStoreTest, StartOnAnEmptyStore) {
    SettingsStore settings = Settings();
    ASSERT_TRUE(settings.WriteDefaultSettings());
    AlbumSettings album;
    ASSERT_TRUE(settings.LoadSettings(album));
    ASSERT_TRUE(settings.LoadWorkFolder(album));

    const char* backgrounds[] = {"SolidColor", "/opt/aw/htmldata/cyber.jpg", "/opt/aw/htmldata/usa.jpg",
                                 "/opt/aw/htmldata/natural.jpg", "/opt/aw/htmldata/toro.jpg"};
    ASSERT_EQ(album.backgrounds.size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(album.backgrounds[i].index, i);
        EXPECT_EQ(album.backgrounds[i].path, backgrounds[i]);
    }
    ASSERT_EQ(album.arrangements.size(), 4u);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(*album.Arrangement(i), "/opt/aw/htmldata/form" + std::to_string(i + 1) + ".dat");
    EXPECT_EQ(album.audioPicture, "/opt/aw/htmldata/wave.jpg");
    EXPECT_EQ(album.embedPlayback, 0);
    EXPECT_EQ(album.workFolder, SystemTempPath());

    // Eleven values written, every one with its type; TempPath not among them.
    const auto embed = profile_.Read(kKey, "ISEMBED");
    ASSERT_TRUE(embed);
    EXPECT_EQ(embed->type, ProfileStore::Type::Number);
    EXPECT_EQ(profile_.Read(kKey, "BGFILE0")->type, ProfileStore::Type::Text);
    EXPECT_FALSE(profile_.Read(kKey, "TempPath"));
}

TEST_F(SettingsStoreTest, EmbedFlagSavedBeforeStartIsReadAsZero) {
    SettingsStore settings = Settings();
    ASSERT_TRUE(settings.SaveEmbedFlag(5));
    EXPECT_EQ(profile_.Read(kKey, "ISEMBED")->number, 1);
    ASSERT_TRUE(settings.WriteDefaultSettings());
    AlbumSettings album;
    ASSERT_TRUE(settings.LoadSettings(album));
    EXPECT_EQ(album.embedPlayback, 0);
}

TEST_F(SettingsStoreTest, ProfileIntOfTheWrongTypeGivesTheDefault) {
    SettingsStore settings = Settings();
    ASSERT_TRUE(profile_.WriteText(kKey, "ISEMBED", "1"));
    EXPECT_EQ(settings.GetProfileInt("ENV", "ISEMBED", 0), 0);
    EXPECT_EQ(settings.GetProfileInt("ENV", "missing", 9), 9);
    ASSERT_TRUE(settings.WriteProfileInt("ENV", "ISEMBED", 1));
    EXPECT_EQ(settings.GetProfileInt("env", "isembed", 0), 1);
}

TEST_F(SettingsStoreTest, ReadRegistryPathCountsTheTerminatingZero) {
    SettingsStore settings = Settings();
    std::string text = "stale";
    EXPECT_EQ(settings.ReadRegistryPath(kKey, "TempPath", text), 0u);
    EXPECT_EQ(text, "");
    const struct {
        std::size_t length;
        bool readable;
    } cases[] = {{0, true}, {258, true}, {259, false}, {400, false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(profile_.WriteText(kKey, "TempPath", std::string(c.length, 'a')));
        EXPECT_EQ(settings.ReadRegistryPath("software/quorvel/page binder/env", "temppath", text),
                  c.length + 1);
        EXPECT_EQ(text, c.readable ? std::string(c.length, 'a') : "") << c.length;
    }
}

TEST_F(SettingsStoreTest, StoredWorkFolderIsUsedOnlyWhenUsable) {
    SettingsStore settings = Settings();
    std::filesystem::create_directories(dir_ / "work");
    const struct {
        std::string stored;
        std::string expected;
    } cases[] = {
        {dir_.str() + "/work/", dir_.str() + "/work/"},
        {dir_.str() + "/work", dir_.str() + "/work/"}, // the separator is put back
        {"/", SystemTempPath()},                       // one character
        {dir_.str() + "/missing/", SystemTempPath()},
        {"/" + std::string(300, 'x') + "/", SystemTempPath()}, // too long to be read
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(settings.SaveWorkFolder(c.stored));
        AlbumSettings album;
        ASSERT_TRUE(settings.LoadWorkFolder(album));
        EXPECT_EQ(album.workFolder, c.expected) << c.stored;
    }
}

TEST_F(SettingsStoreTest, AStoreThatRefusesWritesFailsTheStart) {
    WriteWholeFile(dir_ / "blocked", "a file where the folder should be");
    ProfileStore blocked((dir_ / "blocked/settings").string());
    SettingsStore settings(blocked, "/opt/aw/");
    EXPECT_FALSE(settings.WriteDefaultSettings());
    EXPECT_FALSE(settings.SaveEmbedFlag(1));
    EXPECT_FALSE(settings.SaveWorkFolder("/tmp/"));
    AlbumSettings album;
    EXPECT_FALSE(settings.LoadSettings(album));
}

TEST_F(SettingsStoreTest, AMissingValueFailsLoading) {
    SettingsStore settings = Settings();
    ASSERT_TRUE(settings.WriteDefaultSettings());
    ProfileStore fresh((dir_ / "other").string());
    ASSERT_TRUE(fresh.WriteText(kKey, "BGFILE0", "SolidColor"));
    AlbumSettings album;
    EXPECT_FALSE(SettingsStore(fresh, "/opt/aw/").LoadSettings(album));
}

TEST(SettingsStore, ProgramFolderIsThatOfTheRunningExecutable) {
    const std::string folder = SettingsStore::RunningProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(std::filesystem::exists(folder + "settingsstore_test"));
}

} // namespace
} // namespace aw
