// SPDX-License-Identifier: MIT
// The one exception type of the imaging modules' insides. It never crosses a module's C boundary: the
// exported entry points catch it (and everything else) and turn it into their failure result.
#pragma once

#include <stdexcept>
#include <string>

namespace aw::imaging {

class ImagingError : public std::runtime_error {
public:
    // `systemError`: the errno behind it when a write to a file of the caller's failed, else 0.
    explicit ImagingError(const std::string& what, int systemError = 0)
        : std::runtime_error(what), systemError_(systemError) {}
    int systemError() const { return systemError_; }

private:
    int systemError_;
};

} // namespace aw::imaging
