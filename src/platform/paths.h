// SPDX-License-Identifier: MIT
// Composing and taking apart this platform's paths ("/" only; the album's item names, which may come with
// "\", are MediaPath's). Free functions; thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace aw {

// `folder` + "/" + `name`, with no doubled "/" when `folder` already ends with one.
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder holding `path`, without a closing "/": "/a/b" gives "/a", "/a" gives "/", "b" gives ".".
std::string FolderOf(std::string_view path);

// The folder holding the running program (/proc/self/exe), without a closing "/"; empty when it cannot be
// told.
std::string ProgramFolder();

} // namespace aw
