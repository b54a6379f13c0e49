// SPDX-License-Identifier: MIT
#include "cli/metadatasteps.h"

#include <cstdio>
#include <string>
#include <vector>

#include "album/albumjob.h"
#include "album/itemmetadata.h"
#include "medialist/itemlist.h"
#include "medialist/listcontroller.h"
#include "metadata/mediaorder.h"
#include "stringtable.h"

namespace aw::cli {
namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

void OrderAndNotice(ListController& list, const CommandLine& line, const ImagingLibrary& imaging) {
    const ItemList& items = list.items();
    std::size_t located = 0;
    const Publishing publishing{line.arrangement == kGalleryArrangement, line.originals};
    if (line.sort == SortOrder::Taken) {
        std::vector<MediaMetadata> metadata;
        std::vector<TakenTime> times;
        for (const MediaItem& item : items.items()) {
            metadata.push_back(ReadItemMetadata(item, &imaging));
            times.push_back(metadata.back().taken);
        }
        const std::vector<std::size_t> order = OrderByTaken(times);
        std::vector<MediaMetadata> sorted;
        for (const std::size_t index : order)
            sorted.push_back(std::move(metadata[index]));
        list.Reorder(order);
        located = CountPublishingLocation(items.items(), sorted, publishing);
    } else {
        if (line.sort == SortOrder::Name) {
            std::vector<std::string> names;
            for (const MediaItem& item : items.items())
                names.push_back(FileNameOf(item.path));
            list.Reorder(OrderByName(names));
        }
        if (!line.removeLocation)
            located = CountPublishingLocation(items.items(), &imaging, publishing);
    }
    // The user's privacy is at stake, so quiet mode does not hide it.
    if (located > 0 && !line.removeLocation)
        std::fprintf(stderr, "%s\n",
                     FormatText(LoadText(TextId::LocationNotice),
                                {std::to_string(located), std::to_string(items.count())})
                         .c_str());
}

} // namespace aw::cli
