// SPDX-License-Identifier: MIT
// The page's copies of PNG, GIF and WebP pictures, through the loaded image module.
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

struct Copy {
    std::string bytes;
    int width = 0, height = 0;
};

std::optional<Copy> MakeCopy(const std::string& bytes, int side) {
    Copy copy;
    uint32_t size = 0;
    void* made = test::LoadedImagingLibrary().DllMakeDisplayPicture(
        bytes.data(), static_cast<uint32_t>(bytes.size()), side, 85, &size, &copy.width, &copy.height);
    if (!made)
        return std::nullopt;
    const std::unique_ptr<void, decltype(&std::free)> owned(made, &std::free);
    copy.bytes.assign(static_cast<const char*>(made), size);
    return copy;
}

std::optional<test::RgbPicture> Decode(const std::string& bytes) {
    AwPictureDescription description{};
    void* pixels = test::LoadedImagingLibrary().DllDecodePicture(
        bytes.data(), static_cast<uint32_t>(bytes.size()), 0, 0, &description, nullptr, nullptr);
    if (!pixels)
        return std::nullopt;
    const std::unique_ptr<void, decltype(&std::free)> owned(pixels, &std::free);
    return test::FromBottomUpBgr(static_cast<const uint8_t*>(pixels), description.header.biWidth,
                                 description.header.biHeight);
}

// Each sample with a block of "secret" metadata put where its format keeps such blocks.
struct Sample {
    const char* name;
    std::string block;
    const char* animation; // what an animated copy must still hold
};
const Sample kSamples[] = {
    {"rgba.png",
     std::string("\0\0\0\x0d"
                 "tEXt"
                 "Author\0secret"
                 "\0\0\0\0",
                 25),
     ""},
    {"palette.png",
     std::string("\0\0\0\x06"
                 "eXIf"
                 "secret"
                 "\0\0\0\0",
                 18),
     ""},
    {"animated.gif",
     std::string("\x21\xFE\x06"
                 "secret"
                 "\0",
                 10),
     "NETSCAPE2.0"},
    {"animated.webp",
     std::string("XMP \x06\0\0\0"
                 "secret",
                 14),
     "ANMF"},
    {"lossless.webp",
     std::string("EXIF\x06\0\0\0"
                 "secret",
                 14),
     ""},
};

std::string WithBlock(const Sample& sample) {
    std::string bytes = test::ReadWholeFile(test::TestDataDir() / "media" / sample.name);
    if (bytes.starts_with("GIF")) { // after the screen and its colour table
        const std::size_t table = (bytes[10] & 0x80) ? 3u << ((bytes[10] & 7) + 1) : 0;
        bytes.insert(13 + table, sample.block);
    } else if (bytes.starts_with("RIFF")) { // a chunk at the end, the container's size raised to match
        bytes += sample.block;
        const auto size = static_cast<uint32_t>(bytes.size() - 8);
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = static_cast<char>(size >> (8 * i));
    } else { // a PNG chunk after the header chunk
        bytes.insert(33, sample.block);
    }
    return bytes;
}

// Fitting the side: the picture data as it was, every frame, without the block; the same copy as the file
// without it makes, and the same picture.
TEST(DisplayPicture, KeepsThePictureAndLeavesTheMetadataOut) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.name);
        const std::string original = test::ReadWholeFile(test::TestDataDir() / "media" / sample.name);
        const std::optional<Copy> plain = MakeCopy(original, 2048);
        const std::optional<Copy> copy = MakeCopy(WithBlock(sample), 2048);
        ASSERT_TRUE(plain && copy);
        EXPECT_EQ(copy->bytes, plain->bytes);
        EXPECT_EQ(copy->bytes.find("secret"), std::string::npos);
        EXPECT_NE(copy->bytes.find(sample.animation), std::string::npos);
        EXPECT_EQ(copy->bytes.substr(0, 4), original.substr(0, 4));
        const std::optional<test::RgbPicture> shown = Decode(copy->bytes), before = Decode(original);
        ASSERT_TRUE(shown && before);
        EXPECT_EQ(std::pair(copy->width, copy->height), std::pair(before->width, before->height));
        EXPECT_EQ(test::MeanDifference(*shown, *before), 0.0);
    }
}

// Larger than the side: shrunk into it, in the same format, looking the same; a transparent part of a PNG
// stays transparent (white when laid on white, as a page shows it).
TEST(DisplayPicture, ShrinksALargerPictureInItsOwnFormat) {
    for (const Sample& sample : kSamples) {
        SCOPED_TRACE(sample.name);
        const std::string original = test::ReadWholeFile(test::TestDataDir() / "media" / sample.name);
        const std::optional<Copy> copy = MakeCopy(WithBlock(sample), 16);
        ASSERT_TRUE(copy);
        EXPECT_EQ(std::max(copy->width, copy->height), 16);
        EXPECT_EQ(copy->bytes.substr(0, 4), original.substr(0, 4));
        EXPECT_EQ(copy->bytes.find("secret"), std::string::npos);
        const std::optional<test::RgbPicture> shown = Decode(copy->bytes), before = Decode(original);
        ASSERT_TRUE(shown && before);
        EXPECT_EQ(std::pair(shown->width, shown->height), std::pair(copy->width, copy->height));
        const uint8_t* middle = shown->At(shown->width / 2, shown->height / 2);
        const uint8_t* was = before->At(before->width / 2, before->height / 2);
        EXPECT_NEAR(middle[0] + middle[1] + middle[2], was[0] + was[1] + was[2], 24);
    }
    const std::optional<test::RgbPicture> rgba =
        Decode(MakeCopy(test::ReadWholeFile(test::TestDataDir() / "media" / "rgba.png"), 16)->bytes);
    EXPECT_EQ(rgba->At(15, 3)[2], 255); // the transparent right half, on white
}

} // namespace
} // namespace aw
