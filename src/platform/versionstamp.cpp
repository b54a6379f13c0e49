// SPDX-License-Identifier: MIT
#include "platform/versionstamp.h"

#include <algorithm>
#include <fstream>
#include <vector>

namespace aw {

namespace {

constexpr std::string_view kTag = "\x01"
                                  "AWVERSION:";
constexpr std::size_t kLongestVersion = 4 * 5 + 3; // "65535.65535.65535.65535"

} // namespace

// Kept by the compiler and the linker although nothing reads it in memory: it is read from the file.
extern "C" {
extern const char aw_version_stamp[];
[[gnu::used]] const char aw_version_stamp[] = "\x01"
                                              "AWVERSION:" ALBUMWRIGHT_VERSION_TEXT;
}

std::string_view ProgramVersionText() {
    return std::string_view(aw_version_stamp).substr(kTag.size());
}

std::uint64_t FindVersionStamp(std::string_view bytes) {
    for (std::size_t at = bytes.find(kTag); at != std::string_view::npos; at = bytes.find(kTag, at + 1)) {
        // The tag also occurs in this very code's constants without digits behind it; such hits are skipped.
        std::size_t pos = at + kTag.size();
        std::uint64_t version = 0;
        int parts = 0;
        bool ok = true;
        while (ok && parts < 4) {
            std::uint32_t part = 0;
            std::size_t digits = 0;
            while (pos < bytes.size() && bytes[pos] >= '0' && bytes[pos] <= '9' && digits < 6) {
                part = part * 10 + static_cast<std::uint32_t>(bytes[pos] - '0');
                ++pos;
                ++digits;
            }
            ok = digits > 0 && part <= 0xffff;
            version = (version << 16) | part;
            ++parts;
            if (ok && parts < 4)
                ok = pos < bytes.size() && bytes[pos++] == '.';
        }
        // The text ends with the stamp's terminating zero.
        if (ok && pos < bytes.size() && bytes[pos] == '\0')
            return version;
    }
    return 0;
}

std::uint64_t ReadFileVersion(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return 0;
    // Read in blocks, keeping the tail of each so that a stamp across a block boundary is still found.
    constexpr std::size_t kBlock = 1 << 20;
    const std::size_t keep = kTag.size() + kLongestVersion + 1;
    std::vector<char> buffer(kBlock + keep);
    std::size_t carried = 0;
    for (;;) {
        in.read(buffer.data() + carried, static_cast<std::streamsize>(kBlock));
        const std::size_t got = static_cast<std::size_t>(in.gcount());
        if (got == 0)
            return 0;
        const std::size_t total = carried + got;
        if (const std::uint64_t version = FindVersionStamp(std::string_view(buffer.data(), total)))
            return version;
        carried = std::min(keep, total);
        const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(total);
        std::copy(end - static_cast<std::ptrdiff_t>(carried), end, buffer.begin());
    }
}

} // namespace aw
