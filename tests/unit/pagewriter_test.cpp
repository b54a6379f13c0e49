// SPDX-License-Identifier: MIT
#include "album/pagewriter.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "album/mediakind.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

struct PageItem {
    std::string fileName, thumbName;
    MediaKind kind;
    int width, height;
    bool plays = false;      // a browser plays it
    std::string played = {}; // the copy that plays, when not the file itself
};

AlbumJob MakeJob(const test::ScratchDir& dir, const fs::path& arrangement) {
    return AlbumJob{.outputFolder = dir.str(),
                    .pageTitle = "Trip <B>$TS$</B> & $DF$",
                    .fontColourText = "#ff8000",
                    .backgroundText = "#102030",
                    .arrangementFile = arrangement.string(),
                    .audioPicture = "",
                    .embedPlayback = 1,
                    .gallery = false,
                    .viewerFolder = ""};
}

// The page written by driving the writer as the generation thread does; every step must succeed.
std::string Render(const AlbumJob& job, const std::vector<PageItem>& items) {
    Lines columns[2];
    PageWriter writer;
    writer.PreparePlaceholderValues(job);
    EXPECT_TRUE(writer.OpenPageFiles(job));
    EXPECT_TRUE(writer.WritePageHead(job.backgroundIndex));
    EXPECT_TRUE(writer.ReadItemTemplates(columns[0], columns[1]));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PageItem& item = items[i];
        for (const auto& [at, value] : {std::pair{PageWriter::DataFile, item.fileName},
                                        {PageWriter::ThumbFile, item.thumbName},
                                        {PageWriter::ThumbWidth, std::to_string(item.width)},
                                        {PageWriter::ThumbHeight, std::to_string(item.height)}})
            writer.SetPlaceholderValue(at, value);
        EXPECT_TRUE(writer.WriteItemEntry(columns[i % 2], item.kind, item.width, item.height,
                                          job.embedPlayback == 1 && item.plays, item.played));
    }
    EXPECT_TRUE(writer.WritePageTail());
    EXPECT_TRUE(writer.ClosePageFiles());
    return test::ReadWholeFile(fs::path(job.outputFolder) / "Index.html");
}

const std::string kTwoColumns = "500\n501\n503\n504\n20563\n510\n505\n506\n508\n12611\n509\n12867\n"
                                "514\n513\n20563\n519\n503\n512\n";

// In a link a file name is one path segment, percent-encoded there only; markup characters are references.
TEST(PageWriter, FileNamesInLinksFindTheirFiles) {
    PageWriter writer;
    writer.SetPlaceholderValue(PageWriter::DataFile, "50% #1?\\<a&b>.jpg");
    writer.SetPlaceholderValue(PageWriter::ThumbFile, "th_#.jpg");
    EXPECT_EQ(writer.Substitute("HREF=\"Data/$DF$\">$DF$ SRC=\"Thumb/$TF$\" ALT=\"$TF$\"").text,
              "HREF=\"Data/50%25 %231%3F%5C&lt;a&amp;b&gt;.jpg\">50% #1?\\&lt;a&amp;b&gt;.jpg "
              "SRC=\"Thumb/th_%23.jpg\" ALT=\"th_#.jpg\"");
    // A placeholder in a name stays literal; control characters and broken UTF-8 are encoded in links.
    writer.SetPlaceholderValue(PageWriter::ThumbWidth, "160");
    writer.SetPlaceholderValue(PageWriter::DataFile, "x$TW$\n\t\x7f\xff\xc3(\xed\xa0\x80é日.jpg");
    EXPECT_EQ(writer.Substitute("Data/$DF$ $DF$").text, "Data/x&#36;TW&#36;%0A%09%7F%FF%C3(%ED%A0%80é日.jpg "
                                                        "x&#36;TW&#36;\n\t\x7f\xff\xc3(\xed\xa0\x80é日.jpg");
}

// Compared with a golden page; AW_UPDATE_GOLDEN=1 rewrites it instead.
TEST(PageWriter, WritesWholePagesByteForByte) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "two.dat", kTwoColumns);
    const std::string page =
        Render(MakeJob(dir, dir / "two.dat"),
               {{"Sun.jpg", "th_Sun.jpg", MediaKind::StillJpeg, 160, 120},
                {"a<b>&\"c.jpg", "th_a<b>&\"c.jpg", MediaKind::StillJpeg, 120, 90},
                {"clip.avi", "th_clip.jpg", MediaKind::MovieAvi, 160, 100},
                {"b&b #1.mp4", "th_b&b #1.jpg", MediaKind::MovieMp4, 160, 90, true},
                {"c.webm", "th_c.jpg", MediaKind::MovieWebm, 160, 120, true},
                {"d #2.avi", "th_d #2.jpg", MediaKind::MovieAvi, 90, 120, true, "5d #2.mp4"},
                {"e&.wma", "wave.jpg", MediaKind::Audio, 160, 120, true, "e&.m4a"},
                {"f.mp3", "wave.jpg", MediaKind::Audio, 160, 120, true}});
    const fs::path golden = test::SourceDir() / "tests/unit/golden/two_columns_colour.html";
    if (std::getenv("AW_UPDATE_GOLDEN"))
        test::WriteWholeFile(golden, page);
    EXPECT_EQ(page, test::ReadWholeFile(golden));
}

// A FIFO as the arrangement is refused without blocking in open().
TEST(PageWriter, OpenFailuresNameTheFileAndLeaveNothingOpen) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "ok.dat", "500\n");
    fs::create_directories(dir / "out" / "Index.html");
    ASSERT_EQ(::mkfifo((dir / "fifo.dat").c_str(), 0600), 0);
    const std::tuple<const char*, const char*, const char*, FailureCause> cases[] = {
        {"missing.dat", "", "missing.dat", FailureCause::Arrangement},
        {"fifo.dat", "", "fifo.dat", FailureCause::Arrangement},
        {"ok.dat", "out/", "out/Index.html", FailureCause::Unreadable}};
    for (const auto& [arrangement, output, file, cause] : cases) {
        SCOPED_TRACE(file);
        AlbumJob job = MakeJob(dir, dir / arrangement);
        job.outputFolder = dir.str() + "/" + output;
        PageWriter writer;
        EXPECT_TRUE(
            test::ReturnsWithoutBlocking(dir / "fifo.dat", [&] { EXPECT_FALSE(writer.OpenPageFiles(job)); }));
        EXPECT_EQ(std::pair(writer.failure().file, writer.failure().cause),
                  std::pair((dir / file).string(), cause));
        EXPECT_FALSE(writer.WritePageHead(0));
    }
    EXPECT_FALSE(fs::exists(dir / "Index.html"));
}

// A full disk met by the write or only by the close is reported; the earlier page stays, no temporary file.
TEST(PageWriter, FullDiskIsReportedOnWriteAndOnClose) {
    test::SmallDisk disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    test::WriteWholeFile(disk / "a.dat", "500\n20563\n506\n20563\n512\n");
    test::WriteWholeFile(disk / "Index.html", "earlier page");
    AlbumJob job = MakeJob(test::ScratchDir(), disk / "a.dat");
    job.outputFolder = disk.path().string();
    test::WriteWholeFile(disk / "filler", std::string(64 * 1024 - 3 * 4096, 'f')); // leaves 3 pages
    for (const std::size_t titleSize : {1, 1 << 20}) {
        SCOPED_TRACE(titleSize);
        const bool small = titleSize == 1; // fits the stream buffer: only the close can tell
        job.pageTitle.assign(titleSize, 'x');
        if (small) // fill the disk once the page is open, so that only its flush fails
            test::WriteWholeFile(disk / "filler2", std::string(3 * 4096, 'f'));
        PageWriter writer;
        writer.PreparePlaceholderValues(job);
        ASSERT_TRUE(writer.OpenPageFiles(job));
        EXPECT_EQ(writer.WritePageHead(0), small);
        if (small) {
            std::vector<std::string> columns[2];
            EXPECT_TRUE(writer.ReadItemTemplates(columns[0], columns[1]) && writer.WritePageTail());
            EXPECT_FALSE(writer.ClosePageFiles());
            fs::remove(disk / "filler2");
        }
        EXPECT_EQ(writer.failure().cause, FailureCause::DiskFull);
        EXPECT_EQ(writer.failure().file, (disk / "Index.html").string());
    }
    EXPECT_EQ(test::ReadWholeFile(disk / "Index.html"), "earlier page");
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.path()), {}), 3); // a.dat, Index.html, filler
}

// Only a complete page replaces Index.html (a read-only one too, made writable), and a link planted there,
// dangling or not, is replaced, never written through.
TEST(PageWriter, OnlyACompletePageReplacesIndexHtmlAndNeverThroughALink) {
    test::ScratchDir dir;
    test::WriteWholeFile(dir / "a.dat", "515\n20563\n515\n20563\n515\n");
    test::WriteWholeFile(dir / "Index.html", "earlier page");
    fs::permissions(dir / "Index.html", fs::perms(0444));
    for (bool destroyed : {false, true}) {
        PageWriter writer;
        writer.PreparePlaceholderValues(MakeJob(dir, dir / "a.dat"));
        ASSERT_TRUE(writer.OpenPageFiles(MakeJob(dir, dir / "a.dat")));
        ASSERT_TRUE(writer.WritePageHead(0));
        if (!destroyed) {
            EXPECT_TRUE(writer.ClosePageFiles());
        }
    }
    EXPECT_EQ(test::ReadWholeFile(dir / "Index.html"), "earlier page");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2) << "temporary page left";
    EXPECT_EQ(Render(MakeJob(dir, dir / "a.dat"), {}), "<BR><BR>"); // head and tail
    EXPECT_EQ(fs::status(dir / "Index.html").permissions(), fs::perms(0644));

    test::WriteWholeFile(dir / "victim", "user's file");
    fs::remove(dir / "Index.html");
    for (const fs::path& target : {dir / "victim", dir / "outside" / "new.html"}) {
        fs::create_symlink(target, dir / "Index.html");
        EXPECT_EQ(Render(MakeJob(dir, dir / "a.dat"), {}), "<BR><BR>");
        EXPECT_FALSE(fs::is_symlink(dir / "Index.html"));
        fs::remove(dir / "Index.html");
    }
    EXPECT_EQ(test::ReadWholeFile(dir / "victim"), "user's file");
    EXPECT_FALSE(fs::exists(dir / "outside"));
}

} // namespace
} // namespace aw
