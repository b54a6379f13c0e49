// SPDX-License-Identifier: MIT
#include "support/failingthreadstarts.h"

#include <atomic>
#include <cerrno>

extern "C" {
#include <dlfcn.h>
#include <pthread.h>
}

namespace {

std::atomic<bool> g_failing{false};

using PthreadCreate = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

} // namespace

// Found before the C library's (or a sanitizer's), which it calls unless starts are to fail.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                              void* argument) {
    if (g_failing.load())
        return EAGAIN;
    static const auto next = reinterpret_cast<PthreadCreate>(::dlsym(RTLD_NEXT, "pthread_create"));
    return next(thread, attributes, start, argument);
}

namespace aw::test {

FailingThreadStarts::FailingThreadStarts() {
    g_failing.store(true);
}

FailingThreadStarts::~FailingThreadStarts() {
    g_failing.store(false);
}

} // namespace aw::test
