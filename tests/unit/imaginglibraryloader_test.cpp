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
    const fs::path image = test::BinDir() / LoadText(TextId::ImageModuleFile),
                   video = test::BinDir() / LoadText(TextId::VideoModuleFile);
    const TextId unreadable = TextId::ModuleUnreadable, noEntry = TextId::ModuleEntryMissing;
    const std::tuple<fs::path, fs::path, ImagingLoadResult, TextId, int, std::string> cases[] = {
        {{}, {}, ImagingLoadResult::ImageModuleMissing, unreadable, 0, LoadText(TextId::ImageModuleFile)},
        {{}, video, ImagingLoadResult::ImageModuleMissing, unreadable, 0, LoadText(TextId::ImageModuleFile)},
        {image, {}, ImagingLoadResult::VideoModuleMissing, unreadable, 0, LoadText(TextId::VideoModuleFile)},
        {image, image, ImagingLoadResult::EntryPointMissing, noEntry, 5,
         "GetFrameSize"}, // after the first five
        {video, video, ImagingLoadResult::EntryPointMissing, noEntry, 0, "DllEncodeJPEG"}, // the very first
    };
    for (const auto& [imageCopy, videoCopy, result, textId, resolved, missing] : cases) {
        test::ScratchDir folder;
        if (!imageCopy.empty())
            fs::copy_file(imageCopy, folder / LoadText(TextId::ImageModuleFile));
        if (!videoCopy.empty())
            fs::copy_file(videoCopy, folder / LoadText(TextId::VideoModuleFile));
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
    const fs::path built = test::BinDir() / LoadText(TextId::ImageModuleFile);
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
            fs::copy_file(built, folder / LoadText(TextId::ImageModuleFile));
        make(folder / LoadText(TextId::ImageModuleFile));
        fs::copy_file(test::BinDir() / LoadText(TextId::VideoModuleFile),
                      folder / LoadText(TextId::VideoModuleFile));
        ImagingLibraryLoader loader;
        EXPECT_EQ(loader.Load(folder.path()), ImagingLoadResult::ImageModuleMissing);
        EXPECT_EQ(loader.errorText(),
                  (folder / LoadText(TextId::ImageModuleFile)).string() + ": " + ReasonText(cause));
    }
    ImagingLibraryLoader loader;
    EXPECT_EQ(loader.Load(), ImagingLoadResult::Loaded) << loader.errorText();
}

} // namespace
} // namespace aw
