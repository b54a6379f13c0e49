// SPDX-License-Identifier: MIT
// Whole runs of albumwright-make against hostile files and faults: whatever happens it ends with its status
// and message, writes nothing outside the album, leaves no temporary or cut file, and the earlier page.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include "support/fixtures.h"
#include "support/testpaths.h"
#include "stringtable.h"

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
    int Make(const std::string& args, const std::string& prefix = "", const std::string& then = "") {
        const std::string dir = ShellQuote(dir_.str());
        const std::string command = "cd " + dir + " && rm -f stderr && " + prefix +
                                    "{ env -i LANG=C TMPDIR=" + dir + " ALBUMWRIGHT_SETTINGS=" + dir +
                                    "/settings " + (then.empty() ? "timeout -k 5 60 " : "") +
                                    ShellQuote(program_.string()) + " -y " + args +
                                    " </dev/null 2>stderr & pid=$!; " + then + " wait $pid; }";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Err() const { return ReadWholeFile(dir_ / "stderr"); }
    // Temporary files below `folder`, and Data files that are not whole copies of a source.
    std::string Leftovers(const fs::path& folder) const {
        const std::string a = ReadWholeFile(dir_ / "a.jpg"), big = ReadWholeFile(dir_ / "big.jpg");
        std::string found;
        for (const auto& entry : fs::recursive_directory_iterator(folder)) {
            if (entry.path().filename().string().rfind("HTM", 0) == 0)
                found += "temporary " + entry.path().string() + "\n";
            if (entry.path().parent_path().filename() != "Data" || !entry.is_regular_file())
                continue;
            const std::string content = ReadWholeFile(entry.path());
            if (content != a && content != big)
                found += "cut " + entry.path().string() + "\n";
        }
        return found;
    }
    std::string Leftovers() const { return Leftovers(dir_.path()); }

    test::ScratchDir dir_;
    fs::path out_ = dir_ / "album";
    fs::path program_ = ALBUMWRIGHT_MAKE;
};

TEST_F(HostileFiles, FifosAreRefusedAtOnceWithAReasonNamingThem) {
    ASSERT_EQ(::mkfifo((dir_ / "f.jpg").c_str(), 0600), 0);
    fs::create_symlink("f.jpg", dir_ / "f.asf"); // the intake reads an .asf file's marker first
    for (const std::string name : {"f.jpg", "f.asf"}) {
        EXPECT_EQ(Make("-o album a.jpg " + name), 1) << name;
        EXPECT_NE(Err().find(name + ": it is a FIFO (named pipe), not a regular file."), std::string::npos)
            << Err();
    }
    EXPECT_EQ(Leftovers(), "");
}

// Links planted at Index.html (dangling), Data/<name> and Thumb/<name> are replaced, never written through,
// also one in Data that leads to the item's own source.
TEST_F(HostileFiles, PlantedLinksAreReplacedNotWrittenThrough) {
    for (const char* folder : {"album/Data", "album/Thumb", "elsewhere"})
        fs::create_directories(dir_ / folder);
    WriteWholeFile(dir_ / "elsewhere/victim", "user's file");
    fs::create_symlink(dir_ / "elsewhere/new.html", out_ / "Index.html");
    fs::create_symlink(dir_ / "elsewhere/victim", out_ / "Data/a.jpg");
    fs::create_symlink(dir_ / "elsewhere/victim", out_ / "Thumb/th_a.jpg");
    fs::create_symlink("../../big.jpg", out_ / "Data/big.jpg");
    ASSERT_EQ(Make("-o album a.jpg big.jpg"), 0) << Err();
    EXPECT_EQ(ReadWholeFile(dir_ / "elsewhere/victim"), "user's file");
    EXPECT_FALSE(fs::exists(dir_ / "elsewhere/new.html"));
    for (const char* file : {"Index.html", "Data/a.jpg", "Thumb/th_a.jpg", "Data/big.jpg"})
        EXPECT_FALSE(fs::is_symlink(out_ / file)) << file;
    EXPECT_EQ(Leftovers(), "");
}

// An installed image module that would crash the program (the loader's test has every reason) is named with
// the reason at once, status 3.
TEST_F(HostileFiles, BrokenModulesAreNamedNotLoaded) {
    const fs::path prefix = dir_ / "prefix", modules = prefix / "lib/albumwright";
    fs::create_directories(prefix / "bin");
    fs::create_directories(modules);
    fs::create_directories(prefix / "share/albumwright");
    fs::create_directory_symlink(test::BinDir() / "htmldata", prefix / "share/albumwright/htmldata");
    program_ = prefix / "bin/albumwright-make";
    fs::copy_file(ALBUMWRIGHT_MAKE, program_);
    fs::copy_file(test::BinDir() / LoadText(413), modules / LoadText(413));
    const fs::path image = modules / LoadText(412);
    fs::copy_file(test::BinDir() / LoadText(412), image);
    fs::resize_file(image, 4096);
    EXPECT_EQ(Make("-o album a.jpg"), 3) << Err();
    EXPECT_NE(Err().find(image.string() + ": it is cut short"), std::string::npos) << Err();
    EXPECT_FALSE(fs::exists(out_ / "Index.html"));
}

// A source inside the album that the run would replace is refused before anything is written.
TEST_F(HostileFiles, ASourceTheRunWouldOverwriteIsRefused) {
    fs::create_directories(out_ / "Thumb");
    fs::copy_file(dir_ / "big.jpg", out_ / "Thumb/th_a.jpg");
    const std::string before = ReadWholeFile(out_ / "Thumb/th_a.jpg");
    EXPECT_EQ(Make("-o album a.jpg album/Thumb/th_a.jpg"), 3);
    EXPECT_NE(Err().find("would be overwritten"), std::string::npos) << Err();
    EXPECT_EQ(ReadWholeFile(out_ / "Thumb/th_a.jpg"), before);
    EXPECT_FALSE(fs::exists(out_ / "Index.html"));
}

// A file-size limit and a full disk end the run with status 3 and its message; the earlier page stays.
TEST_F(HostileFiles, WriteLimitsEndTheRunCleanly) {
    fs::create_directories(out_);
    WriteWholeFile(out_ / "Index.html", "earlier page");
    EXPECT_EQ(Make("-o album a.jpg big.jpg", "ulimit -f 100 && "), 3) << Err();
    EXPECT_NE(Err().find("The file "), std::string::npos) << Err();
    EXPECT_EQ(ReadWholeFile(out_ / "Index.html"), "earlier page");
    EXPECT_EQ(Leftovers(), "");

    test::SmallDisk disk(512 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a small tmpfs here";
    WriteWholeFile(disk / "Index.html", "earlier page");
    EXPECT_EQ(Make("-o " + ShellQuote(disk.path().string()) + " a.jpg big.jpg big.jpg"), 3) << Err();
    EXPECT_NE(Err().find("the disk is full."), std::string::npos) << Err();
    EXPECT_EQ(ReadWholeFile(disk / "Index.html"), "earlier page");
    EXPECT_EQ(Leftovers(disk.path()), "");
}

// SIGTERM, and Ctrl-C pressed once or twice, stop the run at its next check point with status 2.
TEST_F(HostileFiles, TerminationAndASecondInterruptStopCleanly) {
    std::string files;
    for (int i = 0; i < 100; ++i)
        files += " big.jpg";
    const std::string started =
        "for i in $(seq 1000); do grep -q '1 of 100' stderr && break; sleep 0.01; done;";
    for (const std::string signals :
         {"kill -TERM $pid;", "kill -INT $pid;", "kill -INT $pid; kill -INT $pid;"}) {
        SCOPED_TRACE(signals);
        fs::remove_all(out_);
        EXPECT_EQ(Make("-o album" + files, "", started + signals), 2) << Err();
        EXPECT_NE(Err().find("Finishing..."), std::string::npos) << Err();
        EXPECT_FALSE(fs::exists(out_ / "Index.html"));
        EXPECT_EQ(Leftovers(), "");
    }
}

} // namespace
} // namespace aw
