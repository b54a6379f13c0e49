// SPDX-License-Identifier: MIT
#include "app/albumstartup.h"

#include <filesystem>

#include <gtest/gtest.h>

extern "C" {
#include <unistd.h>
}

#include "app/startupcommand.h"
#include "platform/runtimefolder.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

class Boxes : public MessageService {
public:
    bool AskYesNo(const std::string&, const std::string&, MessageIcon, DefaultButton) override {
        return false;
    }
    void Inform(const std::string& text, const std::string& caption, MessageIcon icon) override {
        shown.push_back(caption + ": " + text + (icon == MessageIcon::Stop ? " (stop)" : ""));
    }
    std::vector<std::string> shown;
};

// While the first window is open a second start is refused (400) before any module is looked at (401).
TEST(AlbumStartupTest, RunsTheWindowAndRefusesASecondInstanceUntilTheFirstHasEnded) {
    test::ScratchDir lockFolder, noModules;
    Boxes boxes;
    const auto startAgain = [&](Boxes& shown) {
        AlbumStartup again(shown, lockFolder.str(), noModules.path());
        return again.Run({}, [](const ImagingLibrary&, const std::string&) { ADD_FAILURE() << "ran"; });
    };
    {
        AlbumStartup first(boxes, lockFolder.str(), test::BinDir());
        const auto window = [&](const ImagingLibrary&, const std::string&) {
            EXPECT_TRUE(test::InChildProcess([&] {
                Boxes childBoxes;
                return startAgain(childBoxes) == StartupState::Refused &&
                       childBoxes.shown.at(0).ends_with(LoadText(TextId::AlreadyRunning) + " (stop)");
            }));
        };
        ASSERT_EQ(first.Run({}, window), StartupState::Ran);
    }
    EXPECT_EQ(startAgain(boxes), StartupState::LibraryFailure); // past the lock; the box names the module
    EXPECT_NE(boxes.shown.at(0).find("libalbumwright-image.so"), std::string::npos) << boxes.shown[0];
}

// A lock folder that another user made is not used: the box says whose it is, and the start goes on.
TEST(AlbumStartupTest, ALockFolderOfAnotherUserIsNamedAndNotUsed) {
    test::ScratchDir lockFolder, noModules;
    const uid_t other = ::getuid() + 4242;
    ASSERT_EQ(::lchown(lockFolder.path().c_str(), other, static_cast<gid_t>(-1)), 0);
    Boxes boxes;
    AlbumStartup startup(boxes, lockFolder.str(), noModules.path());
    EXPECT_EQ(startup.Run({}, [](const ImagingLibrary&, const std::string&) {}),
              StartupState::LibraryFailure);
    EXPECT_NE(boxes.shown.at(0).find(RuntimeFolder::UserName(other)), std::string::npos) << boxes.shown[0];
    EXPECT_FALSE(std::filesystem::exists(lockFolder / "PageBinder"));
}

} // namespace
} // namespace aw
