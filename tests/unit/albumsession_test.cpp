// SPDX-License-Identifier: MIT
#include "session/albumsession.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/profilestore.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using Names = std::vector<std::string>;

// Answers every question with `answer`; a run keeps the names it was given and succeeds.
struct Services : CreateServices {
    bool AskYesNo(const std::string&, const std::string&, MessageIcon, DefaultButton) override {
        return answer;
    }
    void Inform(const std::string&, const std::string&, MessageIcon) override {}
    void InformWithHelp(const std::string&, const std::string&, int) override {}
    ProgressOutcome RunProgress(const ProgressRequest& request) override {
        for (const MediaItem& item : request.items)
            ran.push_back(item.fileName);
        return {RunWritten, {}};
    }
    bool OpenInBrowser(const std::string&) override { return true; }
    bool answer = false;
    Names ran;
};

// The run names its own copy of the list; the settings are saved after a run that took place, and only by
// a window's session.
TEST(AlbumSession, CreateRunsOnACopyAndOnlyAWindowSavesAfterARun) {
    test::ScratchDir dir;
    std::filesystem::create_directory(dir / "old");
    for (const bool window : {true, false}) {
        const std::string settings = (dir / (window ? "window" : "command")).string();
        const auto embedSaved = [&] {
            return ProfileStore(settings)
                .Read("Software/Quorvel/Page Binder/ENV", "ISEMBED")
                .value_or(ProfileStore::Value{})
                .number;
        };
        AlbumSession session(SessionPlaces{settings, test::BinDir().string() + "/"});
        Services services;
        EXPECT_TRUE(window ? session.LoadSettings(services) : (session.UseInstalledTables(), true));
        session.list().TakeFiles({"/p/a.jpg", "/q/A.jpg"});
        session.choices().embedPlayback = true;
        session.choices().outputFolder = (dir / "old").string(); // declined: no run
        EXPECT_FALSE(session.Create(services).reachedRun);
        EXPECT_EQ(embedSaved(), 0);
        session.choices().outputFolder = (dir / (window ? "new-window" : "new-command")).string();
        EXPECT_TRUE(session.Create(services).reachedRun);
        EXPECT_EQ(services.ran, (Names{"0a.jpg", "1A.jpg"}));
        EXPECT_EQ(session.list().items().at(1)->fileName, "A.jpg");
        EXPECT_EQ(embedSaved(), window ? 1 : 0) << window;
    }
}

} // namespace
} // namespace aw
