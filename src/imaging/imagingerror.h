// SPDX-License-Identifier: MIT
// The one exception type of the imaging modules' insides, with what an entry point reports for it. It
// never crosses a module's C boundary: the exported entry points catch it (and everything else) and turn
// it into their failure result, and its reason into the thread's last failure (DllLastFailure).
#pragma once

#include <stdexcept>
#include <string>

#include "imagingabi.h"

namespace aw::imaging {

// Why a picture is refused, as DllLastFailure tells it.
enum class Failure : int {
    Damaged = AW_FAILURE_DAMAGED,
    TooLarge = AW_FAILURE_TOO_LARGE,
    LargerThanDeclared = AW_FAILURE_LARGER_THAN_DECLARED,
};

class ImagingError : public std::runtime_error {
public:
    // `systemError`: the errno behind it when a write to a file of the caller's failed, else 0.
    explicit ImagingError(const std::string& what, int systemError = 0)
        : std::runtime_error(what), systemError_(systemError) {}
    ImagingError(const std::string& what, Failure failure) : std::runtime_error(what), failure_(failure) {}
    int systemError() const { return systemError_; }
    Failure failure() const { return failure_; }

private:
    int systemError_ = 0;
    Failure failure_ = Failure::Damaged;
};

} // namespace aw::imaging
