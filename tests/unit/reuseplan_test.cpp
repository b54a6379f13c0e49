// SPDX-License-Identifier: MIT
// What a run may keep, record and prune; plain files stand for what a run writes.
#include "album/reuseplan.h"

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "album/mediakind.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::WriteWholeFile;

std::int64_t ChangeTime(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_ctim.tv_sec * 1000000000LL + info.st_ctim.tv_nsec;
}

class ReusePlanTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(album_ / "Data");
        fs::create_directories(album_ / "Thumb");
    }
    MediaItem Item(const fs::path& source, const std::string& name) const {
        WriteWholeFile(source, "picture " + name);
        return {source.string(), source.parent_path().string() + "/", name, "th_" + name,
                MediaKind::StillJpeg};
    }
    ReusePlan Plan(const std::vector<MediaItem>& items, bool prune, int densities = 1,
                   bool withoutPrivateFields = false, bool thumbnails = true) const {
        ManifestRead earlier = ReadManifestFile(record_, "1");
        ReuseTarget target{album_.string(), (album_ / "Data").string(), (album_ / "Thumb").string(),
                           thumbnails};
        target.version = "1", target.recordPath = record_, target.prune = prune, target.densities = densities;
        target.withoutPrivateFields = withoutPrivateFields;
        return ReusePlan(items, std::move(target), std::move(earlier.entries));
    }
    // Writes the item's file as a run would (a new file renamed into place) and records it.
    void Write(ReusePlan& plan, std::size_t index, const MediaItem& item, bool thumb = false) const {
        WriteWholeFile(album_ / "made", "copy of " + item.path);
        fs::rename(album_ / "made",
                   album_ / (thumb ? "Thumb" : "Data") / (thumb ? item.thumbName : item.fileName));
        thumb ? plan.RecordThumb(index, 160, 120) : plan.RecordData(index);
    }

    test::ScratchDir dir_;
    fs::path album_ = dir_.path() / "album";
    std::string record_ = (dir_ / "record").string();
};

TEST_F(ReusePlanTest, RecordsOnlyWhatItCanVouchFor) {
    const std::vector<MediaItem> items{Item(dir_.path() / "a.jpg", "a.jpg"),
                                       Item(dir_.path() / "b.jpg", "b.jpg"),
                                       Item(dir_.path() / "c.jpg", "c.jpg")};
    ReusePlan first = Plan(items, false);
    // Edited after the plan took its identity, while the run may have been reading it.
    fs::last_write_time(items[1].path, fs::last_write_time(items[1].path) + std::chrono::seconds(3));
    for (std::size_t i = 0; i < items.size(); ++i) {
        Write(first, i, items[i]);
        Write(first, i, items[i], true);
    }
    ASSERT_EQ(first.Conclude(true), 0);

    // Edited in place with its size and time set back, as "exiftool -P" or a copy keeping times does: only
    // the change time, which no tool sets back, tells.
    const auto time = fs::last_write_time(items[2].path);
    const std::int64_t changed = ChangeTime(items[2].path);
    WriteWholeFile(items[2].path, "PICTURE c.jpg");
    do
        fs::last_write_time(items[2].path, time);
    while (ChangeTime(items[2].path) == changed);

    ReusePlan second = Plan(items, false);
    int width = 0, height = 0;
    EXPECT_TRUE(second.KeepData(0));
    EXPECT_FALSE(second.KeepData(1));
    EXPECT_FALSE(second.KeepData(2));
    // Planned as kept, then changed before its item is reached: made again after all.
    EXPECT_TRUE(second.ThumbPlanned(0));
    fs::last_write_time(items[0].path, time - std::chrono::seconds(60));
    EXPECT_FALSE(second.KeepThumb(0, width, height));

    // A source that is its own Data file is the user's, not a copy the album owns.
    const MediaItem own = Item(album_ / "Data" / "own.jpg", "own.jpg");
    ReusePlan third = Plan({own}, false);
    third.RecordData(0);
    ASSERT_EQ(third.Conclude(true), 0);
    EXPECT_FALSE(Plan({own}, false).KeepData(0));
}

// A copy that publishes the location is not kept by a run that removes it, nor the other way round.
TEST_F(ReusePlanTest, CopiesWithAndWithoutPrivateFieldsAreNotEachOthers) {
    const std::vector<MediaItem> items{Item(dir_.path() / "a.jpg", "a.jpg")};
    ReusePlan plain = Plan(items, false);
    Write(plain, 0, items[0]);
    ASSERT_EQ(plain.Conclude(true), 0);
    ReusePlan cleaning = Plan(items, false, 1, true);
    EXPECT_FALSE(cleaning.KeepData(0));
    Write(cleaning, 0, items[0]);
    ASSERT_EQ(cleaning.Conclude(true), 0);
    EXPECT_TRUE(Plan(items, false, 1, true).KeepData(0));
    EXPECT_FALSE(Plan(items, false).KeepData(0));
}

// A copy browsers play is kept only as the same kind of copy of the same source; unused, it is pruned.
TEST_F(ReusePlanTest, PlayableCopiesAreKeptByTheirKind) {
    MediaItem item = Item(dir_.path() / "clip.avi", "clip.avi");
    item.playableName = "clip.mp4";
    ReusePlan first = Plan({item}, true);
    WriteWholeFile(album_ / "Data" / "clip.mp4", "encoded");
    first.RecordPlayable(0, 2);
    ASSERT_EQ(first.Conclude(true), 0);
    EXPECT_EQ(std::pair(Plan({item}, true).KeepPlayable(0, 1), Plan({item}, true).KeepPlayable(0, 2)),
              std::pair(false, true));
    ReusePlan without = Plan({item}, true);
    ASSERT_EQ(without.Conclude(true), 0);
    EXPECT_FALSE(fs::exists(album_ / "Data" / "clip.mp4"));
}

TEST_F(ReusePlanTest, PrunesOnlyAfterAWrittenRunAndNeverASource) {
    const std::vector<MediaItem> earlier{Item(dir_.path() / "old.jpg", "old.jpg"),
                                         Item(dir_.path() / "kept.jpg", "kept.jpg")};
    ReusePlan first = Plan(earlier, true);
    Write(first, 0, earlier[0]);
    Write(first, 1, earlier[1]);
    Write(first, 0, earlier[0], true);
    ASSERT_EQ(first.Conclude(true), 0);

    // The album made again from its own Data file: kept.jpg is now a source under another name.
    const std::vector<MediaItem> now{MediaItem{(album_ / "Data" / "kept.jpg").string(), "", "again.jpg",
                                               "th_again.jpg", MediaKind::StillJpeg}};
    ReusePlan stopped = Plan(now, true, 1, false, false);
    ASSERT_EQ(stopped.Conclude(false), 0);
    EXPECT_TRUE(fs::exists(album_ / "Data" / "old.jpg")) << "a stopped run prunes nothing";

    // Without thumbnails the emptied Thumb goes too, as a full run into a new folder makes none.
    ReusePlan written = Plan(now, true, 1, false, false);
    ASSERT_EQ(written.Conclude(true), 0);
    EXPECT_EQ(written.pruned(), 2);
    EXPECT_FALSE(fs::exists(album_ / "Data" / "old.jpg"));
    EXPECT_TRUE(fs::exists(album_ / "Data" / "kept.jpg"));
    EXPECT_FALSE(fs::exists(album_ / "Thumb"));
}

// Data replaced by a link to another folder holding the very file recorded: nothing is removed through it.
TEST_F(ReusePlanTest, NeverPrunesThroughALinkInPlaceOfItsFolder) {
    const MediaItem old = Item(dir_.path() / "old.jpg", "old.jpg");
    ReusePlan first = Plan({old}, true);
    Write(first, 0, old);
    ASSERT_EQ(first.Conclude(true), 0);
    fs::rename(album_ / "Data", dir_ / "elsewhere");
    fs::create_directory_symlink(dir_ / "elsewhere", album_ / "Data");

    ReusePlan pruning = Plan({}, true);
    ASSERT_EQ(pruning.Conclude(true), 0);
    EXPECT_EQ(pruning.pruned(), 0);
    EXPECT_TRUE(fs::exists(dir_ / "elsewhere" / "old.jpg"));
}

// The Gallery keeps a thumbnail only with its 2x and 3x ones, and learns the picture's size from them; a
// page of the other kind that the record names as the album's own goes when the album changes kind.
TEST_F(ReusePlanTest, GalleryKeepsThumbnailsWholeAndDropsTheOtherPage) {
    const std::vector<MediaItem> items{Item(dir_.path() / "a.jpg", "a.jpg")};
    fs::create_directories(album_ / "Thumb" / "2x");
    fs::create_directories(album_ / "Thumb" / "3x");
    WriteWholeFile(dir_.path() / "form1.dat", "500\n");
    WriteWholeFile(album_ / "Index.html", "old page");
    ReusePlan first = Plan(items, false, 3);
    for (const char* thumb : {"th_a.jpg", "2x/th_a.jpg", "3x/th_a.jpg"})
        WriteWholeFile(album_ / "Thumb" / thumb, "thumb");
    first.RecordThumb(0, 160, 120);
    first.RecordDenser(0, 2, 4000, 3000);
    first.RecordDenser(0, 3, 4000, 3000);
    first.RecordPage("Index.html", (dir_.path() / "form1.dat").string());
    ASSERT_EQ(first.Conclude(true), 0);

    ReusePlan second = Plan(items, false, 3);
    int width = 0, height = 0;
    PixelSize picture;
    EXPECT_TRUE(second.ThumbPlanned(0));
    EXPECT_TRUE(second.KeepThumb(0, width, height, &picture));
    EXPECT_EQ(picture, (PixelSize{4000, 3000}));
    WriteWholeFile(album_ / "index.html", "gallery");
    second.RecordPage("index.html", (dir_.path() / "form1.dat").string());
    ASSERT_EQ(second.Conclude(true), 0);
    EXPECT_FALSE(fs::exists(album_ / "Index.html"));

    fs::remove(album_ / "Thumb" / "3x" / "th_a.jpg");
    EXPECT_FALSE(Plan(items, false, 3).ThumbPlanned(0));
}

} // namespace
} // namespace aw
