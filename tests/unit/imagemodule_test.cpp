// SPDX-License-Identifier: MIT
// The image module, called through the loaded shared library as the program calls it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <tuple>

#include "album/bitmapfile.h"
#include "support/fixtures.h"
#include "support/imagingharness.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::BitmapFile;
using Bytes = std::vector<uint8_t>;
using Owned = std::unique_ptr<uint8_t, decltype([](void* block) { std::free(block); })>;

const ImagingLibrary& Library() {
    return test::LoadedImagingLibrary();
}

Bytes FileBytes(const fs::path& path) {
    const std::string text = test::ReadWholeFile(path);
    return Bytes(text.begin(), text.end());
}

struct Picture { // 24 bits, in the exchange format
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

Owned DecodeJpeg(const Bytes& bytes, AwPictureDescription& out, bool scaled = false, int width = 0,
                 int height = 0, int* full = nullptr) {
    const auto count = static_cast<uint32_t>(bytes.size());
    return Owned(
        static_cast<uint8_t*>(scaled ? Library().DllDecodeJPEGScaled(bytes.data(), count, width, height, &out,
                                                                     full, full ? full + 1 : nullptr)
                                     : Library().DllDecodeJPEG(bytes.data(), count, &out)));
}

// The module's logged reason for refusing; empty when the call succeeds.
template <typename Call> std::string RefusalOf(Call call) {
    ::setenv("ALBUMWRIGHT_IMAGING_LOG", "1", 1);
    testing::internal::CaptureStderr();
    const bool done = call();
    const std::string text = testing::internal::GetCapturedStderr();
    ::unsetenv("ALBUMWRIGHT_IMAGING_LOG");
    return done ? std::string() : text;
}

// Each file listed in tests/data/bmpsuite-expectations.txt (and V5 bit-field and alpha files) as it says.
TEST(ImageModuleTest, BmpSuiteMeetsItsExpectations) {
    const fs::path data = test::TestDataDir();
    std::ifstream list(data / "bmpsuite-expectations.txt");
    std::map<std::string, std::pair<std::string, std::string>> expected; // file: outcome, detail
    for (std::string line, file, outcome, detail; std::getline(list, line);)
        if (std::istringstream(line) >> file >> outcome >> detail && file[0] != '#')
            expected[file] = {outcome, detail};
    test::ScratchDir made;
    for (const std::string args :
         {"-define bmp:subtype=RGB565", "-define bmp:subtype=RGB555", "-alpha on -channel A -fx 0.5"}) {
        ASSERT_TRUE(
            test::MakeBitmap(made / (args + ".bmp"), 61, 37, "BMP", "-blur 0x2 " + args, "plasma:fractal"));
        expected[(made / (args + ".bmp")).string()] = {"decoded", "1.5"};
    }
    for (const auto& [file, expectation] : expected) {
        SCOPED_TRACE(file);
        const auto& [outcome, detail] = expectation;
        const fs::path path = fs::path(file).is_absolute() ? fs::path(file) : data / file;
        const Bytes bytes = FileBytes(path);
        const int exercised = test::ExerciseBitmapBytes(Library(), bytes.data(), bytes.size());
        BitmapParts parts;
        const bool split = SplitBitmapFile(bytes.data(), bytes.size(), parts) == FailureCause::None;
        const std::optional<Picture> converted = Convert(bytes);
        EXPECT_EQ(converted.has_value(), outcome == "decoded");
        if (outcome != "decoded") {
            EXPECT_EQ(outcome, split ? "module" : "header") << "refused by the wrong party";
        } else {
            EXPECT_EQ(exercised & (test::Encoded | test::Resized), test::Encoded | test::Resized);
        }
        if (converted && detail != "-") {
            EXPECT_LE(test::MeanDifference(converted->Rgb(),
                                           test::ReadWithImageMagick(path).value_or(test::RgbPicture{})),
                      std::stod(detail));
        }
    }
}

// Tiny files declaring huge pictures are refused from the declared size, each for its own reason.
TEST(ImageModuleTest, BombsAreRefusedFromTheirDeclaredSize) {
    const Bytes runs(58, 0xFF); // 255-pixel runs
    const auto runLength = [&](uint32_t side) { return BitmapFile(side, side, 8, 1, {0, 0xFFFFFF}, runs); };
    const std::tuple<const char*, Bytes, const char*> cases[] = {
        {"progressive 30000 x 30000 in 169 bytes", test::FlatGreyJpeg(30000, 30000, true, 53),
         "out of range"},
        {"progressive 12500 x 12500, complete", test::FlatGreyJpeg(12500, 12500, true), "out of range"},
        {"progressive 12000 x 12000 in 169 bytes", test::FlatGreyJpeg(12000, 12000, true, 53), "too short"},
        {"progressive 64 x 48, complete", test::FlatGreyJpeg(64, 48, true), ""},
        {"run-length 30000 x 30000 in 120 bytes", runLength(30000), "out of range"},
        {"run-length 30000 x 30000 in 1080 bytes",
         BitmapFile(30000, 30000, 8, 1, std::vector<uint32_t>(256), {0, 1}), "out of range"},
        {"run-length 10000 x 10000 in 120 bytes", runLength(10000), "run-length bitmap of 10000x10000"},
        {"run-length 100 x 100 in 120 bytes", runLength(100), ""}};
    for (const auto& [name, bytes, reason] : cases) {
        SCOPED_TRACE(name);
        std::vector<std::string> refusals;
        AwPictureDescription jpeg{};
        if (bytes[0] == 0xFF) {
            for (const bool scaled : {false, true})
                refusals.push_back(
                    RefusalOf([&] { return DecodeJpeg(bytes, jpeg, scaled, 80, 60) != nullptr; }));
        } else {
            const auto bitmap = test::SplitBitmapForModule(bytes.data(), bytes.size());
            Picture out;
            refusals.push_back(RefusalOf([&] {
                return Library().DllResizeBySizeDIB(bitmap->description.data(), bitmap->pixels.data(), 1, 1,
                                                    &out.description, out.pixels.data());
            }));
            EXPECT_EQ(Convert(bytes).has_value(), *reason == '\0'); // the program's header rules agree
        }
        for (const std::string& refusal : refusals) {
            EXPECT_EQ(refusal.empty(), *reason == '\0') << refusal;
            EXPECT_NE(refusal.find(reason), std::string::npos) << refusal;
        }
    }
}

// Leaves freed blocks filled with `value`: a decode must depend on nothing but the bytes.
void DirtyTheHeap(uint8_t value) {
    static volatile uint8_t sink = 0;
    std::vector<std::vector<uint8_t>> blocks;
    for (std::size_t size = 64; size <= (std::size_t{1} << 22); size *= 2)
        blocks.emplace_back(size, value);
    for (const auto& block : blocks)
        sink = static_cast<uint8_t>(sink + block.back());
}

// JPEG variants decode like a second decoder; a cut scan is refused, a missing end marker is not.
TEST(ImageModuleTest, CutScansAreRefusedAMissingEndMarkerIsNot) {
    test::ScratchDir scratch;
    const fs::path made = scratch / "made.jpg";
    for (const char* args : {"", "-interlace Plane", "-colorspace CMYK", "-colorspace CMYK -interlace Plane",
                             "-colorspace Gray", "-sampling-factor 1x1"}) {
        SCOPED_TRACE(args);
        ASSERT_TRUE(test::MakeJpeg(made, 203, 101, args, "plasma:fractal"));
        const Bytes whole = FileBytes(made);
        const auto decode = [](const Bytes& bytes, bool scaled) {
            AwPictureDescription out{};
            DirtyTheHeap(scaled ? 0xA5 : 0x5A);
            const Owned pixels = DecodeJpeg(bytes, out, scaled, 60, 30);
            return pixels ? Bytes(pixels.get(), pixels.get() + out.header.biSizeImage) : Bytes();
        };
        Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() * 6 / 10));
        Bytes cutThenEnd = cut;
        cutThenEnd.insert(cutThenEnd.end(), {0xFF, 0xD9});
        for (const bool scaled : {false, true}) {
            const Bytes reference = decode(whole, scaled);
            ASSERT_FALSE(reference.empty());
            if (!scaled) {
                EXPECT_LT(test::MeanDifference(test::FromBottomUpBgr(reference.data(), 203, 101),
                                               test::ReadWithImageMagick(made).value_or(test::RgbPicture{})),
                          2.0);
            }
            EXPECT_EQ(decode(Bytes(whole.begin(), whole.end() - 2), scaled), reference) << "no end marker";
            EXPECT_TRUE(decode(cut, scaled).empty()) << "cut";
            EXPECT_TRUE(decode(cutThenEnd, scaled).empty()) << "cut, then an end marker";
        }
    }
}

// Exactly the asked size, edges kept; a checkerboard shrinks to grey, not moire; out-of-limit calls refused.
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
    for (std::size_t i = 0; i < board.pixels.size(); ++i) // rows of 600 bytes, no padding
        board.pixels[i] = (i % 600 / 3 + i / 600) % 2 ? 255 : 0;
    ASSERT_TRUE(board.ResizeInto(small, 37, 23));
    for (const uint8_t value : small.Rgb().rgb)
        EXPECT_NEAR(value, 127.5, 12);
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
