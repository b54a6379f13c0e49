// SPDX-License-Identifier: MIT
#include "support/fixtures.h"

#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "album/imaginglibraryloader.h"
#include "support/testpaths.h"

namespace aw::test {
bool RunCommand(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool MakeBitmap(const std::filesystem::path& path, int width, int height, const std::string& format,
                const std::string& extraArgs, const std::string& source) {
    return RunCommand("convert -size " + std::to_string(width) + "x" + std::to_string(height) + " " +
                      ShellQuote(source) + " " + extraArgs + " " + ShellQuote(format + ":" + path.string()));
}

bool MakeMovie(const std::filesystem::path& path, int width, int height, const std::string& extraArgs,
               const std::string& source) {
    const std::string input =
        source + ":size=" + std::to_string(width) + "x" + std::to_string(height) + ":rate=25";
    return RunCommand("ffmpeg -nostdin -y -loglevel error -f lavfi -i " + ShellQuote(input) +
                      " -frames:v 3 -pix_fmt yuv420p " + extraArgs + " " + ShellQuote(path.string()));
}

std::optional<RgbPicture> ReadWithImageMagick(const std::filesystem::path& path) {
    const ScratchDir scratch;
    if (!RunCommand("convert " + ShellQuote(path.string()) + " -depth 8 " +
                    ShellQuote("ppm:" + (scratch / "read.ppm").string())))
        return std::nullopt;
    const std::string ppm = ReadWholeFile(scratch / "read.ppm");
    RgbPicture picture;
    int maximum = 0, start = 0; // the header ends in a single whitespace byte
    std::sscanf(ppm.c_str(), "P6 %d %d %d%*c%n", &picture.width, &picture.height, &maximum, &start);
    const std::size_t size = static_cast<std::size_t>(picture.width) * picture.height * 3;
    if (start == 0 || maximum != 255 || picture.width <= 0 || picture.height <= 0 ||
        ppm.size() - start < size)
        return std::nullopt;
    picture.rgb.assign(ppm.begin() + start, ppm.begin() + start + size);
    return picture;
}

RgbPicture FromBottomUpBgr(const uint8_t* pixels, int width, int height) {
    RgbPicture picture{width, height, std::vector<uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    const std::size_t rowSize = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                picture.rgb[(static_cast<std::size_t>(y) * width + x) * 3 + c] =
                    pixels[static_cast<std::size_t>(height - 1 - y) * rowSize + 3 * x + 2 - c];
    return picture;
}

double MeanDifference(const RgbPicture& a, const RgbPicture& b) {
    if (a.width != b.width || a.height != b.height || a.rgb.empty())
        return 1e9;
    double total = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i)
        total += std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i]));
    return total / static_cast<double>(a.rgb.size());
}

const ImagingLibrary& LoadedImagingLibrary() {
    static ImagingLibraryLoader loader;
    if (loader.library().DllDecodeJPEG == nullptr && loader.Load(BinDir()) != ImagingLoadResult::Loaded)
        ADD_FAILURE() << "imaging modules not loaded: " << loader.errorText();
    return loader.library();
}

} // namespace aw::test
