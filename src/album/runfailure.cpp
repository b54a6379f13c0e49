// SPDX-License-Identifier: MIT
#include "album/runfailure.h"

#include <cerrno>

#include "stringtable.h"

namespace aw {

FailureCause CauseFromErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return FailureCause::DiskFull;
    case EACCES:
    case EPERM:
    case EROFS:
        return FailureCause::AccessDenied;
    case ENOENT:
    case EISDIR:
        return FailureCause::Unreadable;
    default:
        return FailureCause::WriteFailed;
    }
}

FailureCause CauseFromFileType(FileType type) {
    switch (type) {
    case FileType::Regular:
        return FailureCause::None;
    case FileType::Missing:
        return FailureCause::Unreadable;
    case FileType::Folder:
        return FailureCause::IsFolder;
    case FileType::Fifo:
        return FailureCause::IsFifo;
    case FileType::CharDevice:
    case FileType::BlockDevice:
        return FailureCause::IsDevice;
    default:
        return FailureCause::IsSocket;
    }
}

std::string ReasonText(FailureCause cause) {
    // Reason texts are 3000 + the cause's value.
    return cause == FailureCause::None ? std::string() : LoadText(3000 + static_cast<int>(cause));
}

std::string DescribeFailure(const RunFailure& failure) {
    if (failure.empty())
        return {};
    const std::string reason = failure.cause == FailureCause::NoPlayableCopy
                                   ? FormatText(ReasonText(failure.cause), {failure.detail})
                                   : ReasonText(failure.cause);
    return FormatText(LoadText(3000), {failure.file, reason});
}

} // namespace aw
