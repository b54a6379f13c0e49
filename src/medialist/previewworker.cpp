// SPDX-License-Identifier: MIT
#include "medialist/previewworker.h"

#include <utility>

namespace aw {

PreviewWorker::PreviewWorker(Prepare prepare, Deliver deliver)
    : prepare_(std::move(prepare)), deliver_(std::move(deliver)), thread_([this] { Run(); }) {}

PreviewWorker::~PreviewWorker() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    thread_.join();
}

void PreviewWorker::Request(uint64_t sequence, const std::string& path, MediaKind kind) {
    {
        const std::lock_guard lock(mutex_);
        pending_ = Job{sequence, path, kind};
    }
    wake_.notify_all();
}

void PreviewWorker::Cancel() {
    const std::lock_guard lock(mutex_);
    pending_.reset();
}

void PreviewWorker::Run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || pending_.has_value(); });
            if (stop_)
                return;
            job = std::move(*pending_);
            pending_.reset();
        }
        PreviewResult result{job.sequence, job.path, job.kind, false, nullptr};
        auto picture = std::make_shared<Picture>();
        try {
            result.ok = prepare_ && prepare_(job.path, job.kind, *picture);
        } catch (...) {
            result.ok = false; // a failed preview, not a dead worker
        }
        if (result.ok && picture->hasImage())
            result.picture = std::move(picture);
        // Under the lock, so that nothing is delivered once the destructor has begun; delivering only
        // posts, so the lock is held briefly.
        const std::lock_guard lock(mutex_);
        if (stop_)
            return;
        if (deliver_)
            deliver_(std::move(result));
    }
}

} // namespace aw
