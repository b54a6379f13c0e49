// SPDX-License-Identifier: MIT
// The steps that turn a source file into thumbnail or Data JPEG bytes, each working on one held Picture
// and each true or false. A false step leaves the picture's earlier state (or none) and records why in
// the RunFailure it was given; what a step allocated is released on every path.
//
// The imaging table, the picture and the failure record are borrowed. Not thread-safe: one PictureSteps
// per thread (the modules themselves are reentrant).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "album/boxfit.h"
#include "album/mediakind.h"
#include "album/picture.h"
#include "album/runfailure.h"

namespace aw {

struct ImagingLibrary;

class PictureSteps {
public:
    PictureSteps(const ImagingLibrary& imaging, Picture& picture, RunFailure& failure);

    // Whole source files are read before decoding; none larger is taken.
    static constexpr std::size_t kMaxSourceBytes = std::size_t{1} << 30;

    // Reads a .bmp file and keeps it as stored (description and pixels as the modules take them).
    bool LoadBitmapFile(const std::string& path);
    // The same from the file's bytes, read by the caller from `path`.
    bool LoadBitmapBytes(const std::vector<uint8_t>& bytes, const std::string& path);
    // Decodes a JPEG file to 24 bits and notes its EXIF orientation. With a box given, a decoder that can
    // shrink in the DCT domain may deliver a smaller picture (at least `oversample` times the picture's fit
    // into the box: twice for an area resize that stays sharp, once for a copy the DCT scaling already
    // averaged); FitIntoBox still sizes from the full picture.
    bool DecodeJpegFile(const std::string& path, PixelSize box = {});
    // The same from the file's bytes, read by the caller from `path`.
    bool DecodeJpegBytes(const std::vector<uint8_t>& bytes, const std::string& path, PixelSize box,
                         int oversample = 2);
    // The same for the window's preview, from the camera's own preview image stored in the file when it
    // shows the same frame and is large enough for the box; from the photo otherwise.
    bool DecodeJpegForPreview(const std::string& path, PixelSize box);
    // Decodes a PNG, GIF, WebP or HEIF file to 24 bits (turned as the file declares, colours in sRGB,
    // transparency on white). With a box given, a preview stored in the file may stand in when it is at
    // least twice the box; FitIntoBox still sizes from the full picture.
    bool DecodePictureFile(const std::string& path, PixelSize box = {});
    // The same from the file's bytes, already read; `path` names it in a failure.
    bool DecodePictureBytes(const std::vector<uint8_t>& bytes, const std::string& path, PixelSize box = {});
    // The first frame of a movie in 24 bits.
    bool ReadFirstFrame(const std::string& path);
    // Any bitmap as stored into 24 bits.
    bool ConvertTo24Bit();
    // Scales the 24-bit picture into the box (unless it fits already) and turns it upright by the noted
    // orientation; size() is then the picture's displayed size.
    bool FitIntoBox(PixelSize box);
    // Stamps the kind's film mark near the bottom-right corner of the 24-bit picture. Never fails.
    void StampMovieMark(MediaKind kind);
    // Encodes the held picture (24-bit, or a bitmap as stored) as JPEG at `quality`.
    bool EncodeJpeg(int quality);
    // Takes the picture a FitIntoBox made, upright, as the picture decoded: later fits start from it and
    // turn nothing, while shownSize() stays the whole picture's.
    void SettleUpright();
    // Keeps a copy of the held 24-bit picture as decoded, so that one decode serves several boxes:
    // RestoreDecoded brings it back (and its full size) after a FitIntoBox changed the held one. False
    // when there is no 24-bit picture or no memory for the copy.
    bool KeepDecoded();
    bool RestoreDecoded();

    // Size given by the last FitIntoBox.
    PixelSize size() const { return size_; }
    // The whole picture's size as shown (turned by its orientation), before any fitting.
    PixelSize shownSize() const;
    // EXIF orientation of the last decoded JPEG (1 for every other source).
    int orientation() const { return orientation_; }

private:
    bool Fail(const std::string& file, FailureCause cause);
    // Why the image module's last call on this thread failed, as far as it tells.
    FailureCause ModuleFailure() const;
    bool HoldRgb24(MallocBuffer description, MallocBuffer pixels, std::size_t held, const std::string& file);
    bool Reorient();
    bool DecodeJpeg(const std::string& path, PixelSize box, bool preferEmbedded);
    bool DecodeJpeg(const std::vector<uint8_t>& bytes, const std::string& path, PixelSize box,
                    bool preferEmbedded, int oversample = 2);
    bool DecodeEmbeddedPreview(const std::vector<uint8_t>& bytes, PixelSize stored, int orientation,
                               PixelSize box);
    static PixelSize DecodeMinimum(PixelSize stored, int orientation, PixelSize box, int oversample = 2);

    const ImagingLibrary& imaging_;
    Picture& picture_;
    RunFailure& failure_;
    PixelSize size_;
    PixelSize full_; // size of the source before any reduction while decoding
    int orientation_ = 1;
    std::string source_;
    MallocBuffer keptDescription_;
    MallocBuffer keptPixels_;
    std::size_t keptPixelsSize_ = 0;
    PixelSize keptFull_;
};

} // namespace aw
