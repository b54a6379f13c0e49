// SPDX-License-Identifier: MIT
#include "album/imaginglibraryloader.h"

#include <functional>
#include <tuple>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "album/runfailure.h"
#include "stringtable.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

// A failed load names what is missing and keeps nothing resolved; a later load replaces the failure.
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
        test::ScratchDir folder;
        if (!imageCopy.empty())
            fs::copy_file(imageCopy, folder / LoadText(412));
        if (!videoCopy.empty())
            fs::copy_file(videoCopy, folder / LoadText(413));
        ImagingLibraryLoader loader;
        EXPECT_EQ(loader.Load(folder.path()), result) << missing;
        EXPECT_EQ(std::pair(loader.failureTextId(), loader.resolvedCount()), std::pair(textId, resolved));
        EXPECT_NE(loader.errorText().find(missing), std::string::npos) << loader.errorText();
        EXPECT_TRUE(loader.library().DllEncodeJPEG == nullptr && loader.library().GetFrameSize == nullptr);
        ASSERT_EQ(loader.Load(), ImagingLoadResult::Loaded) << loader.errorText();
        EXPECT_TRUE(loader.errorText().empty());
    }
}

// A module file that would hang (FIFO), crash (cut short) or run others' code (its own or its folder's
// writers') is refused before loading.
TEST(ImagingLibraryLoaderTest, RefusesModuleFilesThatWouldHangCrashOrRunOthersCode) {
    const fs::path built = test::BinDir() / LoadText(412);
    // Each makes the image module file in its own way.
    const std::pair<std::function<void(const fs::path&)>, FailureCause> cases[] = {
        {[](const fs::path& module) { ::mkfifo(module.c_str(), 0644); }, FailureCause::IsFifo},
        {[](const fs::path& module) { fs::resize_file(module, 4096); }, FailureCause::ModuleCutShort},
        {[](const fs::path& module) { fs::permissions(module, fs::perms(0775)); },
         FailureCause::OthersCanWrite},
        {[](const fs::path& module) { EXPECT_EQ(::chown(module.c_str(), 4321, 0), 0); },
         FailureCause::ForeignOwner},
        {[](const fs::path& module) { test::WriteWholeFile(module, std::string(100, 'x')); },
         FailureCause::NotAModule},
        {[](const fs::path& module) { fs::permissions(module.parent_path(), fs::perms(01777)); },
         FailureCause::FolderOthersCanWrite},
        {[](const fs::path& module) { EXPECT_EQ(::chown(module.parent_path().c_str(), 4321, 0), 0); },
         FailureCause::FolderForeignOwner},
    };
    const test::Watchdog watchdog(std::chrono::seconds(60), "loading hostile module files");
    for (const auto& [make, cause] : cases) {
        SCOPED_TRACE(ReasonText(cause));
        test::ScratchDir folder;
        if (cause != FailureCause::IsFifo)
            fs::copy_file(built, folder / LoadText(412));
        make(folder / LoadText(412));
        fs::copy_file(test::BinDir() / LoadText(413), folder / LoadText(413));
        ImagingLibraryLoader loader;
        EXPECT_EQ(loader.Load(folder.path()), ImagingLoadResult::ImageModuleMissing);
        EXPECT_EQ(loader.errorText(), (folder / LoadText(412)).string() + ": " + ReasonText(cause));
    }
    ImagingLibraryLoader loader;
    EXPECT_EQ(loader.Load(), ImagingLoadResult::Loaded) << loader.errorText();
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
