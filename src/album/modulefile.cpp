#include "album/modulefile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "album/elfsegments.h"
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

// The first bytes of the file, up to what the layout check needs; 0 or the errno of the read.
int ReadHead(int fd, uint64_t fileSize, std::vector<uint8_t>& head) {
    head.resize(static_cast<std::size_t>(std::min<uint64_t>(fileSize, kElfHeadBytes)));
    std::size_t done = 0;
    while (done < head.size()) {
        const ssize_t n = ::pread(fd, head.data() + done, head.size() - done, static_cast<off_t>(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : EIO; // the file shrank meanwhile
        done += static_cast<std::size_t>(n);
    }
    return 0;
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
    std::vector<uint8_t> head;
    const auto size = static_cast<uint64_t>(info.st_size);
    if (const int error = ReadHead(opened.fd.get(), size, head)) {
        checked.cause = FailureCause::Unreadable;
        checked.detail = std::strerror(error);
        return checked;
    }
    checked.cause = CauseOfLayout(CheckElfLayout(head.data(), head.size(), size));
    return checked;
}

} // namespace aw
