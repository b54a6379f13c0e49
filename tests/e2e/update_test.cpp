// SPDX-License-Identifier: MIT
// albumwright-make --update: whatever changed since the last run, in the sources or in the album, the album
// equals the one a full run writes into an empty folder, byte for byte, and the counts show what was reused.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include "album/albumrecords.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ShellQuote;
using test::WriteWholeFile;

class Update : public ::testing::Test {
protected:
    // Made once: ffmpeg and ImageMagick are the slow part.
    static void SetUpTestSuite() {
        master_ = new test::ScratchDir;
        const fs::path m = master_->path() / "media";
        fs::create_directories(m / "other");
        ASSERT_TRUE(test::MakeJpeg(m / "sun.jpg", 320, 200));
        ASSERT_TRUE(test::MakeJpeg(m / "other" / "Sun.jpg", 200, 320, "", "gradient:green-white"));
        ASSERT_TRUE(test::MakeJpeg(m / "tall.jpg", 60, 200));
        ASSERT_TRUE(test::MakeJpeg(m / "new.jpg", 90, 90, "", "plasma:"));
        ASSERT_TRUE(test::MakeBitmap(m / "drawing.bmp", 50, 40));
        ASSERT_TRUE(test::MakeMovie(m / "clip.mov", 64, 48));
        WriteWholeFile(m / "song.wav", std::string(256, 'x'));
    }
    static void TearDownTestSuite() { delete master_; }

    void SetUp() override {
        for (const fs::path& made : {media_, out_, full_})
            fs::remove_all(made);
        fs::copy(master_->path() / "media", media_, fs::copy_options::recursive);
        files_ = {"sun.jpg", "other/Sun.jpg", "tall.jpg", "drawing.bmp", "song.wav", "clip.mov"};
    }
    int Make(std::vector<std::string> args, const fs::path& out) {
        const std::string dir = ShellQuote(dir_.str());
        std::string command = "cd " + dir + " && exec env -i LANG=C TMPDIR=" + dir +
                              " XDG_STATE_HOME=" + dir + "/state" + " ALBUMWRIGHT_SETTINGS=" + dir +
                              "/settings " + ShellQuote(ALBUMWRIGHT_MAKE) + " -o " + ShellQuote(out);
        for (const std::string& file : files_)
            args.push_back((media_ / file).string());
        for (const std::string& arg : args)
            command += " " + ShellQuote(arg);
        const int status = std::system((command + " </dev/null 2>stderr").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Err() const { return ReadWholeFile(dir_ / "stderr"); }
    std::string RecordPath() const {
        ::setenv("XDG_STATE_HOME", (dir_ / "state").c_str(), 1);
        return AlbumRecordPath(AlbumRealPath(out_.string()));
    }
    // The page (of either kind) and every file in Data and Thumb, by name.
    static std::map<std::string, std::string> Files(const fs::path& album) {
        std::map<std::string, std::string> files;
        for (const char* page : {"Index.html", "index.html"})
            if (fs::exists(album / page))
                files[page] = ReadWholeFile(album / page);
        for (const char* folder : {"Data", "Thumb"})
            if (fs::exists(album / folder))
                for (const auto& file : fs::recursive_directory_iterator(album / folder))
                    if (file.is_regular_file())
                        files[fs::relative(file.path(), album).string()] = ReadWholeFile(file);
        return files;
    }

    static test::ScratchDir* master_;
    test::ScratchDir dir_;
    fs::path media_ = dir_ / "media", out_ = dir_ / "album", full_ = dir_ / "full";
    std::vector<std::string> files_;
};
test::ScratchDir* Update::master_ = nullptr;

TEST_F(Update, EqualsAFullRunWhateverChanged) {
    const fs::path sunny = media_ / "sunny.jpg";
    const fs::path tall = out_ / "Data" / "tall.jpg", moved = dir_ / "moved";
    const struct {
        const char* what;
        int reused, made;
        std::vector<std::string> options;
        std::function<void()> change; // on the sources, the file list or the album after the first run
    } cases[] = {
        {"nothing changed", 6, 0, {}, [] {}},
        {"added", 6, 1, {}, [&] { files_.push_back("new.jpg"); }},
        {"removed", 5, 0, {}, [&] { files_.erase(files_.begin() + 2); }},
        // The other Sun.jpg loses its number: its Data and Thumb names change.
        {"renamed", 4, 2, {}, [&] { fs::rename(media_ / "sun.jpg", sunny), files_[0] = "sunny.jpg"; }},
        {"other options", 6, 0, {"-e", "-a", "3", "-b", "2"}, [] {}},
        {"no thumbnails", 6, 0, {"-a", "4"}, [] {}},
        // Its thumbnails come with their 2x and 3x ones; the other arrangements' page goes.
        {"made again as a Gallery", 1, 5, {"-a", "5"}, [] {}},
        // Its display copies and originals kept as its thumbnails are.
        {"a Gallery again",
         6,
         0,
         {"-a", "5", "--originals"},
         [&] {
             ASSERT_EQ(Make({"--update", "-a", "5", "--originals"}, out_), 0) << Err();
         }},
        // Then the album is no longer proven ours: replacing its files takes a Yes.
        {"the record cut", 0, 6, {"-y"}, [&] { fs::resize_file(RecordPath(), 40); }},
        {"a Data file edited", 5, 1, {}, [&] { WriteWholeFile(tall, "edited"); }},
        {"a thumbnail deleted", 5, 1, {}, [&] { fs::remove(out_ / "Thumb" / "th_tall.jpg"); }},
        // The very file recorded, moved out and linked to: all it says matches, but only through the link.
        {"a link as Data", 5, 1, {}, [&] { fs::rename(tall, moved), fs::create_symlink(moved, tall); }},
    };
    // Every run is recorded, so the first update after a plain run keeps what has not changed; an update of
    // an album its record proves ours asks no question.
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        ASSERT_EQ(Make({}, out_), 0) << Err();
        c.change();
        std::vector<std::string> update{"--update", "--prune"};
        update.insert(update.end(), c.options.begin(), c.options.end());
        EXPECT_EQ(Make(update, out_), 0) << Err();
        const std::string counts =
            std::to_string(c.reused) + " items reused, " + std::to_string(c.made) + " made.";
        EXPECT_NE(Err().find(counts), std::string::npos) << Err();
        EXPECT_EQ(Make(c.options, full_), 0) << Err();
        EXPECT_EQ(Files(out_), Files(full_));
    }
}

// A failed run still records what it made; a prune removes only what the record names as the album's own.
TEST_F(Update, RecordsAFailedRunAndPrunesOnlyTheAlbumsOwnFiles) {
    files_.push_back("bad.jpg");
    WriteWholeFile(media_ / "bad.jpg", "not a picture");
    ASSERT_EQ(Make({"--update"}, out_), 3) << Err();
    files_.pop_back();
    WriteWholeFile(out_ / "Data" / "mine.txt", "the user's own");
    ASSERT_EQ(Make({"--update", "--prune"}, out_), 0) << Err();
    EXPECT_NE(Err().find("6 items reused, 0 made."), std::string::npos) << Err();
    EXPECT_TRUE(fs::exists(out_ / "Data" / "mine.txt"));
}

} // namespace
} // namespace aw
