// SPDX-License-Identifier: MIT
// The part of making an item's thumbnail that writes nothing: read the source, decode it (a JPEG at the
// smallest DCT scale that still gives twice the 160 x 120 box), fit it into the box, turn it upright, stamp
// a movie's film mark and encode it at quality 80, all in memory. The run's commit step then writes the
// bytes where the thumbnail goes, in item order (MediaCopier). With a display side (the Gallery), a still
// also gets the copy the page shows in Data, from the same decode (DisplayPicture): the thumbnails are then
// fitted from that copy's pixels.
//
// Pure and reentrant: any thread may prepare any item at any time (the look-ahead workers do); the modules'
// pixel budget applies to each preparation, and one preparation holds at most one picture, released before
// it returns. With a memory budget given, each preparation first takes its part of it, reckoned from the
// file's size and what its decoding holds for the picture size its header declares (RGBA canvases and
// frames included, as the image module reckons them; a movie's size is learnt only by decoding it: one
// whole picture's budget), so that preparations on many threads together stay within that budget.
// The imaging table and the budget are borrowed and must outlive the object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "album/mediakind.h"
#include "album/memorybudget.h"
#include "album/runfailure.h"
#include "imaging/imagingabi.h"

namespace aw {

class Picture;
class PictureSteps;
struct ImagingLibrary;

// A thumbnail for screens of more pixels per CSS pixel, in a box of a whole multiple of 160 x 120.
struct DenserThumbnail {
    std::vector<uint8_t> jpeg;
    int width = 0; // its pixel size
    int height = 0;
};

// A still's copy for screens: a JPEG of at most the display side (photos, bitmaps, HEIF), or a PNG, GIF or
// WebP in its own format; no metadata either way.
struct DisplayPicture {
    std::vector<uint8_t> bytes;
    int width = 0; // its pixel size
    int height = 0;
};

// The outputs of one preparation; a new output is a new field.
struct PreparedThumbnail {
    bool made = false;         // jpeg holds the encoded thumbnail
    std::vector<uint8_t> jpeg; // the thumbnail file's bytes
    int width = 0;             // its displayed size; 0 x 0 when the picture never got that far
    int height = 0;
    RunFailure failure; // why it was not made (empty when made)
    // With densities above 1, when made: the 2x, 3x... thumbnails in that order (never larger than the
    // picture), and the picture's displayed size, which a viewer of the whole picture needs.
    // With a display copy, the size of that copy instead: what the viewer shows.
    std::vector<DenserThumbnail> denser;
    int pictureWidth = 0;
    int pictureHeight = 0;
    DisplayPicture display; // with a display side, for stills, when made
};

class ThumbnailPreparer {
public:
    // The memory one preparation may need at most: a 24-bit picture of the modules' pixel budget.
    static constexpr uint64_t kPictureBytes = uint64_t{AW_MAX_PIXELS} * 3;

    // The long edge of display copies, and their JPEG quality.
    static constexpr int kDisplaySide = 2048;
    static constexpr int kDisplayQuality = 85;

    // densities: 1 the 160 x 120 thumbnail alone; 3 also the 2x and 3x ones, all from one decode at the
    // size the largest needs. display: stills also get their display copy.
    explicit ThumbnailPreparer(const ImagingLibrary& imaging, MemoryBudget* budget = nullptr,
                               int densities = 1, bool display = false)
        : imaging_(imaging), budget_(budget), densities_(densities), display_(display) {}

    // The thumbnail of a still or movie item at `source`. Any other kind (and a source that
    // is not a regular file, which is never opened) is not made, with the cause in `failure`.
    PreparedThumbnail Prepare(const std::string& source, MediaKind kind) const;

private:
    bool MakeDisplayJpeg(PictureSteps& steps, Picture& picture, PreparedThumbnail& prepared) const;
    bool MakeDisplayPicture(const std::vector<uint8_t>& bytes, const std::string& source,
                            PreparedThumbnail& prepared) const;

    const ImagingLibrary& imaging_;
    MemoryBudget* budget_;
    int densities_;
    bool display_;
};

} // namespace aw
