// SPDX-License-Identifier: MIT
#include "medialist/previewpicture.h"

#include <filesystem>
#include <tuple>

#include <gtest/gtest.h>

#include "album/imaginglibrary.h"
#include "album/mediakind.h"
#include "album/picturesteps.h"
#include "support/embeddedpreview.h"
#include "support/exifblock.h"
#include "support/fixtures.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using enum MediaKind;

namespace fs = std::filesystem;

class PreviewPictureFiles : public ::testing::Test {
protected:
    test::ScratchDir dir;
    const ImagingLibrary& imaging = test::LoadedImagingLibrary();
};

// Each kind fitted to the box without enlarging; nothing of an earlier preview lingers.
TEST_F(PreviewPictureFiles, EachKindTakesItsRoute) {
    ASSERT_TRUE(test::MakeJpeg(dir / "wide.jpg", 1600, 1200));
    ASSERT_TRUE(test::MakeJpeg(dir / "stale.jpg", 20, 20));
    ASSERT_TRUE(test::MakeBitmap(dir / "tall8.bmp", 300, 1000, "BMP3", "-type Palette -colors 16"));
    ASSERT_TRUE(test::MakeMovie(dir / "clip.avi", 320, 240));
    // Stored 1600 x 1200 and marked "turn 90 degrees": shown standing, like its thumbnail.
    std::string turned = test::ReadWholeFile(dir / "wide.jpg");
    test::WriteWholeFile(dir / "turned.jpg", turned.insert(2, test::Segment(0xE1, test::ExifPayload(6))));
    test::WriteWholeFile(dir / "broken.jpg", "not a picture at all");
    const fs::path media = test::TestDataDir() / "media";
    const std::tuple<fs::path, MediaKind, bool, PixelSize> cases[] = {
        {dir / "wide.jpg", StillJpeg, true, {141, 105}}, {dir / "turned.jpg", StillJpeg, true, {141, 188}},
        {dir / "tall8.bmp", StillBmp, true, {81, 271}},  {dir / "clip.avi", MovieAvi, true, {141, 105}},
        {dir / "missing.mp3", Audio, true, {0, 0}},      {dir / "broken.jpg", StillJpeg, false, {0, 0}},
        {dir / "wide.jpg", Unsupported, false, {0, 0}},  {media / "rotated.heic", StillHeif, true, {48, 64}},
        {media / "clip.webm", MovieWebm, true, {64, 48}}};
    for (const auto& [path, kind, ok, shown] : cases) {
        SCOPED_TRACE(path.filename().string() + " as " + std::to_string(static_cast<int>(kind)));
        Picture picture;
        PreparePreview((dir / "stale.jpg").string(), StillJpeg, imaging,
                       picture); // must not linger
        EXPECT_EQ(PreparePreview(path.string(), kind, imaging, picture), ok);
        EXPECT_EQ(PixelSize(picture.width(), picture.height()), shown);
        EXPECT_TRUE(!picture.hasImage() || // 24-bit bottom-up rows, as the pane draws them
                    (picture.header().biBitCount == 24 && picture.header().biHeight > 0));
    }
}

// A camera's own preview (blue; the photo is red) is shown when of the same frame and big enough, never in
// the album's thumbnails.
TEST_F(PreviewPictureFiles, CamerasOwnPreviewIsShownWhenItShowsTheSameFrame) {
    const auto jpeg = [&](int width, int height, const char* colour) {
        EXPECT_TRUE(test::MakeJpeg(dir / "part.jpg", width, height, "", std::string("xc:") + colour));
        return test::ReadWholeFile(dir / "part.jpg");
    };
    const std::string photo = jpeg(3000, 2000, "red");
    const std::string preview = jpeg(1620, 1080, "blue");
    const std::tuple<const char*, std::string, bool, PixelSize> cases[] = {
        {"camera", test::WithEmbeddedPreview(photo, preview), true, {141, 94}},
        {"cropped since", test::WithEmbeddedPreview(jpeg(3000, 1000, "red"), preview), false, {141, 47}},
        {"too small", test::WithEmbeddedPreview(photo, jpeg(270, 180, "blue")), false, {141, 94}},
        {"undecodable", test::WithEmbeddedPreview(photo, preview.substr(0, 400)), false, {141, 94}}};
    for (const auto& [what, file, blue, shown] : cases) {
        SCOPED_TRACE(what);
        test::WriteWholeFile(dir / "camera.jpg", file);
        Picture picture;
        ASSERT_TRUE(PreparePreview((dir / "camera.jpg").string(), StillJpeg, imaging, picture));
        ASSERT_EQ(PixelSize(picture.width(), picture.height()), shown);
        const auto drawn = test::FromBottomUpBgr(picture.pixels(), shown.width, shown.height);
        const uint8_t* centre = drawn.At(shown.width / 2, shown.height / 2);
        EXPECT_EQ(centre[2] > 200, blue) << int(centre[0]) << "," << int(centre[2]);
    }
    test::WriteWholeFile(dir / "camera.jpg", std::get<1>(cases[0]));
    Picture thumbnail;
    RunFailure failure;
    PictureSteps steps(imaging, thumbnail, failure);
    ASSERT_TRUE(steps.DecodeJpegFile((dir / "camera.jpg").string(), {160, 120}) &&
                steps.FitIntoBox({160, 120}));
    const auto small = test::FromBottomUpBgr(thumbnail.pixels(), thumbnail.width(), thumbnail.height());
    EXPECT_GT(small.At(small.width / 2, small.height / 2)[0], 200); // red
}

} // namespace
} // namespace aw
