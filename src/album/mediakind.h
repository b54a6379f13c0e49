// SPDX-License-Identifier: MIT
// The classification of album files. The numbers are stored (the update record's text); the first eight
// are the original kinds, later formats take numbers after them. Code that asks "a movie?" or
// "a still?" asks the predicates below, never a range of numbers, so that a new kind is not forgotten.
#pragma once

namespace aw {

enum class MediaKind : int {
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

constexpr bool IsMovieKind(MediaKind kind) {
    switch (kind) {
    case MediaKind::MovieAsf:
    case MediaKind::MovieAsfMarked:
    case MediaKind::MovieAvi:
    case MediaKind::MovieMov:
    case MediaKind::MovieMpeg:
    case MediaKind::MovieMp4:
    case MediaKind::MovieWebm:
    case MediaKind::MovieMkv:
    case MediaKind::Movie3gp:
        return true;
    default:
        return false;
    }
}

constexpr bool IsStillKind(MediaKind kind) {
    switch (kind) {
    case MediaKind::StillJpeg:
    case MediaKind::StillBmp:
    case MediaKind::StillPng:
    case MediaKind::StillGif:
    case MediaKind::StillWebp:
    case MediaKind::StillHeif:
        return true;
    default:
        return false;
    }
}

// Stills decoded by the image module's picture decoder (not its JPEG or bitmap paths).
constexpr bool IsDecodedStillKind(MediaKind kind) {
    return kind == MediaKind::StillPng || kind == MediaKind::StillGif || kind == MediaKind::StillWebp ||
           kind == MediaKind::StillHeif;
}

// Stills whose Data copy is a JPEG made from the picture rather than the file itself.
constexpr bool IsConvertedStillKind(MediaKind kind) {
    return kind == MediaKind::StillBmp || kind == MediaKind::StillHeif;
}

// Stills whose display copy in the Gallery stays in their own format (a JPEG is made of every other still).
constexpr bool KeepsItsFormat(MediaKind kind) {
    return kind == MediaKind::StillPng || kind == MediaKind::StillGif || kind == MediaKind::StillWebp;
}

} // namespace aw
