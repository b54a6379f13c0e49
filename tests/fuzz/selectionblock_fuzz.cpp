// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the selection-block conversion as if another process had handed them over.
// Neither the conversion nor the parent-folder read may read outside the block; a converted block must
// read back as a FileBlock holding absolute paths only. The work is part of the contract: a conversion
// reading more list bytes than the block has, or expanding to more items than a selection may hold, is a
// finding as much as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "medialist/selectionblock.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const aw::Bytes block(data, data + size);
    std::string folder;
    if (aw::SelectionBlock::ParentFolder(block, folder) && (folder.empty() || folder[0] != '/'))
        std::abort();
    aw::SelectionWork work;
    const auto fileBlock = aw::IdListToFileBlock(block, &work);
    if (work.bytesRead > size || work.items > aw::SelectionBlock::kMaxItems)
        std::abort();
    if (fileBlock) {
        std::vector<std::string> paths;
        if (!aw::FileBlock::Read(*fileBlock, paths))
            std::abort();
        for (const std::string& path : paths)
            if (path.empty() || path[0] != '/' || path.find("/../") != std::string::npos)
                std::abort();
    }
    std::vector<std::string> paths;
    aw::FileBlock::Read(block, paths); // the same bytes as a dropped FileBlock
    return 0;
}
