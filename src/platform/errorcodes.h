// SPDX-License-Identifier: MIT
// The two classes of file-system error the program tells apart in its messages: the folder may not be
// written (access denied) and the medium is read-only (write protected). Pure functions; thread-safe.
#pragma once

#include <cerrno>

namespace aw {

inline bool IsAccessDenied(int error) {
    return error == EACCES || error == EPERM;
}

inline bool IsWriteProtected(int error) {
    return error == EROFS;
}

} // namespace aw
