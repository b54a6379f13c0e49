// SPDX-License-Identifier: MIT
// What the installation ships for albums: the background pictures, the arrangements, the picture that
// stands for sound items and the Gallery's viewer, as files of the data folder (htmldata/ and beside it).
// Every count of backgrounds or arrangements, in the window, on the command line and in the settings, is
// the size of these tables: a new arrangement is one row of kArrangementFiles (one with a page writer of
// its own and no file, as the Gallery, is a row too, see InstalledArrangement).
//
// Constant data and plain functions; thread-safe.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "album/albumjob.h"
#include "session/albumsettings.h"
#include "stringtable.h"

namespace aw {

// The installed background pictures, backgrounds 1 to 4 (0 is the solid colour, SolidColourName).
inline constexpr std::array kBackgroundPictureFiles{TextId::CyberBackgroundFile, TextId::UsaBackgroundFile,
                                                    TextId::NaturalBackgroundFile,
                                                    TextId::ToroBackgroundFile};
inline constexpr int kBackgroundPictureCount = static_cast<int>(kBackgroundPictureFiles.size());

// One installed arrangement: its file under the data folder, or none when its page is written by code of
// its own (it then has no row in the settings' arrangement table either).
struct InstalledArrangement {
    std::optional<TextId> file;
};

// The arrangements in the order the user numbers them (index 0 is arrangement 1).
inline constexpr std::array kArrangementFiles{
    InstalledArrangement{TextId::Arrangement1File}, InstalledArrangement{TextId::Arrangement2File},
    InstalledArrangement{TextId::Arrangement3File}, InstalledArrangement{TextId::Arrangement4File},
    InstalledArrangement{std::nullopt}}; // the Gallery
inline constexpr int kArrangementCount = static_cast<int>(kArrangementFiles.size());
static_assert(kGalleryArrangement == kArrangementCount && !kArrangementFiles[kGalleryArrangement - 1].file,
              "the Gallery is the last arrangement and has no file");

// The folder holding htmldata/, with its closing "/", for a program in `programFolder`: that folder
// itself (the build tree), else <programFolder>/../share/albumwright/ (installed); empty when neither
// has it.
std::string DataFolderFor(const std::string& programFolder);

// The tables with every file under `dataFolder` (which ends with "/"): the solid colour as background 0,
// the pictures as 1 to 4, the arrangements with a file at their index, the sound picture, the viewer's
// folder.
void FillInstalledTables(const std::string& dataFolder, AlbumSettings& settings);

} // namespace aw
