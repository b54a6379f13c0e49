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
// length before it is used, and nothing outside the block is ever read. Pure functions; thread-safe.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "medialist/fileblock.h"

namespace aw {

class SelectionBlock {
public:
    // Limits of a conversion: a longer path has no file-system path; a conversion whose paths would
    // together exceed kMaxFileBlockSize gives no FileBlock (n offsets may all name one long list).
    static constexpr std::size_t kMaxPathLength = 4095;
    static constexpr std::size_t kMaxFileBlockSize = 64u << 20;

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
};

// The FileBlock holding the file-system path of every item (parent list + item list) in order; items
// without one are left out, so the result may hold no paths. None for a malformed block or a count of 0.
std::optional<Bytes> IdListToFileBlock(const Bytes& block);

} // namespace aw
