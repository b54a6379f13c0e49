#include "platform/profilestore.h"

#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "support/testpaths.h"

namespace aw {
namespace {

using test::ReadWholeFile;
using test::ScratchDir;
using test::WriteWholeFile;
namespace fs = std::filesystem;

TEST(ProfileStore, KeepsTypesAndIgnoresCaseOfKeysAndNames) {
    ScratchDir dir;
    ProfileStore store((dir / "cfg/settings").string());
    ASSERT_TRUE(store.WriteText("Software/Quorvel/Page Binder/ENV", "BGFILE1", "/opt/a b/ç=[x]\\y\nz"));
    ASSERT_TRUE(store.WriteNumber("Software/Quorvel/Page Binder/ENV", "ISEMBED", -7));

    ProfileStore again(store.file()); // a second store on the same file sees the writes
    const auto text = again.Read("software\\quorvel\\page binder\\Env", "bgfile1");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->type, ProfileStore::Type::Text);
    EXPECT_EQ(text->text, "/opt/a b/ç=[x]\\y\nz");
    EXPECT_EQ(text->size(), text->text.size() + 1);
    const auto number = again.Read("SOFTWARE/Quorvel/Page Binder/ENV/", "IsEmbed");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->type, ProfileStore::Type::Number);
    EXPECT_EQ(number->number, -7);
    EXPECT_EQ(number->size(), 4u);

    EXPECT_FALSE(again.Read("Software/Quorvel/Page Binder/ENV", "missing"));
    EXPECT_FALSE(again.Read("Software/Other", "ISEMBED"));
    EXPECT_TRUE(again.KeyExists("software/quorvel"));
    EXPECT_FALSE(again.KeyExists("software/quor"));
}

TEST(ProfileStore, OverwritingReplacesTheValueAndItsType) {
    ScratchDir dir;
    ProfileStore store((dir / "settings").string());
    ASSERT_TRUE(store.WriteNumber("K", "v", 1));
    ASSERT_TRUE(store.WriteText("k", "V", "text"));
    const auto value = store.Read("K", "v");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, ProfileStore::Type::Text);
    EXPECT_EQ(value->text, "text");
}

int FilesIn(const fs::path& folder) {
    int files = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(folder))
        ++files;
    return files;
}

TEST(ProfileStore, AFailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile) {
    ScratchDir dir;
    ProfileStore store((dir / "settings").string());
    ASSERT_TRUE(store.WriteText("K", "a", "old"));
    ASSERT_TRUE(store.WriteText("K", "b", "second"));
    EXPECT_EQ(FilesIn(dir.path()), 1);
    const std::string before = ReadWholeFile(store.file());

    // A file-size limit makes the write of the temporary file fail halfway, as a full disk would.
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = before.size() + 16;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = store.WriteText("K", "a", std::string(4096, 'n'));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadWholeFile(store.file()), before);
    EXPECT_EQ(FilesIn(dir.path()), 1);
    EXPECT_EQ(store.Read("K", "a")->text, "old");
}

TEST(ProfileStore, StoreBelowARegularFileFailsCleanly) {
    ScratchDir dir;
    WriteWholeFile(dir / "config", "not a folder");
    ProfileStore store((dir / "config/albumwright/settings").string());
    EXPECT_FALSE(store.WriteText("K", "a", "x"));
    EXPECT_FALSE(store.WriteNumber("K", "n", 1));
    EXPECT_FALSE(store.CreateKey("K"));
    EXPECT_FALSE(store.Read("K", "a"));
    EXPECT_FALSE(store.KeyExists("K"));
}

TEST(ProfileStore, DamagedLinesAreSkipped) {
    ScratchDir dir;
    const auto file = dir / "settings";
    WriteWholeFile(file, std::string("orphan=t:x\n[K]\ngood=t:yes\nbad=n:12x\nbig=n:99999999999\n"
                                     "odd=q:1\n=t:noname\nesc=t:\\x4\n[unclosed\nlost=t:x\n[K]\r\n"
                                     "num=n:42\r\n\0\xff garbage",
                                     120));
    ProfileStore store(file.string());
    EXPECT_EQ(store.Read("K", "good")->text, "yes");
    EXPECT_EQ(store.Read("K", "num")->number, 42);
    for (const char* name : {"orphan", "bad", "big", "odd", "esc", "lost"})
        EXPECT_FALSE(store.Read("K", name)) << name;
    // Writing keeps the readable values.
    ASSERT_TRUE(store.WriteText("K", "new", "v"));
    EXPECT_EQ(store.Read("K", "good")->text, "yes");
}

TEST(ProfileStore, DefaultLocationFollowsTheEnvironment) {
    const char* saved = std::getenv("ALBUMWRIGHT_SETTINGS");
    const std::string keep = saved ? saved : "";
    const char* savedConfig = std::getenv("XDG_CONFIG_HOME");
    const std::string keepConfig = savedConfig ? savedConfig : "";
    setenv("ALBUMWRIGHT_SETTINGS", "/x/y/settings", 1);
    EXPECT_EQ(ProfileStore::DefaultLocation(), "/x/y/settings");
    EXPECT_EQ(ProfileStore().file(), "/x/y/settings");
    unsetenv("ALBUMWRIGHT_SETTINGS");
    setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(ProfileStore::DefaultLocation(), "/cfg/albumwright/settings");
    if (saved)
        setenv("ALBUMWRIGHT_SETTINGS", keep.c_str(), 1);
    if (savedConfig)
        setenv("XDG_CONFIG_HOME", keepConfig.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace aw
