// The image module, called through the loaded shared library as the program calls it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <numeric>
#include <set>
#include <sstream>
#include <tuple>
#include <vector>

#include "album/bitmapfile.h"
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

// A bitmap file's bytes split by the program's header rules and converted; nothing when either refuses.
std::optional<Picture> Convert(const Bytes& bytes) {
    BitmapParts parts;
    if (SplitBitmapFile(bytes.data(), bytes.size(), parts) != FailureCause::None)
        return std::nullopt;
    AwBitmapInfoHeader h;
    std::memcpy(&h, parts.description.get(), sizeof h);
    Picture out(h.biWidth, std::abs(h.biHeight));
    if (!Library().DllConvertTo24BitDIB(parts.description.get(), parts.pixels.get(), &out.description,
                                        out.pixels.data()))
        return std::nullopt;
    return out;
}

// The module's reason for refusing a call, as it logs it; empty when the call succeeds.
template <typename Call> std::string RefusalOf(Call call) {
    ::setenv("ALBUMWRIGHT_IMAGING_LOG", "1", 1);
    testing::internal::CaptureStderr();
    const bool done = call();
    const std::string text = testing::internal::GetCapturedStderr();
    ::unsetenv("ALBUMWRIGHT_IMAGING_LOG");
    return done ? std::string() : text;
}

// The BMP Suite read as the program reads it, file by file as tests/data/bmpsuite-expectations.txt says:
// converted (and encodable and scalable) like ImageMagick reads it, or refused by the header rules or the
// module; no file goes unlisted. Bitfields and alpha in a V5 header, as ImageMagick writes them, convert too.
// Every file also goes through the module's other paths unsplit by the rules (no crash, no overread).
TEST(ImageModuleTest, BmpSuiteMeetsItsExpectations) {
    const fs::path data = test::TestDataDir();
    std::ifstream list(data / "bmpsuite-expectations.txt");
    std::map<std::string, std::pair<std::string, std::string>> expected; // file: outcome, detail
    for (std::string line; std::getline(list, line);) {
        std::istringstream fields(line);
        std::string file, outcome, detail;
        if (fields >> file >> outcome >> detail && file[0] != '#')
            expected[file] = {outcome, detail};
    }
    test::ScratchDir made;
    for (const std::string args :
         {"-define bmp:subtype=RGB565", "-define bmp:subtype=RGB555", "-alpha on -channel A -fx 0.5"}) {
        ASSERT_TRUE(
            test::MakeBitmap(made / (args + ".bmp"), 61, 37, "BMP", "-blur 0x2 " + args, "plasma:fractal"));
        expected[(made / (args + ".bmp")).string()] = {"decoded", "1.5"};
    }
    std::set<std::string> seen;
    for (const auto& entry : fs::recursive_directory_iterator(data / "bmpsuite"))
        if (entry.path().extension() == ".bmp")
            seen.insert(entry.path().lexically_relative(data).string());
    for (const auto& [file, outcome] : expected)
        seen.insert(file);
    for (const std::string& file : seen) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(expected.count(file)) << "not in the expectations";
        const auto& [outcome, detail] = expected[file];
        const fs::path path = fs::path(file).is_absolute() ? fs::path(file) : data / file;
        const Bytes bytes = FileBytes(path);
        const int exercised = test::ExerciseBitmapBytes(Library(), bytes.data(), bytes.size());
        BitmapParts parts;
        const bool split = SplitBitmapFile(bytes.data(), bytes.size(), parts) == FailureCause::None;
        const std::optional<Picture> converted = Convert(bytes);
        if (outcome == "decoded") {
            EXPECT_TRUE(converted);
            EXPECT_EQ(exercised & (test::Encoded | test::Resized), test::Encoded | test::Resized);
            if (converted && detail != "-") {
                EXPECT_LE(test::MeanDifference(converted->Rgb(),
                                               test::ReadWithImageMagick(path).value_or(test::RgbPicture{})),
                          std::stod(detail));
            }
        } else {
            EXPECT_EQ(outcome, split ? "module" : "header") << "refused by the wrong party";
            EXPECT_FALSE(converted);
        }
    }
}

// Bitmap file bytes: the 14-byte file header, a 40-byte information header, the colour table, the pixels.
Bytes BitmapFile(uint32_t width, uint32_t height, uint32_t bits, uint32_t compression,
                 const std::vector<uint32_t>& colours, const Bytes& pixels) {
    const auto offset = static_cast<uint32_t>(54 + 4 * colours.size());
    const auto size = static_cast<uint32_t>(pixels.size()), count = static_cast<uint32_t>(colours.size());
    const uint32_t fields[] = {0x4D42, offset + size, 0,    offset, 40, width, height, 1,
                               bits,   compression,   size, 0,      0,  count, 0};
    Bytes file;
    for (std::size_t f = 0; f < std::size(fields); ++f) // two-byte signature, planes and bits
        for (uint32_t i = 0; i < (f == 0 || f == 7 || f == 8 ? 2u : 4u); ++i)
            file.push_back(static_cast<uint8_t>(fields[f] >> 8 * i));
    for (const uint32_t colour : colours)
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<uint8_t>(colour >> 8 * i));
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

// Run-length bitmaps made by hand: runs, literal runs, end-of-line, move ("delta") and end-of-picture codes
// put every pixel where the codes say, skipped pixels black, in both the 8-bit and the 4-bit coding.
TEST(ImageModuleTest, RunLengthMovesAndLineEndsPlacePixels) {
    const std::vector<uint32_t> palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}; // black, red, green, blue
    // Rows from the bottom: three red, end of line; move 2 right and 1 up; blue, red, green as a literal
    // run, end of line; move 5 right; one blue; end of picture.
    const Bytes rle8 = {3, 1, 0, 0, 0, 2, 2, 1, 0, 3, 3, 1, 2, 0, 0, 0, 0, 2, 5, 0, 1, 3, 0, 1};
    const Bytes rle4 = {3, 0x11, 0, 0, 0, 2, 2, 1, 0, 3, 0x31, 0x20, 0, 0, 0, 2, 5, 0, 1, 0x30, 0, 1};
    const char* const expected[] = {".....B", "..BRG.", "......", "RRR..."}; // rows from the top
    for (const auto& [bits, stream] : {std::pair{8, rle8}, {4, rle4}}) {
        SCOPED_TRACE(bits);
        const std::optional<Picture> picture =
            Convert(BitmapFile(6, 4, bits, bits == 8 ? 1 : 2, palette, stream));
        ASSERT_TRUE(picture);
        const test::RgbPicture rgb = picture->Rgb();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) {
                const uint8_t* p = rgb.At(x, y);
                const char seen = p[0] ? 'R' : p[1] ? 'G' : p[2] ? 'B' : '.';
                EXPECT_EQ(seen, expected[y][x]) << "at " << x << ", " << y;
            }
    }
}

// Tiny files that declare huge pictures are refused from their declared size before anything is sized for
// them, each for its own reason: beyond the 150-megapixel budget, run-length data too short for its size,
// JPEG data too short for its blocks. Small ones of the same making decode.
TEST(ImageModuleTest, BombsAreRefusedFromTheirDeclaredSize) {
    const Bytes progressive169 = test::FlatGreyJpeg(30000, 30000, true, 53); // 169 bytes, as found
    ASSERT_EQ(progressive169.size(), 169u);
    const Bytes runs(58, 0xFF); // 255-pixel runs
    const Bytes bitmap120 = BitmapFile(30000, 30000, 8, 1, {0, 0xFFFFFF}, runs);
    const Bytes bitmap1080 = BitmapFile(30000, 30000, 8, 1, std::vector<uint32_t>(256), {0, 1});
    ASSERT_EQ(std::pair(bitmap120.size(), bitmap1080.size()), std::pair(std::size_t{120}, std::size_t{1080}));
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"progressive 30000 x 30000 in 169 bytes", progressive169, "out of range"},
        {"progressive 12500 x 12500, complete", test::FlatGreyJpeg(12500, 12500, true), "out of range"},
        {"progressive 12000 x 12000 in 169 bytes", test::FlatGreyJpeg(12000, 12000, true, 53), "too short"},
        {"progressive 64 x 48, complete", test::FlatGreyJpeg(64, 48, true), ""},
        {"run-length 30000 x 30000 in 120 bytes", bitmap120, "out of range"},
        {"run-length 30000 x 30000 in 1080 bytes", bitmap1080, "out of range"},
        {"run-length 10000 x 10000 in 120 bytes", BitmapFile(10000, 10000, 8, 1, {0, 0xFFFFFF}, runs),
         "run-length bitmap of 10000x10000"},
        {"run-length 100 x 100 in 120 bytes", BitmapFile(100, 100, 8, 1, {0, 0xFFFFFF}, runs), ""},
    };
    for (const auto& [name, bytes, reason] : cases) {
        SCOPED_TRACE(name);
        const auto count = static_cast<uint32_t>(bytes.size());
        if (bytes[0] == 0xFF) {
            AwPictureDescription out{};
            const std::string refusal = RefusalOf([&] {
                return Owned(static_cast<uint8_t*>(Library().DllDecodeJPEG(bytes.data(), count, &out))) !=
                       nullptr;
            });
            const std::string scaled = RefusalOf([&] {
                return Owned(static_cast<uint8_t*>(Library().DllDecodeJPEGScaled(
                           bytes.data(), count, 80, 60, &out, nullptr, nullptr))) != nullptr;
            });
            EXPECT_EQ(refusal.empty(), *reason == '\0') << refusal;
            EXPECT_NE(refusal.find(reason), std::string::npos) << refusal;
            EXPECT_NE(scaled.find(reason), std::string::npos) << scaled;
            continue;
        }
        const auto bitmap = test::SplitBitmapForModule(bytes.data(), bytes.size());
        Picture out;
        const std::string refusal = RefusalOf([&] {
            return Library().DllResizeBySizeDIB(bitmap->description.data(), bitmap->pixels.data(), 1, 1,
                                                &out.description, out.pixels.data());
        });
        EXPECT_EQ(refusal.empty(), *reason == '\0') << refusal;
        EXPECT_NE(refusal.find(reason), std::string::npos) << refusal;
        EXPECT_EQ(Convert(bytes).has_value(), *reason == '\0'); // the program's header rules agree
    }
}

// Leaves freed blocks of many sizes filled with `value`, for the next allocations to find.
void DirtyTheHeap(uint8_t value) {
    static volatile uint8_t sink = 0;
    std::vector<std::vector<uint8_t>> blocks;
    for (std::size_t size = 64; size <= (std::size_t{1} << 22); size *= 2)
        blocks.emplace_back(size, value);
    for (const auto& block : blocks)
        sink = static_cast<uint8_t>(sink + block.back());
}

// A JPEG whose scan is cut short is refused, whether the file ends there or a marker follows; one lacking
// only its end marker decodes to exactly the complete picture. Decoding depends on the bytes alone: the
// same bytes decode the same with the heap left dirty in between (valgrind finds no uninitialised reads).
TEST(ImageModuleTest, CutScansAreRefusedAMissingEndMarkerIsNot) {
    test::ScratchDir scratch;
    for (const char* args : {"", "-interlace Plane", "-colorspace CMYK"}) {
        SCOPED_TRACE(args);
        ASSERT_TRUE(test::MakeJpeg(scratch / "made.jpg", 203, 101, args, "plasma:fractal"));
        const Bytes whole = FileBytes(scratch / "made.jpg");
        ASSERT_EQ(Bytes(whole.end() - 2, whole.end()), (Bytes{0xFF, 0xD9}));
        const auto decode = [](const Bytes& bytes, bool scaled) {
            AwPictureDescription out{};
            DirtyTheHeap(scaled ? 0xA5 : 0x5A);
            const auto count = static_cast<uint32_t>(bytes.size());
            const Owned pixels(static_cast<uint8_t*>(
                scaled ? Library().DllDecodeJPEGScaled(bytes.data(), count, 60, 30, &out, nullptr, nullptr)
                       : Library().DllDecodeJPEG(bytes.data(), count, &out)));
            return pixels ? Bytes(pixels.get(), pixels.get() + out.header.biSizeImage) : Bytes();
        };
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 6 / 10));
        Bytes cutThenEnd = cut;
        cutThenEnd.insert(cutThenEnd.end(), {0xFF, 0xD9});
        for (const bool scaled : {false, true}) {
            const Bytes reference = decode(whole, scaled);
            ASSERT_FALSE(reference.empty());
            EXPECT_EQ(decode(whole, scaled), reference);
            EXPECT_EQ(decode(Bytes(whole.begin(), whole.end() - 2), scaled), reference)
                << "without end marker";
            EXPECT_TRUE(decode(cut, scaled).empty()) << "cut";
            EXPECT_TRUE(decode(cutThenEnd, scaled).empty()) << "cut, then an end marker";
        }
    }
}

// JPEG variants decode like a second decoder decodes them (CMYK also when marked inverted); the scaled
// decoder picks the smallest factor giving at least the asked size (rows: asked, then given). Damaged and
// oversized files are the bomb and cut-scan tests' business.
TEST(ImageModuleTest, JpegsDecodeLikeASecondDecoderScaledOrNotAtAll) {
    ASSERT_NE(Library().DllDecodeJPEGScaled, nullptr);
    test::ScratchDir scratch;
    const fs::path made = scratch / "made.jpg";
    for (const char* args :
         {"", "-colorspace Gray", "-colorspace CMYK -interlace Plane", "-sampling-factor 1x1"}) {
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
    const int cases[][4] = {{321, 240, 400, 300}, {1, 1, 80, 60}, {0, 0, 640, 480}, {100, 300, 400, 300}};
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
}

// Exactly the asked size (rows: from width and height, to width and height), the edges kept; a one-pixel
// checkerboard shrinks to its mean grey, not to a moire; sizes beyond the limits, and quality 0, are refused.
TEST(ImageModuleTest, ResizeGivesExactlyTheAskedSize) {
    const int cases[][4] = {{1000, 1, 160, 1}, {10, 500, 2, 120}, {3, 2, 9, 6}};
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
    uint32_t size = 0;
    EXPECT_FALSE(Library().DllEncodeJPEG(&board.description, board.pixels.data(), 0, &size)); // quality 0
    board.description.header.biWidth = 30001;
    EXPECT_FALSE(Library().DllConvertTo24BitDIB(&board.description, board.pixels.data(), &tiny.description,
                                                tiny.pixels.data()));
}

} // namespace
} // namespace aw
