// SPDX-License-Identifier: MIT
// ASCII-only case folding, as file extensions, settings names and typed letters compare: bytes outside
// A-Z (UTF-8 sequences included) are left as they are, whatever the locale. Thread-safe.
#pragma once

#include <string>
#include <string_view>

namespace aw {

constexpr char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiLower(std::string_view text);

// Equal but for the case of ASCII letters.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace aw
