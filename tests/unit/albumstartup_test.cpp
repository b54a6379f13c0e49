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

// The first start runs the window with both modules and the start-up file. While its window is open a second
// start is refused with 400 before any module is looked at (an empty module folder would give 401); after the
// first ends, a start gets past the lock.
TEST(AlbumStartupTest, RunsTheWindowAndRefusesASecondInstanceUntilTheFirstHasEnded) {
    test::ScratchDir lockFolder, noModules;
    Boxes boxes;
    std::string file;
    bool complete = false;
    const auto startAgain = [&](Boxes& shown) {
        AlbumStartup again(shown, lockFolder.str(), noModules.path());
        return again.Run({}, [](const ImagingLibrary&, const std::string&) { ADD_FAILURE() << "ran"; });
    };
    {
        AlbumStartup first(boxes, lockFolder.str(), test::BinDir());
        const auto window = [&](const ImagingLibrary& imaging, const std::string& name) {
            complete = imaging.DllEncodeJPEG && imaging.GetFirstFrameDIB_RGB24;
            file = name;
            const pid_t child = ::fork();
            if (child == 0) {
                Boxes childBoxes;
                const bool refused = startAgain(childBoxes) == StartupState::Refused &&
                                     childBoxes.shown == std::vector<std::string>{ErrorBox(400)};
                ::_exit(refused ? 0 : 1);
            }
            int status = -1;
            ::waitpid(child, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        };
        ASSERT_EQ(first.Run({"-embedding", "/pics/a b.jpg", "/pics/c.jpg"}, window), StartupState::Ran);
    }
    EXPECT_TRUE(complete);
    EXPECT_EQ(file, "/pics/a b.jpg");
    EXPECT_EQ(startAgain(boxes), StartupState::LibraryFailure); // past the lock, no modules
    EXPECT_EQ(boxes.shown, std::vector<std::string>{ErrorBox(401)});
}

} // namespace
} // namespace aw
