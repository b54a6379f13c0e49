// SPDX-License-Identifier: MIT
#include "support/failingthreadstarts.h"

#include <cerrno>

#include <dlfcn.h>
#include <pthread.h>

std::atomic<bool> aw::test::g_threadStartsFail{false};

// Found before the C library's (or a sanitizer's), which it calls unless starts are to fail.
extern "C" int pthread_create(pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*),
                              void* argument) {
    if (aw::test::g_threadStartsFail.load())
        return EAGAIN;
    using Create = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static const auto next = reinterpret_cast<Create>(::dlsym(RTLD_NEXT, "pthread_create"));
    return next(thread, attributes, start, argument);
}
