// SPDX-License-Identifier: MIT
// The decode floor of the album benchmark: how fast this machine can merely decode the photo set. Every
// file named is read and decoded by TurboJPEG at its smallest DCT scale (1/8), one thread per core (or as
// many as -j says), in one process; nothing is written. An album cannot be made faster than this.
//
// Usage: decode_floor [-j THREADS] FILE...   Prints "decoded N of M files, T s, R files/s" and exits 1
// when any file failed to decode.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <turbojpeg.h>

namespace {

struct HandleCloser {
    void operator()(void* handle) const { tjDestroy(handle); }
};

bool ReadAll(const std::string& path, std::vector<unsigned char>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !bytes.empty();
}

// The scale that gives the smallest picture the library offers.
tjscalingfactor SmallestScale() {
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    tjscalingfactor best{1, 1};
    for (int i = 0; i < count; ++i)
        if (factors[i].num * best.denom < best.num * factors[i].denom)
            best = factors[i];
    return best;
}

bool DecodeOne(tjhandle handle, const std::string& path, tjscalingfactor scale,
               std::vector<unsigned char>& bytes, std::vector<unsigned char>& pixels) {
    if (!ReadAll(path, bytes))
        return false;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colourspace = 0;
    if (tjDecompressHeader3(handle, bytes.data(), bytes.size(), &width, &height, &subsampling,
                            &colourspace) != 0)
        return false;
    const int scaledWidth = TJSCALED(width, scale);
    const int scaledHeight = TJSCALED(height, scale);
    pixels.resize(static_cast<std::size_t>(scaledWidth) * 3 * scaledHeight);
    return tjDecompress2(handle, bytes.data(), bytes.size(), pixels.data(), scaledWidth, 0, scaledHeight,
                         TJPF_BGR, 0) == 0;
}

} // namespace

int main(int argc, char** argv) {
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "-j" && i + 1 < argc)
            threads = std::max(1, std::atoi(argv[++i]));
        else
            files.push_back(arg);
    }
    if (files.empty()) {
        std::fprintf(stderr, "usage: decode_floor [-j THREADS] FILE...\n");
        return 2;
    }
    const tjscalingfactor scale = SmallestScale();
    std::atomic<std::size_t> next{0};
    std::atomic<int> decoded{0};
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&] {
            std::unique_ptr<void, HandleCloser> handle(tjInitDecompress());
            std::vector<unsigned char> bytes;
            std::vector<unsigned char> pixels;
            for (std::size_t i = next++; i < files.size(); i = next++)
                if (handle && DecodeOne(handle.get(), files[i], scale, bytes, pixels))
                    ++decoded;
        });
    for (std::thread& worker : workers)
        worker.join();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("decoded %d of %zu files at 1/%d scale with %d threads, %.3f s, %.1f files/s\n",
                decoded.load(), files.size(), scale.denom / scale.num, threads, seconds,
                decoded.load() / seconds);
    return decoded.load() == static_cast<int>(files.size()) ? 0 : 1;
}
