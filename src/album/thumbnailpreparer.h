// The part of making an item's thumbnail that writes nothing: read the source, decode it (a JPEG at the
// smallest DCT scale that still gives twice the 160 x 120 box), fit it into the box, turn it upright, stamp
// a movie's film mark and encode it at quality 80, all in memory. The run's commit step then writes the
// bytes where the thumbnail goes, in item order (MediaCopier).
//
// Pure and reentrant: any thread may prepare any item at any time (the look-ahead workers do); the modules'
// pixel budget applies to each preparation, and one preparation holds at most one picture, released before
// it returns. The imaging table is borrowed and must outlive the object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "album/runfailure.h"

namespace aw {

struct ImagingLibrary;

struct PreparedThumbnail {
    bool made = false;         // jpeg holds the encoded thumbnail
    std::vector<uint8_t> jpeg; // the thumbnail file's bytes
    int width = 0;             // its displayed size; 0 x 0 when the picture never got that far
    int height = 0;
    RunFailure failure; // why it was not made (empty when made)
};

class ThumbnailPreparer {
public:
    explicit ThumbnailPreparer(const ImagingLibrary& imaging) : imaging_(imaging) {}

    // The thumbnail of a still or movie item at `source`. Any other kind (and a source that
    // is not a regular file, which is never opened) is not made, with the cause in `failure`.
    PreparedThumbnail Prepare(const std::string& source, int kind) const;

private:
    const ImagingLibrary& imaging_;
};

} // namespace aw
