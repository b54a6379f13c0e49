#include "platform/tempfile.h"

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

TEST(TempFile, MakesDistinctEmptyFilesWithThePrefix) {
    test::ScratchDir dir;
    std::set<std::string> names;
    for (const std::string& folder : {dir.str(), dir.str() + "/"}) {
        for (int i = 0; i < 5; ++i) {
            const std::string path = CreateTempFile(folder, "HTM");
            ASSERT_FALSE(path.empty());
            EXPECT_EQ(fs::path(path).parent_path(), dir.path());
            EXPECT_EQ(fs::path(path).filename().string().rfind("HTM", 0), 0u);
            EXPECT_EQ(fs::file_size(path), 0u);
            names.insert(path);
        }
    }
    EXPECT_EQ(names.size(), 10u);
}

TEST(TempFile, FailsWithoutAUsableFolder) {
    test::ScratchDir dir;
    EXPECT_EQ(CreateTempFile("", "HTM"), "");
    EXPECT_EQ(CreateTempFile((dir / "missing").string(), "HTM"), "");
    EXPECT_TRUE(fs::is_empty(dir.path()));
}

TEST(TempFile, SystemTempPathEndsWithSeparator) {
    const char* saved = std::getenv("TMPDIR");
    const std::string keep = saved ? saved : "";
    ::setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(SystemTempPath(), "/var/tmp/");
    ::setenv("TMPDIR", "/var/tmp/", 1);
    EXPECT_EQ(SystemTempPath(), "/var/tmp/");
    ::setenv("TMPDIR", "", 1);
    EXPECT_EQ(SystemTempPath(), "/tmp/");
    ::unsetenv("TMPDIR");
    EXPECT_EQ(SystemTempPath(), "/tmp/");
    if (saved)
        ::setenv("TMPDIR", keep.c_str(), 1);
}

} // namespace
} // namespace aw
