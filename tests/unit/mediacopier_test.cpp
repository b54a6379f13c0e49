// SPDX-License-Identifier: MIT
#include "album/mediacopier.h"

#include <filesystem>
#include <map>
#include <optional>
#include <tuple>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "album/boxfit.h"
#include "album/imaginglibraryloader.h"
#include "album/mediakind.h"
#include "metadata/mediametadata.h"
#include "platform/filecopy.h"
#include "platform/tempfile.h"
#include "support/exifblock.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using enum MediaKind;

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

// Sources in src/ must keep their bytes and times; the work folder must be left empty.
class MediaCopierTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader_.errorText();
        for (const char* folder : {"src", "Data", "Thumb", "work"})
            fs::create_directory(dir_ / folder);
    }
    void TearDown() override {
        for (const auto& [path, snapshot] : sources_)
            EXPECT_EQ(std::pair(ReadWholeFile(path), fs::last_write_time(path)), snapshot) << path;
        EXPECT_TRUE(fs::is_empty(work_)) << "temporary files left behind";
    }

    std::string Source(const std::string& name) {
        sources_[Src(name).string()] = {ReadWholeFile(Src(name)), fs::last_write_time(Src(name))};
        return Src(name).string();
    }
    fs::path Src(const std::string& name) const { return dir_ / "src" / name; }
    std::string Data(const std::string& name) const { return (dir_ / "Data" / name).string(); }
    std::string Thumb(const std::string& name) const { return (dir_ / "Thumb" / name).string(); }

    // As the caller makes a thumbnail: through a temporary file in the work folder.
    int Thumbnail(MediaCopier& copier, const std::string& source, const std::string& thumb, MediaKind kind) {
        TempFile temp = TempFile::Create(work_, "HTM");
        return copier.MakeThumbnail(source, temp, thumb, kind);
    }
    // Thumb/th.jpg read back, it and the size given for the page checked to be `size`.
    test::RgbPicture Thumbnailed(MediaCopier& copier, const std::string& source, MediaKind kind,
                                 PixelSize size) {
        EXPECT_EQ(Thumbnail(copier, source, Thumb("th.jpg"), kind), 1);
        EXPECT_EQ(PixelSize(copier.thumbWidth(), copier.thumbHeight()), size);
        const auto thumb = test::ReadWithImageMagick(Thumb("th.jpg")).value_or(test::RgbPicture{});
        EXPECT_EQ(PixelSize(thumb.width, thumb.height), size);
        return thumb;
    }

    test::ScratchDir dir_;
    ImagingLibraryLoader loader_;
    std::string work_ = (dir_ / "work").string();
    std::string audio_;
    std::map<std::string, std::pair<std::string, fs::file_time_type>> sources_;
};

// Both decoders: the size fitted from the full picture, upright by any orientation, readable by all.
TEST_F(MediaCopierTest, JpegThumbnailsFitTheBoxUpright) {
    const struct Case {
        PixelSize source;
        int orientation;
        PixelSize thumb;
        char top, left; // the side (Top, Right, Bottom, Left) where the source's top and left show
    } cases[] = {{{640, 480}, 1, {160, 120}, 'T', 'L'},
                 {{401, 200}, 2, {160, 79}, 'T', 'R'},
                 {{401, 200}, 3, {160, 79}, 'B', 'R'},
                 {{401, 200}, 5, {59, 120}, 'L', 'T'},
                 {{401, 200}, 6, {59, 120}, 'R', 'T'}};
    ImagingLibrary fullDecodeOnly = loader_.library();
    fullDecodeOnly.DllDecodeJPEGScaled = nullptr;
    for (const ImagingLibrary* library : {&loader_.library(), &std::as_const(fullDecodeOnly)}) {
        MediaCopier copier(*library, work_, 0, audio_);
        for (const Case& c : cases) {
            const std::string name = std::to_string(c.source.width * 10 + c.orientation) + ".jpg";
            SCOPED_TRACE(name);
            // Red at the top, blue at the bottom, a green stripe down the left.
            const std::string stripe =
                "-fill lime -draw 'rectangle 0,0 " + std::to_string(c.source.width / 6) + ",9999'";
            ASSERT_TRUE(test::MakeJpeg(Src("plain.jpg"), c.source.width, c.source.height, stripe));
            std::string jpeg = ReadWholeFile(Src("plain.jpg"));
            WriteWholeFile(Src(name),
                           jpeg.insert(2, test::Segment(0xE1, test::ExifPayload(c.orientation, true))));
            const test::RgbPicture thumb = Thumbnailed(copier, Source(name), StillJpeg, c.thumb);
            if (thumb.width != c.thumb.width || thumb.height != c.thumb.height)
                continue;
            const auto middle = [&](char side) { // of that side of the thumbnail
                const int x = side == 'L' ? 0 : (side == 'R' ? c.thumb.width - 1 : c.thumb.width / 2);
                const int y = side == 'T' ? 0 : (side == 'B' ? c.thumb.height - 1 : c.thumb.height / 2);
                return thumb.At(x, y);
            };
            EXPECT_GT(middle(c.top)[0], 150);
            EXPECT_GT(middle("BLTR"[std::string("TRBL").find(c.top)])[2], 150);
            EXPECT_GT(middle(c.left)[1], 150);
            EXPECT_EQ(fs::status(Thumb("th.jpg")).permissions(), fs::perms(0644));
        }
    }
}

// A source that is its own Data file is not even rewritten, but a symbolic link planted in Data that
// leads to the source is replaced by a copy; a FIFO or a folder fails before any open.
TEST_F(MediaCopierTest, SourcesThatAreTheirDataFileOrNotRegularFiles) {
    ASSERT_TRUE(test::MakeJpeg(Src("a.jpg"), 64, 48));
    fs::create_hard_link(Src("a.jpg"), Src("link.jpg"));
    const std::string noWork;
    MediaCopier copier(loader_.library(), noWork, 0, audio_);
    EXPECT_EQ(copier.CopyToDataFolder(Source("a.jpg"), Src("a.jpg"), StillJpeg), 1);
    EXPECT_EQ(copier.CopyToDataFolder(Source("link.jpg"), Src("a.jpg"), StillJpeg), 1);
    EXPECT_EQ(fs::hard_link_count(Src("a.jpg")), 2u);
    fs::create_symlink("../src/a.jpg", Data("a.jpg"));
    EXPECT_EQ(copier.CopyToDataFolder(Source("a.jpg"), Data("a.jpg"), StillJpeg), 1);
    EXPECT_FALSE(fs::is_symlink(Data("a.jpg")));
    EXPECT_EQ(ReadWholeFile(Data("a.jpg")), ReadWholeFile(Src("a.jpg")));

    ASSERT_EQ(::mkfifo(Src("f.jpg").c_str(), 0600), 0);
    fs::create_directory(Src("d.jpg"));
    const std::pair<const char*, FailureCause> cases[] = {{"f.jpg", FailureCause::IsFifo},
                                                          {"d.jpg", FailureCause::IsFolder}};
    for (const auto& [name, cause] : cases) {
        const std::string source = Src(name).string();
        EXPECT_TRUE(test::ReturnsWithoutBlocking(Src("f.jpg"), [&] {
            for (MediaKind kind : {StillJpeg, StillBmp}) {
                EXPECT_EQ(copier.CopyToDataFolder(source, Data(name), kind), 0) << name;
                EXPECT_EQ(copier.failure().cause, cause) << name;
            }
            EXPECT_EQ(Thumbnail(copier, source, Thumb(name), StillJpeg), 0) << name;
            EXPECT_EQ(copier.failure().cause, cause) << name;
        })) << name;
        EXPECT_FALSE(fs::exists(Data(name)));
    }
}

// A bitmap's Data copy is its JPEG, upright, readable by all; broken sources fail leaving nothing behind.
TEST_F(MediaCopierTest, BitmapsBecomeJpegsAndBrokenSourcesFail) {
    ASSERT_TRUE(test::MakeBitmap(Src("good.bmp"), 16, 16, "BMP3", "-type Palette"));
    ASSERT_TRUE(test::MakeJpeg(Src("good.jpg"), 64, 48));
    MediaCopier copier(loader_.library(), work_, 0, audio_);
    EXPECT_EQ(copier.CopyToDataFolder(Source("good.bmp"), Data("good.jpg"), StillBmp), 1);
    EXPECT_EQ(fs::status(Data("good.jpg")).permissions(), fs::perms(0644));
    const auto made = test::ReadWithImageMagick(Data("good.jpg"));
    ASSERT_TRUE(made && made->width == 16 && made->height == 16);
    EXPECT_TRUE(made->At(0, 0)[0] > 150 && made->At(0, 15)[2] > 150); // red top, blue bottom, as the source
    constexpr FailureCause kBad = FailureCause::NotAPicture;
    const std::tuple<const char*, std::optional<std::string>, MediaKind, FailureCause> cases[] = {
        {"cut.bmp", ReadWholeFile(Src("good.bmp")).substr(0, 60), StillBmp, kBad},
        {"cut.jpg", ReadWholeFile(Src("good.jpg")).substr(0, 100), StillJpeg, kBad},
        {"junk.avi", std::string(4096, 'j'), MovieAvi, FailureCause::NoMovieFrame},
        {"none.jpg", std::nullopt, StillJpeg, FailureCause::Unreadable}}; // none: the file does not exist
    for (const auto& [name, bytes, kind, cause] : cases) {
        SCOPED_TRACE(name);
        if (bytes)
            WriteWholeFile(Src(name), *bytes);
        const std::string source = bytes ? Source(name) : Src(name).string();
        EXPECT_EQ(Thumbnail(copier, source, Thumb("th.jpg"), kind), 0);
        EXPECT_EQ(copier.failure().cause, cause);
        EXPECT_FALSE(fs::exists(Thumb("th.jpg")));
        if (kind == StillBmp || !bytes) {
            EXPECT_EQ(copier.CopyToDataFolder(source, Data("d.jpg"), kind), 0);
            EXPECT_EQ(std::pair(copier.failure().cause, copier.failure().file), std::pair(cause, source));
            EXPECT_FALSE(fs::exists(Data("d.jpg")));
        }
    }
}

// In a work folder others can write, the thumbnail's temporary file may be swapped for a link between its
// making and its use: the thumbnail is written to the file made and copied from it, never through the link.
TEST_F(MediaCopierTest, TheTemporaryFileIsUsedThroughItsDescriptorNeverItsName) {
    ASSERT_TRUE(test::MakeJpeg(Src("a.jpg"), 64, 48));
    WriteWholeFile(dir_ / "victim", "keep");
    fs::permissions(dir_ / "victim", fs::perms(0600));
    MediaCopier copier(loader_.library(), work_, 0, audio_);
    TempFile temp = TempFile::Create(work_, "HTM");
    fs::remove(temp.path());
    fs::create_symlink(dir_ / "victim", temp.path());
    EXPECT_EQ(copier.MakeThumbnail(Source("a.jpg"), temp, Thumb("th.jpg"), StillJpeg), 1);
    EXPECT_EQ(std::pair(ReadWholeFile(dir_ / "victim"), fs::status(dir_ / "victim").permissions()),
              std::pair(std::string("keep"), fs::perms(0600)));
    const auto thumb = test::ReadWithImageMagick(Thumb("th.jpg"));
    EXPECT_TRUE(thumb && thumb->width == 64 && thumb->height == 48);
}

// A movie's first frame, fitted, with its kind's mark; audio gets its picture.
TEST_F(MediaCopierTest, MovieThumbnailsCarryTheirKindsMarkAudioItsPicture) {
    ASSERT_TRUE(test::MakeMovie(Src("clip.asf"), 352, 288, "", "color=c=0x3060C0"));
    ASSERT_TRUE(test::MakeJpeg(Src("sound.jpg"), 300, 50));
    audio_ = Source("sound.jpg");
    MediaCopier copier(loader_.library(), work_, 0, audio_);
    const test::RgbPicture plain = Thumbnailed(copier, Source("clip.asf"), MovieAvi, {146, 120});
    const test::RgbPicture marked = Thumbnailed(copier, Source("clip.asf"), MovieAsfMarked, {146, 120});
    EXPECT_NE(plain.rgb, marked.rgb) << "the same mark for both kinds";
    EXPECT_EQ(Thumbnail(copier, Src("tune.mp3"), Thumb("sound.jpg"), Audio), 1);
    EXPECT_EQ(ReadWholeFile(Thumb("sound.jpg")), ReadWholeFile(audio_));
}

// Asked to, a JPEG's Data copy leaves out its location, also when a read-only copy is written again.
TEST_F(MediaCopierTest, CopiesWithoutPrivateFieldsWhenAsked) {
    fs::copy_file(test::TestDataDir() / "media" / "located.jpg", Src("located.jpg"));
    const std::string source = Source("located.jpg");
    MediaCopier copier(loader_.library(), work_, 0, audio_);
    copier.SetRemovePrivateFields(true);
    ASSERT_EQ(copier.CopyToDataFolder(source, Data("a.jpg"), StillJpeg), 1);
    WriteWholeFile(Data("b.jpg"), ReadWholeFile(source));
    ASSERT_TRUE(SetReadOnly(Data("b.jpg")));
    ASSERT_EQ(copier.CopyToDataFolder(source, Data("b.jpg"), StillJpeg), EACCES);
    ASSERT_TRUE(ClearReadOnly(Data("b.jpg")));
    ASSERT_EQ(copier.WriteDataContent(source, Data("b.jpg"), StillJpeg), 1);
    for (const char* name : {"a.jpg", "b.jpg"})
        EXPECT_FALSE(ReadMediaMetadata(Data(name)).fields.any()) << name;
}

} // namespace
} // namespace aw
