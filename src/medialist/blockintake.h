// SPDX-License-Identifier: MIT
// Intake of a whole FileBlock and of the media browser's selection block: the rules that decide the
// start-up result (taken, or refused with no files, unsupported files, or too many files for a selection of
// more items than one may hold). The per-file step is MediaIntake's; what the user is shown afterwards (the
// rejected names, the first selection, the preview) is the caller's.
//
// Ownership: borrows the intake and its list for the call. Thread-safety: none; the list's thread only.
#pragma once

#include <optional>

#include "medialist/fileblock.h"
#include "stringtable.h"

namespace aw {

// The box text for an intake that took nothing; none when files were taken.
using IntakeRefusal = std::optional<TextId>;

class ItemList;
class MediaIntake;

// The paths of `block` through `intake` (which appends to `items`), in order. NoFilesSelected when the
// block holds no path (or cannot be read); UnsupportedSelection when the list is still empty afterwards.
IntakeRefusal AcceptFileBlock(const Bytes& block, MediaIntake& intake, ItemList& items);

// The first half of taking in the browser's selection: `selectionBlock` converted (IdListToFileBlock).
// None when the selection cannot be converted; then `refusal`, when given, receives the text to show:
// TooManyFiles when the block declares more than SelectionBlock::kMaxItems items, else NoFilesSelected.
std::optional<Bytes> ConvertBrowserSelection(const Bytes& selectionBlock, TextId* refusal = nullptr);

// ConvertBrowserSelection, then AcceptFileBlock with the converted block; its refusal when there is none.
IntakeRefusal AcceptBrowserSelection(const Bytes& selectionBlock, MediaIntake& intake, ItemList& items);

} // namespace aw
