// The video module keeps the frame it decoded for GetFrameSize for the GetFirstFrameDIB_RGB24 that follows
// on the same thread, but only for that same file as it still is: another path, or the file replaced in
// between, is read afresh.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "album/imaginglibrary.h"
#include "support/fixtures.h"
#include "support/imagingharness.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

TEST(VideoFrameKeep, TheSecondCallGivesTheFileAsItIsNow) {
    const ImagingLibrary& library = test::LoadedImagingLibrary();
    test::ScratchDir dir;
    ASSERT_TRUE(test::MakeMovie(dir / "red.avi", 64, 48, "", "color=c=red"));
    ASSERT_TRUE(test::MakeMovie(dir / "blue.avi", 64, 48, "", "color=c=blue"));
    const struct {
        const char* name;
        std::string sized, read;
        bool replace; // `read` is replaced by the blue movie between the two calls
        bool blue;
    } cases[] = {
        {"same file", "red.avi", "red.avi", false, false},
        {"another file", "red.avi", "blue.avi", false, true},
        {"the file replaced", "clip.avi", "clip.avi", true, true},
        {"again after the replacement", "clip.avi", "clip.avi", false, true},
    };
    fs::copy_file(dir / "red.avi", dir / "clip.avi");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int width = 0;
        int height = 0;
        ASSERT_TRUE(library.GetFrameSize((dir / c.sized).c_str(), &width, &height));
        if (c.replace) {
            fs::copy_file(dir / "blue.avi", dir / "new.avi");
            fs::rename(dir / "new.avi", dir / c.read);
        }
        std::vector<uint8_t> pixels(test::PixelBytes(width, height));
        AwPictureDescription description{};
        auto size = static_cast<uint32_t>(pixels.size());
        ASSERT_TRUE(
            library.GetFirstFrameDIB_RGB24((dir / c.read).c_str(), &description, pixels.data(), &size));
        // The picture must outlive the pointer into it.
        const auto picture = test::FromBottomUpBgr(pixels.data(), width, height);
        const uint8_t* centre = picture.At(width / 2, height / 2);
        const int shown = c.blue ? 2 : 0; // red or blue, of red, green, blue
        EXPECT_TRUE(centre[shown] > 200 && centre[2 - shown] < 50) << (c.blue ? "not blue" : "not red");
    }
}

} // namespace
} // namespace aw
