#include "album/pagewriter.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "album/arrangementline.h"
#include "album/mediakind.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

struct PageItem {
    std::string fileName;
    std::string thumbName;
    int kind;
    int width;
    int height;
};

void WriteArrangement(const fs::path& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    test::WriteWholeFile(path, text);
}

AlbumJob MakeJob(const test::ScratchDir& dir, const fs::path& arrangement) {
    AlbumJob job;
    job.outputFolder = dir.str();
    job.pageTitle = "Trip <B>$TS$</B> & $DF$";
    job.fontColourText = "#ff8000";
    job.backgroundText = "#102030";
    job.arrangementFile = arrangement.string();
    job.embedPlayback = 1;
    return job;
}

// Drives the writer the way the generation thread does; every step must succeed.
std::string RenderPage(const AlbumJob& job, const std::vector<PageItem>& items, bool marker) {
    PageWriter writer;
    writer.PreparePlaceholderValues(job);
    EXPECT_TRUE(writer.OpenPageFiles(job));
    EXPECT_TRUE(writer.WritePageHead(job.backgroundIndex));
    std::vector<std::string> first, second;
    EXPECT_TRUE(writer.ReadItemTemplates(first, second));
    for (std::size_t i = 0; i < items.size(); ++i) {
        const PageItem& item = items[i];
        writer.SetPlaceholderValue(PageWriter::DataFile, item.fileName);
        writer.SetPlaceholderValue(PageWriter::ThumbFile, item.thumbName);
        writer.SetPlaceholderValue(PageWriter::ThumbWidth, std::to_string(item.width));
        writer.SetPlaceholderValue(PageWriter::ThumbHeight, std::to_string(item.height));
        EXPECT_TRUE(writer.WriteItemEntry(i % 2 == 0 ? first : second, item.kind, item.width, item.height,
                                          job.embedPlayback == 1, marker));
    }
    EXPECT_TRUE(writer.WritePageTail());
    EXPECT_TRUE(writer.ClosePageFiles());
    return test::ReadWholeFile(fs::path(job.outputFolder) / "Index.html");
}

// Compares with a golden page; AW_UPDATE_GOLDEN=1 rewrites it instead (review the diff before committing).
void ExpectGolden(const std::string& page, const std::string& name) {
    const fs::path golden = test::SourceDir() / "tests/unit/golden" / name;
    if (std::getenv("AW_UPDATE_GOLDEN"))
        test::WriteWholeFile(golden, page);
    ASSERT_TRUE(fs::exists(golden)) << golden;
    EXPECT_EQ(page, test::ReadWholeFile(golden)) << name;
}

const std::vector<std::string> kTwoColumns = {"500", "501", "503",   "504",   "20563", "510",
                                              "505", "506", "508",   "12611", "509",   "12867",
                                              "514", "513", "20563", "519",   "503",   "512"};

TEST(PageWriter, SubstitutesInOrderResumingAfterEachValue) {
    const struct {
        const char* title;
        const char* dataFile;
        const char* text;
        const char* result;
        int count;
    } cases[] = {
        {"T", "d", "<$TS$|$DF$>", "<T|d>", 2},
        {"$TS$x", "", "$TS$ $TS$", "$TS$x $TS$x", 2},      // a value is not searched for its own placeholder
        {"a$DF$b", "<d&>", "$TS$", "a&lt;d&amp;&gt;b", 2}, // a later placeholder inside an earlier value
        {"T", "$TS$", "$DF$", "$TS$", 1},                  // but never an earlier one
        {"T", "d", "$ts$ $TS $$TS$$", "$ts$ $TS $T$", 1},  // exact and case-sensitive
        {"", "", "$TS$$TS$", "", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PageWriter writer;
        AlbumJob job;
        job.pageTitle = c.title;
        writer.PreparePlaceholderValues(job);
        writer.SetPlaceholderValue(PageWriter::DataFile, c.dataFile);
        const PageWriter::Substituted out = writer.Substitute(c.text);
        EXPECT_EQ(out.text, c.result);
        EXPECT_EQ(out.count, c.count);
    }
}

TEST(PageWriter, ArrangementNumbersParseLikeTheInstalledFilesExpect) {
    const struct {
        const char* line;
        int number;
    } cases[] = {{"506", 506},
                 {"  \t506 junk", 506},
                 {"+20563", 20563},
                 {"-5", -5},
                 {"", 0},
                 {"x506", 0},
                 {"- 5", 0},
                 {"506\r", 506},
                 {"99999999999", 2147483647},
                 {"-99999999999", -2147483648}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseArrangementNumber(c.line), c.number) << c.line;
}

TEST(PageWriter, SplitsItemTemplatesIntoColumns) {
    const struct {
        std::vector<std::string> lines;
        std::vector<std::string> first;
        std::vector<std::string> second;
        std::string tail;
    } cases[] = {
        {{"20563", "510", "12611", "509", "12867", "513", "20563", "515"},
         {"510", "509"},
         {"510", "513"},
         "<BR>"},
        {{"20563", "510", "20563", "509", "515"},
         {"510"},
         {"510"},
         "</TD></TR></TABLE>\r\n</TD>\r\n\r\n<BR>"},
        {{"20563", " 510 a\r", "12611", "509"}, {" 510 a", "509"}, {" 510 a"}, ""},
        {{"20563", "12867", "12611", "12611"}, {"12867", "12611"}, {"12867"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lines.size());
        test::ScratchDir dir;
        WriteArrangement(dir / "a.dat", c.lines);
        AlbumJob job = MakeJob(dir, dir / "a.dat");
        PageWriter writer;
        ASSERT_TRUE(writer.OpenPageFiles(job));
        ASSERT_TRUE(writer.WritePageHead(0));
        std::vector<std::string> first, second;
        ASSERT_TRUE(writer.ReadItemTemplates(first, second));
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(second, c.second);
        ASSERT_TRUE(writer.WritePageTail());
        ASSERT_TRUE(writer.ClosePageFiles());
        EXPECT_EQ(test::ReadWholeFile(dir / "Index.html"), c.tail);
    }
}

TEST(PageWriter, WritesWholePageWithBoxesPlayersAndEscapedNames) {
    test::ScratchDir dir;
    WriteArrangement(dir / "two.dat", kTwoColumns);
    const AlbumJob job = MakeJob(dir, dir / "two.dat");
    const std::string page = RenderPage(job,
                                        {{"Sun.jpg", "th_Sun.jpg", StillJpeg, 160, 120},
                                         {"a<b>&\"c.jpg", "th_a<b>&\"c.jpg", StillJpeg, 120, 90},
                                         {"clip.avi", "th_clip.jpg", MovieAvi, 160, 100}},
                                        false);
    ExpectGolden(page, "two_columns_colour.html");
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i] == '\n') {
            ASSERT_TRUE(i > 0 && page[i - 1] == '\r') << "bare line feed at " << i;
        }
    }
    EXPECT_NE(page.find("\r\n\tcodebase=\""), std::string::npos); // tabs stay tabs
}

TEST(PageWriter, WritesWholePageWithBackgroundPictureAndMarker) {
    test::ScratchDir dir;
    std::vector<std::string> lines = kTwoColumns;
    lines.insert(lines.begin(), "18766");
    WriteArrangement(dir / "marked.dat", lines);
    AlbumJob job = MakeJob(dir, dir / "marked.dat");
    job.backgroundIndex = 3;
    job.backgroundText = "/opt/aw/htmldata/toro.jpg";
    const std::string page = RenderPage(
        job, {{"clip.avi", "th_clip.jpg", MovieAvi, 160, 120}, {"b.jpg", "th_b.jpg", StillBmp, 160, 120}},
        true);
    ExpectGolden(page, "two_columns_picture_marker.html");
}

TEST(PageWriter, ArrangementWithoutSectionEndIsAllHead) {
    test::ScratchDir dir;
    WriteArrangement(dir / "flat.dat", {"500", "508", "512"});
    const AlbumJob job = MakeJob(dir, dir / "flat.dat");
    const std::string page = RenderPage(job, {{"Sun.jpg", "th_Sun.jpg", StillJpeg, 160, 120}}, false);
    EXPECT_EQ(page, "<HTML>\r\n<HEAD>\r\n<TITLE>Trip <B>$TS$</B> & </TITLE>\r\n</HEAD>\r\n\r\n"
                    "<A HREF=\"Data/\"><B></B></A><BR>\r\n"
                    "</CENTER><BR><BR>\r\n</BODY>\r\n</HTML>\r\n");
}

TEST(PageWriter, OpenFailuresNameTheFileAndLeaveNothingOpen) {
    test::ScratchDir dir;
    WriteArrangement(dir / "ok.dat", {"500"});
    fs::create_directory(dir / "folder.dat");
    fs::create_directory(dir / "out");
    fs::create_directory(dir / "out" / "Index.html");
    const struct {
        fs::path arrangement;
        std::string output;
        std::string file;
        FailureCause cause;
    } cases[] = {
        {dir / "missing.dat", dir.str(), (dir / "missing.dat").string(), FailureCause::Arrangement},
        {dir / "folder.dat", dir.str(), (dir / "folder.dat").string(), FailureCause::Arrangement},
        {dir / "ok.dat", (dir / "out").string() + "/", (dir / "out" / "Index.html").string(),
         FailureCause::Unreadable},
        {dir / "ok.dat", (dir / "nowhere").string(), (dir / "nowhere" / "Index.html").string(),
         FailureCause::Unreadable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        AlbumJob job = MakeJob(dir, c.arrangement);
        job.outputFolder = c.output;
        PageWriter writer;
        EXPECT_FALSE(writer.OpenPageFiles(job));
        EXPECT_EQ(writer.failure().file, c.file);
        EXPECT_EQ(writer.failure().cause, c.cause);
        EXPECT_FALSE(writer.WritePageHead(0));
        EXPECT_TRUE(writer.ClosePageFiles());
    }
    EXPECT_FALSE(fs::exists(dir / "Index.html"));
}

TEST(PageWriter, ReadOnlyPageGetsItsOwnerWriteBitBackAndIsTruncated) {
    test::ScratchDir dir;
    WriteArrangement(dir / "a.dat", {"515"});
    test::WriteWholeFile(dir / "Index.html", "an older, longer page");
    ASSERT_EQ(chmod((dir / "Index.html").c_str(), 0444), 0);
    const std::string page = RenderPage(MakeJob(dir, dir / "a.dat"), {}, false);
    EXPECT_EQ(page, "<BR>");
    struct stat info {};
    ASSERT_EQ(stat((dir / "Index.html").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0644u);
}

TEST(PageWriter, FullDiskIsReportedOnWriteAndOnClose) {
    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    test::ScratchDir dir;
    WriteArrangement(dir / "a.dat", {"500", "20563", "506", "20563", "512"});
    fs::create_symlink("/dev/full", dir / "Index.html");
    AlbumJob job = MakeJob(dir, dir / "a.dat");

    PageWriter small; // fits the stream buffer: only the close can tell
    small.PreparePlaceholderValues(job);
    ASSERT_TRUE(small.OpenPageFiles(job));
    EXPECT_TRUE(small.WritePageHead(0));
    EXPECT_FALSE(small.ClosePageFiles());
    EXPECT_EQ(small.failure().cause, FailureCause::DiskFull);
    EXPECT_EQ(small.failure().file, (dir / "Index.html").string());

    job.pageTitle.assign(1 << 20, 'x');
    PageWriter large;
    large.PreparePlaceholderValues(job);
    ASSERT_TRUE(large.OpenPageFiles(job));
    EXPECT_FALSE(large.WritePageHead(0));
    EXPECT_EQ(large.failure().cause, FailureCause::DiskFull);
    large.ClosePageFiles();
}

// Every opened element is closed in order; void elements need no close.
::testing::AssertionResult TagsBalance(const std::string& page) {
    std::vector<std::string> open;
    for (std::size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
        const bool closing = at + 1 < page.size() && page[at + 1] == '/';
        std::size_t end = at + (closing ? 2 : 1);
        std::string name;
        while (end < page.size() && std::isalnum(static_cast<unsigned char>(page[end])))
            name += static_cast<char>(std::tolower(static_cast<unsigned char>(page[end++])));
        if (name == "br" || name == "img" || name == "meta" || name == "param")
            continue;
        if (!closing) {
            open.push_back(name);
        } else if (open.empty() || open.back() != name) {
            return ::testing::AssertionFailure()
                   << "</" << name << "> at " << at << " closes " << (open.empty() ? "nothing" : open.back());
        } else {
            open.pop_back();
        }
    }
    if (!open.empty())
        return ::testing::AssertionFailure() << "<" << open.back() << "> left open";
    return ::testing::AssertionSuccess();
}

TEST(PageWriter, InstalledArrangementsMakeBalancedPagesForOddAndEvenCounts) {
    const std::vector<PageItem> items = {{"a.jpg", "th_a.jpg", StillJpeg, 160, 120},
                                         {"b.mov", "th_b.jpg", MovieMov, 120, 90},
                                         {"c.wav", "wave.jpg", Audio, 160, 120}};
    for (int form = 1; form <= 4; ++form) {
        const fs::path arrangement = test::BinDir() / "htmldata" / ("form" + std::to_string(form) + ".dat");
        const std::string text = test::ReadWholeFile(arrangement);
        ASSERT_EQ(text.rfind("521\n", 0), 0u) << arrangement; // the charset line comes first
        const bool marker = text.find("\n18766\n") != std::string::npos;
        EXPECT_EQ(marker, form == 4);
        for (std::size_t count = 1; count <= items.size(); ++count) {
            SCOPED_TRACE("form" + std::to_string(form) + " with " + std::to_string(count) + " items");
            test::ScratchDir dir;
            AlbumJob job = MakeJob(dir, arrangement);
            job.pageTitle = "Album";
            const std::string page =
                RenderPage(job, std::vector<PageItem>(items.begin(), items.begin() + count), marker);
            EXPECT_EQ(page.rfind(LoadText(521).substr(0, 20), 0), 0u);
            EXPECT_TRUE(TagsBalance(page));
            EXPECT_NE(page.find(items[count - 1].fileName), std::string::npos);
            EXPECT_EQ(page.find("th_a.jpg") != std::string::npos, !marker);
        }
    }
}

} // namespace
} // namespace aw
