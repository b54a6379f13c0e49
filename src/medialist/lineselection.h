// SPDX-License-Identifier: MIT
// Which lines of the album list are selected, and the orders that moving them gives. The selection is a
// set of lines with a focus (the line the keyboard moves from, drawn with the focus frame) and an anchor
// (where a Shift click or Shift arrow extends from): a plain click selects one line, Shift selects the
// range from the anchor, Ctrl adds or removes one line.
//
// The orders follow ItemList::Reorder: order[k] is the index of the item that goes k-th. A move keeps the
// selected items' order among themselves.
//
// A plain value; no thread-safety needed.
#pragma once

#include <cstddef>
#include <vector>

namespace aw {

// How a click or a navigation key changes the selection.
enum class SelectMode { Only, Range, Toggle };

class LineSelection {
public:
    // The lines selected, in ascending order; the focus is -1 when nothing is.
    const std::vector<int>& lines() const { return lines_; }
    int focus() const { return focus_; }
    bool empty() const { return lines_.empty(); }
    bool Has(int line) const;

    // Selects `line` as `mode` says; a line outside 0 .. count - 1 selects nothing (Only) or changes
    // nothing (the others).
    void Select(int line, SelectMode mode, int count);
    // Exactly `lines` (any order, repeats and lines outside 0 .. count - 1 dropped), with `focus`.
    void Set(std::vector<int> lines, int focus, int count);
    void Clear();

private:
    std::vector<int> lines_;
    int focus_ = -1;
    int anchor_ = -1;
};

// The order that moves every line of `selected` (ascending) `step` places (-1 up, +1 down) in a list of
// `count`; empty when nothing would move (no selection, or the block at the edge it moves towards).
std::vector<std::size_t> MoveOrder(int count, const std::vector<int>& selected, int step);
// The order that puts the lines of `selected` (ascending), together, in the place before line `before`
// (0 .. count; count is the end) of the list as it stands; empty when nothing would change.
std::vector<std::size_t> DropOrder(int count, const std::vector<int>& selected, int before);
// Where the line at `index` stands in `order`; -1 when it is not there.
int PlaceIn(const std::vector<std::size_t>& order, int index);

} // namespace aw
