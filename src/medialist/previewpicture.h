// SPDX-License-Identifier: MIT
// The picture the drop pane shows for an item: scaled to fit a 141 x 271 box, never enlarged, turned
// upright by its EXIF orientation like the album's thumbnails. Plain functions; thread-safe, so the
// preparation may run on a worker while the window stays responsive.
#pragma once

#include <string>

#include "album/boxfit.h"
#include "album/mediakind.h"
#include "album/picture.h"

namespace aw {

struct ImagingLibrary;

constexpr int kPreviewBoxWidth = 141;
constexpr int kPreviewBoxHeight = 271;

// What the preview of an item of a kind is: a picture prepared from the file (stills, a movie's first
// frame), the fixed picture that stands for sounds, or nothing (a kind the program cannot show). The one
// place that decides it: the list controller asks, the pane draws what it is told.
enum class PreviewKind { Picture, SoundPicture, None };
PreviewKind PreviewKindOf(MediaKind kind);

// Reads and decodes the file at `path` of MediaKind `kind` into `out`: a 24-bit bottom-up picture of at
// most 141 x 271, for the kinds whose preview is a Picture. A SoundPicture needs nothing prepared: true with
// `out` left empty. False for any other kind and for every file the modules refuse; `out` is then empty.
// A file that cannot be read fails before any module is called. `imaging` is only read.
bool PreparePreview(const std::string& path, MediaKind kind, const ImagingLibrary& imaging, Picture& out);

} // namespace aw
