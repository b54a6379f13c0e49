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

// The record an earlier version left in the album is read, kept in the user's private state folder under
// the album's real path (found again through a link), and removed from the album; finding alone changes
// nothing; a state folder open to others is not used.
TEST(AlbumRecords, MovesAnEarlierVersionsRecordOutOfTheAlbum) {
    test::ScratchDir dir;
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    const fs::path album = dir / "album", inAlbum = album / LoadText(TextId::ManifestName);
    fs::create_directories(album);
    fs::create_directory_symlink(album, dir / "link");
    test::WriteWholeFile(inAlbum, SealManifest("albumwright manifest 1\nprogram 1\n"
                                               "D 0 0 0 10 20 2049 77 10 30 2049 78 a.jpg /home/u/a.jpg\n",
                                               1));
    EXPECT_TRUE(FindAlbumRecord(album.string(), "1").inAlbum && fs::exists(inAlbum));
    TakeAlbumRecord(album.string(), "1");
    EXPECT_FALSE(fs::exists(inAlbum));
    const FoundRecord found = FindAlbumRecord((dir / "link").string(), "1");
    ASSERT_EQ(found.read.state, ManifestState::Read);
    EXPECT_EQ(found.read.entries.size(), 1u);
    EXPECT_EQ(found.read.header.albumPath, fs::canonical(album).string());
    EXPECT_TRUE(!found.inAlbum && RecordNamesPage(found.read, "Index.html"));
    fs::permissions(dir / "state" / "albumwright", fs::perms::all);
    EXPECT_EQ(FindAlbumRecord(album.string(), "1").read.state, ManifestState::Unusable);
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace aw
