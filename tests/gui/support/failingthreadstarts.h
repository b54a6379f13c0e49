// SPDX-License-Identifier: MIT
// While one lives, every thread the test program starts fails with EAGAIN, as at a process's thread limit
// (the kernel's own limit does not bind root): pthread_create is defined ahead of the C library's.
#pragma once

#include <atomic>

namespace aw::test {

extern std::atomic<bool> g_threadStartsFail;
struct FailingThreadStarts {
    FailingThreadStarts() { g_threadStartsFail = true; }
    ~FailingThreadStarts() { g_threadStartsFail = false; }
};

} // namespace aw::test
