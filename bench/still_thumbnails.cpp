// SPDX-License-Identifier: MIT
// The album's thumbnails alone, for the stills benchmark: each file named is prepared as a run prepares
// its thumbnail (ThumbnailPreparer: read, decode, fit into 160 x 120, encode at 80), spread over JOBS
// threads, nothing written. Timed from outside (/usr/bin/time), like the peer it is set against.
//
// Usage: still_thumbnails MODULE_FOLDER JOBS FILE...   Exits 1 when a thumbnail could not be made.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "album/imaginglibraryloader.h"
#include "album/mediapath.h"
#include "album/thumbnailpreparer.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: still_thumbnails MODULE_FOLDER JOBS FILE...\n");
        return 2;
    }
    aw::ImagingLibraryLoader loader;
    if (loader.Load(argv[1]) != aw::ImagingLoadResult::Loaded) {
        std::fprintf(stderr, "modules not loaded: %s\n", loader.errorText().c_str());
        return 2;
    }
    const std::vector<std::string> files(argv + 3, argv + argc);
    const aw::MediaPath paths;
    const aw::ThumbnailPreparer preparer(loader.library());
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::vector<std::thread> workers;
    for (int j = 0; j < std::max(1, std::atoi(argv[2])); ++j)
        workers.emplace_back([&] {
            for (std::size_t i; (i = next++) < files.size();) {
                aw::MediaKind kind = aw::MediaKind::Unsupported;
                paths.KindOf(aw::MediaPath::ExtensionOf(files[i]), kind);
                if (!preparer.Prepare(files[i], kind).made) {
                    std::fprintf(stderr, "no thumbnail: %s\n", files[i].c_str());
                    failed = true;
                }
            }
        });
    for (std::thread& worker : workers)
        worker.join();
    return failed ? 1 : 0;
}
