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

TEST(TempFile, MakesDistinctEmptyFilesWithThePrefixOrNone) {
    test::ScratchDir dir;
    EXPECT_EQ(CreateTempFile("", "HTM"), "");
    EXPECT_EQ(CreateTempFile((dir / "missing").string(), "HTM"), "");
    EXPECT_TRUE(fs::is_empty(dir.path()));
    std::set<std::string> names;
    for (const std::string& folder : {dir.str(), dir.str() + "/"})
        for (int i = 0; i < 5; ++i) {
            const fs::path path = CreateTempFile(folder, "HTM");
            ASSERT_FALSE(path.empty());
            EXPECT_EQ(path.parent_path(), dir.path());
            EXPECT_EQ(path.filename().string().rfind("HTM", 0), 0u);
            EXPECT_EQ(fs::file_size(path), 0u);
            names.insert(path.string());
        }
    EXPECT_EQ(names.size(), 10u);
}

TEST(TempFile, SystemTempPathIsTmpdirElseTmpWithASeparator) {
    ::setenv("TMPDIR", "/var/tmp", 1);
    EXPECT_EQ(SystemTempPath(), "/var/tmp/");
    ::setenv("TMPDIR", "", 1);
    EXPECT_EQ(SystemTempPath(), "/tmp/");
}

} // namespace
} // namespace aw
