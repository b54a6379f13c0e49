// SPDX-License-Identifier: MIT
#include "album/fileidentity.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace aw {
namespace {

std::int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

std::optional<FileIdentity> IdentityOf(const struct stat& info) {
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    return FileIdentity{static_cast<std::uint64_t>(info.st_size), Nanoseconds(info.st_mtim),
                        Nanoseconds(info.st_ctim), static_cast<std::uint64_t>(info.st_dev),
                        static_cast<std::uint64_t>(info.st_ino)};
}

} // namespace

bool FileIdentity::SameFileAs(const FileIdentity& recorded) const {
    FileIdentity known = *this;
    if (recorded.ctimeNs == kNoChangeTime)
        known.ctimeNs = kNoChangeTime;
    return known == recorded;
}

std::optional<FileIdentity> SourceIdentity(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return std::nullopt;
    return IdentityOf(info);
}

std::optional<FileIdentity> WrittenIdentity(int folder, const std::string& name) {
    struct stat info {};
    if (folder != AT_FDCWD && folder < 0)
        return std::nullopt;
    if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return IdentityOf(info);
}

} // namespace aw
