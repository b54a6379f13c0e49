// SPDX-License-Identifier: MIT
#include "album/bitmapfile.h"

#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/imagingharness.h"

namespace aw {
namespace {

void Put(std::string& s, std::size_t at, uint32_t v, int bytes = 4) { // little-endian
    for (int i = 0; i < bytes; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

// A .bmp file with `colours` palette entries and `pixelBytes` of pixels (by default exactly the rows).
std::string MakeBmp(uint32_t bits = 8, uint32_t compression = 0, uint32_t colours = 2,
                    int64_t pixelBytes = -1, uint32_t infoSize = 40, uint32_t width = 4,
                    uint32_t height = 2) {
    std::vector<uint32_t> palette(colours);
    std::iota(palette.begin(), palette.end(), 0x00102030u);
    std::vector<uint8_t> pixels(pixelBytes < 0 ? (width * bits + 31) / 32 * 4 * height : pixelBytes);
    std::iota(pixels.begin(), pixels.end(), uint8_t{7});
    const std::vector<uint8_t> file =
        test::BitmapFile(width, height, bits, compression, palette, pixels, infoSize);
    return std::string(file.begin(), file.end());
}

FailureCause Split(const std::string& file, BitmapParts& parts) {
    return SplitBitmapFile(reinterpret_cast<const uint8_t*>(file.data()), file.size(), parts);
}

// The description has room for 256 colours (the file's two, then zeros), biSizeImage what is held.
TEST(SplitBitmapFile, SeparatesDescriptionAndPixelsWithRoomForThePalette) {
    const std::string file = MakeBmp();
    BitmapParts parts;
    ASSERT_EQ(Split(file, parts), FailureCause::None);
    ASSERT_EQ(std::pair(parts.descriptionSize, parts.pixelsSize),
              std::pair(std::size_t{40 + 4 * 256}, std::size_t{8}));
    std::string expected = file.substr(14, 48) + std::string(1024 - 8, '\0');
    Put(expected, 20, 8); // biSizeImage
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts.description.get()), parts.descriptionSize),
              expected);
    EXPECT_EQ(std::memcmp(parts.pixels.get(), file.data() + 62, 8), 0);
    ASSERT_EQ(Split(MakeBmp(24, 0, 0, 24), parts), FailureCause::None);
    EXPECT_EQ(parts.descriptionSize, 44u); // one colour entry, as every description has
}

TEST(SplitBitmapFile, RefusesEachBrokenRuleAndAcceptsItsEdges) {
    constexpr FailureCause kBad = FailureCause::NotAPicture;
    constexpr FailureCause kBig = FailureCause::TooLarge;
    constexpr FailureCause kOk = FailureCause::None;
    std::vector<std::tuple<std::string, std::string, FailureCause>> cases = {
        {"truncated header", MakeBmp().substr(0, 40), kBad},
        {"no pixels", MakeBmp(8, 0, 2, 0), kBad},
        {"offset 1078, the largest allowed", MakeBmp(8, 0, 256), kOk},
        {"124-byte header, 256 colours", MakeBmp(8, 0, 256, -1, 124), kOk},
        {"masks and 256 colours with 16 bits", MakeBmp(16, 3, 256), kOk},
        {"last row unpadded", MakeBmp(24, 0, 0, 21, 40, 3), kOk},
        {"run-length 10000 x 10000 in 1080 bytes", MakeBmp(8, 1, 2, 1080, 40, 10000, 10000), kBad},
        {"run-length 4 bits, 16320 x 1 in 8 bytes", MakeBmp(4, 2, 2, 8, 40, 16320, 1), kOk},
        {"run-length 4 bits, 16321 x 1 in 8 bytes", MakeBmp(4, 2, 2, 8, 40, 16321, 1), kBad},
        {"15001 x 10000", MakeBmp(8, 1, 2, 73530, 40, 15001, 10000), kBig},
    };
    // One field changed {offset, value, bytes, cause}.
    const std::tuple<std::size_t, uint32_t, int, FailureCause> patches[] = {
        {1, 'A', 1, kBad},       {6, 1, 2, kBad},      {8, 0x100, 2, kBad},       {10, 53, 4, kBad},
        {10, 70, 4, kBad},       {26, 2, 2, kBad},     {28, 2, 2, kBad},          {30, 4, 4, kBad},
        {14, 12, 4, kBad},       {14, 49, 4, kBad},    {18, 0, 4, kBad},          {18, 0xFFFFFFFF, 4, kBad},
        {22, 0, 4, kBad},        {18, 30001, 4, kBig}, {22, 0x80000001, 4, kBig}, {22, 0x80000000, 4, kBad},
        {22, 0xFFFFFFFE, 4, kOk}};
    for (const auto& [at, value, bytes, cause] : patches) {
        std::string s = MakeBmp();
        Put(s, at, value, bytes);
        cases.emplace_back("byte " + std::to_string(at) + " = " + std::to_string(value), s, cause);
    }
    for (const auto& [name, bytes, cause] : cases) {
        BitmapParts parts;
        EXPECT_EQ(Split(bytes, parts), cause) << name;
        EXPECT_TRUE(cause == kOk || (!parts.description && !parts.pixels)) << name; // left empty
    }
}

} // namespace
} // namespace aw
