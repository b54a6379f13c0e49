// SPDX-License-Identifier: MIT
#include "platform/profilestore.h"

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::WriteWholeFile;
using Value = ProfileStore::Value;

const char kKey[] = "Software/Quorvel/Page Binder/ENV";

class ProfileStoreTest : public ::testing::Test {
protected:
    test::ScratchDir dir_;
    ProfileStore profile_{(dir_ / "config/settings").string()};
};

TEST_F(ProfileStoreTest, TextsAndNamesSurviveTheFileAndKeysIgnoreCase) {
    const std::string text = "/opt/a b/ç=[x]\\y\nz";
    ASSERT_TRUE(profile_.WriteText(kKey, "BGFILE1", text));
    ASSERT_TRUE(profile_.WriteNumber(kKey, "ISEMBED", -7));

    ASSERT_TRUE(profile_.WriteValues("K", {{"#1", {ProfileStore::Type::Text, "#t", 0}}}));
    const ProfileStore again(profile_.file()); // a second store on the same file sees the writes
    EXPECT_EQ(again.Read("software\\quorvel\\page binder\\Env/", "bgfile1").value_or(Value{}).text, text);
    EXPECT_EQ(again.Read("SOFTWARE/Quorvel/Page Binder/ENV", "IsEmbed").value_or(Value{}).number, -7);
    EXPECT_EQ(again.Read("K", "#1").value_or(Value{}).text, "#t"); // not a comment
}

TEST_F(ProfileStoreTest, DamagedLinesAreSkipped) {
    WriteWholeFile(dir_ / "settings",
                   std::string("orphan=t:x\n[K]\ngood=t:yes\nbad=n:12x\nbig=n:99999999999\n"
                               "odd=q:1\n=t:noname\nesc=t:\\x4\n[unclosed\nlost=t:x\n[K]\r\n"
                               "num=n:42\r\n\0\xff garbage",
                               120));
    ProfileStore store((dir_ / "settings").string());
    EXPECT_EQ(store.Read("K", "good")->text, "yes");
    EXPECT_EQ(store.Read("K", "num")->number, 42);
    for (const char* name : {"orphan", "bad", "big", "odd", "esc", "lost"})
        EXPECT_FALSE(store.Read("K", name)) << name;
}

// Unreadable, oversized or special files are neither read nor replaced, and never block.
TEST_F(ProfileStoreTest, FilesItCannotReadWholeAreLeftAlone) {
    const fs::path oversized = dir_ / "big", folder = dir_ / "folder", fifo = dir_ / "fifo";
    WriteWholeFile(oversized, "[K]\na=t:x\n" + std::string(5 * 1024 * 1024, '#'));
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const fs::path& path : {oversized, folder, fifo}) {
        ProfileStore store(path.string());
        EXPECT_TRUE(test::ReturnsWithoutBlocking(fifo, [&] {
            EXPECT_FALSE(store.Read("K", "a")) << path;
            EXPECT_FALSE(store.WriteText("K", "b", "y")) << path;
        })) << path;
    }
    EXPECT_EQ(fs::file_size(oversized), 5u * 1024 * 1024 + 10);
}

} // namespace
} // namespace aw
