// SPDX-License-Identifier: MIT
#include "platform/pathwalk.h"

#include <cerrno>
#include <climits>
#include <string_view>
#include <vector>

extern "C" {
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
}

#include "platform/uniquefd.h"

namespace aw {
namespace {

static_assert(kMaxPathBytes + 1 == PATH_MAX);

std::vector<std::string_view> Components(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t at = 0;
    while (at < path.size()) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        if (slash > at)
            parts.push_back(path.substr(at, slash - at));
        at = slash + 1;
    }
    return parts;
}

UniqueFd OpenStep(int folder, std::string_view component) {
    const std::string name(component);
    return UniqueFd(::openat(folder, name.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
}

} // namespace

std::string LexicallyNormal(const std::string& path) {
    std::vector<std::string_view> kept;
    for (const std::string_view part : Components(path)) {
        if (part == ".")
            continue;
        if (part == "..") {
            if (!kept.empty())
                kept.pop_back();
            continue;
        }
        kept.push_back(part);
    }
    std::string normal;
    for (const std::string_view part : kept)
        normal.append("/").append(part);
    return normal.empty() ? "/" : normal;
}

std::string ResolveExistingPart(const std::string& path) {
    if (path.empty() || path[0] != '/' || path.size() > kMaxPathBytes)
        return {};
    // The path as the system takes it once its missing folders are made (MakeFolderChain): ".." after a
    // link is the parent of the link's target, not the text before the link; ".." after a missing folder
    // comes back to where it would be made, and the walk goes on from there.
    UniqueFd folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::string written = "/";             // the folder reached, as written
    std::vector<std::string_view> missing; // below it: folders that do not exist yet
    for (const std::string_view part : Components(path)) {
        if (part == ".")
            continue;
        if (part == ".." && !missing.empty()) {
            missing.pop_back();
            continue;
        }
        if (missing.empty() && folder) {
            if (UniqueFd next = OpenStep(folder.get(), part)) {
                folder = std::move(next);
                written = LexicallyNormal(written + "/" + std::string(part));
                continue;
            }
        }
        missing.push_back(part);
    }
    // The kernel names the folder the walk ended in, links and ".." resolved.
    std::string resolved = written;
    if (folder) {
        char target[PATH_MAX];
        const std::string self = "/proc/self/fd/" + std::to_string(folder.get());
        const ssize_t length = ::readlink(self.c_str(), target, sizeof target);
        if (length > 0 && static_cast<std::size_t>(length) < sizeof target && target[0] == '/')
            resolved.assign(target, static_cast<std::size_t>(length));
    }
    for (const std::string_view part : missing)
        resolved.append("/").append(part);
    return LexicallyNormal(resolved);
}

bool MakeFolderChain(const std::string& path, int& error, mode_t mode) {
    error = 0;
    if (path.size() > kMaxPathBytes) {
        error = ENAMETOOLONG;
        return false;
    }
    UniqueFd folder(::open(!path.empty() && path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        error = errno;
        return false;
    }
    for (const std::string_view part : Components(path)) {
        UniqueFd next = OpenStep(folder.get(), part);
        if (!next && errno == ENOENT) {
            const std::string name(part);
            if (::mkdirat(folder.get(), name.c_str(), mode) != 0 && errno != EEXIST) {
                error = errno;
                return false;
            }
            next = OpenStep(folder.get(), part);
        }
        if (!next) {
            error = errno;
            return false;
        }
        folder = std::move(next);
    }
    return true;
}

} // namespace aw
