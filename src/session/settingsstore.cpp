// SPDX-License-Identifier: MIT
#include "session/settingsstore.h"

#include <charconv>
#include <climits>
#include <cstdint>
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

ProfileStore::NamedValue NumberValue(TextId name, int number) {
    ProfileStore::NamedValue entry{LoadText(name), {}};
    entry.value.type = ProfileStore::Type::Number;
    entry.value.number = number;
    return entry;
}

constexpr std::size_t kTitleLimit = 4096;

int ColourNumber(const Rgb& colour) {
    return colour.red << 16 | colour.green << 8 | colour.blue;
}

Rgb ColourOf(int number) {
    return Rgb{static_cast<std::uint8_t>(number >> 16 & 0xff), static_cast<std::uint8_t>(number >> 8 & 0xff),
               static_cast<std::uint8_t>(number & 0xff)};
}

std::string PlaceText(const WindowPlace& place) {
    return std::to_string(place.left) + ' ' + std::to_string(place.top) + ' ' + std::to_string(place.width) +
           ' ' + std::to_string(place.height);
}

// "left top width height"; nothing for any other text, or for a size no screen has.
std::optional<WindowPlace> ParsePlace(const std::string& text) {
    int values[4] = {};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (int& value : values) {
        while (at < end && *at == ' ')
            ++at;
        const auto [next, error] = std::from_chars(at, end, value);
        if (error != std::errc())
            return std::nullopt;
        at = next;
    }
    constexpr int kLimit = 100000;
    if (at != end || values[2] <= 0 || values[3] <= 0 || values[2] > kLimit || values[3] > kLimit ||
        values[0] < -kLimit || values[0] > kLimit || values[1] < -kLimit || values[1] > kLimit)
        return std::nullopt;
    return WindowPlace{values[0], values[1], values[2], values[3]};
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
    // The remembered choices are not written here: a start that wrote the defaults over them would lose
    // what the last session saved.
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
    const std::string key = KeyPath(LoadText(TextId::SettingsSection));
    // Each choice only where a sound value is stored: a file of an earlier version, which holds fewer,
    // leaves the others as they were.
    const auto number = [&](TextId name, int low, int high) -> std::optional<int> {
        const std::optional<ProfileStore::Value> value = store_.Read(key, LoadText(name));
        if (!value || value->type != ProfileStore::Type::Number || value->number < low ||
            value->number > high)
            return std::nullopt;
        return value->number;
    };
    const auto text = [&](TextId name) -> std::optional<std::string> {
        const std::optional<ProfileStore::Value> value = store_.Read(key, LoadText(name));
        if (!value || value->type != ProfileStore::Type::Text || value->text.size() > kTitleLimit)
            return std::nullopt;
        return value->text;
    };
    // Any number was read as a flag by earlier versions; so it still is.
    if (const auto embed = number(TextId::EmbedSetting, INT_MIN, INT_MAX))
        choices.embedPlayback = *embed != 0;
    if (const auto flag = number(TextId::OpenWhenDoneSetting, 0, 1))
        choices.openWhenDone = *flag != 0;
    if (const auto flag = number(TextId::OriginalsSetting, 0, 1))
        choices.includeOriginals = *flag != 0;
    if (const auto flag = number(TextId::RemoveLocationSetting, 0, 1))
        choices.removeLocation = *flag != 0;
    if (const auto colour = number(TextId::FontColourSetting, 0, 0xffffff))
        choices.fontColour = ColourOf(*colour);
    if (const auto colour = number(TextId::BackgroundColourSetting, 0, 0xffffff))
        choices.backgroundColour = ColourOf(*colour);
    if (const auto background = number(TextId::BackgroundChoiceSetting, 0, kBackgroundPictureCount))
        choices.background = *background;
    if (const auto arrangement = number(TextId::ArrangementChoiceSetting, 0, kArrangementCount - 1))
        choices.arrangement = *arrangement;
    if (const auto title = text(TextId::TitleSetting))
        choices.pageTitle = *title;
    if (const auto place = text(TextId::WindowPlaceSetting))
        choices.window = ParsePlace(*place).value_or(choices.window);
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
    std::vector<ProfileStore::NamedValue> values{
        NumberValue(TextId::EmbedSetting, choices.embedPlayback ? 1 : 0),
        TextValue(LoadText(TextId::WorkFolderSetting), choices.workFolder),
        TextValue(LoadText(TextId::TitleSetting), choices.pageTitle.substr(0, kTitleLimit)),
        NumberValue(TextId::FontColourSetting, ColourNumber(choices.fontColour)),
        NumberValue(TextId::BackgroundColourSetting, ColourNumber(choices.backgroundColour)),
        NumberValue(TextId::BackgroundChoiceSetting, choices.background),
        NumberValue(TextId::ArrangementChoiceSetting, choices.arrangement),
        NumberValue(TextId::OpenWhenDoneSetting, choices.openWhenDone ? 1 : 0),
        NumberValue(TextId::OriginalsSetting, choices.includeOriginals ? 1 : 0),
        NumberValue(TextId::RemoveLocationSetting, choices.removeLocation ? 1 : 0)};
    if (choices.window.width > 0)
        values.push_back(TextValue(LoadText(TextId::WindowPlaceSetting), PlaceText(choices.window)));
    if (store_.WriteValues(KeyPath(LoadText(TextId::SettingsSection)), values))
        return true;
    // The user made the file read-only on purpose: one refusal is worth a word, the rest of the session's
    // saves are not.
    if (!store_.refusedReadOnly())
        return false;
    return std::exchange(readOnlyReported_, true);
}

} // namespace aw
