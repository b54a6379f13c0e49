// SPDX-License-Identifier: MIT
// The window program's command line: the first argument that is not a switch names the file to start
// with, unless a switch turns the start into something other than opening a file.
// Pure functions; thread-safe.
#pragma once

#include <string>
#include <vector>

namespace aw {

// `arguments` without the program name. An argument starting with '-' is a switch ('/' begins a path here);
// the print, print-to, DDE and unregister switches ("p", "pt", "dde", "unregister", "unregserver", any case)
// mean "not a file to open" and give "". Later plain arguments are ignored. A relative file is made
// absolute against `currentFolder` (empty: the process's current folder) before anything uses it, so that
// its folder is a usable album folder.
std::string StartupFileName(const std::vector<std::string>& arguments, const std::string& currentFolder = {});

} // namespace aw
