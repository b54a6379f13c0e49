// SPDX-License-Identifier: MIT
#include "medialist/lineselection.h"

#include <algorithm>
#include <numeric>

namespace aw {

bool LineSelection::Has(int line) const {
    return std::binary_search(lines_.begin(), lines_.end(), line);
}

void LineSelection::Select(int line, SelectMode mode, int count) {
    if (line < 0 || line >= count) {
        if (mode == SelectMode::Only)
            Clear();
        return;
    }
    switch (mode) {
    case SelectMode::Only:
        lines_ = {line};
        anchor_ = line;
        break;
    case SelectMode::Range: {
        const int from = anchor_ >= 0 && anchor_ < count ? anchor_ : line;
        lines_.clear();
        for (int k = std::min(from, line); k <= std::max(from, line); ++k)
            lines_.push_back(k);
        anchor_ = from;
        break;
    }
    case SelectMode::Toggle:
        if (Has(line))
            lines_.erase(std::lower_bound(lines_.begin(), lines_.end(), line));
        else
            lines_.insert(std::lower_bound(lines_.begin(), lines_.end(), line), line);
        anchor_ = line;
        break;
    }
    focus_ = lines_.empty() ? -1 : line;
}

void LineSelection::Set(std::vector<int> lines, int focus, int count) {
    std::erase_if(lines, [count](int line) { return line < 0 || line >= count; });
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    lines_ = std::move(lines);
    focus_ = lines_.empty() ? -1 : Has(focus) ? focus : lines_.front();
    anchor_ = focus_;
}

void LineSelection::Clear() {
    lines_.clear();
    focus_ = anchor_ = -1;
}

namespace {

std::vector<std::size_t> Identity(int count) {
    std::vector<std::size_t> order(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(order.begin(), order.end(), std::size_t{0});
    return order;
}

} // namespace

std::vector<std::size_t> MoveOrder(int count, const std::vector<int>& selected, int step) {
    if (selected.empty() || selected.front() < 0 || selected.back() >= count)
        return {};
    // The block stops whole at the edge: a move that would leave a line behind moves none.
    if ((step < 0 && selected.front() == 0) || (step > 0 && selected.back() == count - 1))
        return {};
    std::vector<std::size_t> order = Identity(count);
    // Each selected line trades places with the unselected neighbour on its side; walking from that
    // side lets a run of selected lines move as one.
    if (step < 0) {
        for (const int line : selected)
            std::swap(order[static_cast<std::size_t>(line)], order[static_cast<std::size_t>(line - 1)]);
    } else {
        for (auto it = selected.rbegin(); it != selected.rend(); ++it)
            std::swap(order[static_cast<std::size_t>(*it)], order[static_cast<std::size_t>(*it + 1)]);
    }
    return order;
}

std::vector<std::size_t> DropOrder(int count, const std::vector<int>& selected, int before) {
    if (selected.empty() || selected.front() < 0 || selected.back() >= count || before < 0 || before > count)
        return {};
    std::vector<std::size_t> rest;
    std::vector<std::size_t> moved;
    std::size_t insertAt = 0;
    for (int line = 0; line < count; ++line) {
        if (line == before)
            insertAt = rest.size();
        if (std::binary_search(selected.begin(), selected.end(), line))
            moved.push_back(static_cast<std::size_t>(line));
        else
            rest.push_back(static_cast<std::size_t>(line));
    }
    if (before == count)
        insertAt = rest.size();
    rest.insert(rest.begin() + static_cast<std::ptrdiff_t>(insertAt), moved.begin(), moved.end());
    return rest == Identity(count) ? std::vector<std::size_t>{} : rest;
}

int PlaceIn(const std::vector<std::size_t>& order, int index) {
    const auto found = std::find(order.begin(), order.end(), static_cast<std::size_t>(index));
    return index < 0 || found == order.end() ? -1 : static_cast<int>(found - order.begin());
}

} // namespace aw
