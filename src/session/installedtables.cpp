// SPDX-License-Identifier: MIT
#include "session/installedtables.h"

#include <filesystem>
#include <system_error>

#include "platform/paths.h"

namespace aw {

std::string DataFolderFor(const std::string& programFolder) {
    if (programFolder.empty())
        return {};
    std::error_code error;
    for (const std::string& root : {programFolder, JoinPath(programFolder, "../share/albumwright")})
        if (std::filesystem::is_directory(JoinPath(root, "htmldata"), error))
            return (std::filesystem::path(root) / "").lexically_normal().string();
    return {};
}

void FillInstalledTables(const std::string& dataFolder, AlbumSettings& settings) {
    settings.backgrounds.clear();
    settings.arrangements.clear();
    settings.backgrounds.push_back({0, LoadText(TextId::SolidColourName)});
    for (int i = 0; i < kBackgroundPictureCount; ++i)
        settings.backgrounds.push_back(
            {i + 1, dataFolder + LoadText(kBackgroundPictureFiles[static_cast<std::size_t>(i)])});
    for (int i = 0; i < kArrangementCount; ++i)
        if (const std::optional<TextId> file = kArrangementFiles[static_cast<std::size_t>(i)].file)
            settings.arrangements.push_back({i, dataFolder + LoadText(*file)});
    settings.audioPicture = dataFolder + LoadText(TextId::AudioPictureFile);
    settings.viewerFolder = dataFolder + LoadText(TextId::ViewerFolder);
}

} // namespace aw
