// SPDX-License-Identifier: MIT
#include "session/settingsstore.h"

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/profilestore.h"
#include "platform/tempfile.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ReadWholeFile;
using test::WriteWholeFile;
namespace fs = std::filesystem;
using Value = ProfileStore::Value;

const char kKey[] = "Software/Quorvel/Page Binder/ENV";

class SettingsStoreTest : public ::testing::Test {
protected:
    test::ScratchDir dir_;
    ProfileStore profile_{(dir_ / "config/settings").string()};
    SettingsStore settings_{profile_, "/p/"};
};

// The embed flag is saved as the number 1; a number stored as text is no number; names ignore case.
TEST_F(SettingsStoreTest, NumbersAreNumbers) {
    SessionChoices choices;
    choices.embedPlayback = true;
    ASSERT_TRUE(settings_.SaveRemembered(choices));
    EXPECT_EQ(profile_.Read(kKey, "ISEMBED")->number, 1);
    ASSERT_TRUE(profile_.WriteText(kKey, "ISEMBED", "1"));
    EXPECT_EQ(settings_.GetProfileInt("env", "isembed", 0), 0);
}

// Every remembered choice comes back after the next start, which writes the installed tables; a file of an
// earlier version (the embed flag alone, or values out of range) leaves the others at their defaults.
TEST_F(SettingsStoreTest, RememberedChoicesSurviveTheNextStartAndOldFilesLoad) {
    const auto fields = [](const SessionChoices& c) {
        return std::make_tuple(c.pageTitle, c.fontColour.red, c.fontColour.blue, c.backgroundColour.green,
                               c.background, c.arrangement, c.openWhenDone, c.embedPlayback,
                               c.includeOriginals, c.removeLocation, c.window.left, c.window.top,
                               c.window.width, c.window.height);
    };
    SessionChoices saved;
    saved.pageTitle = "Summer <b>2026</b>";
    saved.fontColour = {0x12, 0, 0x34};
    saved.backgroundColour = {0, 0x56, 0};
    saved.background = 3;
    saved.arrangement = 4;
    saved.openWhenDone = saved.embedPlayback = saved.includeOriginals = saved.removeLocation = true;
    saved.window = {-20, 40, 900, 700};
    ASSERT_TRUE(settings_.SaveRemembered(saved));
    ASSERT_TRUE(settings_.WriteDefaultSettings());
    SessionChoices loaded;
    ASSERT_TRUE(settings_.LoadRemembered(loaded));
    EXPECT_EQ(fields(loaded), fields(saved));

    ProfileStore old((dir_ / "old").string());
    ASSERT_TRUE(old.WriteNumber(kKey, "ISEMBED", 7));
    ASSERT_TRUE(old.WriteNumber(kKey, "FMTINDEX", 9));
    ASSERT_TRUE(old.WriteText(kKey, "WINDOW", "1 2 0 4"));
    ASSERT_TRUE(old.WriteText(kKey, "BGINDEX", "1"));
    SessionChoices expected;
    expected.embedPlayback = true;
    loaded = SessionChoices{};
    ASSERT_TRUE(SettingsStore(old, "/p/").LoadRemembered(loaded));
    EXPECT_EQ(fields(loaded), fields(expected));
}

TEST_F(SettingsStoreTest, TempPathIsReadOnlyWhenShortEnoughAndUsable) {
    std::string text;
    for (std::size_t length : {258, 259}) { // the size counts the terminating zero: 260 bytes no longer fit
        ASSERT_TRUE(profile_.WriteText(kKey, "TempPath", std::string(length, 'a')));
        EXPECT_EQ(settings_.ReadRegistryPath("software/quorvel/page binder/env", "temppath", text),
                  length + 1);
        EXPECT_EQ(text, length < 259 ? std::string(length, 'a') : "") << length;
    }

    const std::string work = dir_.str() + "/work", temp = SystemTempPath(), tooLong(300, 'x');
    fs::create_directories(work);
    // The separator is put back; one character, a missing folder or a path too long gives the system's.
    const std::pair<std::string, std::string> cases[] = {{work + "/", work + "/"},
                                                         {work, work + "/"},
                                                         {"/", temp},
                                                         {work + "x/", temp},
                                                         {"/" + tooLong, temp}};
    for (const auto& [stored, expected] : cases) {
        ASSERT_TRUE(profile_.WriteText(kKey, "TempPath", stored));
        std::string workFolder;
        ASSERT_TRUE(settings_.LoadWorkFolder(workFolder));
        EXPECT_EQ(workFolder, expected) << stored;
    }
}

// A store that refuses writes or misses a value fails the start. A save cut short by a file-size limit (as a
// full disk) keeps the old file and leaves no temporary file; the defaults are saved in one piece, so such a
// save leaves none of them.
TEST_F(SettingsStoreTest, FailedWritesFailTheStartAndKeepTheOldFile) {
    WriteWholeFile(dir_ / "blocked", "a file where the folder should be");
    ProfileStore blocked((dir_ / "blocked/settings").string());
    SettingsStore settings(blocked, "/p/");
    AlbumSettings album;
    EXPECT_FALSE(settings.WriteDefaultSettings() || settings.SaveRemembered(SessionChoices{}) ||
                 settings.LoadTables(album));
    ProfileStore partial((dir_ / "partial").string());
    ASSERT_TRUE(partial.WriteText(kKey, "BGFILE0", "SolidColor"));
    EXPECT_FALSE(SettingsStore(partial, "/p/").LoadTables(album));

    ASSERT_TRUE(profile_.WriteText("Other", "keep", "1"));
    const std::string before = ReadWholeFile(profile_.file());
    EXPECT_FALSE(test::UnderFileSizeLimit(
        before.size() + 16, [&] { return profile_.WriteText("K", "a", std::string(4096, 'n')); }));
    EXPECT_FALSE(
        test::UnderFileSizeLimit(before.size() + 200, [&] { return settings_.WriteDefaultSettings(); }));
    EXPECT_EQ(ReadWholeFile(profile_.file()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "config"), {}), 1);
}

// A dotfiles link stays a link, its target replaced in its own folder; the mode stays; a read-only file is
// never rewritten (even by root) and the refusal is reported once.
TEST_F(SettingsStoreTest, LinkedModedAndReadOnlySettingsFilesAreKeptAsTheUserMadeThem) {
    fs::create_directories(dir_ / "dotfiles");
    fs::create_directories(dir_ / "config");
    WriteWholeFile(dir_ / "dotfiles/settings", "");
    fs::create_symlink("../dotfiles/settings", dir_ / "config/settings");
    ASSERT_EQ(::chmod((dir_ / "dotfiles/settings").c_str(), 0640), 0);
    SessionChoices choices;
    choices.workFolder = "/w/";
    ASSERT_TRUE(settings_.SaveRemembered(choices));
    EXPECT_TRUE(fs::is_symlink(dir_ / "config/settings"));
    EXPECT_EQ(ProfileStore((dir_ / "dotfiles/settings").string()).Read(kKey, "TempPath")->text, "/w/");
    EXPECT_EQ(fs::status(dir_ / "dotfiles/settings").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_ / "dotfiles"), {}), 1); // no temporary file left

    ASSERT_EQ(::chmod((dir_ / "dotfiles/settings").c_str(), 0444), 0);
    const std::string before = ReadWholeFile(dir_ / "dotfiles/settings");
    EXPECT_FALSE(settings_.SaveRemembered(choices)); // said once...
    EXPECT_TRUE(settings_.SaveRemembered(choices));  // ...not again
    EXPECT_EQ(ReadWholeFile(dir_ / "dotfiles/settings"), before);
}

} // namespace
} // namespace aw
