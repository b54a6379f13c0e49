// SPDX-License-Identifier: MIT
#include "album/browserplayback.h"

#include <cstring>

#include <gtest/gtest.h>

#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

AwMovieFacts Facts(const char* container, const char* video, const char* audio) {
    AwMovieFacts facts{};
    std::strncpy(facts.container, container, sizeof facts.container - 1);
    std::strncpy(facts.videoCodec, video, sizeof facts.videoCodec - 1);
    std::strncpy(facts.audioCodec, audio, sizeof facts.audioCodec - 1);
    return facts;
}

TEST(BrowserPlayback, OnlyCodecsBrowsersDecodeInTheirContainers) {
    const char* mp4 = "mov,mp4,m4a,3gp,3g2,mj2";
    const char* webm = "matroska,webm";
    const struct {
        const char *container, *video, *audio;
        bool plays;
    } cases[] = {{mp4, "h264", "aac", true},      {mp4, "h264", "", true},
                 {mp4, "hevc", "aac", false},     {mp4, "h264", "pcm_s16le", false},
                 {mp4, "", "aac", false},         {webm, "vp8", "vorbis", true},
                 {webm, "h264", "vorbis", false}, {webm, "vp9", "aac", false},
                 {"avi", "h264", "mp3", false},   {"mp4x", "h264", "aac", false}};
    for (const auto& c : cases)
        EXPECT_EQ(BrowserPlays(Facts(c.container, c.video, c.audio)), c.plays)
            << c.container << " " << c.video << " " << c.audio;
    // A field the module failed to terminate is read to its end only.
    AwMovieFacts unterminated = Facts(webm, "vp9", "");
    std::memset(unterminated.audioCodec, 'x', sizeof unterminated.audioCodec);
    EXPECT_FALSE(BrowserPlays(unterminated));
}

TEST(BrowserPlayback, TheVideoModuleReportsTheFilesAsTheyAre) {
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    test::ScratchDir dir;
    ASSERT_TRUE(test::MakeMovie(dir / "clip.avi", 32, 24));
    const auto media = test::TestDataDir() / "media";
    const std::pair<std::string, bool> cases[] = {
        {(media / "clip.mp4").string(), true},  {(media / "clip.m4v").string(), true},
        {(media / "clip.webm").string(), true}, {(media / "clip.mkv").string(), false},
        {(media / "clip.3gp").string(), false}, {(dir / "clip.avi").string(), false},
        {(dir / "missing.mp4").string(), false}};
    for (const auto& [path, plays] : cases)
        EXPECT_EQ(BrowserPlaysFile(library, path), plays) << path;
    // Without the entry point nothing counts as playable.
    EXPECT_FALSE(BrowserPlaysFile(ImagingLibrary{}, (media / "clip.mp4").string()));
}

} // namespace
} // namespace aw
