// SPDX-License-Identifier: MIT
#include "album/browserplayback.h"

#include <cstring>

#include <gtest/gtest.h>

namespace aw {
namespace {

AwMovieFacts Facts(const char* container, const char* video, const char* audio) {
    AwMovieFacts facts{};
    std::strncpy(facts.container, container, sizeof facts.container - 1);
    std::strncpy(facts.videoCodec, video, sizeof facts.videoCodec - 1);
    std::strncpy(facts.audioCodec, audio, sizeof facts.audioCodec - 1);
    return facts;
}

// A field the module failed to terminate is read to its end only.
TEST(BrowserPlayback, UnterminatedFieldsAreReadToTheirEndOnly) {
    AwMovieFacts unterminated = Facts("matroska,webm", "vp9", "");
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

} // namespace
} // namespace aw
