// SPDX-License-Identifier: MIT
#include "session/handoverstate.h"

#include <chrono>
#include <filesystem>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <unistd.h>

#include "medialist/selectionblock.h"
#include "platform/handoverchannel.h"
#include "platform/handoverlistener.h"
#include "session/outputfolders.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using namespace std::chrono_literals;
using Records = std::vector<HandOverRecord>;
using Clock = std::chrono::steady_clock;

HandOverRecord Selection(const std::string& folder, const std::vector<std::string>& items) {
    return {kSelectionFormat, SelectionBlock::Build(folder, items)};
}

HandOverRecord Status(std::size_t size) {
    Bytes bytes(size);
    std::iota(bytes.begin(), bytes.end(), 1);
    return {LoadText(TextId::BrowserStatusFormat), bytes};
}

// A camera's card at /media/u/CAM; the desktop in the scratch folder.
class HandOverStateTest : public ::testing::Test, public MessageService {
protected:
    void SetUp() override {
        test::WriteWholeFile(dir_ / "mountinfo", "2 1 8:17 / /media/u/CAM rw - vfat /dev/sdb1 rw\n");
        setenv("XDG_DESKTOP_DIR", (dir_.str() + "/Desktop/").c_str(), 1); // read nowhere else
        std::filesystem::create_directory(dir_ / "Desktop");
    }
    bool AskYesNo(const std::string&, const std::string&, MessageIcon, DefaultButton) override {
        return true;
    }
    void Inform(const std::string&, const std::string&, MessageIcon) override {}
    std::string SocketPath() const { return HandOverChannel::SocketPathIn(dir_.str()); }

    test::ScratchDir dir_;
    OutputFolders folders_{*this, MountInfo((dir_ / "mountinfo").string(), (dir_ / "sys").string())};
};

// Every order and mix of answers a media browser may give, through a real socket, and the decision.
TEST_F(HandOverStateTest, DecisionFromTheAnswersReceived) {
    const auto Sel = StartupSource::Selection, File = StartupSource::StartupFile,
               None = StartupSource::NoFiles;
    const std::string p = "/home/u/P", f = "/x/f.jpg", onCard = "/media/u/CAM/DCIM/100X/f.jpg",
                      desktop = (dir_ / "Desktop").string();
    const HandOverRecord P = Selection(p, {"a.jpg", "b.avi", "c.mp3"}), other = Selection("/a", {"x.jpg"}),
                         cam = Selection("/media/u/CAM/DCIM/100X", {"p.jpg"}),
                         noPath{kSelectionFormat,
                                SelectionBlock::FromIdLists({SelectionBlock::IdList({std::string(1, '\0')}),
                                                             SelectionBlock::IdList({"v.jpg"})})};
    const struct Case {
        const char* name;
        Records first, second;
        std::string startupFile;
        StartupSource source;
        std::string folder;         // the folder proposed
        const HandOverRecord* kept; // the selection block kept, nullptr: none
        std::size_t statusBytes;
    } cases[] = {
        {"both", {P}, {Status(12)}, "", Sel, p, &P, 12},
        {"reverse order", {Status(12)}, {P}, "", Sel, p, &P, 12},
        {"both in one answer", {Status(12), P}, {}, f, Sel, p, &P, 12},
        {"selection only, with a file", {P}, {}, f, File, "/x", &P, 0},
        {"status only", {}, {Status(12)}, "", None, "", nullptr, 12},
        {"nothing, with a file on a camera's card", {}, {}, onCard, File, desktop, nullptr, 0},
        {"second selection replaces the first", {other, Status(12)}, {P}, "", Sel, p, &P, 12},
        {"status of 20 bytes", {P}, {Status(20)}, "", Sel, p, &P, 12},
        {"status of 4 bytes", {P}, {Status(4)}, "", Sel, p, &P, 4},
        {"other tags ignored", {{"Other", {1}}, P}, {Status(12)}, "", Sel, p, &P, 12},
        {"camera folder proposes the desktop", {cam}, {Status(12)}, "", Sel, desktop, &cam, 12},
        {"parent without path keeps the folder", {P, noPath}, {Status(12)}, "", Sel, p, &noPath, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HandOverListener listener(SocketPath());
        ASSERT_TRUE(listener.Listen()) << listener.error();
        std::thread companion([&, asked = 0]() mutable {
            const auto answer = [&](const std::string&) {
                return ++asked == 1 ? c.first : asked == 2 ? c.second : Records{};
            };
            listener.ServeOne(answer, Clock::now() + 3s, ::getpid());
        });
        HandOverState state;
        state.AskBrowser(SocketPath());
        companion.join();
        const StartupDecision decision = state.Decide(c.startupFile, folders_);
        EXPECT_EQ(decision.source, c.source);
        EXPECT_EQ(decision.initialFolder, c.folder);
        EXPECT_EQ(state.selectionBlock().value_or(Bytes{}), c.kept ? c.kept->data : Bytes{});
        Bytes status = Status(c.statusBytes).data; // cut to 12 bytes, or padded with zeros
        status.resize(12);
        EXPECT_EQ(Bytes(state.status().begin(), state.status().end()), status);
    }
}

} // namespace
} // namespace aw
