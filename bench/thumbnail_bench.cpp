// SPDX-License-Identifier: MIT
// Thumbnail throughput of the image module on camera-sized JPEGs, beside a peer measured in the same run.
//
// Makes `count` pictures of `width` x `height` (default 6000 x 4000, 24 megapixels) with the module's own
// encoder, then times per picture:
//   full    DllDecodeJPEG, DllResizeBySizeDIB to fit 160 x 120, DllEncodeJPEG at 80
//   scaled  the same with DllDecodeJPEGScaled at twice the thumbnail size
//   peer    ImageMagick: convert -thumbnail 160x120 (and with its DCT size hint, -define jpeg:size)
// Usage: thumbnail_bench [module folder] [count] [width] [height]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <dlfcn.h>
#include <unistd.h>

#include "imaging/imagingabi.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

struct Freer {
    void operator()(void* block) const { std::free(block); }
};
using Owned = std::unique_ptr<uint8_t, Freer>;

struct Module {
    AwEncodeJpegFn encode = nullptr;
    AwDecodeJpegFn decode = nullptr;
    AwDecodeJpegScaledFn decodeScaled = nullptr;
    AwResizeBySizeFn resize = nullptr;
};

std::size_t BufferSize(int width, int height) { return (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4 * height; }

AwPictureDescription Describe(int width, int height) {
    AwPictureDescription d{};
    d.header = {40, width, height, 1, 24, 0, static_cast<uint32_t>(BufferSize(width, height)), 0, 0, 0, 0};
    return d;
}

// Smooth colour fields with a little grain: about as hard for the codec as a photograph.
std::vector<uint8_t> MakePicture(int width, int height, unsigned seed) {
    std::vector<uint8_t> pixels(BufferSize(width, height));
    const std::size_t row = BufferSize(width, 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            const int grain = static_cast<int>((seed >> 16) % 17) - 8;
            uint8_t* p = pixels.data() + y * row + 3 * static_cast<std::size_t>(x);
            p[0] = static_cast<uint8_t>(std::clamp(x * 255 / width + grain, 0, 255));
            p[1] = static_cast<uint8_t>(std::clamp(((x / 97 + y / 89) % 7) * 36 + grain, 0, 255));
            p[2] = static_cast<uint8_t>(std::clamp(y * 255 / height + grain, 0, 255));
        }
    return pixels;
}

void ThumbSize(int width, int height, int& w, int& h) {
    w = 160;
    h = std::max(1, height * 160 / width);
    if (h > 120) {
        h = 120;
        w = std::max(1, width * 120 / height);
    }
}

// Scales a decoded picture into the thumbnail box and encodes it; the JPEG size, 0 on failure.
uint32_t FinishThumbnail(const Module& module, const AwPictureDescription& source, const uint8_t* pixels,
                         int fullWidth, int fullHeight) {
    int w = 0, h = 0;
    ThumbSize(fullWidth, fullHeight, w, h);
    AwPictureDescription thumb = Describe(w, h);
    std::vector<uint8_t> thumbPixels(BufferSize(w, h));
    if (!module.resize(&source, pixels, w, h, &thumb, thumbPixels.data()))
        return 0;
    uint32_t size = 0;
    Owned jpeg(static_cast<uint8_t*>(module.encode(&thumb, thumbPixels.data(), 80, &size)));
    return jpeg ? size : 0;
}

double MillisecondsPer(const std::vector<fs::path>& files, const std::function<bool(const fs::path&)>& step) {
    const auto start = Clock::now();
    for (const fs::path& file : files)
        if (!step(file)) {
            std::fprintf(stderr, "failed on %s\n", file.c_str());
            return -1;
        }
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / static_cast<double>(files.size());
}

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::read_symlink("/proc/self/exe").parent_path();
    const int count = argc > 2 ? std::atoi(argv[2]) : 5;
    const int width = argc > 3 ? std::atoi(argv[3]) : 6000;
    const int height = argc > 4 ? std::atoi(argv[4]) : 4000;

    void* handle = dlopen((folder / "libalbumwright-image.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    Module module;
    module.encode = reinterpret_cast<AwEncodeJpegFn>(dlsym(handle, "DllEncodeJPEG"));
    module.decode = reinterpret_cast<AwDecodeJpegFn>(dlsym(handle, "DllDecodeJPEG"));
    module.decodeScaled = reinterpret_cast<AwDecodeJpegScaledFn>(dlsym(handle, AW_DECODE_JPEG_SCALED_NAME));
    module.resize = reinterpret_cast<AwResizeBySizeFn>(dlsym(handle, "DllResizeBySizeDIB"));
    if (!module.encode || !module.decode || !module.decodeScaled || !module.resize) {
        std::fprintf(stderr, "entry points missing\n");
        return 1;
    }

    char pattern[] = "/tmp/aw-thumbbench-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const fs::path scratch = pattern;
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        const std::vector<uint8_t> pixels = MakePicture(width, height, static_cast<unsigned>(i) + 1);
        const AwPictureDescription d = Describe(width, height);
        uint32_t size = 0;
        Owned jpeg(static_cast<uint8_t*>(module.encode(&d, pixels.data(), 92, &size)));
        if (!jpeg)
            return 1;
        files.push_back(scratch / ("photo" + std::to_string(i) + ".jpg"));
        std::ofstream(files.back(), std::ios::binary).write(reinterpret_cast<const char*>(jpeg.get()), size);
    }

    const double full = MillisecondsPer(files, [&](const fs::path& file) {
        const std::string bytes = ReadAll(file);
        AwPictureDescription d{};
        Owned pixels(static_cast<uint8_t*>(module.decode(bytes.data(), static_cast<uint32_t>(bytes.size()), &d)));
        return pixels && FinishThumbnail(module, d, pixels.get(), d.header.biWidth, d.header.biHeight) > 0;
    });
    const double scaled = MillisecondsPer(files, [&](const fs::path& file) {
        const std::string bytes = ReadAll(file);
        AwPictureDescription d{};
        int fullWidth = 0, fullHeight = 0;
        Owned pixels(static_cast<uint8_t*>(module.decodeScaled(bytes.data(), static_cast<uint32_t>(bytes.size()),
                                                               320, 240, &d, &fullWidth, &fullHeight)));
        return pixels && FinishThumbnail(module, d, pixels.get(), fullWidth, fullHeight) > 0;
    });
    const auto peer = [&](const std::string& options) {
        return MillisecondsPer(files, [&](const fs::path& file) {
            const std::string command = "convert " + options + " '" + file.string() + "' -thumbnail 160x120 -quality 80 '" +
                                        (scratch / "peer.jpg").string() + "' >/dev/null 2>&1";
            return std::system(command.c_str()) == 0;
        });
    };
    const double peerPlain = peer("");
    const double peerHinted = peer("-define jpeg:size=320x240");

    std::printf("%d pictures of %dx%d, milliseconds per thumbnail\n", count, width, height);
    std::printf("  module, full decode      %8.1f\n", full);
    std::printf("  module, scaled decode    %8.1f\n", scaled);
    std::printf("  peer (convert)           %8.1f\n", peerPlain);
    std::printf("  peer (convert, size hint)%8.1f\n", peerHinted);
    fs::remove_all(scratch);
    dlclose(handle);
    return 0;
}
