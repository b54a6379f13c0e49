// SPDX-License-Identifier: MIT
// Copies browsers play, made through the loaded video module as a run makes them.
#include "album/moviecopier.h"

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "support/fixtures.h"
#include "support/imagingharness.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ShellQuote;

const fs::path kMedia = test::TestDataDir() / "media";

// What `tool` prints about `file` (standard output only); empty when the tool fails or is missing.
std::string Ask(const std::string& tool, const fs::path& file) {
    const test::ScratchDir scratch;
    test::RunCommand("{ " + tool + " " + ShellQuote(file.string()) + " >" +
                     ShellQuote(scratch.str() + "/out") + "; }");
    return fs::exists(scratch / "out") ? test::ReadWholeFile(scratch / "out") : std::string();
}

// The MD5 of every video packet, in order.
std::string VideoPackets(const fs::path& file) {
    return Ask(
        "ffprobe -v error -select_streams v:0 -show_data_hash MD5 -show_entries packet=data_hash -of csv",
        file);
}

// The copy's first frame as shown has the sample's red band on top.
bool StandsUpright(const fs::path& copy) {
    int width = 0, height = 0;
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    if (!library.GetFrameSize(copy.c_str(), &width, &height) || width != 48 || height != 64)
        return false;
    std::vector<uint8_t> pixels(test::PixelBytes(width, height));
    AwPictureDescription description{};
    auto size = static_cast<uint32_t>(pixels.size());
    if (!library.GetFirstFrameDIB_RGB24(copy.c_str(), &description, pixels.data(), &size))
        return false;
    const test::RgbPicture frame = test::FromBottomUpBgr(pixels.data(), width, height);
    return frame.At(24, 2)[0] > 200 && frame.At(24, 60)[2] > 200;
}

MovieCopier::Result Copy(const fs::path& source, CopyKind kind, const fs::path& destination) {
    return MovieCopier(test::LoadedImagingLibrary())
        .Write(source.string(), kind, destination.string(), [](double) { return true; });
}

// A remux, and the copy of a movie that plays, carry the same video packets and none of the metadata
// (the sample declares a place and a creation time), and the clip still stands upright.
TEST(MovieCopier, RemuxesCopyThePacketsAndDropTheMetadata) {
    if (Ask("ffprobe -version", "").empty())
        GTEST_SKIP() << "ffprobe is not installed";
    test::ScratchDir dir;
    const fs::path source = kMedia / "portrait.mp4";
    ASSERT_NE(Ask("ffprobe -v error -show_entries format_tags -of flat", source).find("location"),
              std::string::npos);
    for (const CopyKind kind : {CopyKind::Remux, CopyKind::Clean}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const fs::path copy = dir / "copy.mp4";
        ASSERT_EQ(Copy(source, kind, copy), MovieCopier::Result::Written);
        EXPECT_EQ(VideoPackets(copy), VideoPackets(source));
        const std::string tags = Ask("ffprobe -v error -show_entries format_tags:stream_tags -of flat", copy);
        for (const char* field : {"location", "creation_time", "encoder"})
            EXPECT_EQ(tags.find(field), std::string::npos) << field << " in " << tags;
        const std::string exif = Ask("exiftool -s -s -s -GPS:all -UserData:all -Keys:all", copy);
        EXPECT_EQ(exif, "") << exif;
        EXPECT_TRUE(StandsUpright(copy));
    }
    // AVI keeps no presentation times: H.264 with reordered frames from it still plays them in order.
    ASSERT_TRUE(test::MakeMovie(dir / "reordered.avi", 64, 48, "-frames:v 12 -c:v libx264"));
    ASSERT_EQ(Copy(dir / "reordered.avi", CopyKind::Remux, dir / "copy.mp4"), MovieCopier::Result::Written);
    std::string times =
        Ask("ffprobe -v error -select_streams v -show_entries frame=pts -of csv=p=0", dir / "copy.mp4");
    std::replace(times.begin(), times.end(), ',', ' ');
    std::istringstream in(times);
    long long last = -1, frames = 0;
    for (long long time; in >> time; last = time, ++frames)
        EXPECT_GT(time, last);
    EXPECT_EQ(frames, 12) << "[" << times << "]";
}

// Encodes become H.264 (4:2:0, the shorter side at most 1,080 pixels, never enlarged, upright) or AAC,
// which browsers play.
TEST(MovieCopier, EncodesWhatBrowsersDoNotPlay) {
    test::ScratchDir dir;
    ASSERT_TRUE(test::MakeMovie(dir / "big.avi", 2000, 1200, "-frames:v 2"));
    const std::tuple<fs::path, CopyKind, int, int, const char*> cases[] = {
        {kMedia / "hevc.mov", CopyKind::Encode, 128, 96, "aac"},
        {kMedia / "portrait.mp4", CopyKind::Encode, 48, 64, "aac"},
        {dir / "big.avi", CopyKind::Encode, 1800, 1080, ""},
        {kMedia / "alac.m4a", CopyKind::Sound, 0, 0, "aac"}};
    for (const auto& [source, kind, width, height, audio] : cases) {
        SCOPED_TRACE(source.filename());
        const fs::path copy = dir / "copy.mp4";
        ASSERT_EQ(Copy(source, kind, copy), MovieCopier::Result::Written);
        const std::optional<AwMovieDetails> details = ReadMovieDetails(test::LoadedImagingLibrary(), copy);
        ASSERT_TRUE(details);
        EXPECT_EQ(PlayableCopyKind(*details, kind == CopyKind::Sound, false), CopyKind::None);
        EXPECT_EQ(std::pair(details->displayWidth, details->displayHeight), std::pair(width, height));
        EXPECT_STREQ(details->facts.audioCodec, audio);
        EXPECT_EQ(StandsUpright(copy), width == 48);
    }
}

// Stopped by its progress or failing, a copy leaves nothing of its own and the earlier file as it was; the
// progress is not asked again once it said stop.
TEST(MovieCopier, StopsAndFailuresLeaveTheEarlierFile) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "notes.mov", "not a movie");
    test::WriteWholeFile(dir / "copy.mp4", "earlier");
    const struct {
        fs::path source;
        MovieCopier::Result result;
        FailureCause cause;
    } cases[] = {{kMedia / "hevc.mov", MovieCopier::Result::Stopped, FailureCause::None},
                 {dir / "notes.mov", MovieCopier::Result::Failed, FailureCause::NoPlayableCopy},
                 {dir / "copy.mp4", MovieCopier::Result::Failed, FailureCause::IsSource}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source.filename());
        MovieCopier copier(test::LoadedImagingLibrary());
        int asked = 0;
        EXPECT_EQ(copier.Write(c.source.string(), CopyKind::Encode, (dir / "copy.mp4").string(),
                               [&](double) { return ++asked, false; }),
                  c.result);
        EXPECT_LE(asked, 1);
        EXPECT_EQ(copier.failure().cause, c.cause);
        EXPECT_EQ(test::ReadWholeFile(dir / "copy.mp4"), "earlier");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    }
}

} // namespace
} // namespace aw
