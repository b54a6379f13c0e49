// SPDX-License-Identifier: MIT
// Texts that code walks as a group, in the order the user numbers them. Constant data; thread-safe.
#pragma once

#include <array>

#include "stringtable.h"

namespace aw {

// The installed background pictures, backgrounds 1 to 4 (0 is the solid colour, SolidColourName).
inline constexpr std::array kBackgroundPictureFiles{TextId::CyberBackgroundFile, TextId::UsaBackgroundFile,
                                                    TextId::NaturalBackgroundFile,
                                                    TextId::ToroBackgroundFile};

// The installed arrangement files, arrangements 0 to 3 (shown to the user as 1 to 4).
inline constexpr std::array kArrangementFiles{TextId::Arrangement1File, TextId::Arrangement2File,
                                              TextId::Arrangement3File, TextId::Arrangement4File};

} // namespace aw
