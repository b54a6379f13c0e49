// SPDX-License-Identifier: MIT
// The one exception type of the imaging modules' insides, with the reason an entry point reports for it.
// It never crosses a module's C boundary: the exported entry points catch it (and everything else) and
// turn it into their failure result.
#pragma once

#include <stdexcept>
#include <string>

#include "imagingabi.h"

namespace aw::imaging {

class ImagingError : public std::runtime_error {
public:
    // `failure`: the AW_FAILURE_ code the entry point reports for it (DllLastFailure).
    explicit ImagingError(const std::string& what, int failure = AW_FAILURE_DAMAGED)
        : std::runtime_error(what), failure_(failure) {}
    int failure() const { return failure_; }

private:
    int failure_;
};

} // namespace aw::imaging
