// An album made by albumwright-make, opened in a real browser (headless Chromium, when installed): every
// picture on the page loads, the background loads, and every link names a file that is in Data.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

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
  document.body.setAttribute('data-result', 'images=' + d.images.length + ';bad=' + bad.join('|') + ';');
};
</script></body></html>)";

std::string Capture(const std::string& command) {
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    std::string out;
    if (!pipe)
        return out;
    char buffer[4096];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    return out;
}

TEST(PageCheck, EveryPictureAndLinkOfTheAlbumWorksInABrowser) {
    const fs::path browser = "/usr/bin/chromium";
    if (!fs::exists(browser))
        GTEST_SKIP() << "Chromium is not installed";

    test::ScratchDir dir;
    const fs::path media = dir / "media";
    fs::create_directories(media);
    ASSERT_TRUE(test::MakeJpeg(media / "wide photo.jpg", 320, 200));
    ASSERT_TRUE(test::MakeJpeg(media / "tall 50% #1?.jpg", 60, 200));
    ASSERT_TRUE(test::MakeBitmap(media / "drawing.bmp", 50, 40));
    ASSERT_TRUE(test::MakeMovie(media / "clip.mov", 64, 48));
    test::WriteWholeFile(media / "a&b.wav", std::string(256, 'x'));

    const std::string make = std::string(ALBUMWRIGHT_MAKE) + " -q -y -b 3 -t 'Check' -o " +
                             test::ShellQuote((dir / "album").string());
    std::string files;
    for (const char* name : {"wide photo.jpg", "tall 50% #1?.jpg", "drawing.bmp", "clip.mov", "a&b.wav"})
        files += " " + test::ShellQuote((media / name).string());
    ASSERT_TRUE(test::RunCommand(make + files));

    test::WriteWholeFile(dir / "check.html", kChecker);
    const fs::path profile = dir / "profile";
    const std::string dom =
        Capture(browser.string() +
                " --headless --no-sandbox --disable-gpu --no-first-run --disable-background-networking"
                " --disable-component-update --disable-sync --allow-file-access-from-files"
                " --virtual-time-budget=10000 --user-data-dir=" +
                test::ShellQuote(profile.string()) + " --dump-dom " +
                test::ShellQuote("file://" + (dir / "check.html").string()) + " 2>/dev/null");

    std::smatch m;
    ASSERT_TRUE(std::regex_search(dom, m, std::regex("data-result=\"images=(\\d+);bad=([^;]*);"))) << dom;
    EXPECT_EQ(m[1].str(), "5"); // four thumbnails and the sound picture
    EXPECT_EQ(m[2].str(), "") << "pictures that did not load";
    // The dump writes attribute values with "&" as a character reference.
    ASSERT_TRUE(std::regex_search(dom, m, std::regex("data-links=\"([^\"]*)\""))) << dom;
    const std::string links = m[1].str();
    std::size_t start = 0;
    int count = 0;
    while (start < links.size()) {
        std::size_t end = links.find('|', start);
        if (end == std::string::npos)
            end = links.size();
        std::string link = links.substr(start, end - start);
        link = std::regex_replace(link, std::regex("&amp;"), "&");
        EXPECT_TRUE(fs::exists(link) && fs::path(link).parent_path() == dir.path() / "album" / "Data")
            << link;
        ++count;
        start = end + 1;
    }
    EXPECT_EQ(count, 5);
}

} // namespace
} // namespace aw
