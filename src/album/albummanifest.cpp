// SPDX-License-Identifier: MIT
#include "album/albummanifest.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/atomicfile.h"
#include "platform/runtimefolder.h"
#include "platform/uniquefd.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr std::string_view kMagic = "albumwright manifest ";
constexpr int kFormat = 2;
constexpr std::string_view kProgram = "program ";
constexpr std::string_view kEnd = "end ";
constexpr std::string_view kAlbum = "album ";
constexpr std::string_view kPage = "page ";
constexpr std::string_view kChoice = "choice ";
constexpr int kLargestThumbSide = 65535;
constexpr int kBackgroundNumber = 100;      // the background's kind in the text, beyond every MediaKind
constexpr int kPlayableNumbers = 200;       // + the copy kind: an item's copy browsers play
constexpr int kDisplayNumbers = 300;        // + the kind: a still's display copy
constexpr int kWithoutPrivateFields = 1000; // added to the kind of a copy without private fields

std::uint64_t Checksum(std::string_view text) {
    std::uint64_t hash = 0xcbf29ce484222325ULL; // FNV-1a
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

// Compared as text: a parsed number would also take the same digits in upper case.
std::string ChecksumText(std::string_view text) {
    char checksum[17];
    std::snprintf(checksum, sizeof checksum, "%016llx", static_cast<unsigned long long>(Checksum(text)));
    return checksum;
}

std::string Encode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte == '%' || byte == 0x7f) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

bool Decode(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        unsigned value = 0;
        if (i + 2 >= text.size())
            return false;
        const auto [rest, error] = std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16);
        if (error != std::errc() || rest != text.data() + i + 3)
            return false;
        out += static_cast<char>(value);
        i += 2;
    }
    return true;
}

template <typename Number> bool ParseNumber(std::string_view text, Number& value) {
    const auto [rest, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && rest == text.data() + text.size();
}

std::vector<std::string_view> Split(std::string_view line, char separator) {
    std::vector<std::string_view> parts;
    for (;;) {
        const std::size_t at = line.find(separator);
        parts.push_back(line.substr(0, at));
        if (at == std::string_view::npos)
            return parts;
        line.remove_prefix(at + 1);
    }
}

// A plain file name in one folder: a record naming anything else would lead a prune out of the album.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// Format 1 has no change times: size, time, device, inode; format 2 has size, time, change time, device,
// inode.
std::size_t IdentityFields(int format) {
    return format == 1 ? 4 : 5;
}

bool ParseIdentity(const std::vector<std::string_view>& fields, std::size_t first, int format,
                   FileIdentity& identity) {
    identity.ctimeNs = FileIdentity::kNoChangeTime;
    const bool changeTime = format != 1;
    return ParseNumber(fields[first], identity.size) && ParseNumber(fields[first + 1], identity.mtimeNs) &&
           (!changeTime || ParseNumber(fields[first + 2], identity.ctimeNs)) &&
           ParseNumber(fields[first + 2 + changeTime], identity.device) &&
           ParseNumber(fields[first + 3 + changeTime], identity.inode);
}

bool ParseEntry(std::string_view line, int format, ManifestEntry& entry) {
    const std::vector<std::string_view> fields = Split(line, ' ');
    const std::size_t identity = IdentityFields(format);
    if (fields.size() != 6 + 2 * identity || fields[0].size() != 1 ||
        std::string_view("DT23PO").find(fields[0][0]) == std::string_view::npos)
        return false;
    entry.folder = fields[0][0];
    int kind = 0;
    if (!ParseNumber(fields[1], kind) || !ParseNumber(fields[2], entry.thumbWidth) ||
        !ParseNumber(fields[3], entry.thumbHeight) || entry.thumbWidth < 0 || entry.thumbHeight < 0 ||
        entry.thumbWidth > kLargestThumbSide || entry.thumbHeight > kLargestThumbSide)
        return false;
    if (!ParseIdentity(fields, 4, format, entry.source) ||
        !ParseIdentity(fields, 4 + identity, format, entry.written))
        return false;
    const bool withoutPrivateFields = kind >= kWithoutPrivateFields;
    if (withoutPrivateFields)
        kind -= kWithoutPrivateFields;
    entry.kind = kind == kBackgroundNumber ? RecordKind::Background()
                 : kind > kPlayableNumbers && kind < kPlayableNumbers + 100
                     ? RecordKind::Playable(kind - kPlayableNumbers)
                 : kind >= kDisplayNumbers && kind < kDisplayNumbers + 100
                     ? RecordKind::Display(static_cast<MediaKind>(kind - kDisplayNumbers))
                     : RecordKind{static_cast<MediaKind>(kind)};
    entry.kind.withoutPrivateFields = withoutPrivateFields;
    const std::size_t names = 4 + 2 * identity;
    return Decode(fields[names], entry.name) && IsPlainName(entry.name) &&
           Decode(fields[names + 1], entry.sourcePath) && entry.sourcePath.size() > 1 &&
           entry.sourcePath[0] == '/' && entry.sourcePath.find('\0') == std::string::npos;
}

void AppendIdentity(std::string& line, const FileIdentity& identity) {
    line += ' ' + std::to_string(identity.size) + ' ' + std::to_string(identity.mtimeNs) + ' ' +
            std::to_string(identity.ctimeNs) + ' ' + std::to_string(identity.device) + ' ' +
            std::to_string(identity.inode);
}

// The choices by the names the record gives them; a name this version does not know is passed over.
std::vector<std::pair<std::string, std::string>> ChoiceLines(const AlbumChoices& c) {
    const auto flag = [](bool on) { return std::string(on ? "1" : "0"); };
    std::vector<std::pair<std::string, std::string>> lines{{"title", c.title},
                                                           {"font-colour", c.fontColour},
                                                           {"background-colour", c.backgroundColour},
                                                           {"background", std::to_string(c.background)},
                                                           {"arrangement", std::to_string(c.arrangement)},
                                                           {"arrangement-file", c.arrangementFile},
                                                           {"embed", flag(c.embed)},
                                                           {"originals", flag(c.originals)},
                                                           {"remove-location", flag(c.removeLocation)},
                                                           {"sort", c.sort}};
    // Plain names hold no "/": it separates them.
    if (!c.order.empty()) {
        std::string order;
        for (const std::string& name : c.order)
            order += (order.empty() ? "" : "/") + name;
        lines.emplace_back("order", std::move(order));
    }
    return lines;
}

bool ParseChoice(std::string_view name, const std::string& value, AlbumChoices& c) {
    const auto flag = [&value](bool& on) {
        on = value == "1";
        return value == "0" || value == "1";
    };
    if (name == "title")
        c.title = value;
    else if (name == "font-colour")
        c.fontColour = value;
    else if (name == "background-colour")
        c.backgroundColour = value;
    else if (name == "background")
        return ParseNumber(std::string_view(value), c.background);
    else if (name == "arrangement")
        return ParseNumber(std::string_view(value), c.arrangement);
    else if (name == "arrangement-file")
        c.arrangementFile = value;
    else if (name == "embed")
        return flag(c.embed);
    else if (name == "originals")
        return flag(c.originals);
    else if (name == "remove-location")
        return flag(c.removeLocation);
    else if (name == "sort")
        c.sort = value;
    else if (name == "order") {
        c.order.clear();
        for (const std::string_view item : Split(value, '/')) {
            if (!IsPlainName(std::string(item)))
                return false;
            c.order.emplace_back(item);
        }
    }
    return true;
}

// One line before the entries; false for anything that is no header line of `format`.
bool ParseHeaderLine(std::string_view line, RecordHeader& header) {
    std::string value;
    if (line.substr(0, kAlbum.size()) == kAlbum)
        return Decode(line.substr(kAlbum.size()), header.albumPath) && !header.albumPath.empty() &&
               header.albumPath[0] == '/';
    if (line.substr(0, kPage.size()) == kPage)
        return Decode(line.substr(kPage.size()), header.pageName) && IsPlainName(header.pageName);
    if (line.substr(0, kChoice.size()) != kChoice)
        return false;
    const std::vector<std::string_view> parts = Split(line.substr(kChoice.size()), ' ');
    return parts.size() == 2 && Decode(parts[1], value) && ParseChoice(parts[0], value, header.choices);
}

} // namespace

std::string FormatManifest(const RecordHeader& header, const std::vector<ManifestEntry>& entries,
                           std::string_view version) {
    std::string text = std::string(kMagic) + std::to_string(kFormat) + '\n';
    text += std::string(kProgram) + Encode(version) + '\n';
    if (!header.albumPath.empty())
        text += std::string(kAlbum) + Encode(header.albumPath) + '\n';
    if (!header.pageName.empty())
        text += std::string(kPage) + Encode(header.pageName) + '\n';
    for (const auto& [name, value] : ChoiceLines(header.choices))
        text += std::string(kChoice) + name + ' ' + Encode(value) + '\n';
    for (const ManifestEntry& entry : entries) {
        std::string line(1, entry.folder);
        int kind = entry.kind.background ? kBackgroundNumber
                   : entry.kind.playable ? kPlayableNumbers + entry.kind.playable
                   : entry.kind.display  ? kDisplayNumbers + static_cast<int>(entry.kind.item)
                                         : static_cast<int>(entry.kind.item);
        kind += entry.kind.withoutPrivateFields ? kWithoutPrivateFields : 0;
        line += ' ' + std::to_string(kind) + ' ' + std::to_string(entry.thumbWidth) + ' ' +
                std::to_string(entry.thumbHeight);
        AppendIdentity(line, entry.source);
        AppendIdentity(line, entry.written);
        text += line + ' ' + Encode(entry.name) + ' ' + Encode(entry.sourcePath) + '\n';
    }
    return SealManifest(std::move(text), entries.size());
}

std::string SealManifest(std::string text, std::size_t entryCount) {
    const std::string checksum = ChecksumText(text);
    return text + std::string(kEnd) + std::to_string(entryCount) + ' ' + checksum + '\n';
}

ManifestRead ParseManifest(std::string_view text, std::string_view version) {
    ManifestRead read;
    const std::size_t firstEnd = text.find('\n');
    const std::string_view first = text.substr(0, firstEnd);
    if (first.substr(0, kMagic.size()) != kMagic) {
        read.state = ManifestState::Foreign;
        return read;
    }
    int format = 0;
    read.state = ManifestState::Damaged;
    if (!ParseNumber(first.substr(kMagic.size()), format) || format < 1 || firstEnd == std::string_view::npos)
        return read;
    if (format > kFormat) {
        read.state = ManifestState::Future;
        return read;
    }
    // The closing line vouches for everything before it: a cut or edited record fails here.
    if (text.size() < 2 || text.back() != '\n')
        return read;
    const std::size_t endStart = text.rfind('\n', text.size() - 2) + 1;
    if (endStart < firstEnd + 2) // no line between the first and the closing one
        return read;
    const std::vector<std::string_view> end = Split(text.substr(endStart, text.size() - 1 - endStart), ' ');
    std::size_t count = 0;
    if (end.size() != 3 || end[0] != kEnd.substr(0, 3) || !ParseNumber(end[1], count) ||
        end[2] != ChecksumText(text.substr(0, endStart)))
        return read;
    const std::vector<std::string_view> lines =
        Split(text.substr(firstEnd + 1, endStart - firstEnd - 2), '\n');
    std::string recordedVersion;
    if (lines.empty() || lines[0].substr(0, kProgram.size()) != kProgram ||
        !Decode(lines[0].substr(kProgram.size()), recordedVersion) || lines.size() - 1 < count)
        return read;
    if (recordedVersion != version) {
        read.state = ManifestState::OtherProgram;
        return read;
    }
    // Format 1 has no header lines: its page was the one every arrangement wrote then.
    const std::size_t headerLines = lines.size() - 1 - count;
    if (format == 1 && headerLines != 0)
        return read;
    RecordHeader header;
    if (format == 1)
        header.pageName = LoadText(TextId::IndexPageName);
    for (std::size_t i = 1; i <= headerLines; ++i)
        if (!ParseHeaderLine(lines[i], header))
            return read;
    std::vector<ManifestEntry> entries(count);
    for (std::size_t i = 0; i < count; ++i)
        if (!ParseEntry(lines[1 + headerLines + i], format, entries[i]))
            return read;
    read.state = ManifestState::Read;
    read.format = format;
    read.header = std::move(header);
    read.entries = std::move(entries);
    return read;
}

ManifestRead ReadManifestFile(const std::string& path, std::string_view version) {
    ManifestRead read;
    // Never through a link, never blocking on a FIFO planted at the name.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd) {
        read.state = errno == ENOENT ? ManifestState::Missing : ManifestState::Damaged;
        return read;
    }
    read.state = ManifestState::Damaged;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > kManifestLimit)
        return read;
    // Another user's record could name any file of this user's for a prune to remove.
    if (std::string problem = RuntimeFolder::OwnerProblem(path, info.st_uid); !problem.empty()) {
        read.state = ManifestState::Unusable;
        read.problem = std::move(problem);
        return read;
    }
    std::string text(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t got = ::read(fd.get(), text.data() + done, text.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return read; // shrank or failed while being read
        done += static_cast<std::size_t>(got);
    }
    return ParseManifest(text, version);
}

int WriteManifestFile(const std::string& path, const std::string& text) {
    AtomicFile file(path, 0600);
    int error = file.Write(text);
    if (error == 0)
        error = file.Commit(AtomicFile::Sync::FileAndFolder);
    if (error != 0)
        ::unlink(path.c_str());
    return error;
}

} // namespace aw
