// SPDX-License-Identifier: MIT
#include "album/mediapath.h"

#include <string>
#include <utility>

#include <gtest/gtest.h>

namespace aw {
namespace {

using enum MediaKind;

// The data name turns ".bmp", ".heic" and ".heif" in any case into ".jpg"; the thumbnail is always a JPEG.
TEST(MediaPath, SplitsPathsAndComposesAlbumNames) {
    const struct {
        const char *path, *folder, *base, *extension, *data, *thumb;
    } cases[] = {
        {"/p/a.b.bmp", "/p/", "a.b", ".bmp", "a.b.jpg", "th_a.b.jpg"},
        {"/p/back\\slash.webm", "/p/", "back\\slash", ".webm", "back\\slash.webm", "th_back\\slash.jpg"},
        {"/old.files/readme", "/old.files/", "readme", "", "readme", "th_readme.jpg"},
        {"/home/u/old.files/Sky.BMP", "/home/u/old.files/", "Sky", ".BMP", "Sky.jpg", "th_Sky.jpg"},
        {"/mixed\\sep/x.Jpeg", "/mixed\\sep/", "x", ".Jpeg", "x.Jpeg", "th_x.jpg"},
        {"/p/d\u00e9j\u00e0.bmpx", "/p/", "d\u00e9j\u00e0", ".bmpx", "d\u00e9j\u00e0.bmpx",
         "th_d\u00e9j\u00e0.jpg"},
        {"/home/u/.hidden", "/home/u/", "", ".hidden", ".hidden", "th_.jpg"},
        {"/tmp/dir/", "/tmp/dir/", "", "", "", "th_.jpg"},
        {"C:x.avi", "C:", "x", ".avi", "x.avi", "th_x.jpg"},
        {"/p/IMG_1.HEIC", "/p/", "IMG_1", ".HEIC", "IMG_1.jpg", "th_IMG_1.jpg"},
        {"", "", "", "", "", "th_.jpg"},
    };
    const MediaPath mp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(MediaPath::FolderOf(c.path), c.folder);
        EXPECT_EQ(MediaPath::BaseNameOf(c.path), c.base);
        EXPECT_EQ(MediaPath::ExtensionOf(c.path), c.extension);
        EXPECT_EQ(mp.DataNameOf(c.path), c.data);
        EXPECT_EQ(mp.ThumbNameOf(c.path), c.thumb);
    }
}

// Thumb names of the longest names fit NAME_MAX, cut at the end of the base and never inside a character.
TEST(MediaPath, LongNamesAreShortenedWithinTheLimitKeepingCharactersWhole) {
    const MediaPath mp;
    const std::string e = "\u00e9"; // two bytes
    const std::pair<std::string, std::string> cases[] = {
        {std::string(251, 'a') + ".jpg", "th_" + std::string(248, 'a') + ".jpg"},
        {std::string(247, 'a') + e + "z.jpg", "th_" + std::string(247, 'a') + ".jpg"},
        {std::string(246, 'a') + e + "z.jpg", "th_" + std::string(246, 'a') + e + ".jpg"},
    };
    for (const auto& [name, thumb] : cases) {
        EXPECT_EQ(mp.ThumbNameOf("/p/" + name), thumb) << name.size();
        EXPECT_LE(thumb.size(), MediaPath::kNameMax);
    }
    EXPECT_EQ(MediaPath::WithinNameLimit("7" + std::string(251, 'c') + ".avi"),
              "7" + std::string(250, 'c') + ".avi");
}

// Every extension has one kind, in any case; each kind is a still, a movie or sound, never two of them.
TEST(MediaPath, ExtensionsGiveTheirKinds) {
    const std::pair<const char*, MediaKind> cases[] = {
        {".JPEG", StillJpeg},  {".jpe", StillJpeg},       {".bmp", StillBmp},   {".asf", MovieAsf},
        {".avi", MovieAvi},    {".mov", MovieMov},        {".mpeg", MovieMpeg}, {".wma", Audio},
        {".png", StillPng},    {".GIF", StillGif},        {".webp", StillWebp}, {".Heif", StillHeif},
        {".m4v", MovieMp4},    {".webm", MovieWebm},      {".mkv", MovieMkv},   {".3GP", Movie3gp},
        {".tif", Unsupported}, {".png.bak", Unsupported}, {"", Unsupported}};
    const MediaPath mp;
    for (const auto& [extension, want] : cases) {
        MediaKind kind = Unsupported;
        EXPECT_EQ(mp.KindOf(extension, kind), want != Unsupported) << extension;
        EXPECT_EQ(kind, want) << extension;
        EXPECT_EQ(IsStillKind(kind) + IsMovieKind(kind) + (kind == Audio), want == Unsupported ? 0 : 1)
            << extension;
    }
    EXPECT_TRUE(IsMovieKind(MovieAsfMarked));
}

} // namespace
} // namespace aw
