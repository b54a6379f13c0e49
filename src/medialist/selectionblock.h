// SPDX-License-Identifier: MIT
// The media browser's selection block ("Shell IDList Array") in its POSIX form, and its conversion into
// a FileBlock.
//
// Layout (all fields little-endian): a 32-bit item count n, then n+1 32-bit byte offsets from the start
// of the block; offset 0 locates the item ID list of the parent folder, offsets 1..n the lists of the
// selected items relative to it. An item ID list is a run of item IDs, each a 16-bit size that counts
// itself followed by one path component as UTF-8 bytes, ended by a 16-bit zero. An item whose first
// byte is 0 has no file-system path (nor has a component that is "." or ".." or holds a "/"); the path
// of an absolute list is "/" followed by its components joined by "/".
//
// The block comes from another process: every count, offset and size is checked against the block's
// length before it is used, and nothing outside the block is ever read. The work is linear in the block:
// every list byte is read once (lists read together may take no more bytes than the block holds), the
// parent's path is joined once per item, and a block may declare at most kMaxItems items.
// Pure functions; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "medialist/fileblock.h"

namespace aw {

class SelectionBlock {
public:
    // Limits of a conversion: a path longer than the system's limit has no file-system path; a block of
    // more items, or whose paths would together exceed kMaxFileBlockSize, gives no FileBlock.
    static constexpr std::size_t kMaxPathLength = 4095;
    static constexpr std::size_t kMaxFileBlockSize = 64u << 20;
    static constexpr std::size_t kMaxItems = 20000;

    // One item ID list of `components`, with its terminator. An empty component gives a bare 2-byte
    // size (a malformed item, for tests); a component of more than 65533 bytes is cut.
    static Bytes IdList(const std::vector<std::string>& components);
    // The whole block from its ID lists: `lists[0]` the parent folder, the others the items.
    static Bytes FromIdLists(const std::vector<Bytes>& lists);
    // The block for `folder` (absolute) and `items` relative to it ("a.jpg", "sub/b.jpg").
    static Bytes Build(const std::string& folder, const std::vector<std::string>& items);
    // The block for absolute `paths`, the parent folder being their deepest common folder.
    static Bytes ForFiles(const std::vector<std::string>& paths);

    // The file-system path of the parent folder's list. False when the block is malformed or that list
    // has no file-system path.
    static bool ParentFolder(const Bytes& block, std::string& folder);

    // The item count the block declares (0 when it is shorter than its count), whether or not the rest
    // of the block can be read: tells a selection of too many items from a malformed one.
    static std::size_t ItemCount(const Bytes& block);
};

// What one conversion cost: the bytes of ID lists read (at most the block's size) and the items joined to
// the parent's path (each a copy of at most kMaxPathLength bytes).
struct SelectionWork {
    std::size_t bytesRead = 0;
    std::size_t items = 0;
};

// The FileBlock holding the file-system path of every item (parent list + item list) in order; items
// without one are left out, so the result may hold no paths. None for a malformed block, a count of 0 or
// more than kMaxItems. `work`, when given, receives what the conversion cost.
std::optional<Bytes> IdListToFileBlock(const Bytes& block, SelectionWork* work = nullptr);

} // namespace aw
