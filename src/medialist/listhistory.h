// SPDX-License-Identifier: MIT
// The album list's undo and redo: whole states of the list (its items, the selection and the current
// item) taken before each edit. An edit clears what could be redone. At most kDepth states are kept;
// the oldest go first.
//
// A plain value owned by the list controller; no thread-safety needed.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <vector>

#include "album/mediaitem.h"

namespace aw {

struct ListState {
    std::vector<MediaItem> items;
    std::vector<int> selection;
    int focus = -1;
    int current = -1;
};

class ListHistory {
public:
    static constexpr std::size_t kDepth = 100;

    // `before` is the state the edit about to be made starts from.
    void Record(ListState before);
    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // The state to go back (or forward) to, with `now` kept for the other direction; nothing when there
    // is none.
    std::optional<ListState> Undo(ListState now);
    std::optional<ListState> Redo(ListState now);

private:
    std::deque<ListState> undo_;
    std::deque<ListState> redo_;
};

} // namespace aw
