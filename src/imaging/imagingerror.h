// SPDX-License-Identifier: MIT
// The one exception type of the imaging modules' insides. It never crosses a module's C boundary: the
// exported entry points catch it (and everything else) and turn it into their failure result.
#pragma once

#include <stdexcept>
#include <string>

namespace aw::imaging {

class ImagingError : public std::runtime_error {
public:
    explicit ImagingError(const std::string& what) : std::runtime_error(what) {}
};

} // namespace aw::imaging
