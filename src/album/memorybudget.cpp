// SPDX-License-Identifier: MIT
#include "album/memorybudget.h"

#include <algorithm>
#include <utility>

namespace aw {

MemoryBudget::Share::Share(Share&& other) noexcept
    : budget_(std::exchange(other.budget_, nullptr)), bytes_(std::exchange(other.bytes_, 0)) {}

MemoryBudget::Share& MemoryBudget::Share::operator=(Share&& other) noexcept {
    if (this != &other) {
        Release();
        budget_ = std::exchange(other.budget_, nullptr);
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

void MemoryBudget::Share::Release() {
    if (budget_)
        budget_->Give(bytes_);
    budget_ = nullptr;
    bytes_ = 0;
}

MemoryBudget::Share MemoryBudget::Take(uint64_t bytes) {
    bytes = std::min(bytes, total_);
    std::unique_lock lock(mutex_);
    const uint64_t ticket = nextTicket_++;
    changed_.wait(lock, [&] { return serving_ == ticket && held_ + bytes <= total_; });
    held_ += bytes;
    ++serving_;
    lock.unlock();
    changed_.notify_all(); // the next in line may fit too
    return Share(this, bytes);
}

void MemoryBudget::Give(uint64_t bytes) {
    {
        std::lock_guard lock(mutex_);
        held_ -= bytes;
    }
    changed_.notify_all();
}

int MemoryBudget::waiting() const {
    std::lock_guard lock(mutex_);
    return static_cast<int>(nextTicket_ - serving_);
}

} // namespace aw
