// SPDX-License-Identifier: MIT
#include "medialist/blockintake.h"

#include <string>
#include <vector>

#include "medialist/itemlist.h"
#include "medialist/mediaintake.h"
#include "medialist/selectionblock.h"

namespace aw {
namespace {

constexpr int kNoFilesId = 446;
constexpr int kUnsupportedId = 447;
constexpr int kTooManyItemsId = 3210;

} // namespace

int AcceptFileBlock(const Bytes& block, MediaIntake& intake, ItemList& items) {
    std::vector<std::string> paths;
    if (!FileBlock::Read(block, paths) || paths.empty())
        return kNoFilesId;
    intake.TakeAll(paths);
    return items.count() == 0 ? kUnsupportedId : 0;
}

std::optional<Bytes> ConvertBrowserSelection(const Bytes& selectionBlock, int* refusalId) {
    std::optional<Bytes> block = IdListToFileBlock(selectionBlock);
    if (!block && refusalId != nullptr)
        *refusalId =
            SelectionBlock::ItemCount(selectionBlock) > SelectionBlock::kMaxItems ? kTooManyItemsId : kNoFilesId;
    return block;
}

int AcceptBrowserSelection(const Bytes& selectionBlock, MediaIntake& intake, ItemList& items) {
    int refusalId = kNoFilesId;
    const std::optional<Bytes> block = ConvertBrowserSelection(selectionBlock, &refusalId);
    return block ? AcceptFileBlock(*block, intake, items) : refusalId;
}

} // namespace aw
