// SPDX-License-Identifier: MIT
#include "session/albumsession.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/profilestore.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using Names = std::vector<std::string>;

// Answers every question with `answer`; a run records the names it was given and succeeds.
struct Services : CreateServices {
    bool AskYesNo(const std::string&, const std::string&, MessageIcon, DefaultButton) override {
        return answer;
    }
    void Inform(const std::string&, const std::string&, MessageIcon) override {}
    void InformWithHelp(const std::string&, const std::string&, int) override {}
    ProgressOutcome RunProgress(const ProgressRequest& request) override {
        ran.clear();
        for (const MediaItem& item : request.items)
            ran.push_back(item.fileName);
        return {RunWritten, {}};
    }
    bool OpenInBrowser(const std::string&) override { return true; }
    bool answer = true;
    Names ran;
};

Names ListedNames(const AlbumSession& session) {
    Names names;
    for (const MediaItem& item : session.list().items().items())
        names.push_back(item.fileName);
    return names;
}

// The run gets its own copy of the list to name; the settings are saved after a run that took place, and
// only by a window's session.
TEST(AlbumSession, CreateRunsOnACopyAndOnlyAWindowSavesAfterARun) {
    test::ScratchDir dir;
    for (const bool window : {true, false}) {
        SCOPED_TRACE(window);
        const std::string settings = (dir / (window ? "window" : "command")).string();
        AlbumSession session(SessionPlaces{settings, test::BinDir().string() + "/"});
        Services services;
        if (window) {
            ASSERT_TRUE(session.LoadSettings(services));
        } else {
            session.UseInstalledTables();
        }
        const auto stored = [&] {
            return ProfileStore(settings).Read("Software/Quorvel/Page Binder/ENV", "ISEMBED");
        };
        session.list().TakeFiles({"/p/a.jpg", "/q/A.jpg"});
        session.choices().embedPlayback = true;
        session.choices().workFolder = dir.str() + "/";
        std::filesystem::create_directories(dir / "old");
        session.choices().outputFolder = (dir / "old").string();
        services.answer = false; // not over the old folder: no run, nothing saved
        EXPECT_FALSE(session.Create(services).reachedRun);
        EXPECT_EQ(stored().value_or(ProfileStore::Value{}).number, 0);

        session.choices().outputFolder = (dir / (window ? "new-window" : "new-command")).string();
        EXPECT_TRUE(session.Create(services).reachedRun);
        EXPECT_EQ(services.ran, (Names{"0a.jpg", "1A.jpg"}));
        EXPECT_EQ(ListedNames(session), (Names{"a.jpg", "A.jpg"}));
        EXPECT_EQ(stored().has_value(), window);
        EXPECT_EQ(stored().value_or(ProfileStore::Value{}).number, window ? 1 : 0);
    }
}

} // namespace
} // namespace aw
