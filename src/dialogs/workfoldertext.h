// SPDX-License-Identifier: MIT
// How the work folder is shown in the option window and stored again: the stored form always ends with "/",
// the shown form has no closing "/" except for the root itself ("/tmp/" is shown as "/tmp", "/" stays "/").
// Plain text rules; thread-safe.
#pragma once

#include <string>

namespace aw {

// The folder text shown for the stored work folder `folder` (its last "/" dropped unless it is "/").
std::string ShownWorkFolder(const std::string& folder);

// The work folder stored for the shown text `text`: a "/" appended unless it already ends with
// one; an empty text stays empty.
std::string StoredWorkFolder(const std::string& text);

} // namespace aw
