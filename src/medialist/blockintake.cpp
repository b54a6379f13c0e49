// SPDX-License-Identifier: MIT
#include "medialist/blockintake.h"

#include <string>
#include <vector>

#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "medialist/selectionblock.h"

namespace aw {

IntakeRefusal AcceptFileBlock(const Bytes& block, MediaIntake& intake, ItemList& items) {
    std::vector<std::string> paths;
    if (!FileBlock::Read(block, paths) || paths.empty())
        return TextId::NoFilesSelected;
    intake.TakeAll(paths);
    return items.count() == 0 ? IntakeRefusal(TextId::UnsupportedSelection) : std::nullopt;
}

std::optional<Bytes> ConvertBrowserSelection(const Bytes& selectionBlock, TextId* refusal) {
    std::optional<Bytes> block = IdListToFileBlock(selectionBlock);
    if (!block && refusal != nullptr)
        *refusal = SelectionBlock::ItemCount(selectionBlock) > SelectionBlock::kMaxItems
                       ? TextId::TooManyFiles
                       : TextId::NoFilesSelected;
    return block;
}

IntakeRefusal AcceptBrowserSelection(const Bytes& selectionBlock, MediaIntake& intake, ItemList& items) {
    TextId refusal = TextId::NoFilesSelected;
    const std::optional<Bytes> block = ConvertBrowserSelection(selectionBlock, &refusal);
    return block ? AcceptFileBlock(*block, intake, items) : refusal;
}

} // namespace aw
