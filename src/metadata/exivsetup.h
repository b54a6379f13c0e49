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

// Held around all work with XMP (decoding, key look-ups, encoding): exiv2 and its toolkit keep a
// process-wide namespace table that decoding adds to and their own locks do not fully cover.
std::mutex& XmpToolkitMutex();

} // namespace aw
