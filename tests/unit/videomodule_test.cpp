// SPDX-License-Identifier: MIT
// The video module, called through the loaded shared library as the program calls it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
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

// The first frame into a buffer sized for width x height, less `shortBy` bytes; nothing when refused.
std::optional<test::RgbPicture> FirstFrame(const std::string& path, int width, int height, int shortBy = 0) {
    std::vector<uint8_t> pixels(test::PixelBytes(width, height));
    AwPictureDescription description{};
    auto size = static_cast<uint32_t>(pixels.size() - shortBy);
    if (!test::LoadedImagingLibrary().GetFirstFrameDIB_RGB24(path.c_str(), &description, pixels.data(),
                                                             &size))
        return std::nullopt;
    return test::FromBottomUpBgr(pixels.data(), description.header.biWidth, description.header.biHeight);
}

// Channel `c` bright and the opposite one dark at the centre.
bool Centre(const test::RgbPicture& p, int c) {
    const uint8_t* centre = p.At(p.width / 2, p.height / 2);
    return centre[c] > 200 && centre[2 - c] < 50;
}

// The frame at its shown width, into a buffer not a byte short; only local movies (a local name may look
// like a URL). H.264 without its IDR frame has no key frame and is still read.
TEST(VideoModuleTest, OnlyLocalMoviesGiveTheirFirstFrame) {
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    test::ScratchDir scratch;
    const std::map<std::string, std::string> extraArgs{
        {"wide.avi", "-vf setsar=2"},
        {"recovered.ts", "-frames:v 8 -c:v libx264 -x264-params intra-refresh=1:keyint=2 -bsf:v "
                         "filter_units=remove_types=5"}};
    for (const std::string name : {"clip.asf", "clip.mov", "clip.mpg", "wide.avi", "recovered.ts"}) {
        SCOPED_TRACE(name);
        const std::string path = (scratch / name).string();
        ASSERT_TRUE(test::MakeMovie(path, 64, 48, extraArgs.count(name) ? extraArgs.at(name) : ""));
        int width = 0, height = 0;
        ASSERT_TRUE(library.GetFrameSize(path.c_str(), &width, &height));
        ASSERT_EQ(std::pair(width, height), std::pair(name == "wide.avi" ? 128 : 64, 48));
        EXPECT_FALSE(FirstFrame(path, width, height, 1));
        const auto frame = FirstFrame(path, width, height);
        ASSERT_TRUE(frame);
        EXPECT_EQ(frame->width, width);
        EXPECT_TRUE(Centre(*frame, 0)) << "not red";
    }
    test::WriteWholeFile(scratch / "notes.mpg", "plain text, not a movie\n");
    ASSERT_TRUE(test::MakeJpeg(scratch / "picture.mov", 64, 48));
    ASSERT_TRUE(test::RunCommand("ffmpeg -nostdin -y -loglevel error -f lavfi -i sine=d=0.2 " +
                                 test::ShellQuote((scratch / "sound.avi").string())));
    int width = -1, height = -1;
    for (const std::string& path : {(scratch / "notes.mpg").string(), (scratch / "picture.mov").string(),
                                    (scratch / "sound.avi").string(), (scratch / "missing.avi").string(),
                                    std::string("http://x"), std::string("")})
        EXPECT_FALSE(library.GetFrameSize(path.c_str(), &width, &height) || FirstFrame(path, 64, 48)) << path;
    ASSERT_TRUE(test::MakeMovie(scratch / "http:clip.avi", 32, 24));
    const fs::path before = fs::current_path();
    fs::current_path(scratch.path());
    const int found = library.GetFrameSize("http:clip.avi", &width, &height);
    fs::current_path(before);
    EXPECT_EQ(std::pair(found, width), std::pair(1, 32));
}

// What a movie or sound file holds, read from its container: how it is shown, when it was made, what it
// carries (the portrait clip declares a place and 2024-05-01 10:20:30 UTC).
TEST(VideoModuleTest, DetailsTellHowAMovieIsShownAndWhatItCarries) {
    const auto media = test::TestDataDir() / "media";
    const struct {
        const char *name, *container, *video, *audio;
        int turns, width, height;
        long long created;
        bool located;
    } cases[] = {
        {"portrait.mp4", "mov,mp4,m4a,3gp,3g2,mj2", "h264", "aac", 3, 48, 64, 1714558830000000, true},
        {"clip.webm", "matroska,webm", "vp9", "opus", 0, 64, 48, 0, false},
        {"sound.flac", "flac", "", "flac", 0, 0, 0, 0, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AwMovieDetails details{};
        ASSERT_TRUE(test::LoadedImagingLibrary().GetMovieDetails((media / c.name).c_str(), &details));
        EXPECT_EQ((std::tuple(std::string(details.facts.container), std::string(details.facts.videoCodec),
                              std::string(details.facts.audioCodec))),
                  std::tuple(c.container, c.video, c.audio));
        EXPECT_EQ((std::tuple(details.quarterTurns, details.displayWidth, details.displayHeight)),
                  std::tuple(c.turns, c.width, c.height));
        EXPECT_EQ(details.hasCreationTime ? details.creationMicroseconds : 0, c.created);
        EXPECT_EQ(details.hasLocation != 0, c.located);
        EXPECT_GT(details.durationMicroseconds, 400000);
    }
}

// A flat 12300 x 12300 frame (151 megapixels in 600 KB) is beyond the pixel budget; a small one is read.
TEST(VideoModuleTest, FramesBeyondThePixelBudgetAreRefused) {
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
        EXPECT_EQ(test::LoadedImagingLibrary().GetFrameSize(movie.c_str(), &width, &height) != 0, side == 64);
        EXPECT_EQ(FirstFrame(movie, 64, 64).has_value(), side == 64);
    }
}

// A FIFO or folder named like a movie fails at once. The frame kept from sizing serves the read that follows
// only for the same file as it still is: another path or a replaced file is read afresh.
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
        if (replacement && !fs::is_fifo(dir / replacement))
            fs::copy_file(dir / replacement, dir / "new.avi"), fs::rename(dir / "new.avi", dir / read);
        else if (replacement)
            fs::rename(dir / replacement, dir / read);
        const auto frame = FirstFrame((dir / read).string(), width, height);
        ASSERT_EQ(frame.has_value(), colour != '-');
        EXPECT_TRUE(!frame || Centre(*frame, colour == 'b' ? 2 : 0)) << colour;
    }
}

} // namespace
} // namespace aw
