// SPDX-License-Identifier: MIT
#include "album/mediapath.h"

#include "stringtable.h"

namespace aw {
namespace {

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

struct Parts {
    std::string_view drive, directory, base, extension;
};

Parts Split(std::string_view path) {
    Parts p;
    std::size_t pos = 0;
    if (path.size() >= 2 && path[1] == ':') {
        p.drive = path.substr(0, 2);
        pos = 2;
    }
    std::string_view rest = path.substr(pos);
    // A backslash is part of a name on this system, never a separator.
    const std::size_t lastSep = rest.rfind('/');
    std::string_view name = rest;
    if (lastSep != std::string_view::npos) {
        p.directory = rest.substr(0, lastSep + 1);
        name = rest.substr(lastSep + 1);
    }
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        p.base = name;
    } else {
        p.base = name.substr(0, dot);
        p.extension = name.substr(dot);
    }
    return p;
}

} // namespace

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i]))
            return false;
    return true;
}

MediaPath::MediaPath()
    : table_{{{LoadText(300), StillJpeg}, {LoadText(321), StillJpeg}, {LoadText(322), StillJpeg},
              {LoadText(301), StillBmp},  {LoadText(302), MovieAsf},  {LoadText(303), MovieAvi},
              {LoadText(327), MovieMov},  {LoadText(328), MovieMpeg}, {LoadText(329), MovieMpeg},
              {LoadText(304), Audio},     {LoadText(330), Audio},     {LoadText(331), Audio},
              {LoadText(350), StillPng},  {LoadText(351), StillGif},  {LoadText(352), StillWebp},
              {LoadText(353), StillHeif}, {LoadText(354), StillHeif}, {LoadText(355), MovieMp4},
              {LoadText(356), MovieMp4},  {LoadText(357), MovieWebm}, {LoadText(358), MovieMkv},
              {LoadText(359), Movie3gp}}},
      jpg_(LoadText(300)) {}

std::string MediaPath::FolderOf(std::string_view path) {
    const Parts p = Split(path);
    return std::string(p.drive) + std::string(p.directory);
}

std::string MediaPath::BaseNameOf(std::string_view path) {
    return std::string(Split(path).base);
}

std::string MediaPath::ExtensionOf(std::string_view path) {
    return std::string(Split(path).extension);
}

std::string MediaPath::ThumbNameOf(std::string_view path) const {
    return WithinNameLimit("th_" + BaseNameOf(path) + jpg_);
}

std::string MediaPath::WithinNameLimit(std::string_view name) {
    if (name.size() <= kNameMax)
        return std::string(name);
    // Shortened at the end of the base name, so that the extension (the kind) and any numbering prefix stay.
    const std::size_t dot = name.rfind('.');
    const std::size_t extension = dot == std::string_view::npos || dot == 0 ? 0 : name.size() - dot;
    if (extension >= kNameMax)
        return std::string(name.substr(0, kNameMax)); // no kind of ours has such an extension
    std::size_t keep = kNameMax - extension;
    // Never cut a UTF-8 sequence: step back over continuation bytes to the start of the cut character.
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80)
        --keep;
    return std::string(name.substr(0, keep)) + std::string(name.substr(name.size() - extension));
}

std::string MediaPath::DataNameOf(std::string_view path) const {
    const Parts p = Split(path);
    int kind = Unsupported;
    if (KindOf(p.extension, kind) && IsConvertedStillKind(kind))
        return std::string(p.base) + jpg_;
    return std::string(p.base) + std::string(p.extension);
}

bool MediaPath::KindOf(std::string_view extension, int& kind) const {
    for (const Entry& e : table_) {
        if (EqualsIgnoringAsciiCase(extension, e.extension)) {
            kind = e.kind;
            return true;
        }
    }
    kind = Unsupported;
    return false;
}

bool MediaPath::IsSupportedExtension(std::string_view extension) const {
    int kind = Unsupported;
    return KindOf(extension, kind);
}

bool MediaPath::IsWebSafeName(std::string_view name) {
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c == '.' || c == '_';
        if (!ok)
            return false;
    }
    return true;
}

bool MediaPath::PrefixBeforeBackslash(std::string_view path, int n, std::string& prefix) {
    prefix.clear();
    if (n < 0)
        return false;
    if (n == 0)
        return true;
    int seen = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == '/' && ++seen == n) {
            prefix.assign(path.substr(0, i));
            return true;
        }
    }
    prefix.assign(path);
    return false;
}

} // namespace aw
