#include "album/imaginglibraryloader.h"

#include <tuple>

#include <gtest/gtest.h>

#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// A failed load names its step and what is missing and keeps nothing resolved; a later load from the program
// folder, where the tests are built beside the modules, replaces the failure.
TEST(ImagingLibraryLoaderTest, ReportsWhichStepFailedThenLoadsFromTheProgramFolder) {
    const fs::path image = test::BinDir() / LoadText(412), video = test::BinDir() / LoadText(413);
    const std::tuple<fs::path, fs::path, ImagingLoadResult, int, int, std::string> cases[] = {
        {{}, {}, ImagingLoadResult::ImageModuleMissing, 401, 0, LoadText(412)},
        {{}, video, ImagingLoadResult::ImageModuleMissing, 401, 0, LoadText(412)},
        {image, {}, ImagingLoadResult::VideoModuleMissing, 401, 0, LoadText(413)},
        {image, image, ImagingLoadResult::EntryPointMissing, 402, 5, "GetFrameSize"},  // after the first five
        {video, video, ImagingLoadResult::EntryPointMissing, 402, 0, "DllEncodeJPEG"}, // the very first
    };
    for (const auto& [imageCopy, videoCopy, result, textId, resolved, missing] : cases) {
        SCOPED_TRACE(missing);
        test::ScratchDir folder;
        if (!imageCopy.empty())
            fs::copy_file(imageCopy, folder / LoadText(412));
        if (!videoCopy.empty())
            fs::copy_file(videoCopy, folder / LoadText(413));
        ImagingLibraryLoader loader;
        EXPECT_EQ(loader.Load(folder.path()), result);
        EXPECT_EQ(loader.failureTextId(), textId);
        EXPECT_EQ(loader.resolvedCount(), resolved);
        EXPECT_NE(loader.errorText().find(missing), std::string::npos) << loader.errorText();
        EXPECT_TRUE(loader.library().DllEncodeJPEG == nullptr && loader.library().GetFrameSize == nullptr);

        ASSERT_EQ(loader.Load(), ImagingLoadResult::Loaded) << loader.errorText();
        EXPECT_TRUE(loader.errorText().empty());
        EXPECT_EQ(loader.resolvedCount(), 7);
    }
}

// Installed, the modules are in <prefix>/lib/albumwright beside <prefix>/bin; built, beside the program.
TEST(ImagingLibraryLoaderTest, ModuleFolderOfAnInstalledAndABuiltProgram) {
    test::ScratchDir dir;
    fs::create_directories(dir / "usr/bin");
    fs::create_directories(dir / "usr/lib/albumwright");
    EXPECT_EQ(ImagingLibraryLoader::ModuleFolderFor(dir / "usr/bin"), dir / "usr/bin"); // nothing installed
    test::WriteWholeFile(dir / "usr/lib/albumwright" / LoadText(412), "");
    EXPECT_EQ(ImagingLibraryLoader::ModuleFolderFor(dir / "usr/bin"), dir / "usr/lib/albumwright");
}

} // namespace
} // namespace aw
