// Whole runs of the built albumwright-make on small generated media: the files it writes, its messages
// and its exit status, and that it leaves the sources and the user's settings alone.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

extern "C" {
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
}

#include "support/fixtures.h"
#include "support/testpaths.h"

extern char** environ;

namespace aw {
namespace {

namespace fs = std::filesystem;
using test::ReadWholeFile;
using test::ScratchDir;

struct Source {
    std::string name;
    std::string bytes;
    fs::file_time_type modified;
};

class MakeAlbum : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        media_ = new ScratchDir;
        const fs::path& m = media_->path();
        ASSERT_TRUE(test::MakeJpeg(m / "a.jpg", 64, 48));
        ASSERT_TRUE(test::MakeJpeg(m / "p.jpg", 30, 200)); // portrait
        ASSERT_TRUE(test::MakeJpeg(m / "c.jpg", 320, 240));
        ASSERT_TRUE(test::MakeBitmap(m / "x.bmp", 40, 30));
        ASSERT_TRUE(test::MakeMovie(m / "m.avi", 64, 48));
        test::WriteWholeFile(m / "s.mp3", std::string(512, '\x55'));
        test::WriteWholeFile(m / "notes.txt", "not media");
        test::WriteWholeFile(m / "bad.jpg", "not a picture");
        ASSERT_TRUE(test::MakeJpeg(m / "big.jpg", 1600, 1200));
    }
    static void TearDownTestSuite() {
        delete media_;
        media_ = nullptr;
    }

    // Starts the program in `dir_` with standard input from /dev/null and its output in files; the
    // settings location points into the scratch folder so that a write would show.
    pid_t Start(const std::vector<std::string>& args) {
        std::vector<std::string> all{ALBUMWRIGHT_MAKE};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : all)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        std::vector<std::string> env{"ALBUMWRIGHT_SETTINGS=" + Settings().string(), "LANG=C",
                                     "TMPDIR=" + work_.string()};
        std::vector<char*> envp;
        for (std::string& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        const std::string out = (dir_ / "stdout").string();
        const std::string err = (dir_ / "stderr").string();
        posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addchdir_np(&actions, dir_.path().c_str());
        pid_t pid = 0;
        const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_EQ(spawned, 0);
        return pid;
    }

    static int Wait(pid_t pid) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0) {
        }
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

    int Make(const std::vector<std::string>& args) { return Wait(Start(args)); }

    static std::string Media(const std::string& name) { return (media_->path() / name).string(); }
    std::string Err() const { return ReadWholeFile(dir_ / "stderr"); }
    fs::path Settings() const { return dir_.path() / "settings"; }

    static ScratchDir* media_;
    ScratchDir dir_;
    fs::path out_ = dir_ / "album";
    fs::path work_ = dir_.path();
};

ScratchDir* MakeAlbum::media_ = nullptr;

TEST_F(MakeAlbum, WritesTheAlbumAndLeavesTheSourcesAlone) {
    const std::vector<std::string> names{"a.jpg", "p.jpg", "x.bmp", "m.avi", "s.mp3", "notes.txt"};
    std::vector<Source> before;
    std::vector<std::string> args{"-y", "-t", "E2E <i>album</i>", "-b", "2", "-a", "1", "-o", out_.string()};
    for (const std::string& name : names) {
        before.push_back({name, ReadWholeFile(Media(name)), fs::last_write_time(Media(name))});
        args.push_back(Media(name));
    }
    ASSERT_EQ(Make(args), 0) << Err();

    for (const Source& s : before) {
        EXPECT_EQ(ReadWholeFile(Media(s.name)), s.bytes) << s.name;
        EXPECT_EQ(fs::last_write_time(Media(s.name)), s.modified) << s.name;
    }
    EXPECT_FALSE(fs::exists(Settings())) << "the command line must not write settings";

    for (const char* name : {"a.jpg", "p.jpg", "m.avi", "s.mp3"})
        EXPECT_EQ(ReadWholeFile(out_ / "Data" / name), ReadWholeFile(Media(name))) << name;
    EXPECT_EQ(ReadWholeFile(out_ / "Data" / "x.jpg").substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(ReadWholeFile(out_ / "Data" / "usa.jpg"),
              ReadWholeFile(test::BinDir() / "htmldata" / "usa.jpg"));
    std::size_t dataFiles = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(out_ / "Data"))
        ++dataFiles;
    EXPECT_EQ(dataFiles, 6u);

    struct Thumb {
        const char* name;
        int width;
        int height;
    };
    for (const Thumb& t : {Thumb{"th_a.jpg", 64, 48}, Thumb{"th_p.jpg", 18, 120}, Thumb{"th_x.jpg", 40, 30},
                           Thumb{"th_m.jpg", 64, 48}, Thumb{"wave.jpg", 0, 0}}) {
        const auto picture = test::ReadWithImageMagick(out_ / "Thumb" / t.name);
        ASSERT_TRUE(picture) << t.name;
        if (t.width > 0) {
            EXPECT_EQ(picture->width, t.width) << t.name;
            EXPECT_EQ(picture->height, t.height) << t.name;
        }
    }

    const std::string page = ReadWholeFile(out_ / "Index.html");
    EXPECT_NE(page.find("<TITLE>E2E <i>album</i></TITLE>"), std::string::npos);
    EXPECT_NE(page.find("Data/usa.jpg"), std::string::npos);
    std::size_t last = 0;
    for (const char* name : {"a.jpg", "p.jpg", "x.jpg", "m.avi", "s.mp3"}) {
        const std::size_t at = page.find(std::string("HREF=\"Data/") + name + "\"");
        ASSERT_NE(at, std::string::npos) << name;
        EXPECT_GT(at, last) << name << " out of order";
        last = at;
    }
    EXPECT_NE(page.find("</HTML>"), std::string::npos);

    const std::string err = Err();
    EXPECT_NE(err.find("cannot be loaded.: \nnotes.txt"), std::string::npos) << err;
    EXPECT_NE(err.find("created as and HTML file in the folder " + out_.string() + "."), std::string::npos)
        << err;
}

TEST_F(MakeAlbum, ExitStatusTellsHowItEnded) {
    fs::create_directories(out_);
    test::WriteWholeFile(out_ / "Index.html", "earlier page");
    test::WriteWholeFile(dir_ / "file", "");
    struct Case {
        const char* what;
        std::vector<std::string> args;
        int status;
        std::string message; // part of standard error
    };
    const Case cases[] = {
        {"bad option",
         {"--colour", "red", "-o", out_.string(), Media("a.jpg")},
         1,
         "unknown option --colour"},
        {"no output", {Media("a.jpg")}, 1, "(-o DIR)"},
        {"no supported file",
         {"-y", "-o", out_.string(), Media("notes.txt")},
         1,
         "not supported by this software"},
        {"missing file", {"-y", "-o", out_.string(), Media("gone.jpg")}, 1, "gone.jpg"},
        {"declined by -n",
         {"-n", "-o", out_.string(), Media("a.jpg")},
         2,
         "Creation of files was cancelled."},
        {"declined, no terminal", {"-o", out_.string(), Media("a.jpg")}, 2, "(answered No)"},
        {"folder fails",
         {"-y", "-o", (dir_ / "file" / "sub").string(), Media("a.jpg")},
         3,
         "could not be created"},
        {"run fails",
         {"-y", "-o", (dir_ / "broken").string(), Media("a.jpg"), Media("bad.jpg")},
         3,
         "An error occurred while the file was being created.\nThe file " + Media("bad.jpg")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Make(c.args), c.status) << c.what << "\n" << Err();
        EXPECT_NE(Err().find(c.message), std::string::npos) << c.what << "\n" << Err();
    }
    // Declining changed nothing that was there.
    EXPECT_EQ(ReadWholeFile(out_ / "Index.html"), "earlier page");
    EXPECT_FALSE(fs::exists(out_ / "Data"));
}

TEST_F(MakeAlbum, InterruptStopsTheRunWithStatusTwo) {
    std::vector<std::string> args{"-y", "-o", out_.string()};
    for (int i = 0; i < 200; ++i)
        args.push_back(Media("big.jpg"));
    const pid_t pid = Start(args);
    // Plain progress lines (standard error is no terminal) show when the run is under way.
    for (int waited = 0; Err().find("1 of 200") == std::string::npos && waited < 3000; waited += 5)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(pid, SIGINT);
    EXPECT_EQ(Wait(pid), 2) << Err();
    EXPECT_NE(Err().find("Finishing..."), std::string::npos);
    EXPECT_EQ(ReadWholeFile(out_ / "Index.html").find("</HTML>"), std::string::npos);
    for (const auto& entry : fs::directory_iterator(work_))
        EXPECT_NE(entry.path().filename().string().rfind("HTM", 0), 0u) << "temporary file left behind";
}

} // namespace
} // namespace aw
