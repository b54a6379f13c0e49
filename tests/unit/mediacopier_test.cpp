#include "album/mediacopier.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "album/boxfit.h"
#include "album/imaginglibraryloader.h"
#include "album/mediakind.h"
#include "album/moviemark.h"
#include "platform/filecopy.h"
#include "platform/tempfile.h"
#include "support/exifblock.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::WriteWholeFile;

// Per test: sources in src/, the album's Data/ and Thumb/, and the work folder. Every recorded source
// must keep its bytes and time, and the work folder must be left empty.
class MediaCopierTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader_.errorText();
        for (const char* folder : {"src", "Data", "Thumb", "work"})
            fs::create_directory(dir_ / folder);
    }
    void TearDown() override {
        for (const auto& [path, snapshot] : sources_) {
            EXPECT_EQ(ReadWholeFile(path), snapshot.first) << path;
            EXPECT_EQ(fs::last_write_time(path), snapshot.second) << path;
        }
        for (const auto& entry : fs::directory_iterator(work_))
            ADD_FAILURE() << "left in the work folder: " << entry.path();
    }

    std::string Source(const std::string& name) {
        const fs::path path = Src(name);
        sources_[path.string()] = {ReadWholeFile(path), fs::last_write_time(path)};
        return path.string();
    }
    fs::path Src(const std::string& name) const { return dir_ / "src" / name; }
    std::string Data(const std::string& name) const { return (dir_ / "Data" / name).string(); }
    std::string Thumb(const std::string& name) const { return (dir_ / "Thumb" / name).string(); }

    // The caller's side of a thumbnail: a temporary file in the work folder, removed afterwards.
    int Thumbnail(MediaCopier& copier, const std::string& source, const std::string& thumb, int kind) {
        const std::string temp = CreateTempFile(work_, "HTM");
        EXPECT_FALSE(temp.empty());
        const int result = copier.MakeThumbnail(source, temp, thumb, kind);
        fs::remove(temp);
        return result;
    }
    // Makes Thumb/th.jpg, checks that it and the size given for the page are `size`, and reads it back.
    void Thumbnailed(MediaCopier& copier, const std::string& source, int kind, PixelSize size,
                     test::RgbPicture& thumb) {
        ASSERT_EQ(Thumbnail(copier, source, Thumb("th.jpg"), kind), 1);
        EXPECT_EQ(PixelSize(copier.thumbWidth(), copier.thumbHeight()), size);
        thumb = test::ReadWithImageMagick(Thumb("th.jpg")).value_or(test::RgbPicture{});
        ASSERT_EQ(PixelSize(thumb.width, thumb.height), size);
    }
    MediaCopier Copier() { return MediaCopier(loader_.library(), work_, 0, audio_); }

    test::ScratchDir dir_;
    ImagingLibraryLoader loader_;
    std::string work_ = (dir_ / "work").string();
    std::string audio_;
    std::map<std::string, std::pair<std::string, fs::file_time_type>> sources_;
};

// With and without the decoder that shrinks while decoding: the fitted size, the picture upright by its EXIF
// orientation (red at the top of the source), a file readable by all (though made through a private
// temporary file), re-encoded even when not scaled.
TEST_F(MediaCopierTest, JpegThumbnailsFitTheBoxUpright) {
    struct Case {
        PixelSize source;
        int orientation;
        PixelSize thumb;
        char redSide; // Top, Right, Bottom or Left
    };
    const Case cases[] = {{{640, 480}, 1, {160, 120}, 'T'}, {{480, 360}, 1, {160, 119}, 'T'},
                          {{100, 80}, 1, {100, 80}, 'T'},   {{10, 500}, 1, {2, 120}, 'T'},
                          {{400, 200}, 6, {60, 120}, 'R'},  {{400, 200}, 8, {60, 120}, 'L'},
                          {{400, 200}, 3, {160, 80}, 'B'}};
    ImagingLibrary fullDecodeOnly = loader_.library();
    fullDecodeOnly.DllDecodeJPEGScaled = nullptr;
    for (const ImagingLibrary* library : {&loader_.library(), &std::as_const(fullDecodeOnly)}) {
        MediaCopier copier(*library, work_, 0, audio_);
        for (const Case& c : cases) {
            const std::string name = std::to_string(c.source.width) + "x" + std::to_string(c.source.height);
            SCOPED_TRACE(name + " turned " + std::to_string(c.orientation));
            ASSERT_TRUE(test::MakeJpeg(Src("plain.jpg"), c.source.width, c.source.height));
            const std::string plain = ReadWholeFile(Src("plain.jpg"));
            const std::string app1 = test::Segment(0xE1, test::ExifPayload(c.orientation, true));
            WriteWholeFile(Src(name), plain.substr(0, 2) + app1 + plain.substr(2));
            test::RgbPicture thumb;
            ASSERT_NO_FATAL_FAILURE(Thumbnailed(copier, Source(name), StillJpeg, c.thumb, thumb));
            const bool across = c.redSide == 'L' || c.redSide == 'R';
            const int w = c.thumb.width - 1;
            const int h = c.thumb.height - 1;
            const uint8_t* first = across ? thumb.At(0, h / 2) : thumb.At(w / 2, 0);
            const uint8_t* last = across ? thumb.At(w, h / 2) : thumb.At(w / 2, h);
            const bool redFirst = c.redSide == 'T' || c.redSide == 'L';
            EXPECT_GT((redFirst ? first : last)[0], 150);
            EXPECT_GT((redFirst ? last : first)[2], 150);
            EXPECT_EQ(fs::status(Thumb("th.jpg")).permissions(), fs::perms(0644));
            EXPECT_NE(ReadWholeFile(Thumb("th.jpg")), ReadWholeFile(Src(name)));
        }
    }
}

// A JPEG keeps its bytes and permission bits; a bitmap becomes a JPEG readable by all, as its thumbnail
// does. A read-only Data file is refused untouched, then rewritten once the caller made it writable.
TEST_F(MediaCopierTest, DataCopiesAndReadOnlyDataFiles) {
    ASSERT_TRUE(test::MakeJpeg(Src("a.jpg"), 64, 48));
    ASSERT_TRUE(test::MakeBitmap(Src("b.bmp"), 64, 48));
    fs::permissions(Src("a.jpg"), fs::perms(0440));
    const std::string jpeg = Source("a.jpg");
    const std::string bitmap = Source("b.bmp");
    MediaCopier copier = Copier();
    EXPECT_EQ(copier.CopyToDataFolder(jpeg, Data("a.jpg"), StillJpeg), 1);
    EXPECT_TRUE(copier.failure().empty());
    EXPECT_EQ(ReadWholeFile(Data("a.jpg")), ReadWholeFile(jpeg));
    EXPECT_TRUE(IsReadOnly(Data("a.jpg")));
    EXPECT_EQ(copier.CopyToDataFolder(bitmap, Data("b.jpg"), StillBmp), 1);
    EXPECT_EQ(fs::status(Data("b.jpg")).permissions(), fs::perms(0644));
    test::RgbPicture thumb;
    ASSERT_NO_FATAL_FAILURE(Thumbnailed(copier, bitmap, StillBmp, {64, 48}, thumb));
    auto made = test::ReadWithImageMagick(Data("b.jpg"));
    ASSERT_TRUE(made && made->width == 64 && made->height == 48);
    for (test::RgbPicture* picture : {&*made, &thumb}) {
        EXPECT_GT(picture->At(0, 0)[0], 150); // red at the top, blue at the bottom, as the source
        EXPECT_GT(picture->At(0, 47)[2], 150);
    }
    for (const auto& [source, kind, rewritten] :
         {std::tuple{jpeg, StillJpeg, jpeg}, {bitmap, StillBmp, Data("b.jpg")}}) {
        const std::string old = Data("old" + std::to_string(kind) + ".jpg");
        WriteWholeFile(old, "old");
        ASSERT_TRUE(SetReadOnly(old));
        EXPECT_EQ(copier.CopyToDataFolder(source, old, kind), EACCES);
        EXPECT_EQ(copier.failure().cause, FailureCause::AccessDenied);
        EXPECT_EQ(copier.failure().file, old);
        EXPECT_EQ(ReadWholeFile(old), "old");
        ASSERT_TRUE(ClearReadOnly(old));
        EXPECT_EQ(copier.WriteDataContent(source, old, kind), 1);
        EXPECT_EQ(ReadWholeFile(old), ReadWholeFile(rewritten));
    }
}

TEST_F(MediaCopierTest, SameFileAsDataGoesThroughATemporaryCopy) {
    ASSERT_TRUE(test::MakeJpeg(Src("a.jpg"), 64, 48));
    const std::string original = ReadWholeFile(Src("a.jpg"));
    fs::create_hard_link(Src("a.jpg"), Src("link.jpg"));
    MediaCopier copier = Copier();
    EXPECT_EQ(copier.CopyToDataFolder(Src("a.jpg"), Src("a.jpg"), StillJpeg), 1);
    EXPECT_EQ(ReadWholeFile(Src("a.jpg")), original);
    // Another spelling of the same file must not truncate it either.
    EXPECT_EQ(copier.CopyToDataFolder(Src("link.jpg"), Src("a.jpg"), StillJpeg), 1);
    EXPECT_EQ(ReadWholeFile(Src("a.jpg")), original);
    const std::string noWork;
    MediaCopier withoutWorkFolder(loader_.library(), noWork, 0, audio_);
    EXPECT_EQ(withoutWorkFolder.CopyToDataFolder(Src("a.jpg"), Src("a.jpg"), StillJpeg), 0);
    EXPECT_EQ(withoutWorkFolder.failure().cause, FailureCause::NoWorkFolder);
    EXPECT_EQ(ReadWholeFile(Src("a.jpg")), original);
}

// Damaged or missing sources fail with their cause and leave no thumbnail, nor a Data file where one is
// made from the picture (bitmaps) or there is nothing to copy.
TEST_F(MediaCopierTest, BrokenSourcesFailWithACauseAndLeaveNothing) {
    ASSERT_TRUE(test::MakeBitmap(Src("good.bmp"), 16, 16, "BMP3", "-type Palette"));
    ASSERT_TRUE(test::MakeJpeg(Src("good.jpg"), 64, 48));
    const std::string bmp = ReadWholeFile(Src("good.bmp"));
    const std::string jpeg = ReadWholeFile(Src("good.jpg"));
    auto patched = [&](std::size_t at, const char* bytes) {
        return std::string(bmp).replace(at, 4, bytes, 4);
    };
    constexpr FailureCause kBad = FailureCause::NotAPicture;
    const struct {
        const char* name;                 // the file, and what is wrong with it
        std::optional<std::string> bytes; // none: the file does not exist
        int kind;
        FailureCause cause;
    } cases[] = {{"bad.bmp: offset 1079", patched(10, "\x37\x04\0\0"), StillBmp, kBad},
                 {"bad.bmp: compression 4", patched(30, "\x04\0\0\0"), StillBmp, kBad},
                 {"bad.bmp: truncated", bmp.substr(0, 60), StillBmp, kBad},
                 {"bad.jpg: cut in the header", jpeg.substr(0, 100), StillJpeg, kBad},
                 {"bad.jpg: not a JPEG", std::string(500, 'x'), StillJpeg, kBad},
                 {"bad.jpg: empty", "", StillJpeg, kBad},
                 {"bad.avi: junk", std::string(4096, 'j'), MovieAvi, FailureCause::NoMovieFrame},
                 {"none.jpg", std::nullopt, StillJpeg, FailureCause::Unreadable},
                 {"none.avi", std::nullopt, MovieAvi, FailureCause::Unreadable}};
    MediaCopier copier = Copier();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = std::string(c.name).substr(0, std::string(c.name).find(':'));
        if (c.bytes)
            WriteWholeFile(Src(file), *c.bytes);
        const std::string source = c.bytes ? Source(file) : Src(file).string();
        EXPECT_EQ(Thumbnail(copier, source, Thumb("th.jpg"), c.kind), 0);
        EXPECT_EQ(copier.failure().cause, c.cause);
        EXPECT_FALSE(fs::exists(Thumb("th.jpg")));
        if (c.kind == StillBmp || !c.bytes) {
            EXPECT_EQ(copier.CopyToDataFolder(source, Data("d.jpg"), c.kind), 0);
            EXPECT_EQ(copier.failure().cause, c.cause);
            EXPECT_EQ(copier.failure().file, source);
            EXPECT_FALSE(fs::exists(Data("d.jpg")));
        }
    }
}

// One colour with the kind's mark stamped, as the page shows the thumbnail.
test::RgbPicture ExpectedMovieThumb(PixelSize size, int kind) {
    const std::size_t row = (3 * static_cast<std::size_t>(size.width) + 3) / 4 * 4;
    std::vector<uint8_t> pixels(row * size.height, 0);
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x)
            std::memcpy(&pixels[y * row + 3 * x], "\xC0\x60\x30", 3); // blue, green, red
    MovieMark::Stamp(pixels.data(), size.width, size.height, kind);
    return test::FromBottomUpBgr(pixels.data(), size.width, size.height);
}

// The first frame, fitted, carries the mark of the kind: against the other mark the difference is plain,
// and the plain strip's light field (16 from the right, 16 from the bottom) shows.
TEST_F(MediaCopierTest, MovieThumbnailsCarryTheirKindsMark) {
    ASSERT_TRUE(test::MakeMovie(Src("clip.asf"), 352, 288, "", "color=c=0x3060C0"));
    MediaCopier copier = Copier();
    for (const int kind : {MovieAvi, MovieAsfMarked}) {
        SCOPED_TRACE(kind);
        test::RgbPicture thumb;
        ASSERT_NO_FATAL_FAILURE(Thumbnailed(copier, Source("clip.asf"), kind, {146, 120}, thumb));
        const double near = test::MeanDifference(thumb, ExpectedMovieThumb({146, 120}, kind));
        EXPECT_LT(near, 12.0);
        const int other = kind == MovieAvi ? MovieAsfMarked : MovieAvi;
        EXPECT_GT(test::MeanDifference(thumb, ExpectedMovieThumb({146, 120}, other)), near);
        EXPECT_TRUE(kind == MovieAsfMarked || thumb.At(146 - 16, 120 - 17)[1] > 180);
    }
}

// A read-only thumbnail is refused untouched, with its size known and the caller's temporary file kept
// for the rewrite; an audio item's thumbnail is the audio picture at the box size, rewritten from it.
TEST_F(MediaCopierTest, ReadOnlyAndAudioThumbnails) {
    ASSERT_TRUE(test::MakeJpeg(Src("sound.jpg"), 300, 50));
    ASSERT_TRUE(test::MakeJpeg(Src("p.jpg"), 100, 80));
    audio_ = Source("sound.jpg");
    MediaCopier copier = Copier();
    WriteWholeFile(Thumb("th_p.jpg"), "old");
    ASSERT_TRUE(SetReadOnly(Thumb("th_p.jpg")));
    const std::string temp = CreateTempFile(work_, "HTM");
    EXPECT_EQ(copier.MakeThumbnail(Source("p.jpg"), temp, Thumb("th_p.jpg"), StillJpeg), EACCES);
    EXPECT_EQ(copier.thumbWidth(), 100);
    EXPECT_EQ(ReadWholeFile(Thumb("th_p.jpg")), "old");
    ASSERT_TRUE(ClearReadOnly(Thumb("th_p.jpg")));
    EXPECT_EQ(copier.WriteThumbContent(temp, Thumb("th_p.jpg"), StillJpeg), 1);
    EXPECT_EQ(ReadWholeFile(Thumb("th_p.jpg")), ReadWholeFile(temp));
    fs::remove(temp);

    EXPECT_EQ(Thumbnail(copier, Src("tune.mp3"), Thumb("sound.jpg"), Audio), 1);
    EXPECT_EQ(PixelSize(copier.thumbWidth(), copier.thumbHeight()), PixelSize(160, 120));
    EXPECT_EQ(ReadWholeFile(Thumb("sound.jpg")), ReadWholeFile(audio_));
    WriteWholeFile(Thumb("sound.jpg"), "old");
    ASSERT_TRUE(SetReadOnly(Thumb("sound.jpg")));
    EXPECT_EQ(Thumbnail(copier, Src("tune.mp3"), Thumb("sound.jpg"), Audio), EACCES);
    EXPECT_EQ(ReadWholeFile(Thumb("sound.jpg")), "old");
    ASSERT_TRUE(ClearReadOnly(Thumb("sound.jpg")));
    EXPECT_EQ(copier.WriteThumbContent("", Thumb("sound.jpg"), Audio), 1);
    EXPECT_EQ(ReadWholeFile(Thumb("sound.jpg")), ReadWholeFile(audio_));
}

} // namespace
} // namespace aw
