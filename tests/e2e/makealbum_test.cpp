// SPDX-License-Identifier: MIT
// Whole runs of the built albumwright-make: the album opened in headless Chromium (where installed), its
// messages and exit status, and that it leaves the sources and the user's settings alone.
#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <filesystem>
#include <regex>
#include <sstream>
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
using test::ShellQuote;

// Waits for the album in the frame, then writes what it found into the checker's own body.
constexpr const char* kChecker = R"(<html><body><iframe id="f" src="album/Index.html"></iframe><script>
document.getElementById('f').onload = async () => {
  const d = document.getElementById('f').contentDocument;
  const loads = (src) => new Promise((done) => {
    const i = new Image(); i.onload = () => done(i.naturalWidth > 0); i.onerror = () => done(false); i.src = src;
  });
  const bad = [];
  for (const img of d.images) if (!(await loads(img.src))) bad.push(img.getAttribute('src'));
  const background = d.body.getAttribute('background');
  if (background && !(await loads(new URL(background, d.baseURI).href))) bad.push(background);
  // Where each link leads, as a file path: a name the page failed to encode would lead elsewhere.
  const links = [...d.querySelectorAll('a')].map((a) => decodeURIComponent(a.pathname));
  document.body.setAttribute('data-links', links.join('|'));
  // Each video element's poster, and its movie's width once the browser has read the movie's header.
  const videos = [];
  for (const v of d.querySelectorAll('video')) {
    if (!(await loads(v.poster))) bad.push(v.getAttribute('poster'));
    v.preload = 'metadata'; v.load();
    // A message ping-pong keeps the page busy, so the virtual clock waits while the movie's header is read.
    const tick = () => new Promise((done) => {
      const c = new MessageChannel(); c.port1.onmessage = done; c.port2.postMessage(0);
    });
    for (let i = 0; i < 2000000 && v.readyState < 1 && !v.error; ++i) await tick();
    videos.push(decodeURIComponent(new URL(v.src).pathname).split('/').pop() + '=' + v.videoWidth);
  }
  document.body.setAttribute('data-videos', videos.join('|'));
  document.body.setAttribute('data-result', 'images=' + d.images.length + ';bad=' + bad.join('|') + ';');
};
</script></body></html>)";

class MakeAlbum : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directory(media_);
        ASSERT_TRUE(test::MakeJpeg(Media("wide photo.jpg"), 320, 200));
        ASSERT_TRUE(test::MakeJpeg(Media("tall 50% #1?.jpg"), 60, 200));
        ASSERT_TRUE(test::MakeBitmap(Media("drawing.bmp"), 50, 40));
        ASSERT_TRUE(test::MakeMovie(Media("clip.mov"), 64, 48));
        test::WriteWholeFile(Media("a&b.wav"), std::string(256, 'x'));
        test::WriteWholeFile(Media("notes.txt"), "not media");
    }
    // A bare environment, no terminal; the settings point into the scratch folder so that a write would show.
    int Make(const std::vector<std::string>& args) {
        const std::string dir = ShellQuote(dir_.str());
        std::string command = "cd " + dir + " && exec env -i LANG=C TMPDIR=" + dir +
                              " ALBUMWRIGHT_SETTINGS=" + dir + "/settings " + ShellQuote(ALBUMWRIGHT_MAKE);
        for (const std::string& arg : args)
            command += " " + ShellQuote(arg);
        const int status = std::system((command + " </dev/null 2>stderr").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string Media(const std::string& name) const { return (media_ / name).string(); }
    std::string Err() const { return ReadWholeFile(dir_ / "stderr"); }
    // Every source's name, bytes and modification time.
    std::string Sources() const {
        std::string all;
        for (const auto& file : fs::directory_iterator(media_))
            all += file.path().string() + ReadWholeFile(file) +
                   std::to_string(file.last_write_time().time_since_epoch().count());
        return all;
    }

    static bool HasBrowser() { return fs::exists(kBrowser); }
    // The album in headless Chromium, as the checker page reports it.
    struct BrowserCheck {
        std::string dom, bad, videos;
        int images = -1, links = 0;
    };
    BrowserCheck CheckInBrowser() const {
        test::WriteWholeFile(dir_ / "check.html", kChecker);
        std::system((std::string(kBrowser) +
                     " --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
                     " --disable-component-update --disable-sync --allow-file-access-from-files"
                     " --virtual-time-budget=10000 --user-data-dir=" +
                     ShellQuote((dir_ / "profile").string()) + " --dump-dom " +
                     ShellQuote("file://" + (dir_ / "check.html").string()) + " >" +
                     ShellQuote((dir_ / "dom").string()) + " 2>/dev/null")
                        .c_str());
        BrowserCheck check;
        check.dom = ReadWholeFile(dir_ / "dom");
        std::smatch m;
        if (std::regex_search(check.dom, m, std::regex("data-result=\"images=(\\d+);bad=([^;]*);"))) {
            check.images = std::stoi(m[1].str());
            check.bad = m[2].str();
        }
        if (std::regex_search(check.dom, m, std::regex("data-videos=\"([^\"]*)\"")))
            check.videos = m[1].str();
        if (std::regex_search(check.dom, m, std::regex("data-links=\"([^\"]*)\""))) {
            std::stringstream links(
                std::regex_replace(m[1].str(), std::regex("&amp;"), "&")); // as the dump writes it
            for (std::string link; std::getline(links, link, '|'); ++check.links)
                EXPECT_TRUE(fs::exists(link) && fs::path(link).parent_path() == out_ / "Data") << link;
        }
        return check;
    }

    static constexpr const char* kBrowser = "/usr/bin/chromium";
    test::ScratchDir dir_;
    fs::path media_ = dir_ / "media", out_ = dir_ / "album";
};

// Every kind of today beside names that a page or a link could break, in one album with embedded playback
// and a background: the sources and the settings are left alone, every picture loads, every link names a
// file in Data, and exactly the movies a browser plays are video elements whose movie it reads.
TEST_F(MakeAlbum, WritesAnAlbumThatWorksInABrowserAndLeavesTheSourcesAlone) {
    for (const auto& file : fs::directory_iterator(test::TestDataDir() / "media"))
        if (file.path().extension() != ".icc")
            fs::copy_file(file.path(), media_ / file.path().filename());
    ASSERT_TRUE(test::MakeMovie(Media("old.avi"), 64, 48));
    const std::string before = Sources();
    std::vector<std::string> args{"-y", "-e", "-t", "E2E <i>album</i>", "-b", "3", "-o", out_.string()};
    for (const auto& file : fs::directory_iterator(media_))
        args.push_back(file.path().string());
    ASSERT_EQ(Make(args), 0) << Err();
    EXPECT_EQ(Sources(), before);
    EXPECT_FALSE(fs::exists(dir_ / "settings")) << "the command line must not write settings";
    EXPECT_NE(ReadWholeFile(out_ / "Index.html").find("E2E <i>album</i>"), std::string::npos);
    const std::string err = Err();
    EXPECT_NE(err.find("cannot be loaded.: \nnotes.txt"), std::string::npos) << err;
    EXPECT_NE(err.find("created as and HTML file in the folder " + out_.string() + "."), std::string::npos)
        << err;
    // p3.jpg and p3.heic both come to Data as p3.jpg: numbered apart, every item has its own file, beside
    // the background picture.
    const auto items = static_cast<std::ptrdiff_t>(args.size()) - 9; // the options and notes.txt
    EXPECT_EQ(std::distance(fs::directory_iterator(out_ / "Data"), fs::directory_iterator()), items + 1);
    EXPECT_TRUE(fs::exists(out_ / "Data" / "rotated.jpg") && fs::exists(out_ / "Data" / "natural.jpg"));

    if (!HasBrowser())
        GTEST_SKIP() << "Chromium is not installed";
    const BrowserCheck check = CheckInBrowser();
    EXPECT_EQ(check.images, items - 4) << check.dom; // all but the four movies that play
    EXPECT_EQ(check.bad, "") << "pictures that did not load";
    EXPECT_EQ(check.links, items);
    std::vector<std::string> videos;
    std::stringstream list(check.videos);
    for (std::string video; std::getline(list, video, '|');)
        videos.push_back(video);
    std::sort(videos.begin(), videos.end());
    EXPECT_EQ(videos, (std::vector<std::string>{"clip.m4v=64", "clip.mov=64", "clip.mp4=64", "clip.webm=64"}))
        << check.dom;
}

TEST_F(MakeAlbum, ExitStatusTellsHowItEnded) {
    fs::create_directories(out_);
    test::WriteWholeFile(out_ / "Index.html", "earlier page");
    test::WriteWholeFile(dir_ / "file", "");
    test::WriteWholeFile(Media("bad.jpg"), "not a picture");
    const std::string o = out_.string(), a = Media("wide photo.jpg");
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
