// SPDX-License-Identifier: MIT
#include "album/kindstext.h"

#include <algorithm>

#include "album/browserplayback.h"
#include "album/mediapath.h"
#include "stringtable.h"

namespace aw {
namespace {

void Add(std::string& list, const std::string& extension) {
    list += (list.empty() ? "" : " ") + extension;
}

// "a", "a or b", "a, b or c" in the user's language.
std::string JoinWithOr(const std::vector<std::string>& items) {
    if (items.empty())
        return {};
    std::string head = items.front();
    for (std::size_t i = 1; i + 1 < items.size(); ++i)
        head += LoadText(TextId::KindsListSeparator) + items[i];
    return items.size() == 1 ? head : FormatText(LoadText(TextId::KindsOr), {head, items.back()});
}

// The shown names of `codings`, each once.
std::vector<std::string> Shown(const std::vector<Coding>& codings) {
    std::vector<std::string> names;
    for (const Coding& coding : codings)
        if (std::find(names.begin(), names.end(), coding.shown) == names.end())
            names.emplace_back(coding.shown);
    return names;
}

} // namespace

KindsText DescribeKinds() {
    KindsText text;
    for (const MediaPath::Extension& extension : MediaPath::kExtensions) {
        const std::string name = LoadText(extension.text);
        if (IsStillKind(extension.kind)) {
            Add(text.pictures, name);
            if (IsConvertedStillKind(extension.kind))
                Add(text.converted, name);
        } else {
            Add(IsMovieKind(extension.kind) ? text.movies : text.sounds, name);
        }
    }
    for (const PlayableKind& movie : PlayableMovies())
        text.playable.push_back(FormatText(LoadText(TextId::PlayableMovie),
                                           {JoinWithOr({movie.shown.begin(), movie.shown.end()}),
                                            JoinWithOr(Shown(movie.video)), JoinWithOr(Shown(movie.audio))}));
    std::vector<std::string> sounds;
    for (const PlayableKind& sound : PlayableSounds()) {
        const std::string containers = JoinWithOr({sound.shown.begin(), sound.shown.end()});
        const std::string codings = JoinWithOr(Shown(sound.audio));
        // "MP3", not "MP3 (MP3)".
        sounds.push_back(codings == containers
                             ? containers
                             : FormatText(LoadText(TextId::PlayableSound), {containers, codings}));
    }
    std::string list;
    for (const std::string& sound : sounds)
        list += (list.empty() ? "" : LoadText(TextId::KindsListSeparator)) + sound;
    text.playable.push_back(FormatText(LoadText(TextId::PlayableSoundFiles), {list}));
    return text;
}

} // namespace aw
