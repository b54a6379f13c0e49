// Why a run failed, for the one extra line the closing message adds: which file and what went wrong.
// Plain values; each step that can fail fills one and the generation thread hands it to its host.
#pragma once

#include <string>

namespace aw {

enum class FailureCause {
    None,
    Unreadable,      // the file cannot be opened or read
    NotAPicture,     // the decoder refuses it (corrupt, truncated, unsupported variant)
    NoMovieFrame,    // no first frame could be read from the movie
    TooLarge,        // the picture is beyond the pixel limit
    DiskFull,        // ENOSPC / EDQUOT while writing
    AccessDenied,    // EACCES / EPERM / EROFS
    WriteFailed,     // any other write or copy error
    NoWorkFolder,    // the work folder is empty or no temporary file can be made in it
    Arrangement,     // the arrangement file cannot be read
    Unexpected,      // something threw while the run worked on the file (out of memory, a host failure)
};

struct RunFailure {
    std::string file; // the file the step was working on (source, destination or page)
    FailureCause cause = FailureCause::None;

    bool empty() const { return cause == FailureCause::None; }
};

// Maps an errno value from a write or copy to its cause.
FailureCause CauseFromErrno(int error);

// "The file <file> could not be used: <reason>" in the user's language; empty for no failure.
std::string DescribeFailure(const RunFailure& failure);

} // namespace aw
