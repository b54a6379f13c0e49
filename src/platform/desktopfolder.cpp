// SPDX-License-Identifier: MIT
#include "platform/desktopfolder.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/stat.h>

namespace aw {

namespace {

bool IsFolder(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string WithoutClosingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string DesktopFromUserDirs(const std::string& text, const std::string& home) {
    std::istringstream lines(text);
    std::string line;
    std::string found;
    while (std::getline(lines, line)) {
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, 16, "XDG_DESKTOP_DIR=") != 0)
            continue;
        std::string value = line.substr(start + 16);
        // The file quotes its values: XDG_DESKTOP_DIR="$HOME/Desktop"
        if (value.size() >= 2 && value.front() == '"') {
            const std::size_t close = value.find('"', 1);
            if (close == std::string::npos)
                continue;
            value = value.substr(1, close - 1);
        }
        if (value.rfind("$HOME", 0) == 0)
            value = home + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;  // only absolute or $HOME-relative paths are allowed there
        found = value; // the last line wins, as with shell assignments
    }
    return found;
}

std::string DesktopFolder() {
    const std::string home = Env("HOME");
    std::string candidate = Env("XDG_DESKTOP_DIR");
    if (candidate.empty()) {
        std::string config = Env("XDG_CONFIG_HOME");
        if (config.empty() || config[0] != '/')
            config = home + "/.config";
        std::ifstream in(config + "/user-dirs.dirs");
        std::stringstream text;
        text << in.rdbuf();
        candidate = DesktopFromUserDirs(text.str(), home);
    }
    if (candidate.empty() && !home.empty())
        candidate = home + "/Desktop";
    candidate = WithoutClosingSlash(candidate);
    return IsFolder(candidate) ? candidate : std::string();
}

} // namespace aw
