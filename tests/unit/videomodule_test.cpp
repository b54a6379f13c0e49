// SPDX-License-Identifier: MIT
// The video module, called through the loaded shared library as the program calls it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <tuple>
#include <vector>

#include <sys/stat.h>

#include "support/fixtures.h"
#include "support/imagingharness.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// The first frame read as the program reads it, into a buffer of the size given before (not one byte less)
// at the width it is shown at; no frame from text, a picture, a sound, a missing file, a URL or no name, but
// from a local name that looks like a URL. H.264 without its IDR frame has no key frame and is still read.
TEST(VideoModuleTest, OnlyLocalMoviesGiveTheirFirstFrame) {
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    test::ScratchDir scratch;
    const std::map<std::string, std::string> extraArgs{
        {"wide.avi", "-vf setsar=2"},
        {"recovered.ts", "-frames:v 8 -c:v libx264 -x264-params intra-refresh=1:keyint=2 -bsf:v "
                         "filter_units=remove_types=5"}};
    for (const std::string name : {"clip.asf", "clip.mov", "clip.mpg", "wide.avi", "recovered.ts"}) {
        SCOPED_TRACE(name);
        const bool wide = name == "wide.avi";
        const std::string path = (scratch / name).string();
        ASSERT_TRUE(test::MakeMovie(path, 64, 48, extraArgs.count(name) ? extraArgs.at(name) : ""));
        int width = 0, height = 0;
        ASSERT_TRUE(library.GetFrameSize(path.c_str(), &width, &height));
        ASSERT_EQ(std::pair(width, height), std::pair(wide ? 128 : 64, 48));
        std::vector<uint8_t> pixels(test::PixelBytes(width, height));
        AwPictureDescription description{};
        uint32_t size = static_cast<uint32_t>(pixels.size() - 1);
        EXPECT_FALSE(library.GetFirstFrameDIB_RGB24(path.c_str(), &description, pixels.data(), &size));
        size = static_cast<uint32_t>(pixels.size());
        ASSERT_TRUE(library.GetFirstFrameDIB_RGB24(path.c_str(), &description, pixels.data(), &size));
        const AwBitmapInfoHeader& header = description.header;
        EXPECT_EQ(std::tuple(header.biWidth, header.biHeight, header.biBitCount),
                  std::tuple(width, height, 24));
        const test::RgbPicture frame = test::FromBottomUpBgr(pixels.data(), width, height);
        const uint8_t* centre = frame.At(width / 2, height / 2);
        EXPECT_TRUE(centre[0] > 200 && centre[1] < 50 && centre[2] < 50) << "not red";
    }
    test::WriteWholeFile(scratch / "notes.mpg", "plain text, not a movie\n");
    ASSERT_TRUE(test::MakeJpeg(scratch / "picture.mov", 64, 48));
    ASSERT_TRUE(test::RunCommand("ffmpeg -nostdin -y -loglevel error -f lavfi -i sine=d=0.2 " +
                                 test::ShellQuote((scratch / "sound.avi").string())));
    int width = -1, height = -1;
    for (const std::string& path : {(scratch / "notes.mpg").string(), (scratch / "picture.mov").string(),
                                    (scratch / "sound.avi").string(), (scratch / "missing.avi").string(),
                                    std::string("http://x"), std::string("")}) {
        SCOPED_TRACE(path);
        std::vector<uint8_t> pixels(test::PixelBytes(64, 48));
        AwPictureDescription description{};
        uint32_t size = static_cast<uint32_t>(pixels.size());
        EXPECT_FALSE(library.GetFrameSize(path.c_str(), &width, &height) ||
                     library.GetFirstFrameDIB_RGB24(path.c_str(), &description, pixels.data(), &size));
    }
    ASSERT_TRUE(test::MakeMovie(scratch / "http:clip.avi", 32, 24));
    const fs::path before = fs::current_path();
    fs::current_path(scratch.path());
    const int found = library.GetFrameSize("http:clip.avi", &width, &height);
    fs::current_path(before);
    EXPECT_EQ(std::pair(found, width), std::pair(1, 32));
}

// A flat 12300 x 12300 frame (151 megapixels in 600 KB) is beyond the pixel budget; a small one is read.
TEST(VideoModuleTest, FramesBeyondThePixelBudgetAreRefused) {
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    test::ScratchDir scratch;
    for (const int side : {12300, 64}) {
        SCOPED_TRACE(side);
        const std::vector<uint8_t> frame = test::FlatGreyJpeg(side, side, false);
        test::WriteWholeFile(scratch / "frame.jpg", std::string(frame.begin(), frame.end()));
        const std::string movie = (scratch / "flat.avi").string();
        ASSERT_TRUE(test::RunCommand("ffmpeg -nostdin -y -loglevel error -f jpeg_pipe -i " +
                                     test::ShellQuote((scratch / "frame.jpg").string()) +
                                     " -c:v copy -f avi " + test::ShellQuote(movie)));
        int width = 0, height = 0;
        std::vector<uint8_t> pixels(test::PixelBytes(64, 64));
        AwPictureDescription description{};
        auto size = static_cast<uint32_t>(pixels.size());
        EXPECT_EQ(library.GetFrameSize(movie.c_str(), &width, &height) != 0, side == 64);
        EXPECT_EQ(library.GetFirstFrameDIB_RGB24(movie.c_str(), &description, pixels.data(), &size) != 0,
                  side == 64);
    }
}

// A FIFO or a folder named like a movie fails at once instead of blocking the open until a writer comes. The
// frame decoded for GetFrameSize is kept for the GetFirstFrameDIB_RGB24 that follows, but only for that same
// file as it still is: another path, or the file replaced in between (by another movie, or by a FIFO that
// must fail at once), is read afresh.
TEST(VideoModuleTest, TheSecondCallGivesTheFileAsItIsNow) {
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    test::ScratchDir dir;
    ASSERT_TRUE(test::MakeMovie(dir / "red.avi", 64, 48, "", "color=c=red"));
    ASSERT_TRUE(test::MakeMovie(dir / "blue.avi", 64, 48, "", "color=c=blue"));
    fs::copy_file(dir / "red.avi", dir / "clip.avi");
    ASSERT_EQ(::mkfifo((dir / "fifo.avi").c_str(), 0600), 0);
    fs::create_directory(dir / "folder.mpg");
    const test::Watchdog watchdog(std::chrono::seconds(30), "reading a FIFO named like a movie");
    int width = 0, height = 0;
    for (const char* name : {"fifo.avi", "folder.mpg"})
        EXPECT_FALSE(library.GetFrameSize((dir / name).c_str(), &width, &height)) << name;
    // Sized, then read (after the file read is replaced when asked): red, blue or nothing.
    const std::tuple<const char*, const char*, const char*, char> cases[] = {
        {"red.avi", "red.avi", nullptr, 'r'},
        {"red.avi", "blue.avi", nullptr, 'b'},
        {"clip.avi", "clip.avi", "blue.avi", 'b'},
        {"clip.avi", "clip.avi", nullptr, 'b'},
        {"clip.avi", "clip.avi", "fifo.avi", '-'}};
    for (const auto& [sized, read, replacement, colour] : cases) {
        SCOPED_TRACE(std::string(sized) + " " + read + " " + (replacement ? replacement : ""));
        ASSERT_TRUE(library.GetFrameSize((dir / sized).c_str(), &width, &height));
        if (replacement && fs::is_fifo(dir / replacement)) {
            fs::rename(dir / replacement, dir / read);
        } else if (replacement) {
            fs::copy_file(dir / replacement, dir / "new.avi");
            fs::rename(dir / "new.avi", dir / read);
        }
        std::vector<uint8_t> pixels(test::PixelBytes(width, height));
        AwPictureDescription description{};
        auto size = static_cast<uint32_t>(pixels.size());
        const bool got =
            library.GetFirstFrameDIB_RGB24((dir / read).c_str(), &description, pixels.data(), &size);
        ASSERT_EQ(got, colour != '-');
        if (!got)
            continue;
        const bool blue = colour == 'b';
        const auto picture = test::FromBottomUpBgr(pixels.data(), width, height); // outlives `centre`
        const uint8_t* centre = picture.At(width / 2, height / 2);
        EXPECT_TRUE(centre[blue ? 2 : 0] > 200 && centre[blue ? 0 : 2] < 50)
            << (blue ? "not blue" : "not red");
    }
}

} // namespace
} // namespace aw
