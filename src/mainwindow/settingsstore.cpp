// SPDX-License-Identifier: MIT
#include "mainwindow/settingsstore.h"

#include <filesystem>
#include <optional>
#include <utility>
#include <vector>

#include "platform/paths.h"
#include "platform/profilestore.h"
#include "platform/tempfile.h"
#include "stringtable.h"
#include "textgroups.h"

namespace aw {

namespace {

std::string Numbered(TextId name, int index) {
    return LoadText(name) + std::to_string(index);
}

// Where htmldata is when nothing else is named; the program's own folder when it is nowhere, so that the
// failure names the place where it was looked for first.
std::string DefaultDataFolder() {
    const std::string program = ProgramFolder();
    const std::string found = SettingsStore::DataFolderFor(program);
    if (!found.empty() || program.empty())
        return found;
    return JoinPath(program, "");
}

} // namespace

SettingsStore::SettingsStore(ProfileStore& store, std::string programFolder, SystemInfo info)
    : store_(store), programFolder_(programFolder.empty() ? DefaultDataFolder() : std::move(programFolder)),
      info_(std::move(info)), company_(LoadText(TextId::CompanyName)),
      product_(LoadText(TextId::ProductName)) {}

std::string SettingsStore::DataFolderFor(const std::string& programFolder) {
    if (programFolder.empty())
        return {};
    std::error_code error;
    for (const std::string& root : {programFolder, JoinPath(programFolder, "../share/albumwright")})
        if (std::filesystem::is_directory(JoinPath(root, "htmldata"), error))
            return (std::filesystem::path(root) / "").lexically_normal().string();
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
    settings.backgrounds.push_back({0, LoadText(TextId::SolidColourName)});
    for (std::size_t i = 0; i < kBackgroundPictureFiles.size(); ++i)
        settings.backgrounds.push_back(
            {static_cast<int>(i) + 1, programFolder_ + LoadText(kBackgroundPictureFiles[i])});
    for (std::size_t i = 0; i < kArrangementFiles.size(); ++i)
        settings.arrangements.push_back(
            {static_cast<int>(i), programFolder_ + LoadText(kArrangementFiles[i])});
    settings.audioPicture = programFolder_ + LoadText(TextId::AudioPictureFile);
    settings.viewerFolder = programFolder_ + LoadText(TextId::ViewerFolder);
    settings.embedPlayback = 0;
    return true;
}

bool SettingsStore::WriteDefaultSettings() {
    SetProfileNames(LoadText(TextId::CompanyName), LoadText(TextId::ProductName));
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
        values.push_back(text(Numbered(TextId::BackgroundSetting, row.index), row.path));
    for (const SettingsRow& row : defaults.arrangements)
        values.push_back(text(Numbered(TextId::ArrangementSetting, row.index), row.path));
    values.push_back(text(LoadText(TextId::AudioPictureSetting), defaults.audioPicture));
    ProfileStore::NamedValue embed{LoadText(TextId::EmbedSetting), {}};
    embed.value.type = ProfileStore::Type::Number;
    embed.value.number = defaults.embedPlayback;
    values.push_back(embed);
    // One read and one atomic save for all eleven values: a start-up that fails half-way leaves none of
    // them written, and the start costs one fsync instead of eleven.
    return store_.WriteValues(KeyPath(LoadText(TextId::SettingsSection)), values);
}

bool SettingsStore::LoadSettings(AlbumSettings& settings) {
    const std::string key = LoadText(TextId::SettingsKeyPath);
    std::string text;
    settings.backgrounds.clear();
    settings.arrangements.clear();
    for (int i = 0; i <= 4; ++i) {
        if (ReadRegistryPath(key, Numbered(TextId::BackgroundSetting, i), text) == 0)
            return false;
        settings.backgrounds.push_back({i, text});
    }
    for (int i = 0; i <= 3; ++i) {
        if (ReadRegistryPath(key, Numbered(TextId::ArrangementSetting, i), text) == 0)
            return false;
        settings.arrangements.push_back({i, text});
    }
    if (ReadRegistryPath(key, LoadText(TextId::AudioPictureSetting), text) == 0)
        return false;
    settings.audioPicture = text;
    settings.viewerFolder = programFolder_ + LoadText(TextId::ViewerFolder);
    SetProfileNames(LoadText(TextId::CompanyName), LoadText(TextId::ProductName));
    settings.embedPlayback =
        GetProfileInt(LoadText(TextId::SettingsSection), LoadText(TextId::EmbedSetting), 0) != 0 ? 1 : 0;
    return true;
}

bool SettingsStore::LoadWorkFolder(AlbumSettings& settings) const {
    std::string text;
    const std::size_t size =
        ReadRegistryPath(LoadText(TextId::SettingsKeyPath), LoadText(TextId::WorkFolderSetting), text);
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
    ProfileStore::NamedValue embed{LoadText(TextId::EmbedSetting), {}};
    embed.value.type = ProfileStore::Type::Number;
    embed.value.number = embedPlayback != 0 ? 1 : 0;
    return SaveSessionValue(embed);
}

bool SettingsStore::SaveWorkFolder(const std::string& workFolder) {
    ProfileStore::NamedValue folder{LoadText(TextId::WorkFolderSetting), {}};
    folder.value.text = workFolder;
    return SaveSessionValue(folder);
}

bool SettingsStore::SaveSessionValue(const ProfileStore::NamedValue& value) {
    if (store_.WriteValues(KeyPath(LoadText(TextId::SettingsSection)), {value}))
        return true;
    // The user made the file read-only on purpose: one refusal is worth a word, the rest of the session's
    // saves are not.
    if (!store_.refusedReadOnly())
        return false;
    return std::exchange(readOnlyReported_, true);
}

} // namespace aw
