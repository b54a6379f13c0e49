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

// Playable files need no copy (or a clean one where metadata must go); H.264 elsewhere or not 4:2:0 8-bit
// is remuxed or encoded; sounds browsers do not play become AAC; nothing to play needs nothing.
TEST(BrowserPlayback, TheCopyAPageNeeds) {
    const char* mp4 = "mov,mp4,m4a,3gp,3g2,mj2";
    const struct {
        const char *container, *video, *audio, *pixels;
        bool sound;
        CopyKind copy, clean;
    } cases[] = {{mp4, "h264", "aac", "yuv420p", false, CopyKind::None, CopyKind::Clean},
                 {"matroska,webm", "h264", "vorbis", "yuv420p", false, CopyKind::Remux, CopyKind::Remux},
                 {mp4, "h264", "aac", "yuv444p", false, CopyKind::Encode, CopyKind::Encode},
                 {"matroska,webm", "vp9", "opus", "gbrp", false, CopyKind::None, CopyKind::Clean},
                 {mp4, "hevc", "aac", "yuv420p10le", false, CopyKind::Encode, CopyKind::Encode},
                 {mp4, "", "aac", "", false, CopyKind::None, CopyKind::None},
                 {mp4, "", "aac", "", true, CopyKind::None, CopyKind::Clean},
                 {mp4, "", "alac", "", true, CopyKind::Sound, CopyKind::Sound},
                 {"asf", "", "wmav2", "", true, CopyKind::Sound, CopyKind::Sound},
                 {"wav", "", "pcm_s16le", "", true, CopyKind::None, CopyKind::Clean},
                 {"wav", "", "adpcm_ms", "", true, CopyKind::Sound, CopyKind::Sound},
                 {"ogg", "", "", "", true, CopyKind::None, CopyKind::None}};
    for (const auto& c : cases) {
        AwMovieDetails details{};
        details.facts = Facts(c.container, c.video, c.audio);
        std::strncpy(details.pixelFormat, c.pixels, sizeof details.pixelFormat - 1);
        EXPECT_EQ(
            std::pair(PlayableCopyKind(details, c.sound, false), PlayableCopyKind(details, c.sound, true)),
            std::pair(c.copy, c.clean))
            << c.container << " " << c.video << " " << c.audio << " " << c.pixels;
    }
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
    for (const char* sound :
         {"sound.m4a", "sound.aac", "sound.ogg", "sound.opus", "sound.flac", "alac.m4a"}) {
        const std::optional<AwMovieDetails> details = ReadMovieDetails(library, (media / sound).string());
        ASSERT_TRUE(details) << sound;
        EXPECT_EQ(BrowserPlaysSound(details->facts), std::string(sound) != "alac.m4a") << sound;
    }
    // Without the entry point nothing counts as playable.
    EXPECT_FALSE(BrowserPlaysFile(ImagingLibrary{}, (media / "clip.mp4").string()));
}

} // namespace
} // namespace aw
