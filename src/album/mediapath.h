// SPDX-License-Identifier: MIT
// Recognises album files by extension and composes the names the album writes. Pure functions of their
// arguments; nothing touches the file system. Cheap to construct; not shared between threads.
//
// A path splits into drive ("X:" when the second character is ':'), directory (up to and including the
// last "/"; a backslash is part of a name here), base name, and extension (from the last "." of the final
// component, dot included).
#pragma once

#include <array>
#include <iterator>
#include <string>
#include <string_view>

#include "album/mediakind.h"

namespace aw {

class MediaPath {
public:
    // The string ids of every supported extension, in the order KindOf tries them: the original twelve,
    // then today's formats.
    static constexpr int kExtensionIds[] = {300, 321, 322, 301, 302, 303, 327, 328, 329, 304, 330,
                                            331, 350, 351, 352, 353, 354, 355, 356, 357, 358, 359};
    static constexpr std::size_t kExtensionCount = std::size(kExtensionIds);

    MediaPath(); // loads the extensions from the string table

    static std::string FolderOf(std::string_view path);    // drive + directory, separator kept
    static std::string BaseNameOf(std::string_view path);  // "/Photos/a.b.jpg" -> "a.b"
    static std::string ExtensionOf(std::string_view path); // as written, dot included; "" when none
    // The longest file name the file systems take (NAME_MAX, in bytes).
    static constexpr std::size_t kNameMax = 255;

    std::string ThumbNameOf(std::string_view path) const; // "th_" + base name + ".jpg", WithinNameLimit
    // `name` when it has at most kNameMax bytes; else its base name shortened at the end, keeping UTF-8
    // sequences whole, so that base + extension fit.
    static std::string WithinNameLimit(std::string_view name);
    // base + extension; a kind stored as JPEG (".bmp", ".heic", ".heif", any case) gets ".jpg".
    std::string DataNameOf(std::string_view path) const;

    // Sets the kind of the first table entry matching `extension` without ASCII case; false (and
    // Unsupported) when none matches. Never gives MovieAsfMarked.
    bool KindOf(std::string_view extension, int& kind) const;
    bool IsSupportedExtension(std::string_view extension) const;

    // Every character an ASCII letter, digit, '.' or '_'; an empty name is safe.
    static bool IsWebSafeName(std::string_view name);

    // Counts separators from the start of `path`; this platform's native separator "/" is the one counted.
    // At the n-th one, `prefix` is the text before it and the result true; with fewer than n, `prefix` is
    // the whole path and the result false. n = 0: empty and true; n < 0: empty and false.
    static bool PrefixBeforeBackslash(std::string_view path, int n, std::string& prefix);

private:
    struct Entry {
        std::string extension;
        MediaKind kind;
    };
    std::array<Entry, kExtensionCount> table_;
    std::string jpg_; // string 300
};

// ASCII-only case-insensitive equality, as the extension table compares.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace aw
