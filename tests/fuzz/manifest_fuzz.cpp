// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the album's record reader: once as a whole record, and once as the entry lines
// of a record sealed with a correct closing line, so that the entry parser is reached past the checksum.
// A record taken as whole must name only plain files and absolute sources, and must read back the same
// after being written again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "album/albummanifest.h"

namespace {

void Check(const aw::ManifestRead& read) {
    if (read.state != aw::ManifestState::Read)
        return;
    for (const aw::ManifestEntry& entry : read.entries)
        if (entry.name.empty() || entry.name == ".." || entry.name.find('/') != std::string::npos ||
            entry.sourcePath.empty() || entry.sourcePath[0] != '/' ||
            (entry.folder != 'D' && entry.folder != 'T'))
            std::abort();
    const std::string text = aw::FormatManifest(read.entries, "1");
    const aw::ManifestRead again = aw::ParseManifest(text, "1");
    if (again.state != aw::ManifestState::Read || aw::FormatManifest(again.entries, "1") != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Check(aw::ParseManifest(bytes, "1"));
    std::string lines = bytes;
    if (lines.empty() || lines.back() != '\n')
        lines += '\n';
    std::size_t count = 0;
    for (const char c : lines)
        count += c == '\n' ? 1 : 0;
    Check(aw::ParseManifest(aw::SealManifest("albumwright manifest 1\nprogram 1\n" + lines, count), "1"));
    return 0;
}
