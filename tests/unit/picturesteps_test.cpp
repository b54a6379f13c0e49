#include "album/picturesteps.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "album/bitmapfile.h"
#include "album/boxfit.h"

namespace aw {
namespace {

TEST(ScaleDimension, ComputesInTheFixedOrder) {
    struct Case {
        int x, y, z, expected;
    };
    const Case cases[] = {
        {360, 160, 480, 119}, // the percentage step loses the last unit
        {480, 160, 640, 120}, {640, 120, 480, 160}, {480, 120, 640, 90},  {480, 160, 720, 106},
        {352, 120, 288, 146}, {10, 120, 500, 2},    {1, 160, 1000, 1}, // never below 1
        {0, 160, 480, 1},     {5, 160, 0, 1},       {100, 100, 100, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ", " << c.y << ", " << c.z);
        EXPECT_EQ(ScaleDimension(c.x, c.y, c.z), c.expected);
    }
}

TEST(FitSize, ThumbnailAndPreviewBoxes) {
    struct Case {
        int width, height, boxWidth, boxHeight;
        PixelSize expected;
    };
    const Case cases[] = {
        {640, 480, 160, 120, {160, 120}}, {480, 640, 160, 120, {90, 120}},  {720, 480, 160, 120, {160, 106}},
        {352, 288, 160, 120, {146, 120}}, {480, 360, 160, 120, {160, 119}}, {100, 80, 160, 120, {100, 80}},
        {160, 120, 160, 120, {160, 120}}, {10, 500, 160, 120, {2, 120}},    {1000, 1, 160, 120, {160, 1}},
        {161, 1, 160, 120, {160, 1}},     {200, 150, 141, 271, {141, 105}}, {100, 400, 141, 271, {67, 271}},
        {500, 500, 160, 120, {120, 120}}, // square: the first try is too high
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        EXPECT_EQ(FitSize(c.width, c.height, c.boxWidth, c.boxHeight), c.expected);
    }
}

// A .bmp file as bytes, with each header field open to corruption.
struct BmpSpec {
    int width = 4;
    int height = 2;
    uint16_t bits = 8;
    uint32_t compression = 0;
    uint32_t colours = 2; // entries written to the file
    uint32_t infoSize = 40;
};

void Put16(std::string& s, std::size_t at, uint16_t v) {
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}
void Put32(std::string& s, std::size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

std::string MakeBmp(const BmpSpec& spec, std::size_t pixelBytes = 8) {
    const uint32_t offset = 14 + spec.infoSize + 4 * spec.colours;
    std::string s(offset + pixelBytes, '\0');
    s[0] = 'B';
    s[1] = 'M';
    Put32(s, 2, static_cast<uint32_t>(s.size()));
    Put32(s, 10, offset);
    Put32(s, 14, spec.infoSize);
    Put32(s, 18, static_cast<uint32_t>(spec.width));
    Put32(s, 22, static_cast<uint32_t>(spec.height));
    Put16(s, 26, 1);
    Put16(s, 28, spec.bits);
    Put32(s, 30, spec.compression);
    Put32(s, 46, spec.colours);
    for (uint32_t i = 0; i < spec.colours; ++i)
        Put32(s, 14 + spec.infoSize + 4 * i, 0x00102030u + i);
    for (std::size_t i = offset; i < s.size(); ++i)
        s[i] = static_cast<char>(i);
    return s;
}

FailureCause Split(const std::string& file, BitmapParts& parts) {
    return SplitBitmapFile(reinterpret_cast<const uint8_t*>(file.data()), file.size(), parts);
}

TEST(SplitBitmapFile, SeparatesDescriptionAndPixelsWithRoomForThePalette) {
    const std::string file = MakeBmp({});
    BitmapParts parts;
    ASSERT_EQ(Split(file, parts), FailureCause::None);
    // 40-byte header + 256 entries, the two the file had and zeros after.
    ASSERT_EQ(parts.descriptionSize, 40u + 4u * 256u);
    EXPECT_EQ(std::memcmp(parts.description.get() + 40, file.data() + 54, 8), 0);
    for (std::size_t i = 48; i < parts.descriptionSize; ++i)
        ASSERT_EQ(parts.description.get()[i], 0) << i;
    AwBitmapInfoHeader info;
    std::memcpy(&info, parts.description.get(), sizeof info);
    EXPECT_EQ(info.biSizeImage, 8u); // what is held, not what the file claimed
    EXPECT_EQ(info.biWidth, 4);
    ASSERT_EQ(parts.pixelsSize, 8u);
    EXPECT_EQ(std::memcmp(parts.pixels.get(), file.data() + 62, 8), 0);

    BmpSpec truecolour;
    truecolour.bits = 24;
    truecolour.colours = 0;
    ASSERT_EQ(Split(MakeBmp(truecolour, 24), parts), FailureCause::None);
    EXPECT_EQ(parts.descriptionSize, 44u); // one colour entry, as every description has
}

TEST(SplitBitmapFile, RefusesEachBrokenRule) {
    struct Case {
        const char* name;
        std::string bytes;
        FailureCause cause = FailureCause::NotAPicture;
    };
    std::vector<Case> cases;
    auto with = [](const char* name, auto change, FailureCause cause = FailureCause::NotAPicture) {
        std::string s = MakeBmp({});
        change(s);
        return Case{name, s, cause};
    };
    cases.push_back(with("signature BA", [](std::string& s) { s[1] = 'A'; }));
    cases.push_back(with("first reserved word", [](std::string& s) { Put16(s, 6, 1); }));
    cases.push_back(with("second reserved word", [](std::string& s) { Put16(s, 8, 0x100); }));
    cases.push_back(with("offset 53", [](std::string& s) { Put32(s, 10, 53); }));
    cases.push_back(with("offset beyond the file", [](std::string& s) { Put32(s, 10, 70); }));
    cases.push_back(with("two planes", [](std::string& s) { Put16(s, 26, 2); }));
    cases.push_back(with("2 bits per pixel", [](std::string& s) { Put16(s, 28, 2); }));
    cases.push_back(with("compression 4", [](std::string& s) { Put32(s, 30, 4); }));
    cases.push_back(with("core header", [](std::string& s) { Put32(s, 14, 12); }));
    cases.push_back(with("header past the pixels", [](std::string& s) { Put32(s, 14, 49); }));
    cases.push_back(with("zero width", [](std::string& s) { Put32(s, 18, 0); }));
    cases.push_back(with("negative width", [](std::string& s) { Put32(s, 18, 0xFFFFFFFFu); }));
    cases.push_back(with("zero height", [](std::string& s) { Put32(s, 22, 0); }));
    cases.push_back(with(
        "huge", [](std::string& s) { Put32(s, 18, 30001); }, FailureCause::TooLarge));
    cases.push_back(with(
        "huge top-down", [](std::string& s) { Put32(s, 22, 0x80000001u); }, FailureCause::TooLarge));
    cases.push_back(with("height INT32_MIN", [](std::string& s) { Put32(s, 22, 0x80000000u); }));
    cases.push_back({"truncated header", MakeBmp({}).substr(0, 40)});
    cases.push_back({"no pixels", MakeBmp({}, 0)});
    cases.push_back({"empty", ""});
    BmpSpec big;
    big.colours = 257; // offset 1082
    cases.push_back({"offset 1082", MakeBmp(big)});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        BitmapParts parts;
        EXPECT_EQ(Split(c.bytes, parts), c.cause);
        EXPECT_EQ(parts.description, nullptr);
        EXPECT_EQ(parts.pixels, nullptr);
    }
}

TEST(SplitBitmapFile, AcceptsTheEdgesOfEachRule) {
    BmpSpec largest;
    largest.colours = 256; // offset 1078, the largest allowed
    BitmapParts parts;
    EXPECT_EQ(Split(MakeBmp(largest), parts), FailureCause::None);
    for (const uint16_t bits :
         {uint16_t{1}, uint16_t{4}, uint16_t{8}, uint16_t{16}, uint16_t{24}, uint16_t{32}}) {
        for (uint32_t compression : {0u, 1u, 2u, 3u}) {
            BmpSpec spec;
            spec.bits = bits;
            spec.compression = compression;
            SCOPED_TRACE(testing::Message() << bits << " bits, compression " << compression);
            EXPECT_EQ(Split(MakeBmp(spec), parts), FailureCause::None);
        }
    }
    std::string topDown = MakeBmp({});
    Put32(topDown, 22, static_cast<uint32_t>(-2));
    EXPECT_EQ(Split(topDown, parts), FailureCause::None);
}

} // namespace
} // namespace aw
