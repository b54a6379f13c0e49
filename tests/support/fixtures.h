// SPDX-License-Identifier: MIT
// Fixtures made with ImageMagick and ffmpeg, pictures read back, the imaging modules. Thread-compatible.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "album/imaginglibrary.h"

namespace aw::test {

// Runs `command` through the shell with its output thrown away; true when it exits with status 0.
bool RunCommand(const std::string& command);
std::string ShellQuote(const std::string& text);

// Pictures from ImageMagick's `source` ("BMP3": the 40-byte header, "BMP": V4/V5); movies of three frames
// from the lavfi `source` in the container the extension names.
bool MakeBitmap(const std::filesystem::path& path, int width, int height, const std::string& format = "BMP3",
                const std::string& extraArgs = "", const std::string& source = "gradient:red-blue");
inline bool MakeJpeg(const std::filesystem::path& path, int width, int height,
                     const std::string& extraArgs = "", const std::string& source = "gradient:red-blue") {
    return MakeBitmap(path, width, height, "jpeg", extraArgs, source);
}
bool MakeMovie(const std::filesystem::path& path, int width, int height, const std::string& extraArgs = "",
               const std::string& source = "color=c=red");

// 8-bit RGB pixels, rows from the top.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;

    const uint8_t* At(int x, int y) const {
        return rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
    }
};

// Any picture ImageMagick can read, decoded by it; nothing when it cannot.
std::optional<RgbPicture> ReadWithImageMagick(const std::filesystem::path& path);
// The imaging modules' exchange format (24-bit bottom-up padded rows) as an RgbPicture.
RgbPicture FromBottomUpBgr(const uint8_t* pixels, int width, int height);
// The mean absolute difference per channel; a large number when the sizes differ.
double MeanDifference(const RgbPicture& a, const RgbPicture& b);
// The modules built beside the tests, loaded once for the process; a test failure when they cannot be.
const ImagingLibrary& LoadedImagingLibrary();

} // namespace aw::test
