// SPDX-License-Identifier: MIT
#include "metadata/embeddedpreview.h"

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "support/embeddedpreview.h"
#include "support/exifblock.h"

namespace aw {
namespace {

using test::kSoi;

// Found in either byte order; nothing for another type (gain map), past the end, not a JPEG, bad index.
TEST(EmbeddedPreview, OnlyAWholeLargeThumbnailIsFound) {
    const std::string main = kSoi + std::string(100, 'm') + "\xFF\xD9";
    const std::string preview = kSoi + std::string(50, 'p') + "\xFF\xD9";
    const auto with = [&](const test::IndexOptions& options) {
        return test::WithEmbeddedPreview(main, preview, options);
    };
    const std::tuple<const char*, std::string, bool> cases[] = {
        {"little-endian", with({}), true},
        {"big-endian", with({.bigEndian = true}), true},
        {"VGA class", with({.previewType = 0x010001}), true},
        {"gain map", with({.previewType = 0}), false},
        {"past the end", with({.offsetShift = 1}), false},
        {"not a JPEG", test::WithEmbeddedPreview(main, "xx" + preview.substr(2)), false},
        {"fields beyond the index", with({.ifdCount = 9}), false},
        {"no index", main + preview, false}};
    for (const auto& [what, file, found] : cases) {
        const auto span = FindEmbeddedPreview(reinterpret_cast<const uint8_t*>(file.data()), file.size());
        EXPECT_EQ(span ? std::string(reinterpret_cast<const char*>(span->data), span->size) : "",
                  found ? preview : "")
            << what;
    }
}

} // namespace
} // namespace aw
