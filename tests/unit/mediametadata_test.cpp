// SPDX-License-Identifier: MIT
#include "metadata/mediametadata.h"

#include <string>
#include <tuple>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/testpaths.h"

namespace aw {
namespace {

std::string Sample(const std::string& name) {
    return (test::TestDataDir() / "media" / name).string();
}

constexpr std::int64_t kLocatedTaken = 1'688'174'430'250; // 2023-07-01 10:20:30.25 +09:00

// XMP, then IPTC, then EXIF (a camera's boilerplate skipped), then the text file beside the picture.
TEST(MediaMetadata, CaptionsInTheirOrderAndTheDateTaken) {
    const std::tuple<const char*, const char*, std::int64_t, TakenTime::Source> cases[] = {
        {"located.jpg", "Harbour at dawn", kLocatedTaken, TakenTime::Source::Exif},
        {"located.png", "Harbour at dawn", kLocatedTaken, TakenTime::Source::Exif},
        {"located.webp", "Harbour at dawn", kLocatedTaken, TakenTime::Source::Exif},
        {"located.heic", "Harbour at dawn", kLocatedTaken, TakenTime::Source::Exif},
        {"caption_iptc.jpg", "Caption from IPTC", 1'614'830'767'000, TakenTime::Source::Xmp},
        {"caption_exif.jpg", "Caption from EXIF", 0, TakenTime::Source::Exif},
        {"caption_camera.jpg", "Caption from the text file", 0, TakenTime::Source::FileTime},
        {"p3.jpg", "", 0, TakenTime::Source::FileTime}};
    for (const auto& [name, caption, instant, source] : cases) {
        const MediaMetadata metadata = ReadMediaMetadata(Sample(name));
        EXPECT_EQ(metadata.caption, caption) << name;
        EXPECT_EQ(metadata.taken.source(), source) << name;
        if (instant != 0) {
            EXPECT_EQ(metadata.taken.unixMillis(), instant) << name;
        }
    }
}

TEST(MediaMetadata, PrivateFieldsOfEveryFormat) {
    for (const char* name : {"located.jpg", "located.png", "located.webp", "located.heic"}) {
        const PrivateFields fields = ReadMediaMetadata(Sample(name)).fields;
        EXPECT_TRUE(fields.location && fields.owner && fields.serial) << name;
    }
    for (const char* name : {"caption_iptc.jpg", "p3.heic", "clip.mp4"})
        EXPECT_FALSE(ReadMediaMetadata(Sample(name)).fields.any()) << name;
}

TEST(MediaMetadata, MovieCluesStandBehindThePicturesOwnMetadata) {
    MovieClues clues;
    clues.created = ParseXmpTime("2020-01-02T03:04:05Z");
    clues.fields.location = true;
    const MediaMetadata movie = ReadMediaMetadata(Sample("clip.mp4"), &clues);
    EXPECT_EQ(movie.taken, *clues.created);
    EXPECT_TRUE(movie.fields.location);
    EXPECT_EQ(ReadMediaMetadata(Sample("located.jpg"), &clues).taken.unixMillis(), kLocatedTaken);
}

TEST(MediaMetadata, AFifoTellsNothingWithoutBlocking) {
    const test::ScratchDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.jpg").c_str(), 0600), 0);
    EXPECT_TRUE(test::ReturnsWithoutBlocking(dir / "pipe.jpg", [&] {
        EXPECT_FALSE(ReadMediaMetadata((dir / "pipe.jpg").string()).taken.known());
    }));
}

} // namespace
} // namespace aw
