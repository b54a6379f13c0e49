// SPDX-License-Identifier: MIT
// Movie and sound files of any content through the video module as the program calls it: the facts and
// details a page is judged by, a copy without metadata (stopped after a few hundred packets), the frame
// size, then the first frame into a buffer of that size. The bytes are written to a file (the module takes
// paths only); the first byte picks the name's extension. FFmpeg itself is not instrumented:
// this finds faults in the module's own code and in how it drives FFmpeg.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "imagingabi.h"

extern "C" {
int GetFrameSize(const char* path, int* width, int* height);
int GetFirstFrameDIB_RGB24(const char* path, void* descriptionOut, void* pixelsOut, uint32_t* bufferSize);
int GetMovieFacts(const char* path, AwMovieFacts* facts);
int GetMovieDetails(const char* path, AwMovieDetails* details);
int MakePlayableCopy(const char* path, int outputFd, int mode, AwCopyProgressFn progress, void* context,
                     AwCopyOutcome* outcome);
}

namespace {

// Frames above this are read for their size only: the fuzzer stays fast.
constexpr long long kFuzzPixelBudget = 4 << 20;

const std::filesystem::path& FuzzFolder() {
    static const std::filesystem::path folder = [] {
        std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("aw-movie-fuzz-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const char* const kExtensions[] = {".avi", ".asf", ".mov", ".mpg", ".mp4",  ".webm", ".mkv",
                                              ".3gp", ".mp3", ".wav", ".ogg", ".flac", ".aac",  ".m4a"};
    constexpr std::size_t kKinds = sizeof kExtensions / sizeof *kExtensions;
    const std::filesystem::path movie =
        FuzzFolder() / (std::string("in") + kExtensions[size ? data[0] % kKinds : 0]);
    if (std::FILE* file = std::fopen(movie.c_str(), "wb")) {
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    AwMovieFacts facts;
    std::memset(&facts, 0xAA, sizeof facts); // every field must come back terminated
    if (GetMovieFacts(movie.c_str(), &facts) && (!std::memchr(facts.container, 0, sizeof facts.container) ||
                                                 !std::memchr(facts.videoCodec, 0, sizeof facts.videoCodec) ||
                                                 !std::memchr(facts.audioCodec, 0, sizeof facts.audioCodec)))
        __builtin_trap();
    AwMovieDetails details;
    std::memset(&details, 0xAA, sizeof details);
    if (GetMovieDetails(movie.c_str(), &details) &&
        (!std::memchr(details.pixelFormat, 0, sizeof details.pixelFormat) || details.quarterTurns < 0 ||
         details.quarterTurns > 3))
        __builtin_trap();
    const std::filesystem::path copy = FuzzFolder() / "copy";
    if (const int fd = ::open(copy.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600); fd >= 0) {
        int packets = 0;
        MakePlayableCopy(
            movie.c_str(), fd, AW_COPY_CLEAN,
            [](void* count, double) { return ++*static_cast<int*>(count) > 300 ? 1 : 0; }, &packets, nullptr);
        ::close(fd);
    }
    int width = 0, height = 0;
    if (GetFrameSize(movie.c_str(), &width, &height) &&
        static_cast<long long>(width) * height <= kFuzzPixelBudget) {
        if (width <= 0 || height <= 0 || width > AW_MAX_DIMENSION || height > AW_MAX_DIMENSION)
            __builtin_trap();
        std::vector<uint8_t> pixels((static_cast<std::size_t>(width) * 3 + 3) / 4 * 4 * height);
        AwPictureDescription description{};
        auto bufferSize = static_cast<uint32_t>(pixels.size());
        GetFirstFrameDIB_RGB24(movie.c_str(), &description, pixels.data(), &bufferSize);
    }
    std::filesystem::remove(movie);
    return 0;
}
