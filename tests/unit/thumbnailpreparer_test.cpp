// SPDX-License-Identifier: MIT
#include "album/thumbnailpreparer.h"

#include <algorithm>
#include <condition_variable>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "album/createthread.h"
#include "album/imaginglibrary.h"
#include "album/mediakind.h"
#include "album/prepareahead.h"
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

} // namespace
} // namespace aw
