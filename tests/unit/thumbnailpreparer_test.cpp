#include "album/thumbnailpreparer.h"

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "album/boxfit.h"
#include "album/imaginglibraryloader.h"
#include "album/mediacopier.h"
#include "album/mediakind.h"
#include "platform/tempfile.h"
#include "support/exifblock.h"
#include "support/fixtures.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class ThumbnailPreparerTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(loader_.Load(test::BinDir()), ImagingLoadResult::Loaded) << loader_.errorText();
        fs::create_directory(dir_ / "work");
    }
    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    // What the run writes today for `source`: the thumbnail file's bytes and the size for the page.
    std::pair<std::string, PixelSize> Written(const std::string& source, int kind) {
        MediaCopier copier(loader_.library(), work_, 0, "");
        const std::string temp = CreateTempFile(work_, "HTM");
        EXPECT_EQ(copier.MakeThumbnail(source, temp, Path("th.jpg"), kind), 1);
        fs::remove(temp);
        return {test::ReadWholeFile(Path("th.jpg")), {copier.thumbWidth(), copier.thumbHeight()}};
    }

    test::ScratchDir dir_;
    ImagingLibraryLoader loader_;
    std::string work_ = (dir_ / "work").string();
};

// Prepared in memory on any thread, the thumbnail is byte for byte the file the run writes, at the same
// size: still pictures (turned by EXIF), bitmaps, movies with their mark.
TEST_F(ThumbnailPreparerTest, SameBytesAsTheWrittenThumbnail) {
    ASSERT_TRUE(test::MakeJpeg(Path("wide.jpg"), 1200, 400, "", "plasma:fractal"));
    std::string jpeg = test::ReadWholeFile(Path("wide.jpg"));
    test::WriteWholeFile(Path("turned.jpg"), jpeg.insert(2, test::Segment(0xE1, test::ExifPayload(6))));
    ASSERT_TRUE(test::MakeBitmap(Path("b.bmp"), 90, 300));
    ASSERT_TRUE(test::MakeMovie(Path("clip.avi"), 320, 240, "", "color=c=0x3060C0"));
    const struct {
        const char* name;
        int kind;
        PixelSize size;
    } cases[] = {{"wide.jpg", StillJpeg, {160, 53}},
                 {"turned.jpg", StillJpeg, {40, 120}},
                 {"b.bmp", StillBmp, {36, 120}},
                 {"clip.avi", MovieAvi, {160, 120}}};
    const ThumbnailPreparer preparer(loader_.library());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PreparedThumbnail prepared;
        std::thread([&] { prepared = preparer.Prepare(Path(c.name), c.kind); }).join();
        ASSERT_TRUE(prepared.made);
        EXPECT_TRUE(prepared.failure.empty());
        EXPECT_EQ(PixelSize(prepared.width, prepared.height), c.size);
        const auto [bytes, size] = Written(Path(c.name), c.kind);
        EXPECT_EQ(size, c.size);
        EXPECT_EQ(std::string(prepared.jpeg.begin(), prepared.jpeg.end()), bytes);
    }
}

// What cannot be made says why, naming the source, and a FIFO is never opened (which would block).
TEST_F(ThumbnailPreparerTest, FailuresNameTheSource) {
    test::WriteWholeFile(Path("broken.jpg"), "\xFF\xD8 not really");
    ASSERT_EQ(::mkfifo(Path("pipe.jpg").c_str(), 0600), 0);
    ASSERT_TRUE(test::MakeJpeg(Path("ok.jpg"), 64, 48));
    const struct {
        const char* name;
        int kind;
        FailureCause cause;
    } cases[] = {{"broken.jpg", StillJpeg, FailureCause::NotAPicture},
                 {"missing.jpg", StillJpeg, FailureCause::Unreadable},
                 {"pipe.jpg", StillJpeg, FailureCause::IsFifo},
                 {"ok.jpg", Audio, FailureCause::NotAPicture}};
    const ThumbnailPreparer preparer(loader_.library());
    test::Watchdog watchdog(30s, "preparing failing thumbnails");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PreparedThumbnail prepared = preparer.Prepare(Path(c.name), c.kind);
        EXPECT_FALSE(prepared.made);
        EXPECT_TRUE(prepared.jpeg.empty());
        EXPECT_EQ(prepared.failure.cause, c.cause);
        EXPECT_EQ(prepared.failure.file, Path(c.name));
    }
}

} // namespace
} // namespace aw
