// SPDX-License-Identifier: MIT
// The user's desktop folder, as the desktop names it: $XDG_DESKTOP_DIR, else the XDG_DESKTOP_DIR line of
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config when unset), else ~/Desktop. Only a folder that exists
// counts; otherwise the answer is empty. No closing "/". Reads the environment and one small file;
// thread-safe as long as nobody changes the environment meanwhile.
#pragma once

#include <string>

namespace aw {

std::string DesktopFolder();

// The value of the XDG_DESKTOP_DIR line in user-dirs.dirs text ("$HOME/..." expanded with `home`);
// empty when there is none. Exposed for tests.
std::string DesktopFromUserDirs(const std::string& text, const std::string& home);

} // namespace aw
