// SPDX-License-Identifier: MIT
// The folder private to the user where the program keeps what must not lie in an album folder (the albums'
// records): $XDG_STATE_HOME/albumwright when that is set and absolute, else ~/.local/state/albumwright.
// It is made with its missing parents (mode 0700, as the base directory rules ask) and used only when it
// passes the runtime folder's checks: a real folder of this user that no other user may enter.
//
// Static functions; thread-safe.
#pragma once

#include <string>

namespace aw {

class StateFolder {
public:
    // The folder, without a closing "/"; empty when neither the variable nor a home folder is known.
    static std::string Path();
    // Makes the folder when it is missing and checks it: empty when it may be used, else the whole text
    // to show (string 3212), naming the folder and why not.
    static std::string Prepare();
};

} // namespace aw
