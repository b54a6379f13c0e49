// SPDX-License-Identifier: MIT
// The program's four-part version, recorded in every executable that links the core as a tagged text
// ("\x01AWVERSION:" followed by "a.b.c.d"), and read back from any file. Thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace aw {

// The four parts as text, "1.1.0.0".
std::string_view ProgramVersionText();

// The version recorded in the file at `path`: the four 16-bit parts, the most significant first
// (1.1.0.0 gives 0x0001000100000000). 0 when the file cannot be read or records none.
std::uint64_t ReadFileVersion(const std::string& path);

// The first well-formed tagged version in `bytes`; 0 when none. Exposed for tests.
std::uint64_t FindVersionStamp(std::string_view bytes);

} // namespace aw
