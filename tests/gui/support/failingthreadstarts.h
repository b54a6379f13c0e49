// SPDX-License-Identifier: MIT
// While one lives, every thread the test program starts fails with EAGAIN, as at a process's thread limit
// (the kernel's own limit does not bind root): pthread_create is defined ahead of the C library's.
#pragma once

namespace aw::test {

struct FailingThreadStarts {
    FailingThreadStarts();
    ~FailingThreadStarts();
    FailingThreadStarts(const FailingThreadStarts&) = delete;
    FailingThreadStarts& operator=(const FailingThreadStarts&) = delete;
};

} // namespace aw::test
