// SPDX-License-Identifier: MIT
#include "session/reopenedalbum.h"

#include <algorithm>
#include <charconv>
#include <map>
#include <set>

#include <sys/stat.h>

#include "album/albumrecords.h"
#include "session/installedtables.h"
#include "stringtable.h"

namespace aw {

namespace {

// "#rrggbb"; `fallback` for any other text.
Rgb ColourFrom(const std::string& text, Rgb fallback) {
    unsigned value = 0;
    if (text.size() != 7 || text[0] != '#')
        return fallback;
    const auto [end, error] = std::from_chars(text.data() + 1, text.data() + 7, value, 16);
    if (error != std::errc() || end != text.data() + 7)
        return fallback;
    return Rgb{static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8 & 0xff),
               static_cast<std::uint8_t>(value & 0xff)};
}

bool IsRegularFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

ReopenedAlbum ReadReopenedAlbum(const std::string& albumFolder) {
    ReopenedAlbum album;
    const FoundRecord record = FindAlbumRecord(albumFolder, ALBUMWRIGHT_VERSION_TEXT);
    if (record.read.state == ManifestState::Unusable) {
        album.problem = FormatText(LoadText(TextId::AlbumUnusable), {albumFolder, record.read.problem});
        return album;
    }
    if (record.read.state != ManifestState::Read) {
        album.problem = FormatText(LoadText(TextId::NotOurAlbum), {albumFolder});
        return album;
    }
    album.found = true;
    album.choices = record.read.header.choices;
    // The entries are kept by name; the album's order comes with its choices (none in older records).
    std::vector<const ManifestEntry*> entries;
    for (const ManifestEntry& entry : record.read.entries)
        entries.push_back(&entry);
    std::map<std::string, std::size_t> places;
    for (const std::string& name : album.choices.order)
        places.emplace(name, places.size());
    const auto place = [&places](const ManifestEntry* entry) {
        const auto found = places.find(entry->name);
        return found == places.end() ? places.size() : found->second;
    };
    std::stable_sort(
        entries.begin(), entries.end(),
        [&place](const ManifestEntry* a, const ManifestEntry* b) { return place(a) < place(b); });
    std::set<std::string> seen;
    for (const ManifestEntry* found : entries) {
        const ManifestEntry& entry = *found;
        // An item's Data file names its source; thumbnails, the background and playable copies repeat it
        // or are no item.
        if (entry.folder != 'D' || entry.kind.background || entry.kind.playable != 0 ||
            entry.kind.item == MediaKind::Unsupported || entry.sourcePath.empty() ||
            !seen.insert(entry.sourcePath).second)
            continue;
        (IsRegularFile(entry.sourcePath) ? album.sources : album.missing).push_back(entry.sourcePath);
    }
    return album;
}

void ApplyRecordedChoices(const AlbumChoices& made, SessionChoices& choices) {
    choices.pageTitle = made.title;
    choices.fontColour = ColourFrom(made.fontColour, choices.fontColour);
    choices.backgroundColour = ColourFrom(made.backgroundColour, choices.backgroundColour);
    if (made.background >= 0 && made.background <= kBackgroundPictureCount)
        choices.background = made.background;
    if (made.arrangement >= 0 && made.arrangement < kArrangementCount)
        choices.arrangement = made.arrangement;
    choices.embedPlayback = made.embed;
    choices.includeOriginals = made.originals;
    choices.removeLocation = made.removeLocation;
}

} // namespace aw
