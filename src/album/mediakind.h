// SPDX-License-Identifier: MIT
// The classification of album files. The numbers are stored and compared numerically everywhere; the
// first eight are the original kinds, later formats take numbers after them. Code that asks "a movie?" or
// "a still?" asks the predicates below, never a range of numbers, so that a new kind is not forgotten.
#pragma once

namespace aw {

enum MediaKind : int {
    Unsupported = -1,
    StillJpeg = 0,
    StillBmp = 1,
    MovieAsf = 2,
    MovieAsfMarked = 3, // an .asf whose content carries the intake marker; never derived from the extension
    MovieAvi = 4,
    MovieMov = 5,
    MovieMpeg = 6,
    Audio = 7,
    StillPng = 8,
    StillGif = 9,
    StillWebp = 10,
    StillHeif = 11, // .heic and .heif: stored in Data as JPEG, since most browsers cannot show them
    MovieMp4 = 12,  // .mp4 and .m4v
    MovieWebm = 13,
    MovieMkv = 14,
    Movie3gp = 15,
};

constexpr bool IsMovieKind(int kind) {
    switch (kind) {
    case MovieAsf:
    case MovieAsfMarked:
    case MovieAvi:
    case MovieMov:
    case MovieMpeg:
    case MovieMp4:
    case MovieWebm:
    case MovieMkv:
    case Movie3gp:
        return true;
    default:
        return false;
    }
}

constexpr bool IsStillKind(int kind) {
    switch (kind) {
    case StillJpeg:
    case StillBmp:
    case StillPng:
    case StillGif:
    case StillWebp:
    case StillHeif:
        return true;
    default:
        return false;
    }
}

// Stills decoded by the image module's picture decoder (not its JPEG or bitmap paths).
constexpr bool IsDecodedStillKind(int kind) {
    return kind == StillPng || kind == StillGif || kind == StillWebp || kind == StillHeif;
}

// Stills whose Data copy is a JPEG made from the picture rather than the file itself.
constexpr bool IsConvertedStillKind(int kind) {
    return kind == StillBmp || kind == StillHeif;
}

} // namespace aw
