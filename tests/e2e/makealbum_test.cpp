// Whole runs of the built albumwright-make on small generated media: the files it writes, its messages
// and its exit status, and that it leaves the sources and the user's settings alone.
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScratchDir;

class MakeAlbum : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        media_ = std::make_unique<ScratchDir>();
        ASSERT_TRUE(test::MakeJpeg(Media("a.jpg"), 64, 48));
        ASSERT_TRUE(test::MakeJpeg(Media("p.jpg"), 30, 200)); // portrait
        ASSERT_TRUE(test::MakeBitmap(Media("x.bmp"), 40, 30));
        ASSERT_TRUE(test::MakeMovie(Media("m.avi"), 64, 48));
        test::WriteWholeFile(Media("s.mp3"), std::string(512, '\x55'));
        test::WriteWholeFile(Media("notes.txt"), "not media");
        test::WriteWholeFile(Media("bad.jpg"), "not a picture");
    }
    static void TearDownTestSuite() { media_.reset(); }

    // Runs the program in `dir_` with a bare environment, no terminal and standard error in a file; the
    // settings location points into the scratch folder so that a write would show.
    int Make(const std::vector<std::string>& args) {
        const std::string dir = test::ShellQuote(dir_.str());
        std::string command = "cd " + dir + " && exec env -i LANG=C TMPDIR=" + dir +
                              " ALBUMWRIGHT_SETTINGS=" + dir + "/settings " +
                              test::ShellQuote(ALBUMWRIGHT_MAKE);
        for (const std::string& arg : args)
            command += " " + test::ShellQuote(arg);
        return Shell(command + " </dev/null 2>stderr");
    }
    static int Shell(const std::string& command) {
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    static std::string Media(const std::string& name) { return (media_->path() / name).string(); }
    std::string Err() const { return ReadWholeFile(dir_ / "stderr"); }
    // Every source's name, bytes and modification time.
    static std::string Sources() {
        std::string all;
        for (const auto& file : fs::directory_iterator(media_->path()))
            all += file.path().string() + ReadWholeFile(file) +
                   std::to_string(file.last_write_time().time_since_epoch().count());
        return all;
    }
    static std::ptrdiff_t Count(const fs::path& folder) {
        return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
    }

    static inline std::unique_ptr<ScratchDir> media_;
    ScratchDir dir_;
    fs::path out_ = dir_ / "album";
};

TEST_F(MakeAlbum, WritesTheAlbumAndLeavesTheSourcesAlone) {
    const std::string before = Sources();
    std::vector<std::string> args{"-y", "-t", "E2E <i>album</i>", "-b", "2", "-o", out_.string()};
    for (const char* name : {"a.jpg", "p.jpg", "x.bmp", "m.avi", "s.mp3", "notes.txt"})
        args.push_back(Media(name));
    ASSERT_EQ(Make(args), 0) << Err();
    EXPECT_EQ(Sources(), before);
    EXPECT_FALSE(fs::exists(dir_ / "settings")) << "the command line must not write settings";

    for (const char* name : {"a.jpg", "p.jpg", "m.avi", "s.mp3"})
        EXPECT_EQ(ReadWholeFile(out_ / "Data" / name), ReadWholeFile(Media(name))) << name;
    EXPECT_EQ(ReadWholeFile(out_ / "Data" / "x.jpg").substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(ReadWholeFile(out_ / "Data" / "usa.jpg"),
              ReadWholeFile(test::BinDir() / "htmldata" / "usa.jpg"));
    EXPECT_EQ(Count(out_ / "Data"), 6);
    // Sizes and page markup are the copier's, the fitting's and the golden pages' business.
    for (const char* name : {"th_a.jpg", "th_p.jpg", "th_x.jpg", "th_m.jpg", "wave.jpg"})
        EXPECT_TRUE(test::ReadWithImageMagick(out_ / "Thumb" / name)) << name;
    EXPECT_EQ(Count(out_ / "Thumb"), 5);
    EXPECT_NE(ReadWholeFile(out_ / "Index.html").find("E2E <i>album</i>"), std::string::npos);
    const std::string err = Err();
    EXPECT_NE(err.find("cannot be loaded.: \nnotes.txt"), std::string::npos) << err;
    EXPECT_NE(err.find("created as and HTML file in the folder " + out_.string() + "."), std::string::npos)
        << err;
}

TEST_F(MakeAlbum, ExitStatusTellsHowItEnded) {
    fs::create_directories(out_);
    test::WriteWholeFile(out_ / "Index.html", "earlier page");
    test::WriteWholeFile(dir_ / "file", "");
    const std::string o = out_.string(), a = Media("a.jpg");
    // Arguments, exit status, part of standard error.
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"--colour", "red", "-o", o, a}, 1, "unknown option --colour"},
        {{"-y", "-o", o, Media("notes.txt")}, 1, "not supported by this software"},
        {{"-y", "-o", o, Media("gone.jpg")}, 1, "gone.jpg"},
        {{"-n", "-o", o, a}, 2, "Creation of files was cancelled."},
        {{"-o", o, a}, 2, "(answered No)"},
        {{"-y", "-o", (dir_ / "file" / "sub").string(), a}, 3, "could not be created"},
        {{"-y", "-o", (dir_ / "broken").string(), a, Media("bad.jpg")},
         3,
         "An error occurred while the file was being created.\nThe file " + Media("bad.jpg")},
    };
    for (const auto& [args, status, message] : cases) {
        EXPECT_EQ(Make(args), status) << message << "\n" << Err();
        EXPECT_NE(Err().find(message), std::string::npos) << message << "\n" << Err();
    }
    EXPECT_EQ(ReadWholeFile(out_ / "Index.html"), "earlier page"); // declining changed nothing
    EXPECT_FALSE(fs::exists(out_ / "Data"));
}

} // namespace
} // namespace aw
