// SPDX-License-Identifier: MIT
// Whole runs of the built albumwright-make: the album opened in headless Chromium (where installed), its
// exit status, and that it leaves the sources and the user's settings alone.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <set>
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
using Strings = std::vector<std::string>;

// Waits for the album in the frame, then writes into its own body how many pictures there are, which did
// not load, and each movie's width (each sound's "sound") once the browser has decoded its start.
constexpr const char* kChecker = R"(<html><body><iframe id="f" src="album/Index.html"></iframe><script>
document.getElementById('f').onload = async () => {
  const d = document.getElementById('f').contentDocument;
  const loads = (src) => new Promise((done) => Object.assign(new Image(),
    {onload: (e) => done(e.target.naturalWidth > 0), onerror: () => done(false), src}));
  // A message ping-pong keeps the page busy, so the virtual clock waits while a movie's header is read.
  const tick = () => new Promise((done) => {
    const c = new MessageChannel(); c.port1.onmessage = done; c.port2.postMessage(0);
  });
  const bad = [], videos = [];
  for (const img of d.images) if (!(await loads(img.src))) bad.push(img.getAttribute('src'));
  const background = d.body.getAttribute('background');
  if (background && !(await loads(new URL(background, d.baseURI).href))) bad.push(background);
  for (const v of d.querySelectorAll('video, audio')) {
    if (v.poster !== undefined && !(await loads(v.poster))) bad.push(v.getAttribute('poster'));
    v.preload = 'auto'; v.load();
    for (let i = 0; i < 2000000 && v.readyState < 2 && !v.error; ++i) await tick();
    const shown = v.videoWidth !== undefined ? v.videoWidth : (v.duration > 0 ? 'sound' : 'none');
    videos.push(decodeURIComponent(new URL(v.src).pathname).split('/').pop() + '=' + shown);
  }
  document.body.setAttribute('data-result', [d.images.length, bad.join('|'), videos.sort().join('|')].join(';'));
};
</script></body></html>)";

class MakeAlbum : public ::testing::Test {
protected:
    // No environment, no terminal; settings that a write would show.
    int Make(const Strings& args) {
        const std::string dir = ShellQuote(dir_.str());
        std::string command = "cd " + dir + " && exec env -i LANG=C TMPDIR=" + dir +
                              " XDG_STATE_HOME=" + dir + "/state" + " ALBUMWRIGHT_SETTINGS=" + dir +
                              "/settings " + ShellQuote(ALBUMWRIGHT_MAKE);
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

    test::ScratchDir dir_;
    fs::path media_ = dir_ / "media", out_ = dir_ / "album";
};

// Every kind of today beside names that a page could break, in one album with embedded playback and a
// background: the sources and the settings are left alone, every picture loads, and every movie and sound
// plays, itself or through its copy.
TEST_F(MakeAlbum, WritesAnAlbumThatWorksInABrowserAndLeavesTheSourcesAlone) {
    fs::copy(test::TestDataDir() / "media", media_);
    // The metadata samples are another test's; the colour profile is no media.
    fs::remove(media_ / "displayp3.icc");
    for (const auto& file : fs::directory_iterator(test::TestDataDir() / "media"))
        if (const std::string name = file.path().filename().string();
            name.starts_with("located.") || name.starts_with("caption_"))
            fs::remove(media_ / name);
    ASSERT_TRUE(test::MakeJpeg(Media("wide photo.jpg"), 320, 200) &&
                test::MakeJpeg(Media("tall 50% #1?.jpg"), 60, 200));
    ASSERT_TRUE(test::MakeBitmap(Media("drawing.bmp"), 50, 40));
    ASSERT_TRUE(test::MakeMovie(Media("clip.mov"), 64, 48) && test::MakeMovie(Media("old.avi"), 64, 48));
    test::WriteWholeFile(Media("a&b.wav"), std::string(256, 'x'));
    test::WriteWholeFile(Media("notes.txt"), "not media");
    const std::string before = Sources();
    Strings args{"-y", "-e", "-b", "3", "-o", out_.string()};
    for (const auto& file : fs::directory_iterator(media_))
        args.push_back(file.path().string());
    std::sort(args.begin() + 6, args.end()); // numbered names follow the order given
    ASSERT_EQ(Make(args), 0) << Err();
    EXPECT_EQ(Sources(), before);
    EXPECT_FALSE(fs::exists(dir_ / "settings")) << "the command line must not write settings";
    std::set<std::string> album; // nothing private: the record of the run lives in the user's state folder
    for (const auto& entry : fs::directory_iterator(out_))
        album.insert(entry.path().filename().string());
    EXPECT_EQ(album, (std::set<std::string>{"Data", "Index.html", "Thumb"}));
    const int items = static_cast<int>(args.size()) - 7; // less the options and notes.txt

    if (!fs::exists("/usr/bin/chromium"))
        GTEST_SKIP() << "Chromium is not installed";
    test::WriteWholeFile(dir_ / "check.html", kChecker);
    test::RunCommand(
        "cd " + ShellQuote(dir_.str()) +
        " && { /usr/bin/chromium --headless --no-sandbox --disable-gpu"
        " --no-first-run --disable-background-networking --disable-component-update --disable-sync"
        " --allow-file-access-from-files --virtual-time-budget=10000 --user-data-dir=profile"
        " --dump-dom \"file://$PWD/check.html\" >dom; }");
    const std::string dom = ReadWholeFile(dir_ / "dom");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(dom, m, std::regex("data-result=\"(\\d+);([^;]*);([^\"]*)\""))) << dom;
    EXPECT_EQ(std::stoi(m[1].str()), items - 9); // all but the nine movies, which all play
    EXPECT_EQ(m[2].str(), "") << "pictures that did not load";
    // Those a browser does not play through their copies (H.263 in 3GP, H.264 in Matroska, HEVC, MPEG-4 in
    // AVI, ALAC), the portrait clip upright; every sound but the one that is no sound at all.
    EXPECT_EQ(m[3].str(),
              "1alac.m4a=sound|4clip.mp4=128|6clip.mp4=64|clip.m4v=64|clip.mov=64|clip.mp4=64|"
              "clip.webm=64|hevc.mp4=128|old.mp4=64|portrait.mp4=48|sound.aac=sound|sound.flac=sound|"
              "sound.m4a=sound|sound.ogg=sound|sound.opus=sound|tone.wav=sound");
}

// Where photos were taken is said on standard error even under -q, one line more than the run that removes
// it says; --sort taken puts the photos in the order they were taken.
TEST_F(MakeAlbum, LocationNoticeAndTheOrderTaken) {
    const auto sample = [](const char* name) { return (test::TestDataDir() / "media" / name).string(); };
    const auto lines = [this] {
        const std::string err = Err();
        return std::count(err.begin(), err.end(), '\n');
    };
    // A photo and a phone's clip, both with a location; then photos taken earlier.
    const Strings files = {sample("located.jpg"), sample("portrait.mp4"), sample("caption_exif.jpg"),
                           sample("caption_iptc.jpg")};
    ASSERT_EQ(Make({"-q", "--remove-location", "-o", (dir_ / "clean").string(), files[0], files[1]}), 0)
        << Err();
    const auto quiet = lines();
    Strings args{"-q", "--sort", "taken", "-o", out_.string()};
    args.insert(args.end(), files.begin(), files.end());
    ASSERT_EQ(Make(args), 0) << Err();
    EXPECT_EQ(lines(), quiet + 1) << Err();
    const std::string page = ReadWholeFile(out_ / "Index.html");
    EXPECT_LT(page.find("caption_iptc.jpg"), page.find("caption_exif.jpg"));
    EXPECT_LT(page.find("caption_exif.jpg"), page.find("located.jpg"));
    EXPECT_LT(page.find("located.jpg"), page.find("portrait.mp4"));
}

// A Gallery publishes no place, serial number or owner name (in its display copies, thumbnails and the copies
// of movies and sounds, whatever the sources hold); with --originals the sources' own bytes, for download.
TEST_F(MakeAlbum, GalleryPublishesNoPrivateFieldsButTheOriginalsAsTheyAre) {
    if (!test::RunCommand("command -v exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    // What cameras and phones write; the phone's portrait clip carries its place already.
    const std::string photo =
        "-GPSLatitude=35.6 -GPSLatitudeRef=N -SerialNumber=4711 -OwnerName=Jane -Artist=Jane";
    const std::pair<std::string, std::string> samples[] = {
        {"landscape.jpg", photo},
        {"p3.heic", photo},
        {"sound.m4a", "-GPSCoordinates='35.6, 139.7' -Artist=Jane"},
        {"portrait.mp4", ""}};
    fs::create_directories(media_);
    Strings args{"-y", "-a", "5", "--originals", "-o", out_.string()};
    for (const auto& [name, fields] : samples) {
        fs::copy_file(test::TestDataDir() / "media" / name, media_ / name);
        args.push_back(Media(name));
        if (!fields.empty()) {
            ASSERT_TRUE(
                test::RunCommand("exiftool -q -overwrite_original " + fields + " " + ShellQuote(Media(name))))
                << name;
        }
    }
    ASSERT_EQ(Make(args), 0) << Err();
    ASSERT_TRUE(test::RunCommand(
        "exiftool -r -a -G1 -s -i originals " + ShellQuote((out_ / "Data").string()) + " " +
        ShellQuote((out_ / "Thumb").string()) + " >" + ShellQuote((dir_ / "fields").string())));
    const std::string fields = ReadWholeFile(dir_ / "fields");
    EXPECT_FALSE(
        std::regex_search(fields, std::regex("GPS|Serial|Owner|Artist|Location|Jane", std::regex::icase)))
        << fields;
    const std::string page = ReadWholeFile(out_ / "index.html");
    for (const auto& [name, written] : samples) {
        EXPECT_EQ(ReadWholeFile(out_ / "Data" / "originals" / name), ReadWholeFile(media_ / name)) << name;
        EXPECT_NE(page.find("data-original=\"Data/originals/" + name + "\""), std::string::npos) << name;
    }
}

TEST_F(MakeAlbum, ExitStatusTellsHowItEnded) {
    fs::create_directories(out_);
    test::WriteWholeFile(out_ / "Index.html", "earlier page");
    test::WriteWholeFile(dir_ / "bad.jpg", "not a picture");
    const std::string o = out_.string(), a = (test::TestDataDir() / "media" / "p3.jpg").string();
    const std::tuple<Strings, int, std::string> cases[] = {
        {{"--colour", "red", "-o", o, a}, 1, "unknown option --colour"},
        {{"-o", o, a}, 2, "(answered No)"},
        {{"-q", "-y", "-o", (dir_ / "quiet").string(), a}, 0, ""}, // not even "Information: ..." created
        {{"-y", "-o", (dir_ / "broken").string(), a, (dir_ / "bad.jpg").string()}, 3, "bad.jpg"},
    };
    for (const auto& [args, status, message] : cases) {
        EXPECT_EQ(Make(args), status) << message << "\n" << Err();
        EXPECT_NE(Err().find(message), std::string::npos) << message << "\n" << Err();
        EXPECT_TRUE(args[0] != "-q" || Err().empty()) << Err();
    }
    EXPECT_EQ(ReadWholeFile(out_ / "Index.html"), "earlier page"); // declining changed nothing
}

} // namespace
} // namespace aw
