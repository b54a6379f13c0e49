// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes to the album's record reader: once as a whole record, and once as the header and
// entry lines of records of both formats sealed with a correct closing line, so that the line parsers are
// reached past the checksum.
// A record taken as whole must name only plain files of the folders a record knows and absolute sources, and
// must read back the same after being written again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "album/albummanifest.h"

namespace {

void Check(const aw::ManifestRead& read) {
    if (read.state != aw::ManifestState::Read)
        return;
    for (const aw::ManifestEntry& entry : read.entries)
        if (entry.name.empty() || entry.name == ".." || entry.name.find('/') != std::string::npos ||
            entry.sourcePath.empty() || entry.sourcePath[0] != '/' ||
            std::string_view("DT23PO").find(entry.folder) == std::string_view::npos)
            std::abort();
    const std::string text = aw::FormatManifest(read.header, read.entries, "1");
    const aw::ManifestRead again = aw::ParseManifest(text, "1");
    if (again.state != aw::ManifestState::Read ||
        aw::FormatManifest(again.header, again.entries, "1") != text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    Check(aw::ParseManifest(bytes, "1"));
    std::string lines = bytes;
    if (lines.empty() || lines.back() != '\n')
        lines += '\n';
    // Sealed as a record whose last lines are entries: all of them, or those from the first "D " or "T ".
    std::size_t count = 0, entries = 0;
    bool inEntries = false;
    for (std::size_t at = 0; at < lines.size(); at = lines.find('\n', at) + 1) {
        ++count;
        inEntries = inEntries || lines.compare(at, 2, "D ") == 0 || lines.compare(at, 2, "T ") == 0;
        entries += inEntries ? 1 : 0;
    }
    for (const char* format : {"1", "2"})
        for (const std::size_t sealed : {count, entries})
            Check(aw::ParseManifest(
                aw::SealManifest(std::string("albumwright manifest ") + format + "\nprogram 1\n" + lines,
                                 sealed),
                "1"));
    return 0;
}
