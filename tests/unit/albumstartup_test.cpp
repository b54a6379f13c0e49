#include "app/albumstartup.h"

#include <gtest/gtest.h>

extern "C" {
#include <sys/wait.h>
#include <unistd.h>
}

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

std::string ErrorBox(int id) {
    return LoadText(411) + ": " + LoadText(id) + " (stop)";
}

TEST(AlbumStartupTest, RunsTheMainWindowWithTheModulesAndTheStartupFile) {
    test::ScratchDir lockFolder;
    Boxes boxes;
    AlbumStartup startup(boxes, lockFolder.str(), test::BinDir());
    std::string file;
    bool complete = false;
    EXPECT_EQ(startup.Run({"-embedding", "/pics/a b.jpg", "/pics/c.jpg"},
                          [&](const ImagingLibrary& imaging, const std::string& name) {
                              complete = imaging.DllEncodeJPEG && imaging.GetFirstFrameDIB_RGB24;
                              file = name;
                          }),
              StartupState::Ran);
    EXPECT_TRUE(complete);
    EXPECT_EQ(file, "/pics/a b.jpg");
    EXPECT_TRUE(boxes.shown.empty());
}

// A second start is refused with 400 before any module is looked at (an empty module folder would give 401),
// and the first instance keeps its lock; after the first ends, a start succeeds.
TEST(AlbumStartupTest, SecondInstanceRefusedUntilTheFirstHasEnded) {
    test::ScratchDir lockFolder, noModules;
    Boxes boxes;
    auto first = std::make_unique<AlbumStartup>(boxes, lockFolder.str(), test::BinDir());
    bool secondRan = false;
    const auto second = [&] {
        AlbumStartup again(boxes, lockFolder.str(), noModules.path());
        return again.Run({}, [&](const ImagingLibrary&, const std::string&) { secondRan = true; });
    };
    ASSERT_EQ(first->Run({},
                         [&](const ImagingLibrary&, const std::string&) {
                             // While the first instance's window is open, another process is refused.
                             const pid_t child = ::fork();
                             if (child == 0) {
                                 Boxes childBoxes;
                                 AlbumStartup other(childBoxes, lockFolder.str(), noModules.path());
                                 const bool refused =
                                     other.Run({}, [](const ImagingLibrary&, const std::string&) {}) ==
                                         StartupState::Refused &&
                                     childBoxes.shown == std::vector<std::string>{ErrorBox(400)};
                                 ::_exit(refused ? 0 : 1);
                             }
                             int status = -1;
                             ::waitpid(child, &status, 0);
                             EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                         }),
              StartupState::Ran);
    first.reset();
    EXPECT_EQ(second(), StartupState::LibraryFailure); // got past the lock, then found no modules
    EXPECT_EQ(boxes.shown, std::vector<std::string>{ErrorBox(401)});
    EXPECT_FALSE(secondRan);
}

} // namespace
} // namespace aw
