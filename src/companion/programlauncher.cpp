// SPDX-License-Identifier: MIT
#include "companion/programlauncher.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

extern "C" {
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
}

#include "platform/paths.h"

extern char** environ;

namespace aw {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

} // namespace

std::string ProgramLauncher::Find(const std::string& name, const std::string& ownFolder,
                                  const std::string& searchPath) {
    if (!ownFolder.empty() && IsExecutableFile((std::filesystem::path(ownFolder) / name).string()))
        return (std::filesystem::path(ownFolder) / name).string();
    std::size_t at = 0;
    while (at <= searchPath.size()) {
        const std::size_t colon = std::min(searchPath.find(':', at), searchPath.size());
        const std::string folder = searchPath.substr(at, colon - at);
        // An empty entry would mean the current folder: never a place to pick a program from.
        if (!folder.empty() && folder[0] == '/' && IsExecutableFile(JoinPath(folder, name)))
            return JoinPath(folder, name);
        at = colon + 1;
    }
    return {};
}

bool ProgramLauncher::Start(const std::string& program, std::string& error, const std::string& folder) {
    std::string argument0 = program;
    char* arguments[] = {argument0.data(), nullptr};
    pid_t child = -1;
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    if (!folder.empty())
        ::posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    const int result = ::posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
    ::posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        error = std::strerror(result);
        return false;
    }
    child_ = child;
    ended_ = false;
    return true;
}

bool ProgramLauncher::Ended() {
    if (child_ > 0 && !ended_) {
        ended_ = ::waitpid(child_, &status_, WNOHANG) == child_;
    }
    return ended_;
}

} // namespace aw
