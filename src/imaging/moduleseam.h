// SPDX-License-Identifier: MIT
// The C boundary of the modules: every exported entry point runs its C++ body through Guarded, so that no
// exception crosses into a caller that cannot take it. A failure becomes the entry point's failure
// result and its reason the thread's last failure (DllLastFailure); its text goes to standard error only
// when ALBUMWRIGHT_IMAGING_LOG is set (the interface has no other channel for it).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>
#include <utility>

#include "imagingerror.h"

namespace aw::imaging {

inline void ReportFailure(const char* entryPoint, const char* text) {
    if (std::getenv("ALBUMWRIGHT_IMAGING_LOG"))
        std::fprintf(stderr, "%s: %s\n", entryPoint, text);
}

// The AW_FAILURE_ code of the calling thread's last failed entry point (0 before any).
inline int& LastFailure() {
    thread_local int failure = 0;
    return failure;
}

template <typename Result, typename Body>
Result Guarded(const char* entryPoint, Result failure, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const ImagingError& error) {
        LastFailure() = static_cast<int>(error.failure());
        ReportFailure(entryPoint, error.what());
    } catch (const std::bad_alloc& error) {
        LastFailure() = AW_FAILURE_TOO_LARGE;
        ReportFailure(entryPoint, error.what());
    } catch (const std::exception& error) {
        LastFailure() = AW_FAILURE_DAMAGED;
        ReportFailure(entryPoint, error.what());
    } catch (...) {
        LastFailure() = AW_FAILURE_DAMAGED;
        ReportFailure(entryPoint, "unknown failure");
    }
    return failure;
}

} // namespace aw::imaging

// Entry points keep C linkage and default visibility; everything else in a module is hidden.
#define AW_IMAGING_EXPORT extern "C" __attribute__((visibility("default")))
