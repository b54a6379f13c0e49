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

} // namespace

CheckedModule CheckModuleFile(const std::string& path) {
    CheckedModule checked;
    OpenedFile opened = OpenRegularFile(path);
    if (opened.error != 0) {
        checked.cause = CauseFromFileType(opened.type);
        if (checked.cause == FailureCause::Unreadable || checked.cause == FailureCause::None) {
            checked.cause = FailureCause::Unreadable;
            checked.detail = std::strerror(opened.error);
        }
        return checked;
    }
    struct stat info {};
    if (::fstat(opened.fd.get(), &info) != 0) {
        checked.cause = FailureCause::Unreadable;
        checked.detail = std::strerror(errno);
        return checked;
    }
    // Code that someone else may change would run as the user: the owner must be the user or root, and
    // nobody else may write it.
    if (info.st_uid != 0 && info.st_uid != ::geteuid()) {
        checked.cause = FailureCause::ForeignOwner;
        return checked;
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        checked.cause = FailureCause::OthersCanWrite;
        return checked;
    }
    // Whoever may write the folder may put another file under the module's name before it is loaded.
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0) {
        checked.cause = FailureCause::Unreadable;
        checked.detail = std::strerror(errno);
        return checked;
    }
    if (folderInfo.st_uid != 0 && folderInfo.st_uid != ::geteuid()) {
        checked.cause = FailureCause::FolderForeignOwner;
        return checked;
    }
    if ((folderInfo.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        checked.cause = FailureCause::FolderOthersCanWrite;
        return checked;
    }
    std::vector<uint8_t> head;
    if (const int error = ReadFileHead(opened.fd.get(), head, kElfHeadBytes)) {
        checked.cause = FailureCause::Unreadable;
        checked.detail = std::strerror(error);
        return checked;
    }
    checked.cause =
        CauseOfLayout(CheckElfLayout(head.data(), head.size(), static_cast<uint64_t>(info.st_size)));
    return checked;
}

} // namespace aw
