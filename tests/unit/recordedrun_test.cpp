// SPDX-License-Identifier: MIT
#include "album/recordedrun.h"

#include <cstdlib>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "platform/statefolder.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// What killed runs left is removed only by a run alone on its album: beside another run, those names may
// be its temporaries in the making.
TEST(RecordedRun, RemovesStaleTemporariesOnlyWhenAlone) {
    test::ScratchDir dir;
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    const fs::path album = dir / "album";
    fs::create_directories(album / "Data");
    fs::create_directories(album / "Thumb");
    for (const char* name : {"HTMa1B2c3.tmp", "Data/HTMzzzzzz.tmp", "Thumb/HTM000000.tmp", "HTMshort.tmp",
                             "Data/HTMa1B2c3.tmp.jpg", "Thumb/mine.tmp"})
        test::WriteWholeFile(album / name, "");
    const std::vector<MediaItem> items;
    AlbumJob job;
    job.outputFolder = album.string();
    const ProgressRequest request{
        items, job, (album / "Data").string(), (album / "Thumb").string(), 0, "/tmp/", {}};

    ASSERT_EQ(StateFolder::Prepare(), "");
    {
        AlbumLock other(AlbumLockPath(fs::canonical(album).string()));
        ASSERT_TRUE(other.alone());
        other.Share();
        EXPECT_EQ(RecordedRun(request, {}, "1").staleRemoved(), 0);
    }
    EXPECT_EQ(RecordedRun(request, {}, "1").staleRemoved(), 3);
    for (const char* name : {"Data/HTMa1B2c3.tmp.jpg", "HTMshort.tmp", "Thumb/mine.tmp"})
        EXPECT_TRUE(fs::exists(album / name)) << name;
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace aw
