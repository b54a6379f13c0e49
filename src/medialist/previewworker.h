// SPDX-License-Identifier: MIT
// Prepares previews on a thread of its own so that decoding a large picture or a movie's first frame
// never stalls the window. One request is prepared at a time; a new request replaces one that has not
// started yet (the newest wins), and each result carries the sequence number of its request so that the
// owner can drop results that arrive after a newer request was made.
//
// Ownership: owns its thread; the destructor stops it and joins it, waiting at most for the preparation
// under way (nothing is delivered after that). Thread-safety: Request and Cancel may be called from any
// one owner thread; `prepare` and `deliver` run on the worker thread, so `deliver` must only hand the
// result over (post it to the window's thread), never touch widgets nor call back into the worker.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "album/mediakind.h"
#include "album/picture.h"

namespace aw {

struct PreviewResult {
    uint64_t sequence = 0;
    std::string path;
    MediaKind kind = MediaKind::Unsupported;
    bool ok = false;
    std::shared_ptr<const Picture> picture; // null when there is nothing to draw (failure, audio)
};

class PreviewWorker {
public:
    // Fills the picture for (path, kind); false on failure. PreparePreview with a bound imaging table, or a
    // test's stand-in.
    using Prepare = std::function<bool(const std::string& path, MediaKind kind, Picture& out)>;
    using Deliver = std::function<void(PreviewResult)>;

    PreviewWorker(Prepare prepare, Deliver deliver);
    ~PreviewWorker();
    PreviewWorker(const PreviewWorker&) = delete;
    PreviewWorker& operator=(const PreviewWorker&) = delete;

    // Asks for the preview of (path, kind); replaces a request that has not started.
    void Request(uint64_t sequence, const std::string& path, MediaKind kind);
    // Forgets a request that has not started; one under way still delivers.
    void Cancel();

private:
    struct Job {
        uint64_t sequence;
        std::string path;
        MediaKind kind;
    };
    void Run();

    const Prepare prepare_;
    const Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<Job> pending_;
    bool stop_ = false;
    std::thread thread_; // last: starts once everything above is ready
};

} // namespace aw
