// SPDX-License-Identifier: MIT
#include "album/thumbnailpreparer.h"

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "album/boxfit.h"
#include "album/createthread.h"
#include "album/imaginglibrary.h"
#include "album/mediakind.h"
#include "album/prepareahead.h"
#include "support/exifblock.h"
#include "support/fixtures.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

using namespace std::chrono_literals;

// A decoder that notes how many decodes run at once and holds each until the test lets them go.
struct DecodeRecorder {
    std::mutex mutex;
    std::condition_variable changed;
    int inside = 0, peak = 0;
    bool released = false;
};
DecodeRecorder* gRecorder = nullptr;

void* RecordingDecode(const void*, uint32_t, void*) {
    std::unique_lock lock(gRecorder->mutex);
    gRecorder->peak = std::max(gRecorder->peak, ++gRecorder->inside);
    gRecorder->changed.wait(lock, [] { return gRecorder->released; });
    --gRecorder->inside;
    return nullptr; // refused: the test is about what was held, not what was made
}

void* RecordingPictureDecode(const void* bytes, uint32_t count, int, int, void* description, int*, int*) {
    return RecordingDecode(bytes, count, description);
}

// A JPEG of a few bytes that declares a 10000 x 8000 picture (240 MB in 24 bits).
std::string HugeJpegHeader() {
    const unsigned char bytes[] = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x1F, 0x40, 0x27, 0x10, 0x03,
                                   0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01, 0xFF, 0xD9};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// Eight workers on huge pictures and a run's budget: three JPEGs of 240 MB in 24 bits decode at once, the
// others wait; a 92-byte WebP whose two RGBA canvases alone outweigh the budget decodes alone; all come out.
TEST(ThumbnailPreparerTest, WorkersTogetherStayWithinTheSharedBudget) {
    constexpr int kItems = 8;
    const std::tuple<MediaKind, std::string, int> cases[] = {
        {MediaKind::StillJpeg, HugeJpegHeader(), 3},
        {MediaKind::StillWebp, test::ReadWholeFile(test::TestDataDir() / "hostile/canvas-12000.webp"), 1},
    };
    for (const auto& [kind, bytes, peak] : cases) {
        test::ScratchDir dir;
        for (int i = 0; i < kItems; ++i)
            test::WriteWholeFile(dir / std::to_string(i), bytes);
        DecodeRecorder recorder;
        gRecorder = &recorder;
        ImagingLibrary imaging{};
        imaging.DllDecodeJPEG = RecordingDecode;
        imaging.DllDecodePicture = RecordingPictureDecode;
        imaging.DllPictureNeeds = test::LoadedImagingLibrary().DllPictureNeeds;
        MemoryBudget budget(CCreateThread::kLookAheadBytes + 1024);
        const ThumbnailPreparer preparer(imaging, &budget);
        const test::Watchdog watchdog(60s, "preparing within the budget");
        PrepareAhead<PreparedThumbnail> ahead(
            kItems, [&](std::size_t i) { return preparer.Prepare((dir / std::to_string(i)).string(), kind); },
            kItems, kItems);
        // Every preparation has either reached the decoder or is waiting for its part of the budget.
        ASSERT_TRUE(test::WaitUntil([&] {
            std::lock_guard lock(recorder.mutex);
            return recorder.inside + budget.waiting() == kItems;
        }));
        {
            std::lock_guard lock(recorder.mutex);
            EXPECT_EQ(recorder.peak, peak) << static_cast<int>(kind);
            recorder.released = true;
        }
        recorder.changed.notify_all();
        for (std::size_t i = 0; i < kItems; ++i)
            EXPECT_EQ(ahead.Take(i).value().failure.cause, FailureCause::NotAPicture);
        EXPECT_LE(recorder.peak, peak);
        gRecorder = nullptr;
    }
}

// The Gallery's copy of a photo is a JPEG of at most 2,048 px a side (never enlarged), turned as its EXIF
// says and carrying no EXIF; the viewer's size is the copy's, and the thumbnails stand the same way.
TEST(ThumbnailPreparerTest, DisplayCopyIsUprightWithinTheSideAndBare) {
    test::ScratchDir dir;
    const std::tuple<int, int, int, PixelSize, PixelSize> cases[] = {
        {3000, 2000, 6, {1365, 2048}, {80, 120}}, // red at the top, turned clockwise: red on the right
        {800, 600, 1, {800, 600}, {160, 120}},
    };
    for (const auto& [width, height, orientation, display, thumbnail] : cases) {
        SCOPED_TRACE(width);
        const auto photo = dir / "photo.jpg";
        ASSERT_TRUE(test::MakeJpeg(photo, width, height));
        std::string bytes = test::ReadWholeFile(photo);
        bytes.insert(2, test::Segment(0xE1, test::ExifPayload(orientation)));
        test::WriteWholeFile(photo, bytes);
        const ImagingLibrary& imaging = test::LoadedImagingLibrary();
        const PreparedThumbnail made =
            ThumbnailPreparer(imaging, nullptr, 3, true).Prepare(photo.string(), MediaKind::StillJpeg);
        ASSERT_TRUE(made.made);
        EXPECT_EQ((PixelSize{made.display.width, made.display.height}), display);
        EXPECT_EQ((PixelSize{made.pictureWidth, made.pictureHeight}), display);
        EXPECT_EQ((PixelSize{made.width, made.height}), thumbnail);
        const std::string copy(made.display.bytes.begin(), made.display.bytes.end());
        EXPECT_EQ(copy.find("Exif"), std::string::npos);
        AwPictureDescription description{};
        const std::unique_ptr<void, decltype(&std::free)> pixels(
            imaging.DllDecodeJPEG(copy.data(), static_cast<uint32_t>(copy.size()), &description), &std::free);
        ASSERT_TRUE(pixels);
        const test::RgbPicture shown =
            test::FromBottomUpBgr(static_cast<const uint8_t*>(pixels.get()), description.header.biWidth,
                                  description.header.biHeight);
        ASSERT_EQ((PixelSize{shown.width, shown.height}), display);
        const uint8_t* red =
            orientation == 6 ? shown.At(display.width - 1, display.height / 2) : shown.At(0, 0);
        EXPECT_GT(red[0], 200);
        EXPECT_LT(red[2], 60);
    }
}

} // namespace
} // namespace aw
