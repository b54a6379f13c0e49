// SPDX-License-Identifier: MIT
// The one-time set-up of the metadata library (exiv2) for a process that reads metadata on several
// threads: its XMP toolkit started once, with namespace registration serialised; its log kept off the
// terminal (hostile files would otherwise print warnings into the command line's output).
//
// Thread-safety: PrepareMetadataLibrary may be called from any thread any number of times; the first call
// does the work and the others wait for it. The front ends call it before the workers start; every
// function of this layer that decodes calls it too, so nothing depends on that order.
#pragma once

#include <mutex>

namespace aw {

void PrepareMetadataLibrary();

// Held around every XMP decode and encode: the toolkit keeps process-wide state (its namespace table)
// that its own locks do not fully cover.
std::mutex& XmpToolkitMutex();

} // namespace aw
