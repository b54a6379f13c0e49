// SPDX-License-Identifier: MIT
// The settings the main window keeps in memory: the file tables read at start, the audio picture, the
// embed flag and the work folder. A plain value owned by the main window; not shared between threads
// except that the generation thread reads workFolder while the main window waits behind the progress run.
#pragma once

#include <string>
#include <vector>

namespace aw {

struct SettingsRow {
    int index = 0;
    std::string path;
};

struct AlbumSettings {
    std::vector<SettingsRow> backgrounds;  // BGFILE0..4 in index order; row 0 holds "SolidColor"
    std::vector<SettingsRow> arrangements; // FMTFILE0..3 in index order
    std::string audioPicture;              // WAVEFILE
    std::string viewerFolder;              // the Gallery's viewer files, with "/"; installed, not stored
    int embedPlayback = 1;                 // 1 until the value read at start replaces it
    int removeLocation = 0;                // 1: Data copies without location, owner and serial fields
    std::string workFolder;                // ends with "/"; temporary files of a run go here

    // The path of the first row with `index`; nullptr when the table has none.
    const std::string* Background(int index) const { return Find(backgrounds, index); }
    const std::string* Arrangement(int index) const { return Find(arrangements, index); }

private:
    static const std::string* Find(const std::vector<SettingsRow>& rows, int index) {
        for (const SettingsRow& row : rows) {
            if (row.index == index) {
                return &row.path;
            }
        }
        return nullptr;
    }
};

} // namespace aw
