// SPDX-License-Identifier: MIT
#include "medialist/fileblock.h"

#include <cstring>

namespace aw {
namespace {

constexpr std::uint32_t kWideFlagOffset = 16;

} // namespace

Bytes FileBlock::Make(const std::vector<std::string>& paths) {
    Bytes block;
    AppendLe32(block, kHeaderSize);
    for (int field = 1; field < 5; ++field)
        AppendLe32(block, 0);
    for (const std::string& path : paths) {
        if (path.empty() || path.find('\0') != std::string::npos)
            continue;
        block.insert(block.end(), path.begin(), path.end());
        block.push_back(0);
    }
    block.push_back(0);
    return block;
}

bool FileBlock::Read(const Bytes& block, std::vector<std::string>& paths) {
    paths.clear();
    if (block.size() < kHeaderSize)
        return false;
    const std::uint32_t first = ReadLe32(block.data());
    if (first < kHeaderSize || first >= block.size() || ReadLe32(block.data() + kWideFlagOffset) != 0)
        return false;
    std::size_t at = first;
    while (at < block.size()) {
        const void* end = std::memchr(block.data() + at, 0, block.size() - at);
        if (end == nullptr)
            break;
        const std::size_t length = static_cast<const std::uint8_t*>(end) - (block.data() + at);
        if (length == 0)
            return true;
        paths.emplace_back(reinterpret_cast<const char*>(block.data() + at), length);
        at += length + 1;
    }
    paths.clear();
    return false;
}

} // namespace aw
