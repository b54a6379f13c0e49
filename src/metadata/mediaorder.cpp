// SPDX-License-Identifier: MIT
#include "metadata/mediaorder.h"

#include <algorithm>
#include <numeric>

#include "platform/asciicase.h"

namespace aw {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

template <typename Less> std::vector<std::size_t> StableOrder(std::size_t count, Less less) {
    std::vector<std::size_t> order(count);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), less);
    return order;
}

} // namespace

int CompareNaturally(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            while (i < a.size() && a[i] == '0')
                ++i;
            while (j < b.size() && b[j] == '0')
                ++j;
            const std::size_t startA = i, startB = j;
            while (i < a.size() && IsDigit(a[i]))
                ++i;
            while (j < b.size() && IsDigit(b[j]))
                ++j;
            // Without leading zeros the longer number is the larger; equal lengths compare digit by digit.
            if (i - startA != j - startB)
                return i - startA < j - startB ? -1 : 1;
            if (const int digits = a.substr(startA, i - startA).compare(b.substr(startB, j - startB)))
                return digits < 0 ? -1 : 1;
            continue;
        }
        const auto x = static_cast<unsigned char>(AsciiLower(a[i]));
        const auto y = static_cast<unsigned char>(AsciiLower(b[j]));
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    return j < b.size() ? -1 : 0;
}

std::vector<std::size_t> OrderByName(const std::vector<std::string>& names) {
    return StableOrder(
        names.size(), [&](std::size_t x, std::size_t y) { return CompareNaturally(names[x], names[y]) < 0; });
}

std::vector<std::size_t> OrderByTaken(const std::vector<TakenTime>& times) {
    return StableOrder(times.size(), [&](std::size_t x, std::size_t y) { return times[x] < times[y]; });
}

} // namespace aw
