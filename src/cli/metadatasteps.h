// SPDX-License-Identifier: MIT
// The command line's steps that read the items' metadata before a run: the order --sort asks for, and the
// one-line notice on standard error (also under -q) when files that will be published carry the place
// where they were taken and --remove-location was not given. Each item's metadata is read once, and only
// when one of the two needs it. Thread-safety: none needed (the caller's thread only).
#pragma once

#include "cli/commandline.h"

namespace aw {
class ListController;
struct ImagingLibrary;
} // namespace aw

namespace aw::cli {

// The session's list put in the order asked for, then the notice.
void OrderAndNotice(ListController& list, const CommandLine& line, const ImagingLibrary& imaging);

} // namespace aw::cli
