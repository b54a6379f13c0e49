// SPDX-License-Identifier: MIT
// A bounded look-ahead over a run's items: worker threads prepare item results ahead of the thread that
// consumes them, and the consumer takes the results strictly in item order. The work a run can do out of
// order (reading and decoding a picture, making its thumbnail in memory) goes here; everything anyone can
// see (files, texts, questions) stays on the consuming thread, in the order of the items.
//
// Bounds: at most `window` items are being prepared or wait prepared beyond the last item taken, so at
// most `window` results (and pictures in the making) exist at once, whatever the number of items. A stop
// discards the prepared results and waits only for the preparations already running (one per worker).
//
// The preparer is called on the worker threads, any of them, each index at most once; it must be
// thread-safe and must not call back into this object. What it throws is kept and thrown again by Take for
// that item, on the consumer's thread, so that a failure surfaces when the run reaches the failing item.
//
// Ownership and threads: one owning thread calls Take, Stop and the destructor (which stops). The object
// owns its workers and joins them before Stop returns; the preparer and what it reads are borrowed until
// then.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

namespace aw {

template <typename Result> class PrepareAhead {
public:
    using Preparer = std::function<Result(std::size_t index)>;

    // Starts `workers` threads (0: one per core) that prepare items 0 .. count-1 in order, at most `window`
    // items beyond the last one taken (0: twice the workers; never fewer than the workers). Throws only
    // when not a single thread can be started.
    PrepareAhead(std::size_t count, Preparer prepare, unsigned workers = 0, std::size_t window = 0)
        : count_(count), prepare_(std::move(prepare)) {
        if (workers == 0)
            workers = std::max(1u, std::thread::hardware_concurrency());
        workers = static_cast<unsigned>(std::min<std::size_t>(workers, count)); // none for no items
        window_ = std::max<std::size_t>(window == 0 ? 2 * std::size_t{workers} : window, workers);
        try {
            for (unsigned i = 0; i < workers; ++i)
                threads_.emplace_back([this] { Work(); });
        } catch (...) {
            // Fewer workers still prepare every item; none at all cannot.
            if (threads_.empty())
                throw;
        }
    }

    ~PrepareAhead() { Stop(); }
    PrepareAhead(const PrepareAhead&) = delete;
    PrepareAhead& operator=(const PrepareAhead&) = delete;

    // The result for item `index`, waiting until it is prepared. Indexes must rise from one call to the
    // next; items passed over are discarded unseen. Throws what the preparer threw for this item. Nothing
    // after Stop, for an index out of range, or for one not above the last taken.
    std::optional<Result> Take(std::size_t index) {
        std::unique_lock lock(mutex_);
        if (stopping_ || index >= count_ || index < next_)
            return std::nullopt;
        // Passing over items: their results (or preparations still running) are dropped.
        const std::size_t skipped = std::min(index - next_, slots_.size());
        slots_.erase(slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(skipped));
        next_ = index;
        claimed_ = std::max(claimed_, index);
        room_.notify_all();
        ready_.wait(lock, [this] { return stopping_ || (!slots_.empty() && slots_.front().done); });
        if (stopping_)
            return std::nullopt;
        Slot slot = std::move(slots_.front());
        slots_.pop_front();
        next_ = index + 1;
        lock.unlock();
        room_.notify_all();
        if (slot.error)
            std::rethrow_exception(slot.error);
        return std::move(slot.result);
    }

    // Discards what was prepared, lets the running preparations end and joins the workers. Idempotent.
    void Stop() noexcept {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
            slots_.clear();
        }
        room_.notify_all();
        ready_.notify_all();
        for (std::thread& thread : threads_)
            if (thread.joinable())
                thread.join();
    }

    // The bound given at construction, after defaults (for the owner's memory reckoning and tests).
    std::size_t window() const { return window_; }
    std::size_t workers() const { return threads_.size(); }

private:
    struct Slot {
        bool done = false;
        std::optional<Result> result;
        std::exception_ptr error;
    };

    void Work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            room_.wait(lock,
                       [this] { return stopping_ || (claimed_ < count_ && claimed_ < next_ + window_); });
            if (stopping_)
                return;
            const std::size_t index = claimed_++;
            slots_.emplace_back();
            lock.unlock();
            Slot made;
            made.done = true;
            try {
                made.result.emplace(prepare_(index));
            } catch (...) {
                made.error = std::current_exception();
            }
            lock.lock();
            // The consumer may have passed over this item or stopped meanwhile: then the result goes.
            if (!stopping_ && index >= next_) {
                slots_[index - next_] = std::move(made);
                if (index == next_)
                    ready_.notify_all();
            } else {
                // Destroyed outside the lock: a result may be large.
                lock.unlock();
                made = Slot{};
                lock.lock();
            }
        }
    }

    const std::size_t count_;
    const Preparer prepare_;
    std::size_t window_ = 1;
    std::mutex mutex_;
    std::condition_variable room_;  // workers wait for the window to move (or a stop)
    std::condition_variable ready_; // the consumer waits for the next item (or a stop)
    std::deque<Slot> slots_;        // items next_ .. claimed_-1, in order
    std::size_t next_ = 0;          // the next item the consumer may take
    std::size_t claimed_ = 0;       // the next item a worker will start on
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace aw
