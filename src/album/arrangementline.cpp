// SPDX-License-Identifier: MIT
#include "album/arrangementline.h"

#include <climits>

namespace aw {

int ParseArrangementNumber(std::string_view line) {
    std::size_t at = 0;
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t' || line[at] == '\n' || line[at] == '\r' ||
                                line[at] == '\v' || line[at] == '\f'))
        ++at;
    bool negative = false;
    if (at < line.size() && (line[at] == '+' || line[at] == '-')) {
        negative = line[at] == '-';
        ++at;
    }
    // Accumulate as a negative number so that INT_MIN itself is reachable; clamp once past the range.
    long long value = 0;
    for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at) {
        value = value * 10 - (line[at] - '0');
        if (value < static_cast<long long>(INT_MIN))
            return negative ? INT_MIN : INT_MAX;
    }
    if (!negative)
        return value < -static_cast<long long>(INT_MAX) ? INT_MAX : static_cast<int>(-value);
    return static_cast<int>(value);
}

ArrangementRead ReadArrangementLine(std::FILE* file, std::string& line) {
    line.clear();
    if (!file)
        return ArrangementRead::Error;
    bool any = false;
    for (int c; (c = std::getc(file)) != EOF;) {
        any = true;
        if (c == '\n')
            break;
        if (line.size() < kMaxKeptArrangementLine)
            line += static_cast<char>(c);
    }
    if (std::ferror(file))
        return ArrangementRead::Error;
    if (!any)
        return ArrangementRead::End;
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return ArrangementRead::Line;
}

} // namespace aw
