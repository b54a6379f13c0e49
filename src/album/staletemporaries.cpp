// SPDX-License-Identifier: MIT
#include "album/staletemporaries.h"

#include <cstring>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/uniquefd.h"
#include "stringtable.h"

namespace aw {
namespace {

bool IsSiblingTempName(const char* name) {
    if (std::strlen(name) != 13 || std::strncmp(name, "HTM", 3) != 0 || std::strcmp(name + 9, ".tmp") != 0)
        return false;
    for (int i = 3; i < 9; ++i) {
        const char c = name[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    }
    return true;
}

int RemoveIn(int folder) {
    // The descriptor goes to the listing, which closes it.
    const std::unique_ptr<DIR, int (*)(DIR*)> listing(::fdopendir(folder), &::closedir);
    if (!listing) {
        ::close(folder);
        return 0;
    }
    int removed = 0;
    while (const dirent* entry = ::readdir(listing.get())) {
        struct stat info {};
        if (IsSiblingTempName(entry->d_name) &&
            ::fstatat(::dirfd(listing.get()), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(info.st_mode) && info.st_uid == ::getuid() &&
            ::unlinkat(::dirfd(listing.get()), entry->d_name, 0) == 0)
            ++removed;
    }
    return removed;
}

} // namespace

int RemoveStaleTemporaries(const std::string& albumFolder) {
    UniqueFd album(::open(albumFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!album)
        return 0;
    int removed = 0;
    for (const TextId name : {TextId::DataFolderName, TextId::ThumbFolderName}) {
        const int folder =
            ::openat(album.get(), LoadText(name).c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (folder >= 0)
            removed += RemoveIn(folder);
    }
    return removed + RemoveIn(album.release());
}

} // namespace aw
