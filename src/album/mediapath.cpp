// SPDX-License-Identifier: MIT
#include "album/mediapath.h"

#include "platform/asciicase.h"
#include "stringtable.h"

namespace aw {
namespace {

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

MediaPath::MediaPath()
    : jpg_(LoadText(TextId::JpgExtension)), mp4_(LoadText(TextId::Mp4Extension)),
      m4a_(LoadText(TextId::M4aExtension)) {
    for (std::size_t i = 0; i < kExtensionCount; ++i)
        table_[i] = {LoadText(kExtensions[i].text), kExtensions[i].kind};
}

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
    MediaKind kind = MediaKind::Unsupported;
    if (KindOf(p.extension, kind) && IsConvertedStillKind(kind))
        return std::string(p.base) + jpg_;
    return std::string(p.base) + std::string(p.extension);
}

std::string MediaPath::PlayableNameOf(std::string_view dataName, MediaKind kind) const {
    if (!IsMovieKind(kind) && kind != MediaKind::Audio)
        return {};
    return WithinNameLimit(std::string(Split(dataName).base) + (kind == MediaKind::Audio ? m4a_ : mp4_));
}

bool MediaPath::KindOf(std::string_view extension, MediaKind& kind) const {
    for (const Entry& e : table_) {
        if (EqualsIgnoringAsciiCase(extension, e.extension)) {
            kind = e.kind;
            return true;
        }
    }
    kind = MediaKind::Unsupported;
    return false;
}

bool MediaPath::IsSupportedExtension(std::string_view extension) const {
    MediaKind kind = MediaKind::Unsupported;
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
