#include "mainwindow/settingsstore.h"

#include <csignal>
#include <filesystem>

#include <sys/resource.h>

#include <gtest/gtest.h>

#include "platform/profilestore.h"
#include "platform/tempfile.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;

const char kKey[] = "Software/Quorvel/Page Binder/ENV";

class SettingsStoreTest : public ::testing::Test {
protected:
    ScratchDir dir_;
    ProfileStore profile_{(dir_ / "config/settings").string()};
    SettingsStore settings_{profile_, "/p/"};
};

TEST_F(SettingsStoreTest, StartOnAnEmptyStore) {
    ASSERT_TRUE(settings_.SaveEmbedFlag(5)); // saved as 1, and every start resets it
    EXPECT_EQ(profile_.Read(kKey, "ISEMBED")->number, 1);
    ASSERT_TRUE(settings_.WriteDefaultSettings());
    AlbumSettings album;
    ASSERT_TRUE(settings_.LoadSettings(album));
    ASSERT_TRUE(settings_.LoadWorkFolder(album));

    std::string rows; // index and path of every row in order
    for (const auto* table : {&album.backgrounds, &album.arrangements})
        for (const SettingsRow& row : *table)
            rows += std::to_string(row.index) + "=" + row.path + " ";
    EXPECT_EQ(rows, "0=SolidColor 1=/p/htmldata/cyber.jpg 2=/p/htmldata/usa.jpg 3=/p/htmldata/natural.jpg "
                    "4=/p/htmldata/toro.jpg 0=/p/htmldata/form1.dat 1=/p/htmldata/form2.dat "
                    "2=/p/htmldata/form3.dat 3=/p/htmldata/form4.dat ");
    EXPECT_EQ(album.audioPicture, "/p/htmldata/wave.jpg");
    EXPECT_EQ(album.embedPlayback, 0);
    EXPECT_EQ(album.workFolder, SystemTempPath());
    EXPECT_FALSE(profile_.Read(kKey, "TempPath")); // never written

    // A number stored as text is no number.
    ASSERT_TRUE(profile_.WriteText(kKey, "ISEMBED", "1"));
    EXPECT_EQ(settings_.GetProfileInt("ENV", "ISEMBED", 0), 0);
    EXPECT_EQ(settings_.GetProfileInt("ENV", "missing", 9), 9);
    ASSERT_TRUE(settings_.WriteProfileInt("ENV", "ISEMBED", 1));
    EXPECT_EQ(settings_.GetProfileInt("env", "isembed", 0), 1);
}

TEST_F(SettingsStoreTest, TempPathIsReadOnlyWhenShortEnoughAndUsable) {
    std::string text = "stale";
    EXPECT_EQ(settings_.ReadRegistryPath(kKey, "TempPath", text), 0u);
    EXPECT_EQ(text, "");
    // The size counts the terminating zero: 260 bytes no longer fit.
    for (std::size_t length : {0, 258, 259, 400}) {
        ASSERT_TRUE(profile_.WriteText(kKey, "TempPath", std::string(length, 'a')));
        EXPECT_EQ(settings_.ReadRegistryPath("software/quorvel/page binder/env", "temppath", text),
                  length + 1);
        EXPECT_EQ(text, length < 259 ? std::string(length, 'a') : "") << length;
    }

    const std::string work = dir_.str() + "/work", temp = SystemTempPath(), tooLong(300, 'x');
    std::filesystem::create_directories(work);
    // The separator is put back; one character, a missing folder or a path too long gives the system's.
    const std::pair<std::string, std::string> cases[] = {
        {work + "/", work + "/"}, {work, work + "/"}, {"/", temp}, {work + "x/", temp}, {"/" + tooLong, temp},
    };
    for (const auto& [stored, expected] : cases) {
        ASSERT_TRUE(settings_.SaveWorkFolder(stored));
        AlbumSettings album;
        ASSERT_TRUE(settings_.LoadWorkFolder(album));
        EXPECT_EQ(album.workFolder, expected) << stored;
    }
}

TEST_F(SettingsStoreTest, AStoreThatRefusesWritesOrMissesAValueFailsTheStart) {
    WriteWholeFile(dir_ / "blocked", "a file where the folder should be");
    ProfileStore blocked((dir_ / "blocked/settings").string());
    SettingsStore settings(blocked, "/p/");
    EXPECT_FALSE(settings.WriteDefaultSettings());
    EXPECT_FALSE(settings.SaveEmbedFlag(1));
    EXPECT_FALSE(settings.SaveWorkFolder("/tmp/"));
    AlbumSettings album;
    EXPECT_FALSE(settings.LoadSettings(album));

    // The defaults are saved in one piece: a save that cannot finish leaves none of them.
    ProfileStore limited((dir_ / "limited").string());
    ASSERT_TRUE(limited.WriteText("Other", "keep", "1"));
    const std::string before = test::ReadWholeFile(limited.file());
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{before.size() + 200, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = SettingsStore(limited, "/p/").WriteDefaultSettings();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(test::ReadWholeFile(limited.file()), before);

    ProfileStore partial((dir_ / "partial").string());
    ASSERT_TRUE(partial.WriteText(kKey, "BGFILE0", "SolidColor"));
    EXPECT_FALSE(SettingsStore(partial, "/p/").LoadSettings(album));
}

} // namespace
} // namespace aw
