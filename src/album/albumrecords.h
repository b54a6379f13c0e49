// SPDX-License-Identifier: MIT
// Where the albums' records are kept: one file per album in the user's state folder (StateFolder), named
// after a hash of the album folder's real path, which the record also holds and which is checked on
// reading, so that a record is never taken for another album's. Nothing private lies in an album folder:
// a record that an earlier version kept there (the hidden file of string 3120, format 1) is read in place
// of a missing one and moved out by TakeAlbumRecord.
//
// Thread-safety: free functions over the file system; two runs of one album may call them at once (each
// write replaces the whole file).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "album/albummanifest.h"

namespace aw {

struct FoundRecord {
    ManifestRead read;
    std::string path;     // the file it was read from; else where the album's record goes (empty: nowhere)
    bool inAlbum = false; // read from the album folder, where earlier versions kept it
};

// The album folder's real path (links and ".." resolved); empty when it cannot be resolved.
std::string AlbumRealPath(const std::string& albumFolder);
// The record's file, and the album's lock file, for the album at `realPath` in the state folder; empty
// when the state folder is unknown.
std::string AlbumRecordPath(const std::string& realPath);
std::string AlbumLockPath(const std::string& realPath);

// The record of the album in `albumFolder`, as the window's reopening or a run reads it; changes nothing
// but to make the state folder. Unusable (with the reason) when the state folder is not private to the
// user or the record is another user's.
FoundRecord FindAlbumRecord(const std::string& albumFolder, std::string_view version);
// The same, then a record found in the album folder is moved to the state folder (when it is whole and
// this version's) and removed from the album (when it is the user's own).
FoundRecord TakeAlbumRecord(const std::string& albumFolder, std::string_view version);

// Writes the album's record to `path`. 0, or the errno of the step that failed (the earlier record is
// then gone, never left stale).
int SaveAlbumRecord(const std::string& path, const RecordHeader& header,
                    const std::vector<ManifestEntry>& entries, std::string_view version);

// The record is whole and says that the album's page `pageName` is one this program wrote.
bool RecordNamesPage(const ManifestRead& read, const std::string& pageName);

} // namespace aw
