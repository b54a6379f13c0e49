// SPDX-License-Identifier: MIT
// An item list as Create hands it to a run: the files taken in as a drop takes them, then Data and Thumb
// names made and made unique.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"

namespace aw::test {

inline std::unique_ptr<ItemList> ItemsForRun(const std::vector<std::string>& paths,
                                             const std::string& audioPicture) {
    auto items = std::make_unique<ItemList>();
    MediaIntake intake(*items);
    for (const std::string& path : paths)
        intake.Take(path);
    items->PrepareFileNames();
    items->MakeFileNamesUnique();
    items->audioPicturePath = audioPicture;
    items->PrepareThumbNames();
    items->MakeThumbNamesUnique();
    return items;
}

} // namespace aw::test
