// SPDX-License-Identifier: MIT
// While an object of this class lives, every thread this test program starts fails to start (EAGAIN), as
// when a process has reached its limit of threads; the kernel's own limit cannot be used, since it does not
// bind root. Works by defining pthread_create in the test program, ahead of the C library's.
#pragma once

namespace aw::test {

class FailingThreadStarts {
public:
    FailingThreadStarts();
    ~FailingThreadStarts();
    FailingThreadStarts(const FailingThreadStarts&) = delete;
    FailingThreadStarts& operator=(const FailingThreadStarts&) = delete;
};

} // namespace aw::test
