// The video module, called through the loaded shared library as the program calls it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <vector>

#include "album/imaginglibraryloader.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

const ImagingLibrary& Library() {
    static ImagingLibraryLoader loader;
    if (loader.library().GetFrameSize == nullptr && loader.Load(test::BinDir()) != ImagingLoadResult::Loaded)
        ADD_FAILURE() << "imaging modules not loaded: " << loader.errorText();
    return loader.library();
}

std::size_t BufferSize(int width, int height) {
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4 * height;
}

struct Frame {
    int width = 0;
    int height = 0;
    test::RgbPicture rgb;
};

// Both calls as the program makes them: the size first, then the frame into a buffer of that size.
std::optional<Frame> FirstFrame(const std::string& path) {
    Frame frame;
    if (!Library().GetFrameSize(path.c_str(), &frame.width, &frame.height))
        return std::nullopt;
    EXPECT_GT(frame.width, 0);
    EXPECT_GT(frame.height, 0);
    std::vector<uint8_t> pixels(BufferSize(frame.width, frame.height));
    AwPictureDescription description{};
    uint32_t size = static_cast<uint32_t>(pixels.size());
    if (!Library().GetFirstFrameDIB_RGB24(path.c_str(), &description, pixels.data(), &size))
        return std::nullopt;
    EXPECT_EQ(description.header.biWidth, frame.width);
    EXPECT_EQ(description.header.biHeight, frame.height);
    EXPECT_EQ(description.header.biBitCount, 24);
    frame.rgb = test::FromBottomUpBgr(pixels.data(), frame.width, frame.height);
    return frame;
}

void ExpectMostlyRed(const test::RgbPicture& rgb) {
    const uint8_t* centre = rgb.At(rgb.width / 2, rgb.height / 2);
    EXPECT_GT(centre[0], 200);
    EXPECT_LT(centre[1], 50);
    EXPECT_LT(centre[2], 50);
}

TEST(VideoModuleTest, EveryMovieKindGivesItsFirstFrame) {
    test::ScratchDir scratch;
    for (const char* extension : {".asf", ".avi", ".mov", ".mpg", ".mpeg"}) {
        SCOPED_TRACE(extension);
        const std::string path = (scratch / (std::string("clip") + extension)).string();
        ASSERT_TRUE(test::MakeMovie(path, 64, 48));
        const std::optional<Frame> frame = FirstFrame(path);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->width, 64);
        EXPECT_EQ(frame->height, 48);
        ExpectMostlyRed(frame->rgb);
    }
}

// Pixels twice as wide as high: the frame is reported and delivered at the width it is shown at.
TEST(VideoModuleTest, NonSquarePixelsGiveTheDisplaySize) {
    test::ScratchDir scratch;
    const std::string path = (scratch / "wide.avi").string();
    ASSERT_TRUE(test::MakeMovie(path, 64, 48, "-vf setsar=2"));
    const std::optional<Frame> frame = FirstFrame(path);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->width, 128);
    EXPECT_EQ(frame->height, 48);
    ExpectMostlyRed(frame->rgb);
}

TEST(VideoModuleTest, WhatIsNoLocalMovieFails) {
    test::ScratchDir scratch;
    test::WriteWholeFile(scratch / "notes.mpg", "plain text, not a movie\n");
    ASSERT_TRUE(test::MakeJpeg(scratch / "picture.mov", 64, 48));
    ASSERT_TRUE(test::RunCommand("ffmpeg -nostdin -y -loglevel error -f lavfi -i sine=d=0.2 " +
                                 test::ShellQuote((scratch / "sound.avi").string())));
    for (const std::string& path : {(scratch / "notes.mpg").string(), (scratch / "picture.mov").string(),
                                    (scratch / "sound.avi").string(), (scratch / "missing.avi").string(),
                                    std::string("http://x"), std::string("")}) {
        SCOPED_TRACE(path);
        int width = -1, height = -1;
        EXPECT_FALSE(Library().GetFrameSize(path.c_str(), &width, &height));
        std::vector<uint8_t> pixels(BufferSize(64, 48));
        AwPictureDescription description{};
        uint32_t size = static_cast<uint32_t>(pixels.size());
        EXPECT_FALSE(Library().GetFirstFrameDIB_RGB24(path.c_str(), &description, pixels.data(), &size));
    }
}

// A name that looks like a protocol is still a local file name.
TEST(VideoModuleTest, NamesAreNeverReadAsUrls) {
    test::ScratchDir scratch;
    ASSERT_TRUE(test::MakeMovie(scratch / "http:clip.avi", 32, 24));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    int width = 0, height = 0;
    const int found = Library().GetFrameSize("http:clip.avi", &width, &height);
    std::filesystem::current_path(before);
    EXPECT_TRUE(found);
    EXPECT_EQ(width, 32);
}

TEST(VideoModuleTest, TooSmallABufferIsRefused) {
    test::ScratchDir scratch;
    const std::string path = (scratch / "clip.avi").string();
    ASSERT_TRUE(test::MakeMovie(path, 64, 48));
    std::vector<uint8_t> pixels(BufferSize(64, 48));
    AwPictureDescription description{};
    uint32_t size = static_cast<uint32_t>(pixels.size() - 1);
    EXPECT_FALSE(Library().GetFirstFrameDIB_RGB24(path.c_str(), &description, pixels.data(), &size));
}

} // namespace
} // namespace aw
