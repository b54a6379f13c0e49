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
    // ".." is taken by the kernel, from the folder reached so far: after a link it is the parent of the
    // link's target, as every program that opens the path sees it, not the text before the link.
    const std::vector<std::string_view> parts = Components(path);
    UniqueFd folder(::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC));
    std::size_t existing = 0;
    std::string written = "/";
    while (folder && existing < parts.size()) {
        if (parts[existing] != ".") {
            UniqueFd next = OpenStep(folder.get(), parts[existing]);
            if (!next)
                break;
            folder = std::move(next);
            written = LexicallyNormal(written + "/" + std::string(parts[existing]));
        }
        ++existing;
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
    // The missing rest holds no link, so its ".." is taken back by text.
    for (std::size_t i = existing; i < parts.size(); ++i)
        resolved.append("/").append(parts[i]);
    return LexicallyNormal(resolved);
}

bool MakeFolderChain(const std::string& path, int& error, unsigned mode) {
    error = 0;
    if (path.size() > kMaxPathBytes) {
        error = ENAMETOOLONG;
        return false;
    }
    // A relative path starts where the process is, as it does for every other call that takes one.
    UniqueFd folder(::open(!path.empty() && path[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) {
        error = errno;
        return false;
    }
    for (const std::string_view part : Components(path)) {
        UniqueFd next = OpenStep(folder.get(), part);
        if (!next && errno == ENOENT) {
            const std::string name(part);
            if (::mkdirat(folder.get(), name.c_str(), static_cast<mode_t>(mode)) != 0 && errno != EEXIST) {
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
