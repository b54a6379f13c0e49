// SPDX-License-Identifier: MIT
// A number of bytes that threads share: each takes its part before it allocates and gives it back when
// done, so that what they hold together stays within the total however many threads there are. Parts are
// granted in the order they were asked for, so a large one is not passed over for ever by small ones; a
// part larger than the total is granted once nothing else is held.
//
// A thread holds at most one part at a time and must not wait for anything while holding it that another
// part's holder waits for (the look-ahead's preparations hold one while they read and decode, and wait for
// nothing else). Thread-safe; the budget must outlive every part taken from it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace aw {

class MemoryBudget {
public:
    explicit MemoryBudget(uint64_t total) : total_(total) {}
    MemoryBudget(const MemoryBudget&) = delete;
    MemoryBudget& operator=(const MemoryBudget&) = delete;

    // A granted part; given back when it goes.
    class Share {
    public:
        Share() = default;
        ~Share() { Release(); }
        Share(Share&& other) noexcept;
        Share& operator=(Share&& other) noexcept;
        Share(const Share&) = delete;
        Share& operator=(const Share&) = delete;
        uint64_t bytes() const { return bytes_; }

    private:
        friend class MemoryBudget;
        Share(MemoryBudget* budget, uint64_t bytes) : budget_(budget), bytes_(bytes) {}
        void Release();
        MemoryBudget* budget_ = nullptr;
        uint64_t bytes_ = 0;
    };

    // Waits until `bytes` (at most the total) are free and every earlier request has been granted.
    Share Take(uint64_t bytes);

    uint64_t total() const { return total_; }
    // Requests waiting at this moment (for tests that bring threads to a known state).
    int waiting() const;

private:
    void Give(uint64_t bytes);

    const uint64_t total_;
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    uint64_t held_ = 0;
    uint64_t nextTicket_ = 0; // the ticket the next request draws
    uint64_t serving_ = 0;    // the ticket whose turn it is
};

} // namespace aw
