// SPDX-License-Identifier: MIT
#include "session/settingsstore.h"

#include <optional>
#include <utility>
#include <vector>

#include "platform/paths.h"
#include "platform/profilestore.h"
#include "platform/tempfile.h"
#include "session/installedtables.h"
#include "stringtable.h"

namespace aw {

namespace {

std::string Numbered(TextId name, int index) {
    return LoadText(name) + std::to_string(index);
}

// Where htmldata is when nothing else is named; the program's own folder when it is nowhere, so that the
// failure names the place where it was looked for first.
std::string DefaultDataFolder() {
    const std::string program = ProgramFolder();
    const std::string found = DataFolderFor(program);
    if (!found.empty() || program.empty())
        return found;
    return JoinPath(program, "");
}

ProfileStore::NamedValue TextValue(std::string name, std::string text) {
    ProfileStore::NamedValue entry{std::move(name), {}};
    entry.value.text = std::move(text);
    return entry;
}

ProfileStore::NamedValue EmbedValue(bool embedPlayback) {
    ProfileStore::NamedValue embed{LoadText(TextId::EmbedSetting), {}};
    embed.value.type = ProfileStore::Type::Number;
    embed.value.number = embedPlayback ? 1 : 0;
    return embed;
}

} // namespace

SettingsStore::SettingsStore(ProfileStore& store, std::string programFolder, SystemInfo info)
    : store_(store), programFolder_(programFolder.empty() ? DefaultDataFolder() : std::move(programFolder)),
      info_(std::move(info)), company_(LoadText(TextId::CompanyName)),
      product_(LoadText(TextId::ProductName)) {}

void SettingsStore::SetProfileNames(const std::string& company, const std::string& product) {
    company_ = company;
    product_ = product;
}

std::string SettingsStore::KeyPath(const std::string& section) const {
    return "Software/" + company_ + '/' + product_ + '/' + section;
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

bool SettingsStore::WriteDefaultSettings() {
    SetProfileNames(LoadText(TextId::CompanyName), LoadText(TextId::ProductName));
    if (programFolder_.empty())
        return false;
    AlbumSettings defaults;
    FillInstalledTables(programFolder_, defaults);
    std::vector<ProfileStore::NamedValue> values;
    for (const SettingsRow& row : defaults.backgrounds)
        values.push_back(TextValue(Numbered(TextId::BackgroundSetting, row.index), row.path));
    for (const SettingsRow& row : defaults.arrangements)
        values.push_back(TextValue(Numbered(TextId::ArrangementSetting, row.index), row.path));
    values.push_back(TextValue(LoadText(TextId::AudioPictureSetting), defaults.audioPicture));
    values.push_back(EmbedValue(SessionChoices{}.embedPlayback));
    // One read and one atomic save for all the values: a start-up that fails half-way leaves none of
    // them written, and the start costs one fsync instead of one per value.
    return store_.WriteValues(KeyPath(LoadText(TextId::SettingsSection)), values);
}

bool SettingsStore::LoadTables(AlbumSettings& settings) {
    // The rows the installation has, each read from the store; the paths are the stored ones. The
    // viewer is the installation's: never a setting.
    AlbumSettings rows;
    FillInstalledTables(programFolder_, rows);
    settings.viewerFolder = rows.viewerFolder;
    const std::string key = LoadText(TextId::SettingsKeyPath);
    std::string text;
    settings.backgrounds.clear();
    settings.arrangements.clear();
    for (const SettingsRow& row : rows.backgrounds) {
        if (ReadRegistryPath(key, Numbered(TextId::BackgroundSetting, row.index), text) == 0)
            return false;
        settings.backgrounds.push_back({row.index, text});
    }
    for (const SettingsRow& row : rows.arrangements) {
        if (ReadRegistryPath(key, Numbered(TextId::ArrangementSetting, row.index), text) == 0)
            return false;
        settings.arrangements.push_back({row.index, text});
    }
    if (ReadRegistryPath(key, LoadText(TextId::AudioPictureSetting), text) == 0)
        return false;
    settings.audioPicture = text;
    return true;
}

bool SettingsStore::LoadRemembered(SessionChoices& choices) {
    SetProfileNames(LoadText(TextId::CompanyName), LoadText(TextId::ProductName));
    choices.embedPlayback =
        GetProfileInt(LoadText(TextId::SettingsSection), LoadText(TextId::EmbedSetting), 0) != 0;
    return LoadWorkFolder(choices.workFolder);
}

bool SettingsStore::LoadWorkFolder(std::string& workFolder) const {
    std::string text;
    const std::size_t size =
        ReadRegistryPath(LoadText(TextId::SettingsKeyPath), LoadText(TextId::WorkFolderSetting), text);
    if (size != 0 && text.size() >= 2 && info_.IsUsableWorkFolder(text)) {
        // Temporary names are made by appending to the folder, so it must end with its separator.
        if (text.back() != '/')
            text += '/';
        workFolder = text;
        return true;
    }
    const std::string temp = SystemTempPath();
    if (temp.empty())
        return false;
    workFolder = temp;
    return true;
}

bool SettingsStore::SaveRemembered(const SessionChoices& choices) {
    const std::vector<ProfileStore::NamedValue> values{
        EmbedValue(choices.embedPlayback),
        TextValue(LoadText(TextId::WorkFolderSetting), choices.workFolder)};
    if (store_.WriteValues(KeyPath(LoadText(TextId::SettingsSection)), values))
        return true;
    // The user made the file read-only on purpose: one refusal is worth a word, the rest of the session's
    // saves are not.
    if (!store_.refusedReadOnly())
        return false;
    return std::exchange(readOnlyReported_, true);
}

} // namespace aw
