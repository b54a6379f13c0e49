// SPDX-License-Identifier: MIT
#include "session/albumsession.h"

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "album/albumrecords.h"
#include "platform/profilestore.h"
#include "platform/statefolder.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using Names = std::vector<std::string>;

// Answers every question with `answer`; a run keeps the names it was given and succeeds.
struct Services : CreateServices {
    bool AskYesNo(const std::string&, const std::string&, MessageIcon, DefaultButton) override {
        return answer;
    }
    void Inform(const std::string& text, const std::string&, MessageIcon) override { told.push_back(text); }
    void InformWithHelp(const std::string&, const std::string&, int) override {}
    ProgressOutcome RunProgress(const ProgressRequest& request) override {
        for (const MediaItem& item : request.items)
            ran.push_back(item.fileName);
        return {RunWritten, {}};
    }
    bool OpenInBrowser(const std::string&) override { return true; }
    bool answer = false;
    Names ran, told;
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

// Reopening takes the items whose sources still exist, in the album's order, then those the list held, and
// the choices it was made with, and names the missing sources; Create into it then updates and prunes. A
// folder without a record of ours changes nothing.
TEST(AlbumSession, ReopenTakesTheRecordedItemsAndChoices) {
    test::ScratchDir dir;
    ::setenv("XDG_STATE_HOME", (dir / "state").c_str(), 1);
    std::filesystem::create_directories(dir / "album");
    test::WriteWholeFile(dir / "b.jpg", "b");
    test::WriteWholeFile(dir / "a.jpg", "a");
    const std::string album = (dir / "album").string(), real = AlbumRealPath(album);
    RecordHeader header{real, "Index.html", {}};
    header.choices.title = "Summer";
    header.choices.fontColour = "#102030";
    header.choices.arrangement = 2;
    header.choices.removeLocation = true;
    header.choices.order = {"gone.jpg", "b.jpg", "a.jpg"}; // the record keeps its entries by name
    std::vector<ManifestEntry> entries;
    for (const char* source : {"a.jpg", "b.jpg", "gone.jpg"}) {
        for (const char folder : {'D', 'T'}) {
            ManifestEntry entry;
            entry.folder = folder;
            entry.name = std::string(folder == 'T' ? "th_" : "") + source;
            entry.kind.item = MediaKind::StillJpeg;
            entry.sourcePath = (dir / source).string();
            entries.push_back(entry);
        }
    }
    ASSERT_EQ(StateFolder::Prepare(), "");
    ASSERT_EQ(SaveAlbumRecord(AlbumRecordPath(real), header, entries, ALBUMWRIGHT_VERSION_TEXT), 0);

    AlbumSession session(SessionPlaces{(dir / "settings").string(), test::BinDir().string() + "/"});
    Services services;
    session.list().TakeFiles({(dir / "c.jpg").string(), (dir / "a.jpg").string()});
    EXPECT_FALSE(session.Reopen(dir.str(), services));
    EXPECT_EQ(session.list().items().count(), 2);
    ASSERT_TRUE(session.Reopen(album, services));
    Names paths;
    for (const MediaItem& item : session.list().items().items())
        paths.push_back(item.path);
    EXPECT_EQ(paths, (Names{(dir / "b.jpg").string(), (dir / "a.jpg").string(), (dir / "c.jpg").string()}));
    EXPECT_EQ(services.told.size(), 2u);
    EXPECT_NE(services.told.back().find((dir / "gone.jpg").string()), std::string::npos);
    const SessionChoices& c = session.choices();
    EXPECT_EQ(std::tuple(c.pageTitle, c.fontColour.green, c.arrangement, c.removeLocation, c.outputFolder),
              std::tuple("Summer", 0x20, 2, true, album));
    EXPECT_TRUE(session.WritesIntoReopened());
    session.choices().outputFolder = dir.str();
    EXPECT_FALSE(session.WritesIntoReopened());
    ::unsetenv("XDG_STATE_HOME");
}

} // namespace
} // namespace aw
