// SPDX-License-Identifier: MIT
#include "album/modulefile.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "album/elfsegments.h"
#include "platform/filebytes.h"
#include "platform/regularfile.h"

namespace aw {
namespace {

FailureCause CauseOfLayout(ElfLayout layout) {
    switch (layout) {
    case ElfLayout::Inside:
        return FailureCause::None;
    case ElfLayout::CutShort:
        return FailureCause::ModuleCutShort;
    default:
        return FailureCause::NotAModule;
    }
}

// Code that someone else may change would run as the user: the owner must be the user or root, and nobody
// else may write it. `foreign` and `others` are the causes to give.
FailureCause WhoMayChange(const struct stat& info, FailureCause foreign, FailureCause others) {
    if (info.st_uid != 0 && info.st_uid != ::geteuid())
        return foreign;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 ? others : FailureCause::None;
}

CheckedModule Unreadable(int error) {
    return CheckedModule{FailureCause::Unreadable, std::strerror(error)};
}

} // namespace

CheckedModule CheckModuleFile(const std::string& path) {
    OpenedFile opened = OpenRegularFile(path);
    if (opened.error != 0) {
        const FailureCause cause = CauseFromFileType(opened.type);
        if (cause == FailureCause::Unreadable || cause == FailureCause::None)
            return Unreadable(opened.error);
        return CheckedModule{cause, {}};
    }
    struct stat info {};
    if (::fstat(opened.fd.get(), &info) != 0)
        return Unreadable(errno);
    // Whoever may write the folder may also put another file under the module's name before it is loaded.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0)
        return Unreadable(errno);
    for (const FailureCause cause :
         {WhoMayChange(info, FailureCause::ForeignOwner, FailureCause::OthersCanWrite),
          WhoMayChange(folderInfo, FailureCause::FolderForeignOwner, FailureCause::FolderOthersCanWrite)})
        if (cause != FailureCause::None)
            return CheckedModule{cause, {}};
    std::vector<uint8_t> head;
    if (const int error = ReadFileHead(opened.fd.get(), head, kElfHeadBytes))
        return Unreadable(error);
    return CheckedModule{
        CauseOfLayout(CheckElfLayout(head.data(), head.size(), static_cast<uint64_t>(info.st_size))), {}};
}

} // namespace aw
