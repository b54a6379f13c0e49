// The image module, called through the loaded shared library as the program calls it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <numeric>
#include <set>
#include <tuple>
#include <vector>

#include "support/fixtures.h"
#include "support/imagingharness.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using Owned = std::unique_ptr<uint8_t, decltype([](void* block) { std::free(block); })>;

const ImagingLibrary& Library() {
    return test::LoadedImagingLibrary();
}

Bytes FileBytes(const fs::path& path) {
    const std::string text = test::ReadWholeFile(path);
    return Bytes(text.begin(), text.end());
}

// A 24-bit picture in the exchange format, with its description.
struct Picture {
    AwPictureDescription description{};
    Bytes pixels;

    Picture(int width = 1, int height = 1) : pixels(test::PixelBytes(width, height)) {
        description.header = {40, width, height, 1, 24, 0, static_cast<uint32_t>(pixels.size()), 0, 0, 0, 0};
    }
    test::RgbPicture Rgb() const {
        return test::FromBottomUpBgr(pixels.data(), description.header.biWidth, description.header.biHeight);
    }
    bool ResizeInto(Picture& target, int width, int height) const {
        return Library().DllResizeBySizeDIB(&description, pixels.data(), width, height, &target.description,
                                            target.pixels.data());
    }
};

// A bitmap file's bytes converted as the program hands them over.
std::optional<Picture> Convert(const Bytes& bytes) {
    const auto bitmap = test::SplitBitmapForModule(bytes.data(), bytes.size());
    if (!bitmap)
        return std::nullopt;
    const AwBitmapInfoHeader& h = bitmap->header();
    const bool sane = h.biWidth > 0 && h.biWidth <= 4096 && h.biHeight != 0 && std::abs(h.biHeight) <= 4096;
    Picture out = sane ? Picture(h.biWidth, std::abs(h.biHeight)) : Picture();
    if (!Library().DllConvertTo24BitDIB(bitmap->description.data(), bitmap->pixels.data(), &out.description,
                                        out.pixels.data()))
        return std::nullopt;
    return out;
}

// Good bitmaps (the suite's, and bit fields and alpha in a V5 header as ImageMagick writes them) convert like
// ImageMagick reads them, which for the suite is within 0.1 of its reference renderings, and encode and
// scale. Bad and questionable files never crash; those that cannot be pictures are refused (also an OS/2
// header, and a file cut short 100 bytes into its pixels: rows not held are never read).
TEST(ImageModuleTest, BitmapsConvertLikeASecondDecoderOrAreRefused) {
    test::ScratchDir made;
    for (const std::string args :
         {"-define bmp:subtype=RGB565", "-define bmp:subtype=RGB555", "-alpha on -channel A -fx 0.5"})
        ASSERT_TRUE(
            test::MakeBitmap(made / (args + ".bmp"), 61, 37, "BMP", "-blur 0x2 " + args, "plasma:fractal"));
    const fs::path suite = test::TestDataDir() / "bmpsuite";
    test::WriteWholeFile(made / "cut", test::ReadWholeFile(suite / "g/rgb24.bmp").substr(0, 54 + 100));
    const std::set<std::string> refused = {
        "badbitcount.bmp",  "badplanes.bmp", "badwidth.bmp", "reallybig.bmp", "rletopdown.bmp",
        "pal2.bmp",         "rgb24jpeg.bmp", "rgb24png.bmp", "rgba32abf.bmp", "pal8os2sp.bmp",
        "pal8os2v2-16.bmp", "pal8os2.bmp",   "cut"};
    for (const auto& [folder, bound] :
         {std::pair{suite / "g", 0.6}, {made.path(), 1.5}, {suite / "b", 0.0}, {suite / "q", 0.0}}) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            SCOPED_TRACE(entry.path().string());
            const Bytes bytes = FileBytes(entry.path());
            const int outcome = test::ExerciseBitmapBytes(Library(), bytes.data(), bytes.size());
            if (refused.count(entry.path().filename().string())) {
                EXPECT_EQ(outcome, 0);
                EXPECT_FALSE(Convert(bytes));
            } else if (bound > 0) {
                EXPECT_EQ(outcome, test::Converted | test::Encoded | test::Resized);
                const auto expected = test::ReadWithImageMagick(entry.path()).value_or(test::RgbPicture{});
                EXPECT_LT(test::MeanDifference(Convert(bytes).value_or(Picture()).Rgb(), expected), bound);
            }
        }
    }
}

// JPEG variants decode like a second decoder decodes them (CMYK also when marked inverted); the scaled
// decoder picks the smallest factor giving at least the asked size (rows: asked, then given); damaged files
// and sizes beyond the limits (refused before anything is allocated) fail cleanly.
TEST(ImageModuleTest, JpegsDecodeLikeASecondDecoderScaledOrNotAtAll) {
    ASSERT_NE(Library().DllDecodeJPEGScaled, nullptr);
    test::ScratchDir scratch;
    const fs::path made = scratch / "made.jpg";
    for (const char* args : {"", "-interlace Plane", "-colorspace Gray", "-colorspace CMYK",
                             "-colorspace CMYK -interlace Plane", "-sampling-factor 1x1", "-quality 40"}) {
        SCOPED_TRACE(args);
        ASSERT_TRUE(test::MakeJpeg(made, 67, 45, args, "plasma:fractal"));
        const Bytes bytes = FileBytes(made);
        AwPictureDescription out{};
        const Owned pixels(static_cast<uint8_t*>(
            Library().DllDecodeJPEG(bytes.data(), static_cast<uint32_t>(bytes.size()), &out)));
        ASSERT_TRUE(pixels);
        ASSERT_EQ(std::tuple(out.header.biWidth, out.header.biHeight, out.header.biBitCount),
                  std::tuple(67, 45, 24));
        const test::RgbPicture reference = test::ReadWithImageMagick(made).value_or(test::RgbPicture{});
        EXPECT_LT(test::MeanDifference(test::FromBottomUpBgr(pixels.get(), 67, 45), reference), 2.0);
    }
    ASSERT_TRUE(test::MakeJpeg(made, 640, 480, "-interlace Plane", "plasma:fractal"));
    const Bytes good = FileBytes(made);
    const int cases[][4] = {{320, 240, 320, 240}, {321, 240, 400, 300}, {80, 60, 80, 60},    {1, 1, 80, 60},
                            {0, 0, 640, 480},     {2000, 10, 640, 480}, {100, 300, 400, 300}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << "x" << c[1]);
        AwPictureDescription out{};
        int full[2] = {};
        const Owned pixels(static_cast<uint8_t*>(Library().DllDecodeJPEGScaled(
            good.data(), static_cast<uint32_t>(good.size()), c[0], c[1], &out, &full[0], &full[1])));
        ASSERT_TRUE(pixels);
        EXPECT_EQ(std::tuple(out.header.biWidth, out.header.biHeight, full[0], full[1]),
                  std::tuple(c[2], c[3], 640, 480));
    }
    Bytes noTables = good, oversize = good;
    for (std::size_t i = 2; i + 8 < good.size(); ++i) {
        if (good[i] == 0xFF && good[i + 1] == 0xC4)
            noTables[i + 1] = 0x01; // every Huffman table becomes an unknown marker
        if (good[i] == 0xFF && (good[i + 1] == 0xC0 || good[i + 1] == 0xC2))
            std::tie(oversize[i + 7], oversize[i + 8]) = std::pair(30001 >> 8, 30001 & 0xFF); // frame width
    }
    // Cut short, only the start marker, not a JPEG at all, nothing, no Huffman tables, 30001 wide.
    for (const Bytes& damaged :
         {Bytes(good.begin(), good.begin() + good.size() / 2), Bytes(good.begin(), good.begin() + 2),
          Bytes(good.size(), 0x5A), Bytes(), noTables, oversize}) {
        SCOPED_TRACE(damaged.size());
        EXPECT_EQ(test::ExerciseJpegBytes(Library(), damaged.data(), damaged.size()), 0);
    }
}

// Exactly the asked size (rows: from width and height, to width and height), the edges kept; a one-pixel
// checkerboard shrinks to its mean grey, not to a moire; sizes beyond the limits, and quality 0, are refused.
TEST(ImageModuleTest, ResizeGivesExactlyTheAskedSize) {
    const int cases[][4] = {
        {1000, 1, 160, 1}, {10, 500, 2, 120}, {640, 480, 160, 120}, {3, 2, 9, 6}, {1, 1, 5, 7}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c[0] << "x" << c[1]);
        Picture source(c[0], c[1]), target(c[2], c[3]);
        std::fill(source.pixels.begin(), source.pixels.end(), 200);
        ASSERT_TRUE(source.ResizeInto(target, c[2], c[3]));
        const AwBitmapInfoHeader& header = target.description.header;
        EXPECT_EQ(std::tuple(header.biWidth, header.biHeight, header.biSizeImage),
                  std::tuple(c[2], c[3], test::PixelBytes(c[2], c[3])));
        EXPECT_EQ(target.Rgb().At(c[2] - 1, c[3] - 1)[0], 200);
    }
    Picture board(200, 200), small(37, 23), tiny;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            std::memset(board.pixels.data() + test::PixelBytes(200, y) + 3 * x, (x + y) % 2 ? 255 : 0, 3);
    ASSERT_TRUE(board.ResizeInto(small, 37, 23));
    const std::vector<uint8_t> grey = small.Rgb().rgb;
    for (const uint8_t value : grey)
        EXPECT_NEAR(value, 127.5, 12);
    EXPECT_NEAR(std::accumulate(grey.begin(), grey.end(), 0.0) / static_cast<double>(grey.size()), 127.5, 2);
    EXPECT_FALSE(board.ResizeInto(tiny, 30001, 1));
    EXPECT_FALSE(board.ResizeInto(tiny, 0, 5));
    // By percentage: 200 x 200 at 20 % is 40 x 40 of the same grey.
    Picture fifth(40, 40);
    ASSERT_TRUE(Library().DllResizeByPercentDIB(&board.description, board.pixels.data(), 20,
                                                &fifth.description, fifth.pixels.data()));
    EXPECT_EQ(std::tuple(fifth.description.header.biWidth, fifth.description.header.biHeight),
              std::tuple(40, 40));
    EXPECT_NEAR(fifth.Rgb().At(20, 20)[1], 127.5, 12);
    EXPECT_FALSE(Library().DllResizeByPercentDIB(&board.description, board.pixels.data(), 0,
                                                 &fifth.description, fifth.pixels.data()));
    uint32_t size = 0;
    EXPECT_FALSE(Library().DllEncodeJPEG(&board.description, board.pixels.data(), 0, &size)); // quality 0
    board.description.header.biWidth = 30001;
    EXPECT_FALSE(Library().DllConvertTo24BitDIB(&board.description, board.pixels.data(), &tiny.description,
                                                tiny.pixels.data()));
}

} // namespace
} // namespace aw
