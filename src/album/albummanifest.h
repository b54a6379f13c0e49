// SPDX-License-Identifier: MIT
// The text of an album's record of what its runs wrote (where it is kept: AlbumRecords). For every Data and
// Thumb file a run wrote it keeps the source it was made from (path and FileIdentity), the written file's
// own identity, and what else decides its bytes (the item's kind, the program's version); a thumbnail also
// keeps its displayed size, which the page needs. Before the entries it names the album folder (its real
// path), the page the run wrote and the choices the album was made with.
//
// The text, one record a line: a first line naming the format and its number, the program's version, the
// album, page and choice lines, the entries, and a closing line with the entry count and a checksum of
// everything before it, so that a file cut anywhere or changed by hand is told apart from a whole one.
// Names, paths and values are stored with bytes that would break a line (control characters, blanks, "%",
// DEL) as %XX. Records of format 1 (written inside the album folder, before change times were recorded)
// are still read: their identities have no change time, so they vouch for no file to keep.
//
// Reading never trusts the text: every entry must name a plain file (no "/", not "." or "..") in Data or
// Thumb and an absolute source; anything else makes the whole record Damaged, never partly used.
// Thread-safety: none needed (values; the file functions share no state).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "album/albumchoices.h"
#include "album/fileidentity.h"
#include "album/mediakind.h"

namespace aw {

constexpr std::size_t kManifestLimit = std::size_t{64} << 20;
// What a recorded file was made as, besides its source: an item of a kind, the background picture's copy
// in Data, which no item is (the text stores it as kind 100, outside the kinds' numbers), an item's copy
// browsers play, of a copy kind (CopyKind; stored as 200 + it), so that a copy of another kind is never
// kept in its place, or a still's display copy in the Gallery (stored as 300 + its kind), never kept as the
// byte copy of the other arrangements nor the other way round. A Data copy made without location, owner
// and serial fields is told apart likewise (the text adds 1000 to its kind).
struct RecordKind {
    MediaKind item = MediaKind::Unsupported; // Unsupported for the background
    bool background = false;
    int playable = 0; // the CopyKind of a copy browsers play; 0 for anything else
    bool withoutPrivateFields = false;
    bool display = false;
    static constexpr RecordKind Background() { return {MediaKind::Unsupported, true, 0}; }
    static constexpr RecordKind Playable(int copy) { return {MediaKind::Unsupported, false, copy}; }
    static constexpr RecordKind Display(MediaKind kind) { return {kind, false, 0, false, true}; }
    bool operator==(const RecordKind&) const = default;
};

struct ManifestEntry {
    char folder = 'D'; // 'D' a file in Data, 'T' one in Thumb, '2' and '3' one in Thumb/2x and Thumb/3x,
                       // 'P' the album's page in its folder, 'O' an original's copy in Data/originals
    std::string name;  // the file's name in that folder
    RecordKind kind;
    int thumbWidth = 0; // a thumbnail's displayed size; 0 x 0 for a Data file or a page; for '2' and '3'
                        // the size of the picture they were made from
    int thumbHeight = 0;
    std::string sourcePath; // absolute
    FileIdentity source;
    FileIdentity written;
};

// What a record says about its album besides the entries.
struct RecordHeader {
    std::string albumPath; // the album folder's real path; empty in a record of format 1
    std::string pageName;  // the page the run wrote ("Index.html" for a record of format 1)
    AlbumChoices choices;  // the defaults in a record of format 1
};

enum class ManifestState {
    Missing,      // no record at all: nothing was recorded yet
    Read,         // whole and ours, from this program version
    Damaged,      // cut, changed, unreadable, too large, naming files outside the album, or not a file
    OtherProgram, // whole, written by another version of the program
    Future,       // a later format than this program knows
    Foreign,      // not a record of ours
    Unusable,     // ours to judge but not to use: another user's file, or a state folder not private
};

struct ManifestRead {
    ManifestState state = ManifestState::Missing;
    int format = 0;                     // with Read
    RecordHeader header;                // with Read
    std::vector<ManifestEntry> entries; // with Read
    std::string problem;                // with Unusable: the whole reason, naming the file
};

// The record's text for `entries`, written by program version `version`.
std::string FormatManifest(const RecordHeader& header, const std::vector<ManifestEntry>& entries,
                           std::string_view version);
// `text` (the first line, the program line, the header lines and `entryCount` entry lines) with its closing
// line added.
std::string SealManifest(std::string text, std::size_t entryCount);
// Reads a record's text; `version` is this program's.
ManifestRead ParseManifest(std::string_view text, std::string_view version);

// Reads the record file at `path`: never through a link, never blocking on a FIFO planted there, at most
// kManifestLimit bytes. Missing when there is none, Damaged when it cannot be read whole, Unusable when
// it belongs to another user.
ManifestRead ReadManifestFile(const std::string& path, std::string_view version);
// Writes `text` beside `path` (mode 0600) and renames it into place (a link there is replaced, never
// followed). 0, or the errno of the step that failed; then the earlier file is removed too, so that none
// is left that no longer matches the album.
int WriteManifestFile(const std::string& path, const std::string& text);

} // namespace aw
