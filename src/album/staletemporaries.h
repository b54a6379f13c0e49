// SPDX-License-Identifier: MIT
// What runs of an album that were killed (SIGKILL, a power cut) left in it: the temporary siblings of the
// page, the Data and the Thumb files (AtomicFile's "HTM" + six letters or digits + ".tmp"), which
// nothing else removes. Free function; the caller holds the album's lock alone (AlbumLock), since a run
// going on beside it has temporaries of exactly those names.
#pragma once

#include <string>

namespace aw {

// Removes the regular files of this user with such names from `albumFolder` and its Data and Thumb
// folders, each folder opened without following a link; the number removed.
int RemoveStaleTemporaries(const std::string& albumFolder);

} // namespace aw
