#include "album/mediapath.h"

#include <string>

#include <gtest/gtest.h>

namespace aw {
namespace {

// The data name turns ".bmp" in any case into ".jpg"; the thumbnail is always a JPEG.
TEST(MediaPath, SplitsPathsAndComposesAlbumNames) {
    const struct {
        const char *path, *folder, *base, *extension, *data, *thumb;
    } cases[] = {
        {"D:\\Photos\\a.b.bmp", "D:\\Photos\\", "a.b", ".bmp", "a.b.jpg", "th_a.b.jpg"},
        {"a.jpg", "", "a", ".jpg", "a.jpg", "th_a.jpg"},
        {"D:\\old.files\\readme", "D:\\old.files\\", "readme", "", "readme", "th_readme.jpg"},
        {"/home/u/old.files/Sky.BMP", "/home/u/old.files/", "Sky", ".BMP", "Sky.jpg", "th_Sky.jpg"},
        {"/mixed\\sep/x.Jpeg", "/mixed\\sep/", "x", ".Jpeg", "x.Jpeg", "th_x.jpg"},
        {"/p/d\u00e9j\u00e0.bmpx", "/p/", "d\u00e9j\u00e0", ".bmpx", "d\u00e9j\u00e0.bmpx",
         "th_d\u00e9j\u00e0.jpg"},
        {"/home/u/.hidden", "/home/u/", "", ".hidden", ".hidden", "th_.jpg"},
        {"/tmp/dir/", "/tmp/dir/", "", "", "", "th_.jpg"},
        {"C:x.avi", "C:", "x", ".avi", "x.avi", "th_x.jpg"},
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

} // namespace
} // namespace aw
