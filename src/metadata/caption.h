// SPDX-License-Identifier: MIT
// A picture's caption: what the person typed for it, never what a camera fills in by itself. Pure functions
// apart from the sidecar read; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace aw {

// `raw` as a caption: UTF-8 (bytes that are not UTF-8 are read as Latin-1, as older writers stored them),
// without the blanks and NUL bytes around it; empty when nothing is left or when it is a camera's
// boilerplate ("OLYMPUS DIGITAL CAMERA", "SONY DSC", a "DCIM..." path, the camera's make or model).
std::string CaptionFromText(std::string_view raw, std::string_view make = {}, std::string_view model = {});

// The text file beside `mediaPath` with the same base name and the extension .txt in any case
// (IMG_0001.txt for IMG_0001.JPG): UTF-8 without blanks around it, at most kSidecarLimit bytes, read only
// from a regular file (a FIFO is never waited on). Empty when there is none or it does not qualify.
std::string ReadSidecarCaption(const std::string& mediaPath);

constexpr std::size_t kSidecarLimit = 2048;

bool IsUtf8(std::string_view text);

} // namespace aw
