// SPDX-License-Identifier: MIT
// The tables a session makes albums with: the background pictures, the arrangements and the sound picture,
// each a path in the installation (FillInstalledTables). The window writes them to the settings at every
// start and reads them back (SettingsStore); the command line takes them as installed. A plain value owned
// by the session; Create reads it while the run lasts.
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
