// SPDX-License-Identifier: MIT
#include "platform/runtimefolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" {
#include <pwd.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
}

#include "platform/paths.h"
#include "stringtable.h"

namespace aw {
namespace {

std::string CannotUse(const std::string& path, const std::string& reason) {
    return FormatText(LoadText(TextId::CannotUse), {path, reason});
}

} // namespace

std::string RuntimeFolder::Path() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    // The hand-over socket's address holds at most sun_path's bytes: in a folder whose socket name would
    // not fit, no window could ever be handed files, so the folder in /tmp stands in.
    if (runtime != nullptr && runtime[0] == '/' &&
        JoinPath(runtime, LoadText(TextId::HandOverRequestName)).size() < sizeof(sockaddr_un::sun_path))
        return runtime;
    return "/tmp/albumwright-" + std::to_string(::getuid());
}

std::string RuntimeFolder::UserName(uid_t uid) {
    passwd entry{};
    passwd* found = nullptr;
    std::vector<char> buffer(16384);
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr)
        return std::string(found->pw_name) + " (" + std::to_string(uid) + ")";
    return std::to_string(uid);
}

std::string RuntimeFolder::OwnerProblem(const std::string& path, uid_t owner) {
    if (owner == ::getuid())
        return {};
    return CannotUse(path, FormatText(LoadText(TextId::OwnedByOtherUser), {UserName(owner)}));
}

std::string RuntimeFolder::Prepare(const std::string& folder) {
    // Made with no access for others from the start; an existing name is judged as it stands.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return CannotUse(folder, std::strerror(errno));
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0)
        return CannotUse(folder, std::strerror(errno));
    if (!S_ISDIR(status.st_mode))
        return CannotUse(folder, LoadText(TextId::NotOwnFolder));
    if (std::string foreign = OwnerProblem(folder, status.st_uid); !foreign.empty())
        return foreign;
    if ((status.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(status.st_mode & 07777));
        return CannotUse(folder, FormatText(LoadText(TextId::OpenToOthers), {mode}));
    }
    return {};
}

} // namespace aw
