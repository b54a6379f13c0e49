// SPDX-License-Identifier: MIT
// Owns one POSIX file descriptor and closes it when it goes away. Close() reports the error that close()
// may deliver late (a delayed write failure), which a writer must not lose. Not copyable; one owner.
#pragma once

#include <cerrno>
#include <utility>

extern "C" {
#include <unistd.h>
}

namespace aw {

class UniqueFd {
public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            UniqueFd old(std::exchange(fd_, other.release()));
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    explicit operator bool() const { return valid(); }
    int release() { return std::exchange(fd_, -1); }
    // 0, or the errno of close(); the descriptor is given up either way.
    int Close() { return ::close(release()) == 0 ? 0 : errno; }

private:
    int fd_;
};

} // namespace aw
