#include "album/mediacopier.h"

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>
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

// Per test: sources in src/, the album's Data/ and Thumb/, and the work folder. Every source's bytes and
// modification time are checked again at the end, and the work folder must be empty (the caller's own
// temporary file excepted).
class MediaCopierTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader_.errorText();
        for (const char* folder : {"src", "Data", "Thumb", "work"})
            fs::create_directory(dir_ / folder);
        work_ = (dir_ / "work").string();
    }

    void TearDown() override {
        for (const auto& [path, snapshot] : sources_) {
            SCOPED_TRACE(path);
            EXPECT_EQ(ReadWholeFile(path), snapshot.bytes);
            EXPECT_EQ(fs::last_write_time(path), snapshot.time);
        }
        for (const auto& entry : fs::directory_iterator(work_))
            ADD_FAILURE() << "left in the work folder: " << entry.path();
    }

    // Records a source made by a fixture so that TearDown can check it was never touched.
    std::string Source(const std::string& name) {
        const fs::path path = dir_ / "src" / name;
        sources_[path.string()] = {ReadWholeFile(path), fs::last_write_time(path)};
        return path.string();
    }
    std::string Data(const std::string& name) const { return (dir_ / "Data" / name).string(); }
    std::string Thumb(const std::string& name) const { return (dir_ / "Thumb" / name).string(); }
    fs::path Src(const std::string& name) const { return dir_ / "src" / name; }

    // The caller's side of a thumbnail: a temporary file in the work folder, removed afterwards.
    int Thumbnail(MediaCopier& copier, const std::string& source, const std::string& thumb, int kind) {
        const std::string temp = CreateTempFile(work_, "HTM");
        EXPECT_FALSE(temp.empty());
        const int result = copier.MakeThumbnail(source, temp, thumb, kind);
        fs::remove(temp);
        return result;
    }

    MediaCopier Copier(const ImagingLibrary* library = nullptr, int marker = 0) {
        return MediaCopier(library ? *library : loader_.library(), work_, marker, audio_);
    }

    struct Snapshot {
        std::string bytes;
        fs::file_time_type time;
    };
    test::ScratchDir dir_;
    ImagingLibraryLoader loader_;
    std::string work_;
    std::string audio_;
    std::map<std::string, Snapshot> sources_;
};

TEST_F(MediaCopierTest, JpegThumbnailsFitTheBox) {
    struct Case {
        int width, height, thumbWidth, thumbHeight;
    };
    const Case cases[] = {
        {640, 480, 160, 120}, {480, 640, 90, 120}, {720, 480, 160, 106}, {352, 288, 146, 120},
        {480, 360, 160, 119}, {100, 80, 100, 80},  {10, 500, 2, 120},    {1000, 1, 160, 1},
    };
    ImagingLibrary fullDecodeOnly = loader_.library();
    fullDecodeOnly.DllDecodeJPEGScaled = nullptr;
    for (const ImagingLibrary* library :
         {&loader_.library(), static_cast<const ImagingLibrary*>(&fullDecodeOnly)}) {
        MediaCopier copier = Copier(library);
        for (const Case& c : cases) {
            const std::string name = std::to_string(c.width) + "x" + std::to_string(c.height) + ".jpg";
            SCOPED_TRACE(name);
            if (!fs::exists(Src(name))) {
                ASSERT_TRUE(test::MakeJpeg(Src(name), c.width, c.height));
            }
            const std::string source = Source(name);
            ASSERT_EQ(Thumbnail(copier, source, Thumb(name), StillJpeg), 1);
            EXPECT_EQ(copier.thumbWidth(), c.thumbWidth);
            EXPECT_EQ(copier.thumbHeight(), c.thumbHeight);
            const auto thumb = test::ReadWithImageMagick(Thumb(name));
            ASSERT_TRUE(thumb);
            EXPECT_EQ(thumb->width, c.thumbWidth);
            EXPECT_EQ(thumb->height, c.thumbHeight);
            // Red at the top, blue at the bottom, as the source.
            EXPECT_GT(thumb->At(0, 0)[0], 150);
            EXPECT_GT(thumb->At(0, thumb->height - 1)[2], thumb->height > 2 ? 150 : 0);
            // Re-encoded even when not scaled.
            EXPECT_NE(ReadWholeFile(Thumb(name)), ReadWholeFile(source));
        }
    }
}

TEST_F(MediaCopierTest, DataCopyIsByteForByteAndKeepsPermissionBits) {
    ASSERT_TRUE(test::MakeJpeg(Src("a.jpg"), 64, 48));
    fs::permissions(Src("a.jpg"), fs::perms::owner_read | fs::perms::group_read);
    const std::string source = Source("a.jpg");
    MediaCopier copier = Copier();
    EXPECT_EQ(copier.CopyToDataFolder(source, Data("a.jpg"), StillJpeg), 1);
    EXPECT_TRUE(copier.failure().empty());
    EXPECT_EQ(ReadWholeFile(Data("a.jpg")), ReadWholeFile(source));
    EXPECT_TRUE(IsReadOnly(Data("a.jpg")));
}

TEST_F(MediaCopierTest, ReadOnlyDataFileIsRefusedThenRewritten) {
    ASSERT_TRUE(test::MakeJpeg(Src("a.jpg"), 64, 48));
    ASSERT_TRUE(test::MakeBitmap(Src("b.bmp"), 64, 48));
    const std::string jpeg = Source("a.jpg");
    const std::string bitmap = Source("b.bmp");
    MediaCopier copier = Copier();
    for (const auto& [source, name, kind] :
         {std::tuple{jpeg, "a.jpg", StillJpeg}, std::tuple{bitmap, "b.jpg", StillBmp}}) {
        SCOPED_TRACE(name);
        WriteWholeFile(Data(name), "old");
        ASSERT_TRUE(SetReadOnly(Data(name)));
        EXPECT_EQ(copier.CopyToDataFolder(source, Data(name), kind), EACCES);
        EXPECT_EQ(copier.failure().cause, FailureCause::AccessDenied);
        EXPECT_EQ(copier.failure().file, Data(name));
        EXPECT_EQ(ReadWholeFile(Data(name)), "old");

        ASSERT_TRUE(ClearReadOnly(Data(name)));
        EXPECT_EQ(copier.WriteDataContent(source, Data(name), kind), 1);
        const std::string written = ReadWholeFile(Data(name));
        if (kind == StillJpeg)
            EXPECT_EQ(written, ReadWholeFile(source));
        else
            EXPECT_EQ(written.substr(0, 2), "\xFF\xD8"); // the bitmap's JPEG encoding
    }
}

TEST_F(MediaCopierTest, SameFileAsDataGoesThroughATemporaryCopy) {
    ASSERT_TRUE(test::MakeJpeg(Src("a.jpg"), 64, 48));
    const std::string original = ReadWholeFile(Src("a.jpg"));
    fs::create_hard_link(Src("a.jpg"), Src("link.jpg"));
    MediaCopier copier = Copier();
    EXPECT_EQ(copier.CopyToDataFolder(Src("a.jpg").string(), Src("a.jpg").string(), StillJpeg), 1);
    EXPECT_EQ(ReadWholeFile(Src("a.jpg")), original);
    // Another spelling of the same file must not truncate it either.
    EXPECT_EQ(copier.CopyToDataFolder(Src("link.jpg").string(), Src("a.jpg").string(), StillJpeg), 1);
    EXPECT_EQ(ReadWholeFile(Src("a.jpg")), original);

    const std::string noWork;
    MediaCopier withoutWorkFolder(loader_.library(), noWork, 0, audio_);
    EXPECT_EQ(withoutWorkFolder.CopyToDataFolder(Src("a.jpg").string(), Src("a.jpg").string(), StillJpeg), 0);
    EXPECT_EQ(withoutWorkFolder.failure().cause, FailureCause::NoWorkFolder);
    EXPECT_EQ(ReadWholeFile(Src("a.jpg")), original);
}

// An 8 x 4 bitmap of 4 bits per pixel, run-length coded: left half palette entry 0 (red), right half
// entry 1 (blue).
std::string Rle4Bitmap() {
    std::string rle;
    for (int row = 0; row < 4; ++row)
        rle += std::string("\x04\x00\x04\x11\x00\x00", 6);
    rle += std::string("\x00\x01", 2);
    std::string file(14 + 40 + 16 * 4, '\0');
    auto put32 = [&](std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
    };
    file[0] = 'B';
    file[1] = 'M';
    put32(10, static_cast<uint32_t>(file.size()));
    put32(14, 40);
    put32(18, 8);
    put32(22, 4);
    file[26] = 1;
    file[28] = 4;
    put32(30, 2);          // RLE4
    put32(54, 0x00FF0000); // entry 0: red (blue, green, red, 0)
    put32(58, 0x000000FF); // entry 1: blue
    put32(2, static_cast<uint32_t>(file.size() + rle.size()));
    return file + rle;
}

TEST_F(MediaCopierTest, RunLengthFourBitBitmap) {
    WriteWholeFile(Src("rle4.bmp"), Rle4Bitmap());
    const std::string source = Source("rle4.bmp");
    MediaCopier copier = Copier();
    ASSERT_EQ(copier.CopyToDataFolder(source, Data("rle4.jpg"), StillBmp), 1);
    ASSERT_EQ(Thumbnail(copier, source, Thumb("th_rle4.jpg"), StillBmp), 1);
    EXPECT_EQ(copier.thumbWidth(), 8);
    EXPECT_EQ(copier.thumbHeight(), 4);
    // Made files are readable by all, although they pass through private temporary files.
    EXPECT_EQ(fs::status(Data("rle4.jpg")).permissions(), static_cast<fs::perms>(0644));
    EXPECT_EQ(fs::status(Thumb("th_rle4.jpg")).permissions(), static_cast<fs::perms>(0644));
    for (const std::string& out : {Data("rle4.jpg"), Thumb("th_rle4.jpg")}) {
        SCOPED_TRACE(out);
        const auto picture = test::ReadWithImageMagick(out);
        ASSERT_TRUE(picture);
        ASSERT_EQ(picture->width, 8);
        EXPECT_GT(picture->At(0, 1)[0], 180);
        EXPECT_LT(picture->At(0, 1)[2], 80);
        EXPECT_GT(picture->At(7, 1)[2], 180);
        EXPECT_LT(picture->At(7, 1)[0], 80);
    }
}

TEST_F(MediaCopierTest, BrokenBitmapsAreRefusedWithoutLeavingFiles) {
    ASSERT_TRUE(test::MakeBitmap(Src("good.bmp"), 16, 16, "BMP3", "-type Palette"));
    const std::string good = ReadWholeFile(Src("good.bmp"));
    auto patched = [&](std::size_t at, std::string bytes) {
        std::string s = good;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"offset 1079", patched(10, std::string("\x37\x04\x00\x00", 4))},
        {"compression 4", patched(30, std::string("\x04\x00\x00\x00", 4))},
        {"truncated", good.substr(0, 60)},
    };
    MediaCopier copier = Copier();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(Src("bad.bmp"), c.bytes);
        const std::string source = Source("bad.bmp");
        EXPECT_EQ(copier.CopyToDataFolder(source, Data("bad.jpg"), StillBmp), 0);
        EXPECT_EQ(copier.failure().cause, FailureCause::NotAPicture);
        EXPECT_EQ(copier.failure().file, source);
        EXPECT_FALSE(fs::exists(Data("bad.jpg")));
        EXPECT_EQ(Thumbnail(copier, source, Thumb("th_bad.jpg"), StillBmp), 0);
        EXPECT_FALSE(fs::exists(Thumb("th_bad.jpg")));
    }
}

TEST_F(MediaCopierTest, BrokenJpegsFailWithACause) {
    ASSERT_TRUE(test::MakeJpeg(Src("good.jpg"), 64, 48));
    const std::string good = ReadWholeFile(Src("good.jpg"));
    const struct {
        const char* name;
        std::string bytes;
        FailureCause cause;
    } cases[] = {
        {"cut in the header", good.substr(0, 100), FailureCause::NotAPicture},
        {"not a JPEG", std::string(500, 'x'), FailureCause::NotAPicture},
        {"empty", "", FailureCause::NotAPicture},
    };
    MediaCopier copier = Copier();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WriteWholeFile(Src("bad.jpg"), c.bytes);
        EXPECT_EQ(Thumbnail(copier, Source("bad.jpg"), Thumb("th.jpg"), StillJpeg), 0);
        EXPECT_EQ(copier.failure().cause, c.cause);
        EXPECT_FALSE(fs::exists(Thumb("th.jpg")));
    }
    EXPECT_EQ(Thumbnail(copier, Src("missing.jpg").string(), Thumb("th.jpg"), StillJpeg), 0);
    EXPECT_EQ(copier.failure().cause, FailureCause::Unreadable);
    // A missing source is no reason to offer replacing the Data file.
    EXPECT_EQ(copier.CopyToDataFolder(Src("missing.jpg").string(), Data("m.jpg"), StillJpeg), 0);
    EXPECT_EQ(copier.failure().cause, FailureCause::Unreadable);
}

TEST_F(MediaCopierTest, ExifOrientationTurnsTheThumbnail) {
    // Left half red, right half blue, as stored.
    ASSERT_TRUE(
        test::MakeJpeg(Src("plain.jpg"), 400, 200, "-fill blue -draw 'rectangle 200,0 399,199'", "xc:red"));
    const std::string plain = ReadWholeFile(Src("plain.jpg"));
    struct Case {
        int orientation;
        int width, height;
    };
    MediaCopier copier = Copier();
    for (const Case& c : {Case{6, 60, 120}, Case{8, 60, 120}, Case{1, 160, 80}, Case{3, 160, 80}}) {
        SCOPED_TRACE(c.orientation);
        WriteWholeFile(Src("o.jpg"),
                       test::InsertApp1(plain, test::ExifOrientationBlock(c.orientation, true)));
        ASSERT_EQ(Thumbnail(copier, Source("o.jpg"), Thumb("th.jpg"), StillJpeg), 1);
        EXPECT_EQ(copier.thumbWidth(), c.width);
        EXPECT_EQ(copier.thumbHeight(), c.height);
        const auto thumb = test::ReadWithImageMagick(Thumb("th.jpg"));
        ASSERT_TRUE(thumb);
        ASSERT_EQ(thumb->width, c.width);
        ASSERT_EQ(thumb->height, c.height);
        const uint8_t* first = thumb->At(2, 2); // top-left
        const uint8_t* last = thumb->At(c.width - 3, c.height - 3);
        const bool redFirst = c.orientation == 1 || c.orientation == 6;
        EXPECT_GT(first[redFirst ? 0 : 2], 180);
        EXPECT_GT(last[redFirst ? 2 : 0], 180);
        // Turned a quarter, the top row is one colour; otherwise it holds both.
        const bool turned = c.orientation >= 5;
        EXPECT_EQ(thumb->At(c.width - 3, 2)[0] > 128, turned == (first[0] > 128));
    }
}

// A thumbnail of `width` x `height` made of one colour with the kind's mark stamped, as the page shows it.
test::RgbPicture ExpectedMovieThumb(int width, int height, int kind, uint8_t red, uint8_t green,
                                    uint8_t blue) {
    const std::size_t row = (3 * static_cast<std::size_t>(width) + 3) / 4 * 4;
    std::vector<uint8_t> pixels(row * height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[y * row + 3 * x];
            p[0] = blue;
            p[1] = green;
            p[2] = red;
        }
    MovieMark::Stamp(pixels.data(), width, height, kind);
    return test::FromBottomUpBgr(pixels.data(), width, height);
}

TEST_F(MediaCopierTest, MovieThumbnailsCarryTheirMark) {
    struct Case {
        const char* name;
        int width, height, kind, thumbWidth, thumbHeight;
    };
    const Case cases[] = {
        {"clip.avi", 320, 240, MovieAvi, 160, 120},
        {"clip.asf", 320, 240, MovieAsfMarked, 160, 120},
        {"clip.mov", 20, 20, MovieMov, 20, 20}, // the mark is clipped
        {"clip.mpg", 352, 288, MovieMpeg, 146, 120},
    };
    MediaCopier copier = Copier();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(test::MakeMovie(Src(c.name), c.width, c.height, "", "color=c=0x3060C0"));
        ASSERT_EQ(Thumbnail(copier, Source(c.name), Thumb("th.jpg"), c.kind), 1);
        EXPECT_EQ(copier.thumbWidth(), c.thumbWidth);
        EXPECT_EQ(copier.thumbHeight(), c.thumbHeight);
        const auto thumb = test::ReadWithImageMagick(Thumb("th.jpg"));
        ASSERT_TRUE(thumb);
        const auto expected = ExpectedMovieThumb(c.thumbWidth, c.thumbHeight, c.kind, 0x30, 0x60, 0xC0);
        EXPECT_LT(test::MeanDifference(*thumb, expected), 12.0);
        // Against the other mark, or the mark one pixel off, the difference near the mark is plain.
        const auto wrong =
            ExpectedMovieThumb(c.thumbWidth, c.thumbHeight,
                               c.kind == MovieAsfMarked ? MovieAvi : MovieAsfMarked, 0x30, 0x60, 0xC0);
        if (c.thumbWidth >= 32) {
            EXPECT_GT(test::MeanDifference(*thumb, wrong), test::MeanDifference(*thumb, expected));
        }
        // The light field in the middle of the mark: 16 from the right, 16 from the bottom.
        if (c.thumbWidth >= 32 && c.kind != MovieAsfMarked) {
            EXPECT_GT(thumb->At(c.thumbWidth - 16, c.thumbHeight - 17)[1], 180);
        }
    }
}

TEST_F(MediaCopierTest, UnreadableMoviesFail) {
    WriteWholeFile(Src("junk.avi"), std::string(4096, 'j'));
    MediaCopier copier = Copier();
    EXPECT_EQ(Thumbnail(copier, Source("junk.avi"), Thumb("th.jpg"), MovieAvi), 0);
    EXPECT_EQ(copier.failure().cause, FailureCause::NoMovieFrame);
    EXPECT_EQ(Thumbnail(copier, Src("none.avi").string(), Thumb("th.jpg"), MovieAvi), 0);
    EXPECT_EQ(copier.failure().cause, FailureCause::Unreadable);
    EXPECT_FALSE(fs::exists(Thumb("th.jpg")));
}

TEST_F(MediaCopierTest, AudioThumbnailIsTheAudioPictureAtTheBoxSize) {
    ASSERT_TRUE(test::MakeJpeg(Src("sound.jpg"), 300, 50));
    audio_ = Source("sound.jpg");
    ASSERT_TRUE(test::MakeJpeg(Src("p.jpg"), 100, 80));
    MediaCopier copier = Copier();
    ASSERT_EQ(Thumbnail(copier, Source("p.jpg"), Thumb("th_p.jpg"), StillJpeg), 1);
    ASSERT_EQ(copier.thumbWidth(), 100);
    EXPECT_EQ(Thumbnail(copier, Src("tune.mp3").string(), Thumb("sound.jpg"), Audio), 1);
    EXPECT_EQ(copier.thumbWidth(), 160);
    EXPECT_EQ(copier.thumbHeight(), 120);
    EXPECT_EQ(ReadWholeFile(Thumb("sound.jpg")), ReadWholeFile(audio_));

    // A read-only copy is refused, then written again from the audio picture.
    WriteWholeFile(Thumb("sound.jpg"), "old");
    ASSERT_TRUE(SetReadOnly(Thumb("sound.jpg")));
    EXPECT_EQ(Thumbnail(copier, Src("tune.mp3").string(), Thumb("sound.jpg"), Audio), EACCES);
    ASSERT_TRUE(ClearReadOnly(Thumb("sound.jpg")));
    EXPECT_EQ(copier.WriteThumbContent("", Thumb("sound.jpg"), Audio), 1);
    EXPECT_EQ(ReadWholeFile(Thumb("sound.jpg")), ReadWholeFile(audio_));
}

TEST_F(MediaCopierTest, ReadOnlyThumbnailKeepsTheCallersTemporaryFile) {
    ASSERT_TRUE(test::MakeJpeg(Src("p.jpg"), 640, 480));
    const std::string source = Source("p.jpg");
    WriteWholeFile(Thumb("th_p.jpg"), "old");
    ASSERT_TRUE(SetReadOnly(Thumb("th_p.jpg")));
    MediaCopier copier = Copier();
    const std::string temp = CreateTempFile(work_, "HTM");
    EXPECT_EQ(copier.MakeThumbnail(source, temp, Thumb("th_p.jpg"), StillJpeg), EACCES);
    EXPECT_EQ(copier.thumbWidth(), 160);
    EXPECT_EQ(ReadWholeFile(Thumb("th_p.jpg")), "old");
    ASSERT_TRUE(fs::exists(temp));
    ASSERT_TRUE(ClearReadOnly(Thumb("th_p.jpg")));
    EXPECT_EQ(copier.WriteThumbContent(temp, Thumb("th_p.jpg"), StillJpeg), 1);
    EXPECT_EQ(ReadWholeFile(Thumb("th_p.jpg")), ReadWholeFile(temp));
    fs::remove(temp);
}

TEST_F(MediaCopierTest, ArrangementMarkerMakesNoThumbnails) {
    ASSERT_TRUE(test::MakeJpeg(Src("p.jpg"), 640, 480));
    MediaCopier copier = Copier(nullptr, 1);
    EXPECT_EQ(Thumbnail(copier, Source("p.jpg"), Thumb("th_p.jpg"), StillJpeg), 1);
    EXPECT_EQ(Thumbnail(copier, Src("a.mp3").string(), Thumb("sound.jpg"), Audio), 1);
    EXPECT_TRUE(fs::is_empty(dir_ / "Thumb"));
    EXPECT_EQ(copier.thumbWidth(), 160);
    EXPECT_EQ(copier.thumbHeight(), 120);
}

} // namespace
} // namespace aw

namespace aw {
namespace {

// The bitmap corpus: every good file becomes a Data JPEG and a thumbnail that look like it, as close as
// another encoder's JPEG at the same quality, except those the header rules refuse (an OS/2 header, whose
// fields are not where the accepted layout has them; pixels beyond offset 1078); bad files fail cleanly.
TEST_F(MediaCopierTest, BitmapSuite) {
    const fs::path suite = test::TestDataDir() / "bmpsuite";
    if (!fs::exists(suite / "g"))
        GTEST_SKIP() << "no BMP Suite at " << suite;
    MediaCopier copier = Copier();
    for (const char* folder : {"g", "q", "b"}) {
        for (const auto& entry : fs::directory_iterator(suite / folder)) {
            const std::string name = entry.path().filename().string();
            SCOPED_TRACE(std::string(folder) + "/" + name);
            fs::copy_file(entry.path(), Src(name));
            const std::string source = Source(name);
            const int data = copier.CopyToDataFolder(source, Data("d.jpg"), StillBmp);
            const int thumb = Thumbnail(copier, source, Thumb("t.jpg"), StillBmp);
            EXPECT_TRUE(data == 0 || data == 1);
            if (data == 0 || thumb == 0) {
                EXPECT_FALSE(copier.failure().empty());
            }
            if (std::string(folder) != "g")
                continue;
            if (name == "pal8os2.bmp" || name == "pal8v4.bmp" || name == "pal8v5.bmp" ||
                name == "rgb16-565pal.bmp") {
                EXPECT_EQ(data, 0);
                EXPECT_EQ(copier.failure().cause, FailureCause::NotAPicture);
                continue;
            }
            ASSERT_EQ(data, 1);
            ASSERT_EQ(thumb, 1);
            const auto expected = test::ReadWithImageMagick(source);
            const auto made = test::ReadWithImageMagick(Data("d.jpg"));
            ASSERT_TRUE(test::RunCommand("convert " + test::ShellQuote(source) + " -quality 80 " +
                                         test::ShellQuote("jpeg:" + Data("ref.jpg"))));
            const auto reference = test::ReadWithImageMagick(Data("ref.jpg"));
            ASSERT_TRUE(expected && made && reference);
            const double bound = 1.5 * test::MeanDifference(*reference, *expected) + 3;
            EXPECT_LT(test::MeanDifference(*made, *expected), bound);
            // The corpus pictures fit the box, so the thumbnail is the 24-bit conversion re-encoded.
            const auto small = test::ReadWithImageMagick(Thumb("t.jpg"));
            ASSERT_TRUE(small);
            EXPECT_LT(test::MeanDifference(*small, *expected), bound);
            EXPECT_EQ(copier.thumbWidth(), FitSize(expected->width, expected->height, 160, 120).width);
            EXPECT_EQ(copier.thumbHeight(), FitSize(expected->width, expected->height, 160, 120).height);
        }
    }
}

} // namespace
} // namespace aw
