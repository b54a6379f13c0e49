#include "album/embeddedpreview.h"

#include <string>

#include <gtest/gtest.h>

#include "support/embeddedpreview.h"

namespace aw {
namespace {

// The index is read in either byte order; it yields nothing when the preview is of another type (a gain
// or depth map), reaches past the end, does not begin as a JPEG, or the index claims more fields than it
// holds; and nothing from a file without an index.
TEST(EmbeddedPreview, OnlyAWholeLargeThumbnailIsFound) {
    const std::string main = std::string("\xFF\xD8", 2) + std::string(100, 'm') + "\xFF\xD9";
    const std::string preview = std::string("\xFF\xD8", 2) + std::string(50, 'p') + "\xFF\xD9";
    const struct {
        const char* what;
        std::string file;
        bool found;
    } cases[] = {
        {"little-endian", test::WithEmbeddedPreview(main, preview), true},
        {"big-endian", test::WithEmbeddedPreview(main, preview, {.bigEndian = true}), true},
        {"VGA class", test::WithEmbeddedPreview(main, preview, {.previewType = 0x010001}), true},
        {"gain map", test::WithEmbeddedPreview(main, preview, {.previewType = 0}), false},
        {"cut short", test::WithEmbeddedPreview(main, preview).substr(0, 200), false},
        {"past the end", test::WithEmbeddedPreview(main, preview, {.offsetShift = 1}), false},
        {"not a JPEG", test::WithEmbeddedPreview(main, "xx" + preview.substr(2)), false},
        {"fields beyond the index", test::WithEmbeddedPreview(main, preview, {.ifdCount = 9}), false},
        {"no index", main + preview, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto* bytes = reinterpret_cast<const uint8_t*>(c.file.data());
        const std::optional<ByteSpan> span = FindEmbeddedPreview(bytes, c.file.size());
        ASSERT_EQ(span.has_value(), c.found);
        if (c.found) {
            EXPECT_EQ(std::string(reinterpret_cast<const char*>(span->data), span->size), preview);
        }
    }
}

} // namespace
} // namespace aw
