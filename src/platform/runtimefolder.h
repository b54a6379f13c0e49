// SPDX-License-Identifier: MIT
// The folder private to the user that holds the window's instance lock and the hand-over socket:
// $XDG_RUNTIME_DIR when it is set, absolute and short enough for the hand-over socket's address, else a
// folder of its own in /tmp named with the user id.
// In a folder every user can write, another user may plant a file, a link or a folder at that name
// before us; so the folder is made with mode 0700 and, whether made now or found, used only when it is a
// real folder (not a link) owned by this user that no other user may enter. Files found in it are used
// only when this user owns them (OwnerProblem).
//
// Static functions; thread-safe.
#pragma once

#include <string>

extern "C" {
#include <sys/types.h>
}

namespace aw {

class RuntimeFolder {
public:
    // $XDG_RUNTIME_DIR when set, absolute and short enough that the hand-over socket's name in it fits a
    // socket address, else /tmp/albumwright-<uid>; without a closing "/".
    static std::string Path();
    // Makes `folder` (mode 0700) when it is missing and checks it. Empty when it may be used, else the
    // whole text to show (string 3212): the folder and why not, naming the owner of a folder not ours.
    static std::string Prepare(const std::string& folder);

    // Empty when `owner` is this process's user, else the whole text to show for `path`: whose it is.
    static std::string OwnerProblem(const std::string& path, uid_t owner);

    // "name (uid)", or the bare number when the user database does not know the user.
    static std::string UserName(uid_t uid);
};

} // namespace aw
