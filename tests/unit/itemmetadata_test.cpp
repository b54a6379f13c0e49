// SPDX-License-Identifier: MIT
#include "album/itemmetadata.h"

#include <gtest/gtest.h>

#include "album/mediakind.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using enum MediaKind;

// A HEIF picture goes into Data as a JPEG made from its pixels, without its metadata.
TEST(ItemMetadata, OnlyCopiesThatKeepTheirMetadataPublishALocation) {
    const auto item = [](const char* name, MediaKind kind) {
        return MediaItem{(test::TestDataDir() / "media" / name).string(), "", name, "", kind};
    };
    const std::vector<MediaItem> items = {item("located.jpg", StillJpeg), item("located.heic", StillHeif),
                                          item("located.webp", StillWebp), item("p3.jpg", StillJpeg)};
    EXPECT_EQ(CountPublishingLocation(items, nullptr), 2u);
}

} // namespace
} // namespace aw
