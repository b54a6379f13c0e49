// SPDX-License-Identifier: MIT
#include "app/albumstartup.h"

#include <filesystem>

#include <gtest/gtest.h>

extern "C" {
#include <sys/wait.h>
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

// Runs `child` in a forked process: true when it returns true there.
template <class Child> bool InChildProcess(const Child& child) {
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(child() ? 0 : 1);
    int status = -1;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

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
            EXPECT_TRUE(InChildProcess([&] {
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

// A holder that ends without its destructor (_exit in the child) leaves no stale lock: the kernel frees it.
TEST(InstanceLock, FreedHoweverTheHolderEndsAndNeverThroughAPlantedLink) {
    test::ScratchDir folder;
    const auto otherProcessAcquires = [&] {
        return InChildProcess([&] { return InstanceLock(folder.str()).Acquire(); });
    };
    ASSERT_TRUE(otherProcessAcquires());
    InstanceLock lock(folder.str());
    EXPECT_TRUE(lock.Acquire());
    EXPECT_FALSE(otherProcessAcquires());

    test::ScratchDir planted; // nothing is created at the link's target
    std::filesystem::create_symlink(planted / "elsewhere", planted / "PageBinder");
    EXPECT_FALSE(InstanceLock(planted.str()).Acquire());
    EXPECT_FALSE(std::filesystem::exists(planted / "elsewhere"));
}

// A relative name is made absolute against the current folder: its folder is where the album goes.
TEST(StartupCommand, FirstPlainArgumentUnlessASwitchMakesItAnotherCommand) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"/pics/a.jpg", "/pics/b.jpg"}, "/pics/a.jpg"},
        {{"-embedding", "a.jpg"}, "/home/u/a.jpg"},
        {{"pics/./b c.jpg"}, "/home/u/pics/b c.jpg"},
        {{"a.jpg", "-PT", "printer"}, ""},
        {{"-Unregserver", "a.jpg"}, ""},
        {{"", "a.jpg"}, ""}, // an empty first argument is the file
    };
    for (const auto& [arguments, file] : cases)
        EXPECT_EQ(StartupFileName(arguments, "/home/u"), file) << ::testing::PrintToString(arguments);
}

} // namespace
} // namespace aw
