// SPDX-License-Identifier: MIT
#include "medialist/selectionblock.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string_view>

namespace aw {
namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kOffsetSize = 4;
constexpr std::size_t kSizeFieldSize = 2;
constexpr std::size_t kMaxComponent = std::numeric_limits<std::uint16_t>::max() - kSizeFieldSize;

bool IsPathComponent(std::string_view component) {
    return !component.empty() && component[0] != '\0' && component != "." && component != ".." &&
           component.find('/') == std::string_view::npos && component.find('\0') == std::string_view::npos;
}

// The list at `offset`, its components appended to `path` as "/" + component while `path` stays within
// the path limit; `hasPath` cleared by a component that is no path, `tooLong` set past the limit. False
// when the list does not end with its terminator inside the block, holds an item too small to carry a
// component, or would take the bytes read past `budget`. Every byte is looked at once.
bool ReadIdList(const Bytes& block, std::size_t offset, std::string& path, bool& hasPath, bool& tooLong,
                std::size_t& budget) {
    std::size_t at = offset;
    while (true) {
        if (budget < kSizeFieldSize || block.size() - at < kSizeFieldSize)
            return false;
        budget -= kSizeFieldSize;
        const std::size_t size = ReadLe16(block.data() + at);
        if (size == 0)
            return true;
        if (size <= kSizeFieldSize || size > block.size() - at || size - kSizeFieldSize > budget)
            return false;
        budget -= size - kSizeFieldSize;
        const std::string_view component(reinterpret_cast<const char*>(block.data() + at + kSizeFieldSize),
                                         size - kSizeFieldSize);
        if (!IsPathComponent(component))
            hasPath = false;
        else if (tooLong || path.size() + 1 + component.size() > SelectionBlock::kMaxPathLength)
            tooLong = true;
        else
            path.append("/").append(component);
        at += size;
    }
}

// The declared item count when the block can hold its header; 0 otherwise.
std::uint64_t DeclaredCount(const Bytes& block) {
    return block.size() < kCountSize ? 0 : ReadLe32(block.data());
}

// The validated offsets of the block; false for any count or offset the block cannot hold, and for more
// items than a selection may have.
bool ReadOffsets(const Bytes& block, std::vector<std::size_t>& offsets) {
    const std::uint64_t count = DeclaredCount(block);
    const std::uint64_t headerEnd = kCountSize + (count + 1) * kOffsetSize;
    if (count == 0 || count > SelectionBlock::kMaxItems || headerEnd > block.size())
        return false;
    offsets.reserve(count + 1);
    for (std::uint64_t i = 0; i <= count; ++i) {
        const std::size_t offset = ReadLe32(block.data() + kCountSize + i * kOffsetSize);
        if (offset < headerEnd || offset >= block.size())
            return false;
        offsets.push_back(offset);
    }
    return true;
}

// The parent folder's list read: its path without a closing "/" ("" for the root), or false.
bool ReadParent(const Bytes& block, std::vector<std::size_t>& offsets, std::string& prefix, bool& hasPath,
                std::size_t& budget) {
    bool tooLong = false;
    if (!ReadOffsets(block, offsets) || !ReadIdList(block, offsets[0], prefix, hasPath, tooLong, budget))
        return false;
    hasPath = hasPath && !tooLong;
    return true;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> components;
    std::size_t at = 0;
    while (at <= path.size()) {
        const std::size_t slash = std::min(path.find('/', at), path.size());
        if (slash > at)
            components.push_back(path.substr(at, slash - at));
        at = slash + 1;
    }
    return components;
}

} // namespace

Bytes SelectionBlock::IdList(const std::vector<std::string>& components) {
    Bytes list;
    for (const std::string& component : components) {
        const std::size_t length = std::min(component.size(), kMaxComponent);
        AppendLe16(list, static_cast<std::uint16_t>(length + kSizeFieldSize));
        list.insert(list.end(), component.begin(), component.begin() + static_cast<std::ptrdiff_t>(length));
    }
    AppendLe16(list, 0);
    return list;
}

Bytes SelectionBlock::FromIdLists(const std::vector<Bytes>& lists) {
    Bytes block;
    const std::size_t count = lists.empty() ? 0 : lists.size() - 1;
    AppendLe32(block, static_cast<std::uint32_t>(count));
    std::size_t offset = kCountSize + lists.size() * kOffsetSize;
    for (const Bytes& list : lists) {
        AppendLe32(block, static_cast<std::uint32_t>(offset));
        offset += list.size();
    }
    for (const Bytes& list : lists)
        block.insert(block.end(), list.begin(), list.end());
    return block;
}

Bytes SelectionBlock::Build(const std::string& folder, const std::vector<std::string>& items) {
    std::vector<Bytes> lists{IdList(SplitPath(folder))};
    for (const std::string& item : items)
        lists.push_back(IdList(SplitPath(item)));
    return FromIdLists(lists);
}

Bytes SelectionBlock::ForFiles(const std::vector<std::string>& paths) {
    std::vector<std::vector<std::string>> split;
    for (const std::string& path : paths)
        split.push_back(SplitPath(path));
    // The deepest folder holding them all: the leading components their folders share.
    std::size_t common = 0;
    if (!split.empty()) {
        common = std::max<std::size_t>(split.front().size(), 1) - 1;
        for (const auto& components : split) {
            const std::size_t folderDepth = std::max<std::size_t>(components.size(), 1) - 1;
            std::size_t same = 0;
            while (same < std::min(common, folderDepth) && components[same] == split.front()[same])
                ++same;
            common = same;
        }
    }
    const auto prefix = [common](const std::vector<std::string>& components) {
        return std::vector<std::string>(components.begin(),
                                        components.begin() + static_cast<std::ptrdiff_t>(common));
    };
    std::vector<Bytes> lists{IdList(split.empty() ? std::vector<std::string>() : prefix(split.front()))};
    for (const auto& components : split)
        lists.push_back(IdList(std::vector<std::string>(
            components.begin() + static_cast<std::ptrdiff_t>(common), components.end())));
    return FromIdLists(lists);
}

std::size_t SelectionBlock::ItemCount(const Bytes& block) {
    return static_cast<std::size_t>(DeclaredCount(block));
}

bool SelectionBlock::ParentFolder(const Bytes& block, std::string& folder) {
    std::vector<std::size_t> offsets;
    std::string prefix;
    bool hasPath = true;
    std::size_t budget = block.size();
    if (!ReadParent(block, offsets, prefix, hasPath, budget) || !hasPath)
        return false;
    folder = prefix.empty() ? "/" : prefix;
    return true;
}

std::optional<Bytes> IdListToFileBlock(const Bytes& block, SelectionWork* work) {
    std::vector<std::size_t> offsets;
    std::string prefix;
    bool parentHasPath = true;
    // Offsets may all name one list: the lists read together may take no more bytes than the block holds.
    std::size_t budget = block.size();
    std::size_t items = 0;
    const auto done = [&](std::optional<Bytes> result) {
        if (work != nullptr)
            *work = {block.size() - budget, items};
        return result;
    };
    if (!ReadParent(block, offsets, prefix, parentHasPath, budget))
        return done(std::nullopt);
    std::vector<std::string> paths;
    std::size_t total = FileBlock::kHeaderSize + 1;
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        // The parent's text is joined once per item, never split again.
        std::string path = prefix;
        bool hasPath = parentHasPath, tooLong = false;
        ++items;
        if (!ReadIdList(block, offsets[i], path, hasPath, tooLong, budget))
            return done(std::nullopt);
        if (!hasPath || tooLong)
            continue;
        if (path.empty())
            path.push_back('/'); // an item without components is the parent itself
        total += path.size() + 1;
        if (total > SelectionBlock::kMaxFileBlockSize)
            return done(std::nullopt);
        paths.push_back(std::move(path));
    }
    return done(FileBlock::Make(paths));
}

} // namespace aw
