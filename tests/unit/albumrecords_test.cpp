// SPDX-License-Identifier: MIT
#include "album/albumrecords.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// The record an earlier version left in the album is read once, kept in the user's state folder under the
// album's real path, and nothing private stays in the album.
TEST(AlbumRecords, MovesAnEarlierVersionsRecordOutOfTheAlbum) {
    test::ScratchDir dir;
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    const fs::path album = dir / "album", inAlbum = album / LoadText(TextId::ManifestName);
    fs::create_directories(album);
    fs::create_directory_symlink(album, dir / "link");
    test::WriteWholeFile(inAlbum,
                         SealManifest("albumwright manifest 1\nprogram 1\n"
                                      "D 0 0 0 10 20 2049 77 10 30 2049 78 a.jpg /home/u/Private/a.jpg\n",
                                      1));
    EXPECT_TRUE(FindAlbumRecord(album.string(), "1").inAlbum);
    EXPECT_TRUE(fs::exists(inAlbum)) << "finding changes nothing";

    const FoundRecord taken = TakeAlbumRecord(album.string(), "1");
    EXPECT_FALSE(fs::exists(inAlbum));
    const FoundRecord found = FindAlbumRecord((dir / "link").string(), "1");
    EXPECT_FALSE(found.inAlbum);
    EXPECT_EQ(found.path, taken.path);
    ASSERT_EQ(found.read.state, ManifestState::Read);
    EXPECT_EQ(found.read.entries.size(), 1u);
    EXPECT_EQ(found.read.header.albumPath, fs::canonical(album).string());
    EXPECT_TRUE(RecordNamesPage(found.read, "Index.html"));
    EXPECT_EQ(fs::status(dir / "state" / "albumwright").permissions(), fs::perms::owner_all);

    // A state folder open to others is not used at all.
    fs::permissions(dir / "state" / "albumwright", fs::perms::all);
    EXPECT_EQ(FindAlbumRecord(album.string(), "1").read.state, ManifestState::Unusable);
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace aw
