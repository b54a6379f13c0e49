// SPDX-License-Identifier: MIT
#include "album/fileidentity.h"

#include <sys/stat.h>

namespace aw {
namespace {

std::optional<FileIdentity> IdentityOf(const struct stat& info) {
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_size),
                        static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                        static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

} // namespace

std::optional<FileIdentity> SourceIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return IdentityOf(info);
}

std::optional<FileIdentity> WrittenIdentity(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return std::nullopt;
    return IdentityOf(info);
}

} // namespace aw
