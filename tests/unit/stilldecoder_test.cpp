// SPDX-License-Identifier: MIT
// Stills through the loaded image module; samples from scripts/make-media-fixtures.sh (media/) and
// scripts/make-heif-grids.py (hostile/).
#include <tuple>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using Bytes = std::vector<uint8_t>;
struct Rgb {
    int r, g, b;
};
using Probes = std::vector<std::pair<std::pair<int, int>, Rgb>>;

Bytes Sample(const std::string& name) {
    const std::string text = test::ReadWholeFile(test::TestDataDir() / "media" / name);
    return Bytes(text.begin(), text.end());
}

struct Decoded {
    test::RgbPicture picture;
    int fullWidth = 0, fullHeight = 0;
};

// Through the picture entry point, or the JPEG one for .jpg; nothing when the module refuses.
std::optional<Decoded> Decode(const Bytes& bytes, bool jpeg = false, int minimum = 0) {
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    AwPictureDescription description{};
    Decoded decoded;
    void* pixels =
        jpeg ? library.DllDecodeJPEG(bytes.data(), static_cast<uint32_t>(bytes.size()), &description)
             : library.DllDecodePicture(bytes.data(), static_cast<uint32_t>(bytes.size()), minimum, minimum,
                                        &description, &decoded.fullWidth, &decoded.fullHeight);
    if (!pixels)
        return std::nullopt;
    const std::unique_ptr<void, decltype(&std::free)> owned(pixels, &std::free);
    decoded.picture = test::FromBottomUpBgr(static_cast<const uint8_t*>(pixels), description.header.biWidth,
                                            description.header.biHeight);
    return decoded;
}

void ExpectNear(const test::RgbPicture& picture, int x, int y, Rgb want, int tolerance) {
    const uint8_t* got = picture.At(x, y);
    EXPECT_TRUE(std::abs(got[0] - want.r) <= tolerance && std::abs(got[1] - want.g) <= tolerance &&
                std::abs(got[2] - want.b) <= tolerance)
        << x << "," << y << " is " << int(got[0]) << " " << int(got[1]) << " " << int(got[2]);
}

// Sizes as shown, the first frame, transparency on white, the HEIF's declared quarter turn (its blue left
// strip comes to the top), and P3 colours converted to sRGB: P3 (200, 60, 40) is sRGB (217, 42, 23).
TEST(StillDecoder, TodaysFormatsDecodeAsShownOnWhiteInSrgb) {
    const std::tuple<const char*, int, int, Probes, int> cases[] = {
        {"rgba.png", 64, 24, {{{5, 5}, {255, 0, 0}}, {{50, 5}, {255, 255, 255}}}, 0},
        {"deep16.png", 48, 32, {{{24, 0}, {255, 0, 0}}, {{24, 31}, {0, 0, 255}}}, 12},
        {"palette.png", 40, 30, {{{25, 5}, {0, 0, 255}}, {{35, 5}, {255, 255, 255}}}, 0},
        {"interlaced.png", 64, 48, {{{32, 0}, {0, 128, 0}}, {{32, 47}, {255, 0, 0}}}, 12},
        {"animated.gif", 40, 30, {{{20, 15}, {255, 0, 0}}}, 0},
        {"animated.webp", 40, 30, {{{20, 15}, {0, 128, 0}}}, 0},
        {"lossless.webp", 40, 30, {{{20, 0}, {255, 255, 255}}, {{20, 29}, {0, 0, 0}}}, 12},
        {"rotated.heic", 48, 64, {{{24, 4}, {0, 0, 255}}, {{24, 50}, {255, 0, 0}}}, 40},
        {"p3.png", 48, 32, {{{24, 16}, {217, 42, 23}}}, 4},
        {"p3.heic", 48, 32, {{{24, 16}, {217, 42, 23}}}, 8},
        {"p3.jpg", 48, 32, {{{24, 16}, {217, 42, 23}}}, 8},
    };
    for (const auto& [file, width, height, probes, tolerance] : cases) {
        SCOPED_TRACE(file);
        const std::string name = file;
        const std::optional<Decoded> decoded = Decode(Sample(name), name.ends_with(".jpg"));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->picture.width, width);
        EXPECT_EQ(decoded->picture.height, height);
        EXPECT_TRUE(name.ends_with(".jpg") || decoded->fullHeight == height);
        for (const auto& [at, colour] : probes)
            ExpectNear(decoded->picture, at.first, at.second, colour, tolerance);
    }
}

// A HEIF decodes at no more than the size it declares: a sound grid whole, and a stored thumbnail that holds
// a grid far larger than it declares, or that declares more than its picture, gives way to the picture.
TEST(StillDecoder, HeifIsNeverDecodedLargerThanItDeclares) {
    const std::tuple<const char*, int, int> cases[] = {{"../hostile/heif-grid.heic", 0, 1000},
                                                       {"../hostile/heif-thumbnail-grid.heic", 240, 512},
                                                       {"../hostile/heif-thumbnail-larger.heic", 240, 512}};
    for (const auto& [name, minimum, width] : cases) {
        const std::optional<Decoded> decoded = Decode(Sample(name), false, minimum);
        ASSERT_TRUE(decoded) << name;
        EXPECT_EQ(decoded->picture.width, width) << name;
    }
}

// What a decode holds at once, as reckoned from the headers before anything is decoded: RGBA and BGR
// (7 bytes a pixel) for PNG and GIF, two RGBA canvases and BGR (11) for WebP, 12 for HEIF's planes,
// whatever thumbnail stands in; a PNG shrunk while decoding holds one row and the shrunk picture. A HEIF's
// boxes are enough; a header cut short tells nothing.
TEST(StillDecoder, NeedsAreReckonedFromTheHeaders) {
    const Bytes hostile = Sample("../hostile/canvas-12000.webp");
    const Bytes heif = Sample("rotated.heic");
    const std::tuple<Bytes, std::size_t, int, uint64_t> cases[] = {
        // bytes, of them the head, minimum, needed
        {Sample("interlaced.png"), 100, 0, 7 * 64 * 48},
        {Sample("rgba.png"), 100, 8, 7 * 22 * 8 + 4 * 64},
        {Sample("animated.gif"), 100, 0, 7 * 40 * 30},
        {hostile, 92, 0, 11ULL * 12000 * 12000},
        {heif, 800, 20, 12 * 48 * 64},
        {heif, 600, 0, 0}};
    for (const auto& [bytes, head, minimum, needed] : cases) {
        uint64_t got = 0;
        EXPECT_EQ(test::LoadedImagingLibrary().DllPictureNeeds(bytes.data(), static_cast<uint32_t>(head),
                                                               bytes.size(), minimum, minimum, &got),
                  needed != 0);
        EXPECT_EQ(got, needed) << head;
    }
}

// Asked for less, a non-interlaced PNG shrinks by a whole factor while decoding, alpha-weighted (two red
// and a transparent pixel on white give (255, 85, 85)) and then profile-converted.
TEST(StillDecoder, PngShrinksWhileDecodingWhenAskedForLess) {
    const std::tuple<const char*, int, int, int, Probes> cases[] = {
        {"rgba.png",
         22,
         8,
         64,
         {{{2, 2}, {255, 0, 0}}, {{10, 4}, {255, 85, 85}}, {{20, 2}, {255, 255, 255}}}},
        {"p3.png", 12, 8, 48, {{{6, 4}, {217, 42, 23}}}},
        {"deep16.png", 12, 8, 48, {{{6, 0}, {255, 0, 0}}}},
        {"interlaced.png", 64, 48, 64, {}},
    };
    for (const auto& [name, width, height, fullWidth, probes] : cases) {
        SCOPED_TRACE(name);
        const std::optional<Decoded> decoded = Decode(Sample(name), false, 8);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->picture.width, width);
        EXPECT_EQ(decoded->picture.height, height);
        EXPECT_EQ(decoded->fullWidth, fullWidth);
        for (const auto& [at, colour] : probes)
            ExpectNear(decoded->picture, at.first, at.second, colour, 12);
    }
}

Bytes Cut(Bytes bytes, std::size_t size) {
    bytes.resize(size);
    return bytes;
}

// Declared sizes beyond the pixel budget, damaged or cut data and other formats: refused, whole or shrunk.
TEST(StillDecoder, BombsDamageAndOtherDataAreRefused) {
    // A GIF screen of 40000 x 40000; a lossless WebP of 16384 x 16384 (268 megapixels).
    Bytes gifBomb = {'G', 'I', 'F', '8', '9', 'a', 0x40, 0x9C, 0x40, 0x9C, 0x00, 0x00, 0x00, 0x3B};
    Bytes webpBomb = {'R', 'I', 'F', 'F',  26,   0,    0,    0,    'W', 'E', 'B', 'P', 'V', 'P', '8', 'L', 14,
                      0,   0,   0,   0x2F, 0xFF, 0xFF, 0xFF, 0x0F, 0,   0,   0,   0,   0,   0,   0,   0,   0};
    // A PNG header of 20000 x 20000 (400 megapixels), each side within the codec's own limit.
    Bytes pngBomb = {0x89, 'P',  'N',  'G',  '\r', '\n', 0x1A, '\n', 0x00, 0x00, 0x00,
                     0x0D, 'I',  'H',  'D',  'R',  0x00, 0x00, 0x4E, 0x20, 0x00, 0x00,
                     0x4E, 0x20, 0x08, 0x06, 0x00, 0x00, 0x00, 0xE3, 0x70, 0x46, 0x39};
    Bytes png = Sample("rgba.png");
    Bytes badCrc = png;
    badCrc[29] ^= 0xFF; // inside the header's checksum
    const std::pair<const char*, Bytes> cases[] = {
        {"GIF bomb", gifBomb},
        {"WebP bomb", webpBomb},
        {"PNG checksum", badCrc},
        {"PNG bomb", pngBomb},
        {"PNG cut", Cut(png, png.size() / 2)},
        {"GIF cut", Cut(Sample("animated.gif"), 40)},
        {"WebP cut", Cut(Sample("lossless.webp"), 30)},
        {"HEIF cut", Cut(Sample("rotated.heic"), 300)},
        {"JPEG", Sample("p3.jpg")},
        {"nothing", {}},
    };
    for (const auto& [what, bytes] : cases) {
        EXPECT_FALSE(Decode(bytes)) << what;
        EXPECT_FALSE(Decode(bytes, false, 4)) << what << ", shrunk";
    }
}

} // namespace
} // namespace aw
