#include "platform/profilestore.h"

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include "support/testpaths.h"

namespace aw {
namespace {

using test::ReadWholeFile;
using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;
using Value = ProfileStore::Value;

// Types, their replacement and a store below a regular file are seen through the settings store's tests.
TEST(ProfileStore, TextsSurviveTheFileAndKeysIgnoreCase) {
    ScratchDir dir;
    ProfileStore store((dir / "cfg/settings").string());
    const std::string text = "/opt/a b/ç=[x]\\y\nz";
    ASSERT_TRUE(store.WriteText("Software/Quorvel/Page Binder/ENV", "BGFILE1", text));
    ASSERT_TRUE(store.WriteNumber("Software/Quorvel/Page Binder/ENV", "ISEMBED", -7));

    const ProfileStore again(store.file()); // a second store on the same file sees the writes
    EXPECT_EQ(again.Read("software\\quorvel\\page binder\\Env/", "bgfile1").value_or(Value{}).text, text);
    EXPECT_EQ(again.Read("SOFTWARE/Quorvel/Page Binder/ENV", "IsEmbed").value_or(Value{}).number, -7);
    EXPECT_FALSE(again.Read("Software/Quorvel/Page Binder/ENV", "missing"));
    EXPECT_FALSE(again.Read("Software/Other", "ISEMBED"));
}

TEST(ProfileStore, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    ProfileStore store((dir / "settings").string());
    ASSERT_TRUE(store.WriteText("K", "a", "old"));
    const std::string before = ReadWholeFile(store.file());

    // A file-size limit makes the write of the temporary file fail halfway, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit small{before.size() + 16, saved.rlim_max};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = store.WriteText("K", "a", std::string(4096, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadWholeFile(store.file()), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1);
}

TEST(ProfileStore, DamagedLinesAreSkipped) {
    ScratchDir dir;
    WriteWholeFile(dir / "settings",
                   std::string("orphan=t:x\n[K]\ngood=t:yes\nbad=n:12x\nbig=n:99999999999\n"
                               "odd=q:1\n=t:noname\nesc=t:\\x4\n[unclosed\nlost=t:x\n[K]\r\n"
                               "num=n:42\r\n\0\xff garbage",
                               120));
    ProfileStore store((dir / "settings").string());
    EXPECT_EQ(store.Read("K", "good")->text, "yes");
    EXPECT_EQ(store.Read("K", "num")->number, 42);
    for (const char* name : {"orphan", "bad", "big", "odd", "esc", "lost"})
        EXPECT_FALSE(store.Read("K", name)) << name;
    ASSERT_TRUE(store.WriteText("K", "new", "v")); // and writing keeps the readable values
    EXPECT_EQ(store.Read("K", "good")->text, "yes");
}

// Unreadable, oversized or special files are neither read nor replaced, and never block.
TEST(ProfileStore, FilesItCannotReadWholeAreLeftAlone) {
    ScratchDir dir;
    const fs::path oversized = dir / "big", folder = dir / "folder", fifo = dir / "fifo";
    WriteWholeFile(oversized, "[K]\na=t:x\n" + std::string(5 * 1024 * 1024, '#'));
    fs::create_directory(folder);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const fs::path& path : {oversized, folder, fifo}) {
        ProfileStore store(path.string());
        EXPECT_TRUE(test::ReturnsWithoutBlocking(fifo, [&] {
            EXPECT_FALSE(store.Read("K", "a")) << path;
            EXPECT_FALSE(store.WriteText("K", "b", "y")) << path;
            EXPECT_FALSE(store.CreateKey("L")) << path;
        })) << path;
    }
    EXPECT_EQ(fs::file_size(oversized), 5u * 1024 * 1024 + 10);
    EXPECT_TRUE(fs::is_fifo(fifo));
}

TEST(ProfileStore, NamesBeginningWithAHashSurvive) {
    ScratchDir dir;
    ProfileStore store((dir / "settings").string());
    ASSERT_TRUE(store.WriteValues("K", {{"#1", {ProfileStore::Type::Text, "#t", 0}}, {"a#", {}}}));
    EXPECT_EQ(ProfileStore(store.file()).Read("K", "#1").value_or(Value{}).text, "#t");
    EXPECT_TRUE(store.Read("K", "a#"));
}

} // namespace
} // namespace aw
