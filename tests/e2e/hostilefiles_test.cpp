// SPDX-License-Identifier: MIT
// Whole runs of albumwright-make against hostile files, limits and signals: whatever happens it ends with its
// status and message, writes nothing through a planted link, leaves no temporary or cut file, and the earlier
// page stays unless the run completes. The rules themselves are the file, copier and guard unit tests'.
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ShellQuote;
using test::WriteWholeFile;

class HostileFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(test::MakeJpeg(dir_ / "a.jpg", 64, 48));
        ASSERT_TRUE(test::MakeJpeg(dir_ / "big.jpg", 700, 500, "+noise Random -quality 95", "xc:gray"));
    }
    // `prefix` runs first (ulimit); `then` runs with the program in the background as $pid and a fresh
    // stderr (a stale one would let `then` act before the program has started).
    int Make(const std::string& args, const std::string& prefix, const std::string& then) {
        const std::string dir = ShellQuote(dir_.str());
        const std::string command =
            "cd " + dir + " && rm -f stderr && " + prefix + "{ env -i LANG=C TMPDIR=" + dir +
            " XDG_STATE_HOME=" + dir + "/state" + " ALBUMWRIGHT_SETTINGS=" + dir + "/settings " +
            (then.empty() ? "timeout -k 5 60 " : "") + ShellQuote(ALBUMWRIGHT_MAKE) + " -y -o album " + args +
            " </dev/null 2>stderr & pid=$!; " + then + " wait $pid; }";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Err() const { return ReadWholeFile(dir_ / "stderr"); }
    // Temporary files, and Data files that are not whole copies of a source.
    std::string Leftovers() const {
        const std::string a = ReadWholeFile(dir_ / "a.jpg"), big = ReadWholeFile(dir_ / "big.jpg");
        std::string found;
        for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
            if (entry.path().filename().string().starts_with("HTM"))
                found += "temporary " + entry.path().string() + "\n";
            if (entry.path().parent_path().filename() == "Data" && entry.is_regular_file() &&
                ReadWholeFile(entry.path()) != a && ReadWholeFile(entry.path()) != big)
                found += "cut " + entry.path().string() + "\n";
        }
        return found;
    }

    test::ScratchDir dir_;
    fs::path out_ = dir_ / "album";
};

TEST_F(HostileFiles, EndsWithItsStatusAndLeavesNothingBehind) {
    std::string hundred;
    for (int i = 0; i < 100; ++i)
        hundred += " big.jpg";
    const std::string started =
        "for i in $(seq 1000); do grep -q '1 of 100' stderr && break; sleep 0.01; done;";
    const struct {
        const char* what;
        std::function<void()> plant;
        std::string args, prefix, then;
        int status;
        std::string message;
    } cases[] = {
        // The intake reads an .asf file's marker first: a FIFO must not block it.
        {"a FIFO among the sources",
         [&] { ::mkfifo((dir_ / "f.jpg").c_str(), 0600), fs::create_symlink("f.jpg", dir_ / "f.asf"); },
         "a.jpg f.asf", "", "", 1, "f.asf: it is a FIFO (named pipe), not a regular file."},
        {"a link planted in Data", [&] { fs::create_symlink(dir_ / "victim", out_ / "Data/a.jpg"); }, "a.jpg",
         "", "", 0, ""},
        {"a source the run would overwrite",
         [&] {
             fs::create_directory(out_ / "Thumb"), fs::copy_file(dir_ / "big.jpg", out_ / "Thumb/th_a.jpg");
         },
         "a.jpg album/Thumb/th_a.jpg", "", "", 3, "would be overwritten"},
        {"a file-size limit", nullptr, "a.jpg big.jpg", "ulimit -f 100 && ", "", 3, "The file "},
        {"SIGTERM", nullptr, hundred, "", started + "kill -TERM $pid;", 2, "Finishing..."},
        {"Ctrl-C", nullptr, hundred, "", started + "kill -INT $pid;", 2, "Finishing..."},
        {"Ctrl-C twice", nullptr, hundred, "", started + "kill -INT $pid; kill -INT $pid;", 2,
         "Finishing..."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(out_);
        fs::create_directories(out_ / "Data");
        WriteWholeFile(out_ / "Index.html", "earlier page");
        WriteWholeFile(dir_ / "victim", "user's file");
        if (c.plant)
            c.plant();
        EXPECT_EQ(Make(c.args, c.prefix, c.then), c.status) << Err();
        EXPECT_NE(Err().find(c.message), std::string::npos) << Err();
        EXPECT_EQ(ReadWholeFile(out_ / "Index.html") == "earlier page", c.status != 0);
        EXPECT_EQ(ReadWholeFile(dir_ / "victim"), "user's file");
        EXPECT_EQ(Leftovers(), "");
    }
}

// The memory a run charges a picture in the making against its budget is what the decoder really holds:
// a 92-byte animated WebP of 6000 x 6000 peaks at its two RGBA canvases and the BGR picture, 11 bytes a pixel
// (measured loosely, beyond a small album's own peak).
TEST_F(HostileFiles, APictureHoldsWhatItIsChargedAndNoMore) {
    fs::copy_file(test::TestDataDir() / "hostile/canvas-6000.webp", dir_ / "canvas.webp");
    const auto peak = [] {
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        return static_cast<double>(usage.ru_maxrss) * 1024;
    };
    ASSERT_EQ(Make("a.jpg", "", ""), 0) << Err();
    const double small = peak();
    ASSERT_EQ(Make("canvas.webp", "", ""), 0) << Err();
    const double charged = 11.0 * 6000 * 6000;
    EXPECT_LT(peak() - small, 1.05 * charged);
    EXPECT_GT(peak() - small, 0.8 * charged);
}

} // namespace
} // namespace aw
