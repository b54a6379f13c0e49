#include "album/mediapath.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

struct SplitCase {
    const char* path;
    const char* folder;
    const char* base;
    const char* extension;
};

TEST(MediaPath, SplitsWindowsAndPosixPaths) {
    const SplitCase cases[] = {
        {"D:\\Photos\\a.jpg", "D:\\Photos\\", "a", ".jpg"},
        {"D:\\Photos\\a.b.jpg", "D:\\Photos\\", "a.b", ".jpg"},
        {"a.jpg", "", "a", ".jpg"},
        {"D:\\old.files\\readme", "D:\\old.files\\", "readme", ""},
        {"/home/u/Pictures/IMG_0001.JPG", "/home/u/Pictures/", "IMG_0001", ".JPG"},
        {"/home/u/old.files/readme", "/home/u/old.files/", "readme", ""},
        {"/mixed\\sep/x.y", "/mixed\\sep/", "x", ".y"},
        {"/home/u/.hidden", "/home/u/", "", ".hidden"},
        {"/tmp/dir/", "/tmp/dir/", "", ""},
        {"C:x.jpg", "C:", "x", ".jpg"},
        {"", "", "", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(MediaPath::FolderOf(c.path), c.folder);
        EXPECT_EQ(MediaPath::BaseNameOf(c.path), c.base);
        EXPECT_EQ(MediaPath::ExtensionOf(c.path), c.extension);
    }
}

TEST(MediaPath, KindsByExtensionIgnoringAsciiCase) {
    const struct {
        const char* extension;
        int kind;
    } cases[] = {
        {".jpg", StillJpeg}, {".JPE", StillJpeg},  {".Jpeg", StillJpeg}, {".bmp", StillBmp},
        {".asf", MovieAsf},  {".AVI", MovieAvi},   {".mov", MovieMov},   {".mpg", MovieMpeg},
        {".MPEG", MovieMpeg}, {".wav", Audio},     {".wma", Audio},      {".Mp3", Audio},
        {".wmv", Unsupported}, {".gif", Unsupported}, {"", Unsupported}, {".zip", Unsupported},
        {"jpg", Unsupported}, {".jpgx", Unsupported},
    };
    MediaPath mp;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        int kind = 99;
        EXPECT_EQ(mp.KindOf(c.extension, kind), c.kind != Unsupported);
        EXPECT_EQ(kind, c.kind);
        EXPECT_EQ(mp.IsSupportedExtension(c.extension), c.kind != Unsupported);
    }
    // The extension of a whole path decides, never a dot in a folder or an inner dot.
    int kind = 0;
    EXPECT_FALSE(mp.KindOf(MediaPath::ExtensionOf("archive.jpg.zip"), kind));
    EXPECT_FALSE(mp.KindOf(MediaPath::ExtensionOf("D:\\old.files\\readme"), kind));
    EXPECT_FALSE(mp.KindOf(MediaPath::ExtensionOf("README"), kind));
}

TEST(MediaPath, ComposesDataAndThumbNames) {
    MediaPath mp;
    EXPECT_EQ(mp.ThumbNameOf("E:\\a\\Picture.bmp"), "th_Picture.jpg");
    EXPECT_EQ(mp.DataNameOf("E:\\a\\Picture.bmp"), "Picture.jpg");
    EXPECT_EQ(mp.ThumbNameOf("D:\\x\\clip.avi"), "th_clip.jpg");
    EXPECT_EQ(mp.DataNameOf("/p/Sky.BMP"), "Sky.jpg");
    EXPECT_EQ(mp.DataNameOf("/p/Sky.Jpeg"), "Sky.Jpeg");
    EXPECT_EQ(mp.DataNameOf("/p/Sky.bmpx"), "Sky.bmpx");
    EXPECT_EQ(mp.DataNameOf("/p/d\u00e9j\u00e0 vu.JPG"), "d\u00e9j\u00e0 vu.JPG");
}

TEST(MediaPath, WebSafeNames) {
    EXPECT_TRUE(MediaPath::IsWebSafeName("My_Photo.01.JPG"));
    EXPECT_TRUE(MediaPath::IsWebSafeName(""));
    EXPECT_FALSE(MediaPath::IsWebSafeName("my photo.jpg"));
    EXPECT_FALSE(MediaPath::IsWebSafeName("a-b.jpg"));
    EXPECT_FALSE(MediaPath::IsWebSafeName("caf\u00e9.jpg"));
    EXPECT_FALSE(MediaPath::IsWebSafeName("<x>.jpg"));
}

TEST(MediaPath, PrefixWalkOverTheNativeSeparator) {
    const struct {
        const char* path;
        int n;
        const char* prefix;
        bool result;
    } cases[] = {
        {"/a/b/x.jpg", 2, "/a", true},
        {"/a/b/x.jpg", 3, "/a/b", true},
        {"/a/b/x.jpg", 4, "/a/b/x.jpg", false},
        {"/a/b/x.jpg", 1, "", true},
        {"/a/b/x.jpg", 0, "", true},
        {"/a/b/x.jpg", -1, "", false},
        {"D:\\a\\b\\x.jpg", 2, "D:\\a\\b\\x.jpg", false}, // only "/" counts here
        {"", 1, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " n=" + std::to_string(c.n));
        std::string prefix = "junk";
        EXPECT_EQ(MediaPath::PrefixBeforeBackslash(c.path, c.n, prefix), c.result);
        EXPECT_EQ(prefix, c.prefix);
    }
}

} // namespace
} // namespace aw
