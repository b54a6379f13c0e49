// SPDX-License-Identifier: MIT
// albumwright-make --update: whatever changed since the last run, the album equals the one a full run
// writes into an empty folder (every Data and Thumb file and the page, byte for byte), while the counts
// show that what did not change was reused. Damaged records and files changed behind the album's back
// are made again.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include "album/albummanifest.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ShellQuote;
using test::WriteWholeFile;
using Album = std::map<std::string, std::string>;

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
        ASSERT_TRUE(test::MakeBitmap(m / "drawing2.bmp", 50, 40, "BMP3", "", "gradient:white-black"));
        ASSERT_TRUE(test::MakeMovie(m / "clip.mov", 64, 48));
        WriteWholeFile(m / "song.wav", std::string(256, 'x'));
    }
    static void TearDownTestSuite() { delete master_; }

    void SetUp() override {
        fs::copy(master_->path() / "media", media_, fs::copy_options::recursive);
        files_ = {"sun.jpg", "other/Sun.jpg", "tall.jpg", "drawing.bmp", "song.wav", "clip.mov"};
    }
    int Make(std::vector<std::string> args, const fs::path& out) {
        const std::string dir = ShellQuote(dir_.str());
        std::string command = "cd " + dir + " && exec env -i LANG=C TMPDIR=" + dir +
                              " ALBUMWRIGHT_SETTINGS=" + dir + "/settings " + ShellQuote(ALBUMWRIGHT_MAKE) +
                              " -y -o " + ShellQuote(out);
        for (const std::string& file : files_)
            args.push_back((media_ / file).string());
        for (const std::string& arg : args)
            command += " " + ShellQuote(arg);
        const int status = std::system((command + " </dev/null 2>stderr").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Err() const { return ReadWholeFile(dir_ / "stderr"); }
    // The page and every file in Data and Thumb, by name.
    static Album Files(const fs::path& album) {
        Album files{{"Index.html", ReadWholeFile(album / "Index.html")}};
        for (const char* folder : {"Data", "Thumb"})
            if (fs::exists(album / folder))
                for (const auto& file : fs::directory_iterator(album / folder))
                    files[std::string(folder) + "/" + file.path().filename().string()] = ReadWholeFile(file);
        return files;
    }
    // The one file in `folder` of the album whose name holds `part`.
    fs::path Find(const std::string& folder, const std::string& part) const {
        for (const auto& file : fs::directory_iterator(out_ / folder))
            if (file.path().filename().string().find(part) != std::string::npos)
                return file.path();
        ADD_FAILURE() << "nothing like " << part << " in " << folder;
        return {};
    }
    // The update run, then a full run of the same files and options into an empty folder, compared; what
    // the update said.
    std::string ExpectUpdateEqualsFullRun(const std::vector<std::string>& options,
                                          const std::string& counts) {
        std::vector<std::string> args{"--update", "--prune"};
        args.insert(args.end(), options.begin(), options.end());
        EXPECT_EQ(Make(args, out_), 0) << Err();
        const std::string err = Err();
        EXPECT_NE(err.find(counts), std::string::npos) << err;
        EXPECT_EQ(Make(options, full_), 0) << Err();
        const Album updated = Files(out_), full = Files(full_);
        EXPECT_EQ(updated.size(), full.size());
        for (const auto& [name, bytes] : full)
            EXPECT_TRUE(updated.count(name) && updated.at(name) == bytes) << name << " differs";
        return err;
    }

    static test::ScratchDir* master_;
    test::ScratchDir dir_;
    fs::path media_ = dir_ / "media", out_ = dir_ / "album", full_ = dir_ / "full";
    std::vector<std::string> files_;
};
test::ScratchDir* Update::master_ = nullptr;

// A file of the same size with other pixels, with its time set to `time`.
void ReplaceBitmap(const fs::path& media, fs::file_time_type time) {
    fs::copy_file(media / "drawing2.bmp", media / "swap.bmp");
    fs::last_write_time(media / "swap.bmp", time);
    fs::rename(media / "swap.bmp", media / "drawing.bmp");
}

TEST_F(Update, EqualsAFullRunWhateverChanged) {
    struct Case {
        const char* what;
        std::function<void()> change; // on the sources and the file list after the first run
        std::vector<std::string> options;
        const char* counts;
    };
    const Case cases[] = {
        {"nothing changed", [] {}, {}, "6 items reused, 0 made."},
        {"edited in place: same size, new time",
         [this] {
             const fs::path drawing = media_ / "drawing.bmp";
             const auto time = fs::last_write_time(drawing);
             WriteWholeFile(drawing, ReadWholeFile(media_ / "drawing2.bmp"));
             fs::last_write_time(drawing, time + std::chrono::seconds(2));
         },
         {},
         "5 items reused, 1 made."},
        {"replaced: same size and time, another inode",
         [this] { ReplaceBitmap(media_, fs::last_write_time(media_ / "drawing.bmp")); },
         {},
         "5 items reused, 1 made."},
        {"added", [this] { files_.push_back("new.jpg"); }, {}, "6 items reused, 1 made."},
        {"removed", [this] { files_.erase(files_.begin() + 2); }, {}, "5 items reused, 0 made."},
        // The other Sun.jpg loses its number: its Data and Thumb names change.
        {"renamed",
         [this] {
             fs::rename(media_ / "sun.jpg", media_ / "sunny.jpg");
             files_[0] = "sunny.jpg";
         },
         {},
         "4 items reused, 2 made."},
        {"embedded players, another arrangement and a background picture",
         [] {},
         {"-e", "-a", "3", "-b", "2"},
         "6 items reused, 0 made."},
        {"an arrangement without thumbnails", [] {}, {"-a", "4"}, "6 items reused, 0 made."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out_);
        fs::remove_all(full_);
        fs::remove_all(media_);
        SetUp();
        ASSERT_EQ(Make({"--update"}, out_), 0) << Err();
        c.change();
        ExpectUpdateEqualsFullRun(c.options, c.counts);
    }
}

TEST_F(Update, DoubtfulRecordsAndChangedFilesAreMadeAgain) {
    const fs::path record = ManifestPath(out_.string());
    const fs::path outside = dir_ / "outside.jpg", victim = dir_ / "victim";
    struct Case {
        const char* what;
        std::function<void()> damage; // on the album after the first run
        const char* line;             // what the update says about its record
        const char* counts;
    };
    auto rewrite = [&](const std::function<std::string(std::string)>& edit) {
        WriteWholeFile(record, edit(ReadWholeFile(record)));
    };
    auto reformat = [&](const std::function<void(std::vector<ManifestEntry>&)>& edit, const char* version) {
        ManifestRead read = ParseManifest(ReadWholeFile(record), ALBUMWRIGHT_VERSION_TEXT);
        ASSERT_EQ(read.state, ManifestState::Read);
        edit(read.entries);
        WriteWholeFile(record, FormatManifest(read.entries, version));
    };
    const Case cases[] = {
        {"cut", [&] { rewrite([](std::string s) { return s.substr(0, s.size() / 2); }); },
         "is damaged or cut", "0 items reused, 6 made."},
        {"from the future",
         [&] { rewrite([](std::string s) { return s.replace(s.find(" 1\n"), 2, " 7"); }); },
         "is from a later version", "0 items reused, 6 made."},
        {"from another version", [&] { reformat([](auto&) {}, "0.9-other"); },
         "another version of the program", "0 items reused, 6 made."},
        {"not ours", [&] { rewrite([](std::string) { return "[album]\nitems=6\n"; }); },
         "is not one of this program's", "0 items reused, 6 made."},
        // Were the entry believed, the prune would remove a file outside Data.
        {"pointing outside the album",
         [&] {
             WriteWholeFile(outside, "not the album's");
             reformat(
                 [&](std::vector<ManifestEntry>& entries) {
                     entries.push_back(entries[0]);
                     entries.back().name = "../../outside.jpg";
                     entries.back().written = *WrittenIdentity(outside.string());
                 },
                 ALBUMWRIGHT_VERSION_TEXT);
         },
         "is damaged or cut", "0 items reused, 6 made."},
        {"a Data file edited by hand", [&] { WriteWholeFile(Find("Data", "tall"), "edited"); }, "",
         "5 items reused, 1 made."},
        {"a thumbnail deleted", [&] { fs::remove(Find("Thumb", "tall")); }, "", "5 items reused, 1 made."},
        // The very file recorded, moved out and linked to: all it says matches, but only through the link.
        {"a link planted in place of a Data file",
         [&] {
             const fs::path data = Find("Data", "tall");
             fs::rename(data, victim);
             fs::create_symlink(victim, data);
         },
         "", "5 items reused, 1 made."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out_);
        fs::remove_all(full_);
        ASSERT_EQ(Make({"--update"}, out_), 0) << Err();
        WriteWholeFile(victim, "victim");
        c.damage();
        const std::string victimBefore = ReadWholeFile(victim);
        const std::string err = ExpectUpdateEqualsFullRun({}, c.counts);
        EXPECT_EQ(std::string(c.line).empty(), err.find("record of earlier runs") == std::string::npos)
            << err;
        EXPECT_NE(err.find(c.line), std::string::npos) << err;
        EXPECT_EQ(ReadWholeFile(victim), victimBefore);
        for (const char* folder : {"Data", "Thumb"})
            for (const auto& file : fs::directory_iterator(out_ / folder))
                EXPECT_FALSE(fs::is_symlink(file.symlink_status())) << file.path();
        EXPECT_EQ(ParseManifest(ReadWholeFile(record), ALBUMWRIGHT_VERSION_TEXT).state, ManifestState::Read);
    }
    EXPECT_EQ(ReadWholeFile(outside), "not the album's");
}

// A prune removes only what the record names as the album's own; a failed run still records what it made.
TEST_F(Update, PrunesOnlyTheAlbumsOwnFilesAndRecordsAFailedRun) {
    files_.push_back("bad.jpg");
    WriteWholeFile(media_ / "bad.jpg", "not a picture");
    ASSERT_EQ(Make({"--update"}, out_), 3) << Err();
    files_.pop_back();
    ASSERT_EQ(Make({"--update"}, out_), 0) << Err();
    EXPECT_NE(Err().find("6 items reused, 0 made."), std::string::npos) << Err();

    WriteWholeFile(out_ / "Data" / "mine.txt", "the user's own");
    const fs::path tall = Find("Data", "tall");
    files_.erase(files_.begin() + 2);
    ASSERT_EQ(Make({"--update"}, out_), 0) << Err();
    EXPECT_TRUE(fs::exists(tall)) << "removed without --prune";
    ASSERT_EQ(Make({"--update", "--prune", "-q"}, out_), 0) << Err();
    EXPECT_EQ(Err().find("reused"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(tall));
    EXPECT_TRUE(fs::exists(out_ / "Data" / "mine.txt"));
}

} // namespace
} // namespace aw
