// SPDX-License-Identifier: MIT
// The orders a user can put an album's items in: by the date taken, and by name as people read names
// (numbers by their value, letters without case: "IMG_2" before "img_10"). Both are stable: items with
// equal keys keep the order they were given in. Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "metadata/takentime.h"

namespace aw {

// Negative, zero or positive as `a` comes before, with or after `b`. Runs of digits compare by value
// (leading zeros ignored); other bytes compare with ASCII letters folded to lower case.
int CompareNaturally(std::string_view a, std::string_view b);

// The indexes of `names` (or `times`) in the new order: result[k] is the index of the item that goes k-th.
// Unknown times go last.
std::vector<std::size_t> OrderByName(const std::vector<std::string>& names);
std::vector<std::size_t> OrderByTaken(const std::vector<TakenTime>& times);

} // namespace aw
