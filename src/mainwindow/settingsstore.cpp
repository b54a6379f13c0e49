// SPDX-License-Identifier: MIT
#include "mainwindow/settingsstore.h"

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "platform/profilestore.h"
#include "platform/tempfile.h"
#include "stringtable.h"

namespace aw {

namespace {

constexpr int kKeyPathId = 307;      // Software/Quorvel/Page Binder/Env
constexpr int kBackgroundId = 308;   // BGFILE
constexpr int kArrangementId = 309;  // FMTFILE
constexpr int kAudioPictureId = 315; // WAVEFILE
constexpr int kCompanyId = 316;
constexpr int kProductId = 317;
constexpr int kSectionId = 318;              // ENV
constexpr int kEmbedId = 319;                // ISEMBED
constexpr int kWorkFolderId = 2012;          // TempPath
constexpr int kSolidColourId = 332;          // BGFILE0's text; 333..336 the pictures
constexpr int kFirstArrangementFileId = 337; // 337..340
constexpr int kAudioPictureFileId = 341;
constexpr int kViewerFolderId = 3416; // the Gallery's viewer: installed with the program, never a setting

std::string Numbered(int nameId, int index) {
    return LoadText(nameId) + std::to_string(index);
}

// Where htmldata is when nothing else is named; the program's own folder when it is nowhere, so that the
// failure names the place where it was looked for first.
std::string DefaultDataFolder() {
    const std::string found = SettingsStore::DataFolderFor(SettingsStore::RunningProgramFolder());
    return found.empty() ? SettingsStore::RunningProgramFolder() : found;
}

} // namespace

SettingsStore::SettingsStore(ProfileStore& store, std::string programFolder, SystemInfo info)
    : store_(store), programFolder_(programFolder.empty() ? DefaultDataFolder() : std::move(programFolder)),
      info_(std::move(info)), company_(LoadText(kCompanyId)), product_(LoadText(kProductId)) {}

std::string SettingsStore::RunningProgramFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return {};
    std::string folder = program.parent_path().string();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

std::string SettingsStore::DataFolderFor(const std::string& programFolder) {
    if (programFolder.empty())
        return {};
    std::error_code error;
    for (const std::string& root : {programFolder, programFolder + "../share/albumwright/"})
        if (std::filesystem::is_directory(root + "htmldata", error))
            return std::filesystem::path(root).lexically_normal().string();
    return {};
}

void SettingsStore::SetProfileNames(const std::string& company, const std::string& product) {
    company_ = company;
    product_ = product;
}

std::string SettingsStore::KeyPath(const std::string& section) const {
    return "Software/" + company_ + '/' + product_ + '/' + section;
}

bool SettingsStore::WriteProfileString(const std::string& section, const std::string& name,
                                       const std::string& text) {
    return store_.WriteText(KeyPath(section), name, text);
}

bool SettingsStore::WriteProfileInt(const std::string& section, const std::string& name, int value) {
    return store_.WriteNumber(KeyPath(section), name, value);
}

int SettingsStore::GetProfileInt(const std::string& section, const std::string& name, int fallback) {
    // Asking creates the key, as opening it for writing would; a store that refuses is no reason to fail.
    store_.CreateKey(KeyPath(section));
    const std::optional<ProfileStore::Value> value = store_.Read(KeyPath(section), name);
    if (!value || value->type != ProfileStore::Type::Number)
        return fallback;
    return value->number;
}

std::size_t SettingsStore::ReadRegistryPath(const std::string& keyPath, const std::string& name,
                                            std::string& text, std::size_t bufferSize) const {
    text.clear();
    const std::optional<ProfileStore::Value> value = store_.Read(keyPath, name);
    if (!value)
        return 0;
    if (value->size() < bufferSize)
        text = value->type == ProfileStore::Type::Text ? value->text : std::to_string(value->number);
    return value->size();
}

bool SettingsStore::DefaultSettings(AlbumSettings& settings) const {
    if (programFolder_.empty())
        return false;
    settings.backgrounds.clear();
    settings.arrangements.clear();
    for (int i = 0; i <= 4; ++i)
        settings.backgrounds.push_back(
            {i, i == 0 ? LoadText(kSolidColourId) : programFolder_ + LoadText(kSolidColourId + i)});
    for (int i = 0; i <= 3; ++i)
        settings.arrangements.push_back({i, programFolder_ + LoadText(kFirstArrangementFileId + i)});
    settings.audioPicture = programFolder_ + LoadText(kAudioPictureFileId);
    settings.viewerFolder = programFolder_ + LoadText(kViewerFolderId);
    settings.embedPlayback = 0;
    return true;
}

bool SettingsStore::WriteDefaultSettings() {
    SetProfileNames(LoadText(kCompanyId), LoadText(kProductId));
    AlbumSettings defaults;
    if (!DefaultSettings(defaults))
        return false;
    auto text = [](std::string name, std::string value) {
        ProfileStore::NamedValue entry{std::move(name), {}};
        entry.value.text = std::move(value);
        return entry;
    };
    std::vector<ProfileStore::NamedValue> values;
    for (const SettingsRow& row : defaults.backgrounds)
        values.push_back(text(Numbered(kBackgroundId, row.index), row.path));
    for (const SettingsRow& row : defaults.arrangements)
        values.push_back(text(Numbered(kArrangementId, row.index), row.path));
    values.push_back(text(LoadText(kAudioPictureId), defaults.audioPicture));
    ProfileStore::NamedValue embed{LoadText(kEmbedId), {}};
    embed.value.type = ProfileStore::Type::Number;
    embed.value.number = defaults.embedPlayback;
    values.push_back(embed);
    // One read and one atomic save for all eleven values: a start-up that fails half-way leaves none of
    // them written, and the start costs one fsync instead of eleven.
    return store_.WriteValues(KeyPath(LoadText(kSectionId)), values);
}

bool SettingsStore::LoadSettings(AlbumSettings& settings) {
    const std::string key = LoadText(kKeyPathId);
    std::string text;
    settings.backgrounds.clear();
    settings.arrangements.clear();
    for (int i = 0; i <= 4; ++i) {
        if (ReadRegistryPath(key, Numbered(kBackgroundId, i), text) == 0)
            return false;
        settings.backgrounds.push_back({i, text});
    }
    for (int i = 0; i <= 3; ++i) {
        if (ReadRegistryPath(key, Numbered(kArrangementId, i), text) == 0)
            return false;
        settings.arrangements.push_back({i, text});
    }
    if (ReadRegistryPath(key, LoadText(kAudioPictureId), text) == 0)
        return false;
    settings.audioPicture = text;
    settings.viewerFolder = programFolder_ + LoadText(kViewerFolderId);
    SetProfileNames(LoadText(kCompanyId), LoadText(kProductId));
    settings.embedPlayback = GetProfileInt(LoadText(kSectionId), LoadText(kEmbedId), 0) != 0 ? 1 : 0;
    return true;
}

bool SettingsStore::LoadWorkFolder(AlbumSettings& settings) const {
    std::string text;
    const std::size_t size = ReadRegistryPath(LoadText(kKeyPathId), LoadText(kWorkFolderId), text);
    if (size != 0 && text.size() >= 2 && info_.IsUsableWorkFolder(text)) {
        // Temporary names are made by appending to the folder, so it must end with its separator.
        if (text.back() != '/')
            text += '/';
        settings.workFolder = text;
        return true;
    }
    const std::string temp = SystemTempPath();
    if (temp.empty())
        return false;
    settings.workFolder = temp;
    return true;
}

bool SettingsStore::SaveEmbedFlag(int embedPlayback) {
    ProfileStore::NamedValue embed{LoadText(kEmbedId), {}};
    embed.value.type = ProfileStore::Type::Number;
    embed.value.number = embedPlayback != 0 ? 1 : 0;
    return SaveSessionValue(embed);
}

bool SettingsStore::SaveWorkFolder(const std::string& workFolder) {
    ProfileStore::NamedValue folder{LoadText(kWorkFolderId), {}};
    folder.value.text = workFolder;
    return SaveSessionValue(folder);
}

bool SettingsStore::SaveSessionValue(const ProfileStore::NamedValue& value) {
    if (store_.WriteValues(KeyPath(LoadText(kSectionId)), {value}))
        return true;
    // The user made the file read-only on purpose: one refusal is worth a word, the rest of the session's
    // saves are not.
    if (!store_.refusedReadOnly())
        return false;
    return std::exchange(readOnlyReported_, true);
}

} // namespace aw
