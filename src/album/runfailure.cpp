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
    switch (cause) {
    case FailureCause::None:
        return {};
    case FailureCause::Unreadable:
        return LoadText(TextId::ReasonUnreadable);
    case FailureCause::NotAPicture:
        return LoadText(TextId::ReasonNotPicture);
    case FailureCause::NoMovieFrame:
        return LoadText(TextId::ReasonNoFrame);
    case FailureCause::TooLarge:
        return LoadText(TextId::ReasonTooLarge);
    case FailureCause::DiskFull:
        return LoadText(TextId::ReasonDiskFull);
    case FailureCause::AccessDenied:
        return LoadText(TextId::ReasonAccessDenied);
    case FailureCause::WriteFailed:
        return LoadText(TextId::ReasonNotWritten);
    case FailureCause::NoWorkFolder:
        return LoadText(TextId::ReasonNoTemporary);
    case FailureCause::Arrangement:
        return LoadText(TextId::ReasonArrangementUnreadable);
    case FailureCause::Unexpected:
        return LoadText(TextId::ReasonUnexpected);
    case FailureCause::IsFolder:
        return LoadText(TextId::ReasonFolder);
    case FailureCause::IsFifo:
        return LoadText(TextId::ReasonFifo);
    case FailureCause::IsDevice:
        return LoadText(TextId::ReasonDevice);
    case FailureCause::IsSocket:
        return LoadText(TextId::ReasonSpecialFile);
    case FailureCause::IsSource:
        return LoadText(TextId::ReasonIsSource);
    case FailureCause::OthersCanWrite:
        return LoadText(TextId::ReasonOthersCanChange);
    case FailureCause::ForeignOwner:
        return LoadText(TextId::ReasonForeignOwner);
    case FailureCause::ModuleCutShort:
        return LoadText(TextId::ReasonCutShort);
    case FailureCause::NotAModule:
        return LoadText(TextId::ReasonNotModule);
    case FailureCause::FolderOthersCanWrite:
        return LoadText(TextId::ReasonFolderOthersCanWrite);
    case FailureCause::FolderForeignOwner:
        return LoadText(TextId::ReasonFolderForeignOwner);
    case FailureCause::LargerThanDeclared:
        return LoadText(TextId::ReasonLargerThanDeclared);
    case FailureCause::NoPlayableCopy:
        return LoadText(TextId::NoPlayableCopyReason);
    case FailureCause::PrivateFieldsKept:
        return LoadText(TextId::ReasonPrivateFieldsKept);
    }
    return {};
}

std::string DescribeFailure(const RunFailure& failure) {
    if (failure.empty())
        return {};
    const std::string reason = failure.cause == FailureCause::NoPlayableCopy
                                   ? FormatText(ReasonText(failure.cause), {failure.detail})
                                   : ReasonText(failure.cause);
    return FormatText(LoadText(TextId::FileUnusable), {failure.file, reason});
}

} // namespace aw
