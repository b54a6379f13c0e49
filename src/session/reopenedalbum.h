// SPDX-License-Identifier: MIT
// What reopening an album brings back: its items and the choices it was made with, from its record in
// the user's state folder (FindAlbumRecord; the album folder holds nothing of it). Items are the sources
// of the album's Data files in the album's order (as its choices keep it), each once; those that no longer
// exist are named apart.
//
// Plain functions over the file system; thread-safe.
#pragma once

#include <string>
#include <vector>

#include "album/albumchoices.h"
#include "session/sessionchoices.h"

namespace aw {

struct ReopenedAlbum {
    bool found = false;               // a whole record of this version names the folder
    std::string problem;              // when not found: why, to show (already loaded text)
    std::vector<std::string> sources; // that still exist, in album order
    std::vector<std::string> missing; // that no longer do
    AlbumChoices choices;
};

ReopenedAlbum ReadReopenedAlbum(const std::string& albumFolder);

// `choices` as the record's `made` says (title, colours, background, arrangement and options); the
// output folder, work folder and the window's place stay.
void ApplyRecordedChoices(const AlbumChoices& made, SessionChoices& choices);

} // namespace aw
