// SPDX-License-Identifier: MIT
// The image module's entry points, compiled into a fuzz target instead of loaded, as an ImagingLibrary
// table (the video entries stay empty).
#pragma once

#include "album/imaginglibrary.h"

namespace aw::fuzz {

const ImagingLibrary& LinkedInImageModule();

} // namespace aw::fuzz
