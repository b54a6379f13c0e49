#include "support/fixtures.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace aw::test {
namespace {

struct PipeCloser {
    void operator()(FILE* pipe) const { pclose(pipe); }
};

// Reads one whitespace-separated number of a PPM header.
bool ReadHeaderNumber(FILE* in, int& value) {
    int c = std::fgetc(in);
    while (c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '#') {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = std::fgetc(in);
        c = std::fgetc(in);
    }
    value = 0;
    bool any = false;
    while (c >= '0' && c <= '9') {
        value = value * 10 + (c - '0');
        any = true;
        c = std::fgetc(in);
    }
    return any; // the single whitespace after the number has been consumed
}

} // namespace

bool RunCommand(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

bool MakeJpeg(const std::filesystem::path& path, int width, int height, const std::string& extraArgs,
              const std::string& source) {
    return RunCommand("convert -size " + std::to_string(width) + "x" + std::to_string(height) + " " +
                      ShellQuote(source) + " " + extraArgs + " " + ShellQuote("jpeg:" + path.string()));
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
    const std::string command = "convert " + ShellQuote(path.string()) + " -depth 8 ppm:- 2>/dev/null";
    const std::unique_ptr<FILE, PipeCloser> pipe(popen(command.c_str(), "r"));
    if (!pipe || std::fgetc(pipe.get()) != 'P' || std::fgetc(pipe.get()) != '6')
        return std::nullopt;
    RgbPicture picture;
    int maximum = 0;
    if (!ReadHeaderNumber(pipe.get(), picture.width) || !ReadHeaderNumber(pipe.get(), picture.height) ||
        !ReadHeaderNumber(pipe.get(), maximum) || maximum != 255 || picture.width <= 0 || picture.height <= 0)
        return std::nullopt;
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    if (std::fread(picture.rgb.data(), 1, picture.rgb.size(), pipe.get()) != picture.rgb.size())
        return std::nullopt;
    return picture;
}

RgbPicture FromBottomUpBgr(const uint8_t* pixels, int width, int height) {
    RgbPicture picture{width, height, std::vector<uint8_t>(static_cast<std::size_t>(width) * height * 3)};
    const std::size_t rowSize = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = pixels + static_cast<std::size_t>(height - 1 - y) * rowSize;
        for (int x = 0; x < width; ++x) {
            uint8_t* out = picture.rgb.data() + (static_cast<std::size_t>(y) * width + x) * 3;
            out[0] = row[3 * x + 2];
            out[1] = row[3 * x + 1];
            out[2] = row[3 * x];
        }
    }
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

} // namespace aw::test
