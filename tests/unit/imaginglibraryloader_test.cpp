#include "album/imaginglibraryloader.h"

#include <gtest/gtest.h>

#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

const fs::path kImageModule = test::BinDir() / "libalbumwright-image.so";
const fs::path kVideoModule = test::BinDir() / "libalbumwright-video.so";

TEST(ImagingLibraryLoaderTest, LoadsBothModulesFromTheProgramFolder) {
    // The tests are built beside the modules, as the program is.
    ImagingLibraryLoader loader;
    ASSERT_EQ(loader.Load(), ImagingLoadResult::Loaded) << loader.errorText();
    EXPECT_EQ(loader.failureTextId(), 0);
    EXPECT_EQ(loader.resolvedCount(), 7);
    const ImagingLibrary& t = loader.library();
    for (const void* entry :
         {reinterpret_cast<const void*>(t.DllEncodeJPEG), reinterpret_cast<const void*>(t.DllDecodeJPEG),
          reinterpret_cast<const void*>(t.DllConvertTo24BitDIB),
          reinterpret_cast<const void*>(t.DllResizeByPercentDIB),
          reinterpret_cast<const void*>(t.DllResizeBySizeDIB), reinterpret_cast<const void*>(t.GetFrameSize),
          reinterpret_cast<const void*>(t.GetFirstFrameDIB_RGB24),
          reinterpret_cast<const void*>(t.DllDecodeJPEGScaled)})
        EXPECT_NE(entry, nullptr);
}

TEST(ImagingLibraryLoaderTest, ReportsWhichStepFailed) {
    struct Case {
        const char* name;
        fs::path image; // copied in as the image module; empty: none
        fs::path video; // copied in as the video module; empty: none
        ImagingLoadResult result;
        int textId;
        int resolved;
    };
    const Case cases[] = {
        {"nothing", {}, {}, ImagingLoadResult::ImageModuleMissing, 401, 0},
        {"only the video module", {}, kVideoModule, ImagingLoadResult::ImageModuleMissing, 401, 0},
        {"only the image module", kImageModule, {}, ImagingLoadResult::VideoModuleMissing, 401, 0},
        // The image module under the video name: GetFrameSize is missing after the first five.
        {"no frame reader", kImageModule, kImageModule, ImagingLoadResult::EntryPointMissing, 402, 5},
        // The video module under the image name: the very first entry point is missing.
        {"swapped", kVideoModule, kVideoModule, ImagingLoadResult::EntryPointMissing, 402, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScratchDir folder;
        if (!c.image.empty())
            fs::copy_file(c.image, folder / LoadText(412));
        if (!c.video.empty())
            fs::copy_file(c.video, folder / LoadText(413));
        ImagingLibraryLoader loader;
        EXPECT_EQ(loader.Load(folder.path()), c.result);
        EXPECT_EQ(loader.failureTextId(), c.textId);
        EXPECT_EQ(loader.resolvedCount(), c.resolved);
        EXPECT_FALSE(loader.errorText().empty());
        // Nothing stays resolved into modules that have been released.
        EXPECT_EQ(loader.library().DllEncodeJPEG, nullptr);
        EXPECT_EQ(loader.library().GetFrameSize, nullptr);
    }
}

TEST(ImagingLibraryLoaderTest, NamesTheMissingEntryPoint) {
    test::ScratchDir folder;
    fs::copy_file(kImageModule, folder / LoadText(412));
    fs::copy_file(kImageModule, folder / LoadText(413));
    ImagingLibraryLoader loader;
    loader.Load(folder.path());
    EXPECT_NE(loader.errorText().find("GetFrameSize"), std::string::npos) << loader.errorText();
    // A later successful load replaces the failure.
    EXPECT_EQ(loader.Load(test::BinDir()), ImagingLoadResult::Loaded);
    EXPECT_TRUE(loader.errorText().empty());
}

} // namespace
} // namespace aw
