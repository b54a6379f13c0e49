// SPDX-License-Identifier: MIT
#include "medialist/listhistory.h"

#include <utility>

namespace aw {

namespace {

void Push(std::deque<ListState>& stack, ListState state) {
    stack.push_back(std::move(state));
    if (stack.size() > ListHistory::kDepth)
        stack.pop_front();
}

std::optional<ListState> Trade(std::deque<ListState>& from, std::deque<ListState>& to, ListState now) {
    if (from.empty())
        return std::nullopt;
    ListState back = std::move(from.back());
    from.pop_back();
    Push(to, std::move(now));
    return back;
}

} // namespace

void ListHistory::Record(ListState before) {
    Push(undo_, std::move(before));
    redo_.clear();
}

std::optional<ListState> ListHistory::Undo(ListState now) {
    return Trade(undo_, redo_, std::move(now));
}

std::optional<ListState> ListHistory::Redo(ListState now) {
    return Trade(redo_, undo_, std::move(now));
}

} // namespace aw
