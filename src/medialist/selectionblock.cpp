#include "medialist/selectionblock.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace aw {
namespace {

constexpr std::size_t kCountSize = 4;
constexpr std::size_t kOffsetSize = 4;
constexpr std::size_t kSizeFieldSize = 2;
constexpr std::size_t kMaxComponent = std::numeric_limits<std::uint16_t>::max() - kSizeFieldSize;
// Offsets may all name one long list, or points inside it: the bytes read over all lists are bounded.
constexpr std::size_t kMaxScanned = SelectionBlock::kMaxFileBlockSize;

// One ID list read out of the block: its components, or the note that it has no file-system path.
struct ReadList {
    std::vector<std::string> components;
    bool hasPath = true;
};

bool IsPathComponent(const std::string& component) {
    return !component.empty() && component[0] != '\0' && component != "." && component != ".." &&
           component.find('/') == std::string::npos && component.find('\0') == std::string::npos;
}

// The list at `offset`; false when it does not end with its terminator inside the block, holds an item
// too small to carry a component, or would take the bytes read past `budget`.
bool ReadIdList(const Bytes& block, std::size_t offset, ReadList& list, std::size_t& budget) {
    std::size_t at = offset;
    while (true) {
        if (budget < kSizeFieldSize)
            return false;
        budget -= kSizeFieldSize;
        if (block.size() - at < kSizeFieldSize)
            return false;
        const std::size_t size = ReadLe16(block.data() + at);
        if (size == 0)
            return true;
        if (size <= kSizeFieldSize || size > block.size() - at || size - kSizeFieldSize > budget)
            return false;
        budget -= size - kSizeFieldSize;
        std::string component(reinterpret_cast<const char*>(block.data() + at + kSizeFieldSize),
                              size - kSizeFieldSize);
        if (!IsPathComponent(component))
            list.hasPath = false;
        list.components.push_back(std::move(component));
        at += size;
    }
}

// The validated count and offsets of the block; false for any count or offset the block cannot hold.
bool ReadOffsets(const Bytes& block, std::vector<std::size_t>& offsets) {
    if (block.size() < kCountSize)
        return false;
    const std::uint64_t count = ReadLe32(block.data());
    const std::uint64_t headerEnd = kCountSize + (count + 1) * kOffsetSize;
    if (count == 0 || headerEnd > block.size())
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

std::string JoinedPath(const std::vector<std::string>& components) {
    if (components.empty())
        return "/";
    std::string path;
    for (const std::string& component : components)
        path += "/" + component;
    return path;
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

bool SelectionBlock::ParentFolder(const Bytes& block, std::string& folder) {
    std::vector<std::size_t> offsets;
    ReadList parent;
    std::size_t budget = kMaxScanned;
    if (!ReadOffsets(block, offsets) || !ReadIdList(block, offsets[0], parent, budget) || !parent.hasPath)
        return false;
    folder = JoinedPath(parent.components);
    return true;
}

std::optional<Bytes> IdListToFileBlock(const Bytes& block) {
    std::vector<std::size_t> offsets;
    ReadList parent;
    std::size_t budget = kMaxScanned;
    if (!ReadOffsets(block, offsets) || !ReadIdList(block, offsets[0], parent, budget))
        return std::nullopt;
    std::vector<std::string> paths;
    std::size_t total = FileBlock::kHeaderSize + 1;
    for (std::size_t i = 1; i < offsets.size(); ++i) {
        ReadList item;
        if (!ReadIdList(block, offsets[i], item, budget))
            return std::nullopt;
        if (!parent.hasPath || !item.hasPath)
            continue;
        std::vector<std::string> components = parent.components;
        components.insert(components.end(), item.components.begin(), item.components.end());
        std::string path = JoinedPath(components);
        if (path.size() > SelectionBlock::kMaxPathLength)
            continue;
        total += path.size() + 1;
        if (total > SelectionBlock::kMaxFileBlockSize)
            return std::nullopt;
        paths.push_back(std::move(path));
    }
    return FileBlock::Make(paths);
}

} // namespace aw
