// SPDX-License-Identifier: MIT
#include "album/gallerypagewriter.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "album/mediakind.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using enum MediaKind;

AlbumJob GalleryJob(const test::ScratchDir& dir) {
    AlbumJob job;
    job.outputFolder = dir.str();
    job.pageTitle = "Trip <b>&</b>";
    job.fontColourText = "#ff8000";
    job.backgroundText = "#102030";
    job.gallery = true;
    return job;
}

GalleryItem Item(std::string name, MediaKind kind, std::string playable = {}) {
    GalleryItem item;
    item.thumbName = "th_" + name.substr(0, name.rfind('.')) + ".jpg";
    item.dataName = std::move(name);
    item.kind = kind;
    item.pictureWidth = 4000;
    item.pictureHeight = 3000;
    item.playableName = std::move(playable);
    return item;
}

// Compared with a golden page; AW_UPDATE_GOLDEN=1 rewrites it instead.
TEST(GalleryPageWriter, WritesWholePageByteForByte) {
    test::ScratchDir dir;
    GalleryPageWriter writer;
    ASSERT_TRUE(writer.Begin(GalleryJob(dir), ""));
    GalleryItem captioned = Item("Sun.jpg", StillJpeg);
    captioned.caption = "Sunset \"over\" the <sea>";
    GalleryItem dated = Item("a b&c#1,[x]<y>.jpg", StillJpeg);
    dated.date = "2024-05-01";
    dated.thumbWidth = 90;
    GalleryItem sound = Item("tone.wav", Audio);
    sound.thumbName = "wave.jpg";
    sound.denser = false;
    sound.pictureWidth = sound.pictureHeight = 0;
    // A movie no browser plays opens its copy, and offers its original.
    GalleryItem copied = Item("phone.mov", MovieMov, "phone.mp4");
    copied.shownName = "phone.mp4";
    copied.originalPath = "Data/originals/phone 1.mov";
    for (const GalleryItem& item : {captioned, dated, Item("日本.mp4", MovieMp4, "日本.mp4"),
                                    Item("clip.avi", MovieAvi), copied, sound})
        writer.AddItem(item);
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(writer.pagePath(), (dir / "index.html").string());
    const std::string page = test::ReadWholeFile(dir / "index.html");
    const fs::path golden = test::SourceDir() / "tests/unit/golden/gallery.html";
    if (std::getenv("AW_UPDATE_GOLDEN"))
        test::WriteWholeFile(golden, page);
    EXPECT_EQ(page, test::ReadWholeFile(golden));
}

} // namespace
} // namespace aw
