// SPDX-License-Identifier: MIT
#include "platform/statefolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
#include <pwd.h>
#include <unistd.h>
}

#include "platform/paths.h"
#include "platform/pathwalk.h"
#include "platform/runtimefolder.h"
#include "stringtable.h"

namespace aw {
namespace {

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/')
        return home;
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return found->pw_dir;
    return {};
}

} // namespace

std::string StateFolder::Path() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && state[0] == '/')
        return JoinPath(state, "albumwright");
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : JoinPath(home, ".local/state/albumwright");
}

std::string StateFolder::Prepare() {
    const std::string folder = Path();
    if (folder.empty())
        return FormatText(LoadText(TextId::CannotUse), {"~/.local/state/albumwright", std::strerror(ENOENT)});
    int error = 0;
    const std::string parent = folder.substr(0, folder.rfind('/'));
    if (!parent.empty() && !MakeFolderChain(parent, error, 0700))
        return FormatText(LoadText(TextId::CannotUse), {folder, std::strerror(error)});
    return RuntimeFolder::Prepare(folder);
}

} // namespace aw
