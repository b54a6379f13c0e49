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

std::string DescribeFailure(const RunFailure& failure) {
    if (failure.empty())
        return {};
    // Reason texts are 3001.. in the order of FailureCause after None.
    const int reasonId = 3000 + static_cast<int>(failure.cause);
    return FormatText(LoadText(3000), {failure.file, LoadText(reasonId)});
}

} // namespace aw
