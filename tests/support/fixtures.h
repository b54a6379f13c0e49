// Test fixtures made at test time with the tools installed beside the build (ImageMagick's convert,
// ffmpeg), and pictures read back through ImageMagick for comparison. Every function runs one external
// command with its output discarded and reports success as a bool; nothing here touches the program's
// code. Thread-compatible (each call spawns its own process).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace aw::test {

// Runs `command` through the shell with its output thrown away; true when it exits with status 0.
bool RunCommand(const std::string& command);

// `text` quoted for the shell.
std::string ShellQuote(const std::string& text);

// A `width` x `height` JPEG made from ImageMagick's `source` (default: a gradient from red at the top to
// blue at the bottom) with `extraArgs` as further convert options, for example "-interlace Plane"
// (progressive), "-colorspace Gray", "-colorspace CMYK" or "-quality 95".
bool MakeJpeg(const std::filesystem::path& path, int width, int height, const std::string& extraArgs = "",
              const std::string& source = "gradient:red-blue");

// A .bmp file of ImageMagick's `format` ("BMP3" for the plain 40-byte header, "BMP" for V4/V5 headers),
// with `extraArgs` such as "-type Palette" or "-compress RLE".
bool MakeBitmap(const std::filesystem::path& path, int width, int height, const std::string& format = "BMP3",
                const std::string& extraArgs = "", const std::string& source = "gradient:red-blue");

// A three-frame movie of one colour (lavfi `source`, default red) whose container follows the extension of
// `path` (.asf, .avi, .mov, .mpg, .mpeg), with `extraArgs` before the output name, for example
// "-vf setsar=2" for pixels twice as wide as high.
bool MakeMovie(const std::filesystem::path& path, int width, int height, const std::string& extraArgs = "",
               const std::string& source = "color=c=red");

// 8-bit RGB pixels, rows from the top.
struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;

    const uint8_t* At(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

// Any picture ImageMagick can read, decoded by it; nothing when it cannot.
std::optional<RgbPicture> ReadWithImageMagick(const std::filesystem::path& path);

// 24-bit bottom-up padded rows (the imaging modules' exchange format) as an RgbPicture.
RgbPicture FromBottomUpBgr(const uint8_t* pixels, int width, int height);

// The mean absolute difference per channel between two pictures of the same size; a large number when
// the sizes differ.
double MeanDifference(const RgbPicture& a, const RgbPicture& b);

} // namespace aw::test
