// SPDX-License-Identifier: MIT
// Arbitrary bytes as the start of a module file, judged against the input's length and against a file
// cut shorter or grown longer than the bytes: the walk must stay inside the bytes given, and a verdict
// of Inside must hold for the segments it read.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include <elf.h>
#include <link.h>

#include "album/elfsegments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t count = std::min(size, aw::kElfHeadBytes);
    for (const uint64_t fileSize : {uint64_t{size}, uint64_t{size} + 4096, ~uint64_t{0}}) {
        if (aw::CheckElfLayout(data, count, fileSize) != aw::ElfLayout::Inside)
            continue;
        ElfW(Ehdr) header;
        std::memcpy(&header, data, sizeof header);
        for (std::size_t i = 0; i < header.e_phnum; ++i) {
            ElfW(Phdr) segment;
            std::memcpy(&segment, data + header.e_phoff + i * sizeof segment, sizeof segment);
            if (segment.p_type == PT_LOAD &&
                (segment.p_offset > fileSize || segment.p_filesz > fileSize - segment.p_offset))
                __builtin_trap();
        }
    }
    return 0;
}
