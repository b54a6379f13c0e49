// SPDX-License-Identifier: MIT
// Why a run failed, for the one extra line the closing message adds: which file and what went wrong.
// Plain values; each step that can fail fills one and the generation thread hands it to its host.
#pragma once

#include <string>
#include <utility>

#include "platform/regularfile.h"

namespace aw {

enum class FailureCause {
    None,
    Unreadable,   // the file cannot be opened or read
    NotAPicture,  // the decoder refuses it (corrupt, truncated, unsupported variant)
    NoMovieFrame, // no first frame could be read from the movie
    TooLarge,     // the picture is beyond the pixel limit
    DiskFull,     // ENOSPC / EDQUOT while writing
    AccessDenied, // EACCES / EPERM / EROFS
    WriteFailed,  // any other write or copy error
    NoWorkFolder, // the work folder is empty or no temporary file can be made in it
    Arrangement,  // the arrangement file cannot be read
    Unexpected,   // something threw while the run worked on the file (out of memory, a host failure)
    // Causes of a file's type, found before it is opened.
    IsFolder = 20, // a folder where a file was expected
    IsFifo,        // a FIFO: refused before any blocking open
    IsDevice,      // a character or block device
    IsSocket,      // a socket or another special file
    IsSource,      // the file would be written by the run but is one of its own sources
    // Why an imaging module file is not loaded.
    OthersCanWrite, // a user other than its owner may write it
    ForeignOwner,   // owned by neither root nor the user running the program
    ModuleCutShort, // its loadable code lies beyond the end of the file
    NotAModule,     // not a shared object this system can load
    NoPlayableCopy, // no copy that browsers play could be made (the video module's reason in `detail`)
    // Why a module's folder makes it unsafe to load.
    FolderOthersCanWrite, // a user other than its owner may write the folder a module is in
    FolderForeignOwner,   // that folder is owned by neither root nor the user running the program
    // Why a picture is refused besides its declared size.
    LargerThanDeclared, // its data holds far more pixels than the size it declares
    // Why a picture is not copied.
    PrivateFieldsKept, // a copy without location, owner and serial fields cannot be made
};

struct RunFailure {
    RunFailure() = default;
    RunFailure(std::string file_, FailureCause cause_, std::string detail_ = {})
        : file(std::move(file_)), cause(cause_), detail(std::move(detail_)) {}

    std::string file; // the file the step was working on (source, destination or page)
    FailureCause cause = FailureCause::None;
    std::string detail; // a library's own words on it, where the cause's text has room for them

    bool empty() const { return cause == FailureCause::None; }
};

// Maps an errno value from a write or copy to its cause.
FailureCause CauseFromErrno(int error);

// The cause for a non-regular file found where a regular one was expected; None for a regular one and
// Unreadable for a missing one.
FailureCause CauseFromFileType(FileType type);

// The reason alone ("it is a FIFO ...") in the user's language; empty for None.
std::string ReasonText(FailureCause cause);

// "The file <file> could not be used: <reason>" in the user's language; empty for no failure.
std::string DescribeFailure(const RunFailure& failure);

} // namespace aw
