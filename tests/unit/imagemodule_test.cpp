// The image module, called through the loaded shared library as the program calls it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <set>
#include <vector>

#include "album/imaginglibraryloader.h"
#include "support/fixtures.h"
#include "support/imagingharness.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::RgbPicture;

struct Freer {
    void operator()(void* block) const { std::free(block); }
};
using Owned = std::unique_ptr<uint8_t, Freer>;

const ImagingLibrary& Library() {
    static ImagingLibraryLoader loader;
    if (loader.library().DllDecodeJPEG == nullptr && loader.Load(test::BinDir()) != ImagingLoadResult::Loaded)
        ADD_FAILURE() << "imaging modules not loaded: " << loader.errorText();
    return loader.library();
}

std::size_t BufferSize(int width, int height) {
    return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4 * height;
}

std::vector<uint8_t> Bytes(const std::filesystem::path& path) {
    const std::string text = test::ReadWholeFile(path);
    return std::vector<uint8_t>(text.begin(), text.end());
}

// A 24-bit picture in the exchange format, with its description.
struct Picture {
    AwPictureDescription description{};
    std::vector<uint8_t> pixels;

    static Picture Make(int width, int height) {
        Picture p;
        p.description.header = {40, width, height, 1, 24, 0, static_cast<uint32_t>(BufferSize(width, height)),
                                0,  0,     0,      0};
        p.pixels.assign(BufferSize(width, height), 0);
        return p;
    }
    int width() const { return description.header.biWidth; }
    int height() const { return description.header.biHeight; }
    RgbPicture Rgb() const { return test::FromBottomUpBgr(pixels.data(), width(), height()); }
    void Set(int x, int y, uint8_t grey) {
        std::memset(pixels.data() + BufferSize(width(), 1) * (height() - 1 - y) + 3 * x, grey, 3);
    }
};

std::optional<Picture> DecodeJpeg(const std::vector<uint8_t>& bytes) {
    Picture picture;
    Owned pixels(static_cast<uint8_t*>(
        Library().DllDecodeJPEG(bytes.data(), static_cast<uint32_t>(bytes.size()), &picture.description)));
    if (!pixels)
        return std::nullopt;
    picture.pixels.assign(pixels.get(), pixels.get() + BufferSize(picture.width(), picture.height()));
    return picture;
}

std::optional<Picture> Convert(const test::BitmapForModule& bitmap) {
    const AwBitmapInfoHeader& h = bitmap.header();
    const bool sane = h.biWidth > 0 && h.biWidth <= 4096 && h.biHeight != 0 && std::abs(h.biHeight) <= 4096;
    Picture out = sane ? Picture::Make(h.biWidth, std::abs(h.biHeight)) : Picture::Make(1, 1);
    if (!Library().DllConvertTo24BitDIB(bitmap.description.data(), bitmap.pixels.data(), &out.description,
                                        out.pixels.data()))
        return std::nullopt;
    return out;
}

test::BitmapForModule SplitFile(const std::filesystem::path& path) {
    const std::vector<uint8_t> bytes = Bytes(path);
    auto bitmap = test::SplitBitmapForModule(bytes.data(), bytes.size());
    EXPECT_TRUE(bitmap) << path;
    return bitmap.value_or(test::BitmapForModule{});
}

std::filesystem::path Suite(const std::string& name) {
    return test::TestDataDir() / "bmpsuite" / name;
}

// Every good bitmap of the suite: converted pixels match the reference rendering; encoding works too.
TEST(ImageModuleTest, BmpSuiteGoodFilesMatchTheirReferences) {
    struct Case {
        const char* file;
        const char* reference; // "" when the suite has none
    };
    const Case cases[] = {
        {"pal1.bmp", "pal1.png"},           {"pal1bg.bmp", "pal1bg.png"},
        {"pal1wb.bmp", "pal1.png"},         {"pal4.bmp", "pal4.png"},
        {"pal4rle.bmp", "pal4.png"},        {"pal8-0.bmp", "pal8.png"},
        {"pal8.bmp", "pal8.png"},           {"pal8rle.bmp", "pal8.png"},
        {"pal8topdown.bmp", "pal8.png"},    {"pal8v4.bmp", "pal8.png"},
        {"pal8v5.bmp", "pal8.png"},         {"pal8w124.bmp", "pal8w124.png"},
        {"pal8w125.bmp", "pal8w125.png"},   {"pal8w126.bmp", "pal8w126.png"},
        {"rgb16-565.bmp", "rgb16-565.png"}, {"rgb16-565pal.bmp", "rgb16-565.png"},
        {"rgb16.bmp", "rgb16.png"},         {"rgb24.bmp", "rgb24.png"},
        {"rgb24pal.bmp", "rgb24.png"},      {"rgb32.bmp", "rgb24.png"},
        {"rgb32bf.bmp", "rgb24.png"},       {"pal8nonsquare.bmp", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const test::BitmapForModule bitmap = SplitFile(Suite("g") / c.file);
        const std::optional<Picture> converted = Convert(bitmap);
        ASSERT_TRUE(converted);
        EXPECT_EQ(test::ExerciseBitmapBytes(Library(), nullptr, 0), 0);
        const std::vector<uint8_t> bytes = Bytes(Suite("g") / c.file);
        EXPECT_EQ(test::ExerciseBitmapBytes(Library(), bytes.data(), bytes.size()),
                  test::Converted | test::Encoded | test::Resized);
        if (*c.reference) {
            const std::optional<RgbPicture> reference =
                test::ReadWithImageMagick(Suite("html") / c.reference);
            ASSERT_TRUE(reference);
            EXPECT_LT(test::MeanDifference(converted->Rgb(), *reference), 0.6);
        }
    }
}

// The OS/2 header is outside the accepted set: refused cleanly.
TEST(ImageModuleTest, BmpSuiteOs2HeaderIsRefused) {
    EXPECT_FALSE(Convert(SplitFile(Suite("g") / "pal8os2.bmp")));
}

// Bad and questionable files never crash; those that cannot be pictures are refused.
TEST(ImageModuleTest, BmpSuiteBadAndQuestionableFilesFailCleanly) {
    const std::set<std::string> refused = {
        "badbitcount.bmp", "badplanes.bmp", "badwidth.bmp",  "reallybig.bmp", "rletopdown.bmp",  "pal2.bmp",
        "rgb24jpeg.bmp",   "rgb24png.bmp",  "rgba32abf.bmp", "pal8os2sp.bmp", "pal8os2v2-16.bmp"};
    for (const char* folder : {"b", "q"}) {
        for (const auto& entry : std::filesystem::directory_iterator(Suite(folder))) {
            SCOPED_TRACE(entry.path().string());
            const std::vector<uint8_t> bytes = Bytes(entry.path());
            const int outcome = test::ExerciseBitmapBytes(Library(), bytes.data(), bytes.size());
            if (refused.count(entry.path().filename().string())) {
                EXPECT_EQ(outcome, 0);
            }
        }
    }
    // A file cut short: declared rows the caller does not hold are never read.
    test::BitmapForModule shortRows = SplitFile(Suite("g") / "rgb24.bmp");
    shortRows.pixels.resize(100);
    AwBitmapInfoHeader header = shortRows.header();
    header.biSizeImage = 100;
    std::memcpy(shortRows.description.data(), &header, sizeof header);
    EXPECT_FALSE(Convert(shortRows));
}

// Bitmaps written by another program, in the depths and compressions it offers.
TEST(ImageModuleTest, BitmapsOfEveryKindConvertAndEncode) {
    struct Case {
        const char* format;
        const char* args;
    };
    // 24-bit; 8-bit run-length (the writer's default for palettes) and plain; 8-bit RLE of few colours;
    // 1-bit; 4-bit; 16-bit bit fields in a V5 header, 5-6-5 and 5-5-5; 32-bit with alpha; V5 palette.
    const Case cases[] = {
        {"BMP3", ""},
        {"BMP3", "-type Palette"},
        {"BMP3", "-type Palette -compress None"},
        {"BMP3", "+dither -colors 16 -compress RLE"},
        {"BMP3", "-type Bilevel"},
        {"BMP3", "+dither -colors 12"},
        {"BMP", "-define bmp:subtype=RGB565"},
        {"BMP", "-define bmp:subtype=RGB555"},
        {"BMP", "-alpha on -channel A -fx 0.5"},
        {"BMP", "-type Palette"},
    };
    test::ScratchDir scratch;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format) + " " + c.args);
        const auto path = scratch / "made.bmp";
        // Smooth content, so that the JPEG made from it can be held to a tight bound.
        ASSERT_TRUE(
            test::MakeBitmap(path, 61, 37, c.format, std::string("-blur 0x2 ") + c.args, "plasma:fractal"));
        const std::optional<RgbPicture> reference = test::ReadWithImageMagick(path);
        ASSERT_TRUE(reference);
        const test::BitmapForModule bitmap = SplitFile(path);
        const std::optional<Picture> converted = Convert(bitmap);
        ASSERT_TRUE(converted);
        EXPECT_LT(test::MeanDifference(converted->Rgb(), *reference), 1.5);

        // The encoder takes the bitmap exactly as stored.
        uint32_t size = 0;
        Owned jpeg(static_cast<uint8_t*>(
            Library().DllEncodeJPEG(bitmap.description.data(), bitmap.pixels.data(), 80, &size)));
        ASSERT_TRUE(jpeg);
        const std::optional<Picture> back = DecodeJpeg(std::vector<uint8_t>(jpeg.get(), jpeg.get() + size));
        ASSERT_TRUE(back);
        EXPECT_LT(test::MeanDifference(back->Rgb(), *reference), 8.0);
    }
}

// Every JPEG variant decodes like a second decoder decodes it.
TEST(ImageModuleTest, JpegVariantsDecodeCorrectly) {
    const char* variants[] = {"",
                              "-interlace Plane",
                              "-colorspace Gray",
                              "-colorspace CMYK",
                              "-colorspace CMYK -interlace Plane",
                              "-sampling-factor 1x1",
                              "-quality 40"};
    test::ScratchDir scratch;
    for (const char* args : variants) {
        SCOPED_TRACE(args);
        const auto path = scratch / "made.jpg";
        ASSERT_TRUE(test::MakeJpeg(path, 67, 45, args, "plasma:fractal"));
        const std::optional<Picture> decoded = DecodeJpeg(Bytes(path));
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->width(), 67);
        EXPECT_EQ(decoded->height(), 45);
        EXPECT_EQ(decoded->description.header.biBitCount, 24);
        const std::optional<RgbPicture> reference = test::ReadWithImageMagick(path);
        ASSERT_TRUE(reference);
        EXPECT_LT(test::MeanDifference(decoded->Rgb(), *reference), 2.0);
    }
}

// CMYK files keep their colour (also those marked as inverted by their writer).
TEST(ImageModuleTest, CmykJpegKeepsItsColour) {
    test::ScratchDir scratch;
    ASSERT_TRUE(test::MakeJpeg(scratch / "red.jpg", 16, 16, "-colorspace CMYK", "xc:#e01010"));
    const std::optional<Picture> decoded = DecodeJpeg(Bytes(scratch / "red.jpg"));
    ASSERT_TRUE(decoded);
    const uint8_t* rgb = decoded->Rgb().At(8, 8);
    EXPECT_GT(rgb[0], 190);
    EXPECT_LT(rgb[1], 60);
    EXPECT_LT(rgb[2], 60);
}

TEST(ImageModuleTest, DamagedJpegsFailCleanly) {
    test::ScratchDir scratch;
    ASSERT_TRUE(test::MakeJpeg(scratch / "good.jpg", 64, 64, "-interlace Plane", "plasma:fractal"));
    const std::vector<uint8_t> good = Bytes(scratch / "good.jpg");
    ASSERT_TRUE(DecodeJpeg(good));

    std::vector<std::vector<uint8_t>> damaged;
    damaged.emplace_back(good.begin(), good.begin() + good.size() / 2); // cut short
    damaged.emplace_back(good.begin(), good.begin() + 2);               // only the start marker
    damaged.emplace_back(good.size(), uint8_t{0x5A});                   // not a JPEG at all
    damaged.emplace_back();                                             // nothing
    std::vector<uint8_t> noTables = good;
    for (std::size_t i = 2; i + 1 < noTables.size(); ++i)
        if (noTables[i] == 0xFF && noTables[i + 1] == 0xC4)
            noTables[i + 1] = 0x01; // every Huffman table becomes an unknown marker
    damaged.push_back(noTables);
    for (std::size_t i = 0; i < damaged.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_FALSE(DecodeJpeg(damaged[i]));
        EXPECT_EQ(test::ExerciseJpegBytes(Library(), damaged[i].data(), damaged[i].size()), 0);
    }
}

// Declared sizes beyond the limits are refused before anything is allocated.
TEST(ImageModuleTest, OversizeDimensionsAreRefused) {
    test::ScratchDir scratch;
    ASSERT_TRUE(test::MakeJpeg(scratch / "small.jpg", 8, 8));
    std::vector<uint8_t> bytes = Bytes(scratch / "small.jpg");
    for (std::size_t i = 2; i + 8 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
            bytes[i + 7] = 30001 >> 8; // width in the frame header
            bytes[i + 8] = 30001 & 0xFF;
            break;
        }
    }
    EXPECT_FALSE(DecodeJpeg(bytes));

    Picture source = Picture::Make(4, 4);
    Picture target = Picture::Make(1, 1);
    EXPECT_FALSE(Library().DllResizeBySizeDIB(&source.description, source.pixels.data(), 30001, 1,
                                              &target.description, target.pixels.data()));
    EXPECT_FALSE(Library().DllResizeBySizeDIB(&source.description, source.pixels.data(), 0, 5,
                                              &target.description, target.pixels.data()));
    Picture huge = Picture::Make(4, 4);
    huge.description.header.biWidth = 30001;
    EXPECT_FALSE(Library().DllConvertTo24BitDIB(&huge.description, huge.pixels.data(), &target.description,
                                                target.pixels.data()));
}

TEST(ImageModuleTest, ScaledDecodePicksTheSmallestSufficientFactor) {
    ASSERT_NE(Library().DllDecodeJPEGScaled, nullptr);
    test::ScratchDir scratch;
    ASSERT_TRUE(test::MakeJpeg(scratch / "big.jpg", 640, 480, "", "plasma:fractal"));
    const std::vector<uint8_t> bytes = Bytes(scratch / "big.jpg");
    struct Case {
        int minWidth, minHeight, width, height;
    };
    const Case cases[] = {{320, 240, 320, 240}, {321, 240, 400, 300}, {80, 60, 80, 60},    {1, 1, 80, 60},
                          {0, 0, 640, 480},     {2000, 10, 640, 480}, {100, 300, 400, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.minWidth) + "x" + std::to_string(c.minHeight));
        AwPictureDescription description{};
        int fullWidth = 0, fullHeight = 0;
        Owned pixels(static_cast<uint8_t*>(
            Library().DllDecodeJPEGScaled(bytes.data(), static_cast<uint32_t>(bytes.size()), c.minWidth,
                                          c.minHeight, &description, &fullWidth, &fullHeight)));
        ASSERT_TRUE(pixels);
        EXPECT_EQ(description.header.biWidth, c.width);
        EXPECT_EQ(description.header.biHeight, c.height);
        EXPECT_EQ(fullWidth, 640);
        EXPECT_EQ(fullHeight, 480);
    }
}

TEST(ImageModuleTest, EncodedJpegDecodesBackClosely) {
    test::ScratchDir scratch;
    ASSERT_TRUE(test::MakeJpeg(scratch / "source.jpg", 150, 101, "-blur 0x2 -quality 95", "plasma:fractal"));
    const std::optional<Picture> source = DecodeJpeg(Bytes(scratch / "source.jpg"));
    ASSERT_TRUE(source);
    uint32_t size = 0;
    Owned jpeg(static_cast<uint8_t*>(
        Library().DllEncodeJPEG(&source->description, source->pixels.data(), 80, &size)));
    ASSERT_TRUE(jpeg);
    ASSERT_GT(size, 100u);
    const std::optional<Picture> back = DecodeJpeg(std::vector<uint8_t>(jpeg.get(), jpeg.get() + size));
    ASSERT_TRUE(back);
    EXPECT_LT(test::MeanDifference(back->Rgb(), source->Rgb()), 4.0);
    EXPECT_FALSE(Library().DllEncodeJPEG(&source->description, source->pixels.data(), 0, &size));
}

// A one-pixel checkerboard shrinks to its mean grey, not to a moire of black and white.
TEST(ImageModuleTest, ShrinkingAveragesInsteadOfAliasing) {
    Picture board = Picture::Make(200, 200);
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x)
            board.Set(x, y, (x + y) % 2 ? 255 : 0);
    Picture small = Picture::Make(37, 23);
    ASSERT_TRUE(Library().DllResizeBySizeDIB(&board.description, board.pixels.data(), 37, 23,
                                             &small.description, small.pixels.data()));
    const RgbPicture rgb = small.Rgb();
    double total = 0;
    for (uint8_t value : rgb.rgb) {
        EXPECT_NEAR(value, 127.5, 12);
        total += value;
    }
    EXPECT_NEAR(total / static_cast<double>(rgb.rgb.size()), 127.5, 2);
}

TEST(ImageModuleTest, ResizeGivesExactlyTheAskedSize) {
    struct Case {
        int fromWidth, fromHeight, toWidth, toHeight;
    };
    const Case cases[] = {
        {1000, 1, 160, 1}, {10, 500, 2, 120}, {640, 480, 160, 120}, {3, 2, 9, 6}, {1, 1, 5, 7}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.fromWidth) + "x" + std::to_string(c.fromHeight));
        Picture source = Picture::Make(c.fromWidth, c.fromHeight);
        std::fill(source.pixels.begin(), source.pixels.end(), 200);
        Picture target = Picture::Make(c.toWidth, c.toHeight);
        ASSERT_TRUE(Library().DllResizeBySizeDIB(&source.description, source.pixels.data(), c.toWidth,
                                                 c.toHeight, &target.description, target.pixels.data()));
        EXPECT_EQ(target.width(), c.toWidth);
        EXPECT_EQ(target.height(), c.toHeight);
        EXPECT_EQ(target.description.header.biSizeImage, BufferSize(c.toWidth, c.toHeight));
        EXPECT_EQ(target.Rgb().At(c.toWidth - 1, c.toHeight - 1)[0], 200);
    }
    Picture source = Picture::Make(200, 101);
    Picture half = Picture::Make(100, 50);
    ASSERT_TRUE(Library().DllResizeByPercentDIB(&source.description, source.pixels.data(), 50,
                                                &half.description, half.pixels.data()));
    EXPECT_EQ(half.width(), 100);
    EXPECT_EQ(half.height(), 50);
}

// The modules export their entry points and nothing else.
TEST(ImageModuleTest, ModulesExportOnlyTheirEntryPoints) {
    const auto exported = [](const std::string& file) {
        std::set<std::string> names;
        const std::string command =
            "nm -D --defined-only " + test::ShellQuote((test::BinDir() / file).string());
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
        char line[512];
        while (pipe && std::fgets(line, sizeof line, pipe.get())) {
            char type = 0;
            char name[400] = {};
            if (std::sscanf(line, "%*s %c %399s", &type, name) == 2 && type != 'A')
                names.insert(name);
        }
        return names;
    };
    EXPECT_EQ(exported("libalbumwright-image.so"),
              (std::set<std::string>{"DllEncodeJPEG", "DllDecodeJPEG", "DllConvertTo24BitDIB",
                                     "DllResizeByPercentDIB", "DllResizeBySizeDIB", "DllDecodeJPEGScaled"}));
    EXPECT_EQ(exported("libalbumwright-video.so"),
              (std::set<std::string>{"GetFrameSize", "GetFirstFrameDIB_RGB24"}));
}

} // namespace
} // namespace aw
