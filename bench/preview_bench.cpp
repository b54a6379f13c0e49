// SPDX-License-Identifier: MIT
// The window's preview of a big photo: time to read, decode and fit one JPEG into the drop pane's 141 x 271
// box (PreparePreview, as the preview worker calls it), on the calling thread only.
//
// Usage: preview_bench MODULE_FOLDER FILE...   Each file is prepared five times; prints the median and the
// slowest in milliseconds of processor time (what one core spends, whatever else the machine runs) and the
// median wall time over all runs, and exits 1 when a file could not be prepared.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include <time.h>

#include "album/imaginglibraryloader.h"
#include "album/mediakind.h"
#include "album/picture.h"
#include "medialist/previewpicture.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: preview_bench MODULE_FOLDER FILE...\n");
        return 2;
    }
    aw::ImagingLibraryLoader loader;
    if (loader.Load(argv[1]) != aw::ImagingLoadResult::Loaded) {
        std::fprintf(stderr, "modules not loaded: %s\n", loader.errorText().c_str());
        return 2;
    }
    auto threadMs = [] {
        timespec now{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
        return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
    };
    std::vector<double> times;
    std::vector<double> walls;
    for (int i = 2; i < argc; ++i)
        for (int run = 0; run < 5; ++run) {
            aw::Picture picture;
            const auto start = std::chrono::steady_clock::now();
            const double cpuStart = threadMs();
            if (!aw::PreparePreview(argv[i], aw::MediaKind::StillJpeg, loader.library(), picture)) {
                std::fprintf(stderr, "not prepared: %s\n", argv[i]);
                return 1;
            }
            times.push_back(threadMs() - cpuStart);
            walls.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
    std::sort(times.begin(), times.end());
    std::sort(walls.begin(), walls.end());
    std::printf("preview of %d files: median %.1f ms, slowest %.1f ms of CPU; median %.1f ms wall\n",
                argc - 2, times[times.size() / 2], times.back(), walls[walls.size() / 2]);
    return 0;
}
