// SPDX-License-Identifier: MIT
#include "cli/metadatasteps.h"

#include <cstdio>
#include <string>
#include <vector>

#include "album/itemmetadata.h"
#include "medialist/itemlist.h"
#include "metadata/mediaorder.h"
#include "stringtable.h"

namespace aw::cli {
namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void OrderAndNotice(ItemList& items, const CommandLine& line) {
    const bool notice = !line.removeLocation;
    if (line.sort == SortOrder::Name) {
        std::vector<std::string> names;
        for (const MediaItem& item : items.items())
            names.push_back(FileNameOf(item.path));
        items.Reorder(OrderByName(names));
    }
    if (line.sort != SortOrder::Taken && !notice)
        return;
    std::vector<MediaMetadata> metadata;
    for (const MediaItem& item : items.items())
        metadata.push_back(ReadItemMetadata(item));
    if (line.sort == SortOrder::Taken) {
        std::vector<TakenTime> times;
        for (const MediaMetadata& one : metadata)
            times.push_back(one.taken);
        const std::vector<std::size_t> order = OrderByTaken(times);
        items.Reorder(order);
        std::vector<MediaMetadata> sorted;
        for (const std::size_t index : order)
            sorted.push_back(std::move(metadata[index]));
        metadata = std::move(sorted);
    }
    if (!notice)
        return;
    const std::size_t located = CountPublishingLocation(items.items(), metadata);
    // The user's privacy is at stake, so quiet mode does not hide it.
    if (located > 0)
        std::fprintf(
            stderr, "%s\n",
            FormatText(LoadText(3550), {std::to_string(located), std::to_string(items.count())}).c_str());
}

} // namespace aw::cli
