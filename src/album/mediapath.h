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
#include "stringtable.h"

namespace aw {

class MediaPath {
public:
    // Every supported extension and its kind, in the order KindOf tries them: the original twelve, then
    // today's formats.
    struct Extension {
        TextId text;
        MediaKind kind;
    };
    static constexpr Extension kExtensions[] = {
        {TextId::JpgExtension, MediaKind::StillJpeg},  {TextId::JpegExtension, MediaKind::StillJpeg},
        {TextId::JpeExtension, MediaKind::StillJpeg},  {TextId::BmpExtension, MediaKind::StillBmp},
        {TextId::AsfExtension, MediaKind::MovieAsf},   {TextId::AviExtension, MediaKind::MovieAvi},
        {TextId::MovExtension, MediaKind::MovieMov},   {TextId::MpgExtension, MediaKind::MovieMpeg},
        {TextId::MpegExtension, MediaKind::MovieMpeg}, {TextId::WavExtension, MediaKind::Audio},
        {TextId::WmaExtension, MediaKind::Audio},      {TextId::Mp3Extension, MediaKind::Audio},
        {TextId::PngExtension, MediaKind::StillPng},   {TextId::GifExtension, MediaKind::StillGif},
        {TextId::WebpExtension, MediaKind::StillWebp}, {TextId::HeicExtension, MediaKind::StillHeif},
        {TextId::HeifExtension, MediaKind::StillHeif}, {TextId::Mp4Extension, MediaKind::MovieMp4},
        {TextId::M4vExtension, MediaKind::MovieMp4},   {TextId::WebmExtension, MediaKind::MovieWebm},
        {TextId::MkvExtension, MediaKind::MovieMkv},   {TextId::ThreeGpExtension, MediaKind::Movie3gp},
        {TextId::M4aExtension, MediaKind::Audio},      {TextId::AacExtension, MediaKind::Audio},
        {TextId::OggExtension, MediaKind::Audio},      {TextId::OpusExtension, MediaKind::Audio},
        {TextId::FlacExtension, MediaKind::Audio}};
    static constexpr std::size_t kExtensionCount = std::size(kExtensions);

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
    // The name of the copy browsers play of an item whose Data name is `dataName`: its base name + ".mp4"
    // for a movie, + ".m4a" for a sound, WithinNameLimit; empty for other kinds.
    std::string PlayableNameOf(std::string_view dataName, MediaKind kind) const;

    // Sets the kind of the first table entry matching `extension` without ASCII case; false (and
    // Unsupported) when none matches. Never gives MovieAsfMarked.
    bool KindOf(std::string_view extension, MediaKind& kind) const;
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
    std::string jpg_;
    std::string mp4_;
    std::string m4a_;
};

} // namespace aw
