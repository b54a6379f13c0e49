// SPDX-License-Identifier: MIT
// Intake of a whole FileBlock and of the media browser's selection block: the rules that decide the
// start-up result (0, 446, 447, or 3210 for a selection of more items than one may hold). The per-file step is MediaIntake's; what
// the user is shown afterwards (the rejected names, the first selection, the preview) is the caller's.
//
// Ownership: borrows the intake and its list for the call. Thread-safety: none; the list's thread only.
#pragma once

#include <optional>

#include "medialist/fileblock.h"

namespace aw {

class ItemList;
class MediaIntake;

// The paths of `block` through `intake` (which appends to `items`), in order. 446 when the block holds
// no path (or cannot be read); 447 when the list is still empty afterwards; else 0.
int AcceptFileBlock(const Bytes& block, MediaIntake& intake, ItemList& items);

// The first half of taking in the browser's selection: `selectionBlock` converted (IdListToFileBlock).
// None when the selection cannot be converted; then `refusalId`, when given, receives the text to show:
// 3210 when the block declares more than SelectionBlock::kMaxItems items, else 446.
std::optional<Bytes> ConvertBrowserSelection(const Bytes& selectionBlock, int* refusalId = nullptr);

// ConvertBrowserSelection, then AcceptFileBlock with the converted block; its refusal when there is none.
int AcceptBrowserSelection(const Bytes& selectionBlock, MediaIntake& intake, ItemList& items);

} // namespace aw
