// The classification of album files. The numbers are stored and compared numerically everywhere.
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
};

constexpr bool IsMovieKind(int kind) { return kind >= MovieAsf && kind <= MovieMpeg; }
constexpr bool IsStillKind(int kind) { return kind == StillJpeg || kind == StillBmp; }

} // namespace aw
