// SPDX-License-Identifier: MIT
#include "album/kindstext.h"

#include "album/browserplayback.h"
#include "album/mediapath.h"
#include "stringtable.h"

namespace aw {
namespace {

void Add(std::string& list, const std::string& extension) {
    list += (list.empty() ? "" : " ") + extension;
}

template <typename Items, typename Shown> std::vector<std::string> Names(const Items& items, Shown shown) {
    std::vector<std::string> names;
    for (const auto& item : items)
        names.emplace_back(shown(item));
    return names;
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
    const auto shown = [](const Coding& coding) { return coding.shown; };
    for (const PlayableMovie& movie : PlayableMovies())
        text.playable.push_back(
            FormatText(LoadText(TextId::PlayableMovie),
                       {JoinWithOr(Names(movie.shown, [](std::string_view name) { return name; })),
                        JoinWithOr(Names(movie.video, shown)), JoinWithOr(Names(movie.audio, shown))}));
    return text;
}

} // namespace aw
