// SPDX-License-Identifier: MIT
#include "album/elfsegments.h"

#include <cstring>

#include <elf.h>
#include <link.h>

namespace aw {
namespace {

// The class and header types of the objects this process can load.
#if __SIZEOF_POINTER__ == 8
constexpr unsigned char kClass = ELFCLASS64;
#else
constexpr unsigned char kClass = ELFCLASS32;
#endif
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
constexpr unsigned char kByteOrder = ELFDATA2LSB;
#else
constexpr unsigned char kByteOrder = ELFDATA2MSB;
#endif
using Header = ElfW(Ehdr);
using ProgramHeader = ElfW(Phdr);

} // namespace

ElfLayout CheckElfLayout(const uint8_t* head, std::size_t count, uint64_t fileSize) {
    if (head == nullptr || count < sizeof(Header) || count > fileSize)
        return ElfLayout::NotAModule;
    Header header;
    std::memcpy(&header, head, sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != kClass ||
        header.e_ident[EI_DATA] != kByteOrder || header.e_type != ET_DYN ||
        header.e_phentsize != sizeof(ProgramHeader) || header.e_phnum == 0 || header.e_phnum == PN_XNUM)
        return ElfLayout::NotAModule;
    // Each bound compared by subtraction from a known-good size: no sum can overflow.
    const uint64_t tableSize = uint64_t{header.e_phnum} * sizeof(ProgramHeader);
    if (header.e_phoff > count || tableSize > count - header.e_phoff)
        return ElfLayout::NotAModule;
    bool anyLoadable = false;
    for (std::size_t i = 0; i < header.e_phnum; ++i) {
        ProgramHeader segment;
        std::memcpy(&segment, head + header.e_phoff + i * sizeof segment, sizeof segment);
        if (segment.p_type != PT_LOAD)
            continue;
        anyLoadable = true;
        if (segment.p_offset > fileSize || segment.p_filesz > fileSize - segment.p_offset)
            return ElfLayout::CutShort;
    }
    return anyLoadable ? ElfLayout::Inside : ElfLayout::NotAModule;
}

} // namespace aw
