// SPDX-License-Identifier: MIT
#include "album/sourceguard.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

MediaItem Item(const fs::path& path, const std::string& fileName, const std::string& thumbName) {
    return MediaItem{path.string(), "", fileName, thumbName, MediaKind::StillJpeg};
}

// A run that would replace one of its own sources is found before it writes; a source that is its own
// Data file, or a link in the album pointing at a source (replaced, not followed), is no clash.
TEST(SourceGuard, FindsTheSourceARunWouldReplace) {
    test::ScratchDir dir;
    for (const char* folder : {"in", "out/Data", "out/Thumb/3x"})
        fs::create_directories(dir / folder);
    for (const char* file :
         {"in/a.jpg", "out/Thumb/th_a.jpg", "out/Data/b.jpg", "in/c.jpg", "out/Thumb/3x/th_d.jpg"})
        test::WriteWholeFile(dir / file, file);
    fs::create_hard_link(dir / "in/c.jpg", dir / "out/Data/x.jpg");
    fs::create_symlink(dir / "in/c.jpg", dir / "out/Thumb/th_c.jpg");
    AlbumJob job;
    job.outputFolder = (dir / "out").string();
    const std::string data = (dir / "out/Data").string(), thumb = (dir / "out/Thumb").string();

    const MediaItem a = Item(dir / "in/a.jpg", "a.jpg", "th_a.jpg");
    const MediaItem thA = Item(dir / "out/Thumb/th_a.jpg", "th_a.jpg", "th_th_a.jpg");
    const MediaItem b = Item(dir / "out/Data/b.jpg", "b.jpg", "th_b.jpg");
    const MediaItem c = Item(dir / "in/c.jpg", "c.jpg", "th_c.jpg");
    const MediaItem x = Item(dir / "in/a.jpg", "x.jpg", "th_x.jpg");
    const MediaItem d3 = Item(dir / "out/Thumb/3x/th_d.jpg", "th_d.jpg", "th_th_d.jpg");
    const MediaItem d = Item(dir / "in/a.jpg", "d.jpg", "th_d.jpg");
    const struct {
        std::vector<MediaItem> items;
        std::string thumbFolder, found;
        bool gallery = false;
    } cases[] = {
        {{a, thA}, thumb, thumb + "/th_a.jpg"},
        {{thA, a}, thumb, thumb + "/th_a.jpg"},
        {{a, thA}, "", ""}, // no thumbnails: nothing written in Thumb
        {{b, a}, thumb, ""},
        {{c}, thumb, ""},
        {{x, c}, thumb, data + "/x.jpg"}, // a hard link of a source in Data is that source
        {{d3, d}, thumb, thumb + "/3x/th_d.jpg", true},
        {{d3, d}, thumb, ""}, // only the Gallery writes in Thumb/3x
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(t.items[0].fileName + " " + t.items.back().fileName);
        job.gallery = t.gallery;
        EXPECT_EQ(FindSourceTheRunWouldWrite(t.items, job, data, t.thumbFolder), t.found);
    }
}

} // namespace
} // namespace aw
