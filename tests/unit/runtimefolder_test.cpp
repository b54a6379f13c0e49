// SPDX-License-Identifier: MIT
#include "platform/runtimefolder.h"

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

extern "C" {
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
}

#include "platform/handoverchannel.h"
#include "platform/handoverlistener.h"
#include "platform/handoversocket.h"
#include "platform/instancelock.h"
#include "stringtable.h"
#include "support/testpaths.h"
#include "support/watchdog.h"

namespace aw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Another user, as the tests (run as root) make one by chown: the kernel would let root use anything.
const uid_t kOther = ::getuid() + 4242;

void GiveAway(const fs::path& path) {
    ASSERT_EQ(::lchown(path.c_str(), kOther, static_cast<gid_t>(-1)), 0) << path;
}

// The folder is used only when it is a real folder of this user closed to others; why not is said.
TEST(RuntimeFolder, UsedOnlyWhenPrivateToTheUser) {
    unsetenv("XDG_RUNTIME_DIR");
    const std::string fallback = "/tmp/albumwright-" + std::to_string(::getuid());
    EXPECT_EQ(RuntimeFolder::Path(), fallback);
    // A private folder so long that the socket's name would not fit an address is passed over.
    sockaddr_un address{};
    for (const std::size_t length : {std::size_t{60}, std::size_t{90}}) {
        const std::string runtime = "/run/user/" + std::string(length - 10, 'r');
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        EXPECT_EQ(RuntimeFolder::Path(), length == 60 ? runtime : fallback);
        EXPECT_TRUE(HandOverSocket::Address(HandOverChannel::DefaultSocketPath(), address)) << length;
    }
    unsetenv("XDG_RUNTIME_DIR");

    test::ScratchDir dir;
    fs::create_directory(dir / "foreign");
    GiveAway(dir / "foreign");
    fs::create_directory(dir / "open");
    fs::permissions(dir / "open", fs::perms::all);
    fs::create_directory(dir / "own");
    fs::permissions(dir / "own", fs::perms::owner_all);
    fs::create_directory_symlink(dir / "own", dir / "link");
    test::WriteWholeFile(dir / "file", "");
    const std::pair<const char*, std::string> cases[] = {
        // empty: usable
        {"missing", ""},
        {"own", ""},
        {"foreign", FormatText(LoadText(TextId::OwnedByOtherUser), {RuntimeFolder::UserName(kOther)})},
        {"open", FormatText(LoadText(TextId::OpenToOthers), {"0777"})},
        {"link", LoadText(TextId::NotOwnFolder)},
        {"file", LoadText(TextId::NotOwnFolder)}};
    for (const auto& [name, reason] : cases) {
        const std::string folder = (dir / name).string();
        EXPECT_EQ(RuntimeFolder::Prepare(folder),
                  reason.empty() ? "" : FormatText(LoadText(TextId::CannotUse), {folder, reason}))
            << name;
    }
    EXPECT_EQ(fs::status(dir / "missing").permissions(), fs::perms::owner_all);
}

// What another user planted in the folder stops neither the window nor the companion for good: each
// refuses at once and says whose the file is.
TEST(RuntimeFolder, PlantedFilesOfAnotherUserAreRefusedWithTheirOwner) {
    const test::Watchdog watchdog(10s, "refusing planted files");
    test::ScratchDir dir;
    const std::string owner =
        FormatText(LoadText(TextId::OwnedByOtherUser), {RuntimeFolder::UserName(kOther)});

    test::WriteWholeFile(dir / "PageBinder", "");
    ::chmod((dir / "PageBinder").c_str(), 0666);
    GiveAway(dir / "PageBinder");
    InstanceLock lock(dir.str());
    EXPECT_FALSE(lock.Acquire());
    EXPECT_EQ(lock.problem(), FormatText(LoadText(TextId::CannotUse), {lock.path(), owner}));

    // A listening socket of the other user at the companion's name.
    const std::string socketPath = HandOverChannel::SocketPathIn(dir.str());
    const int planted = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    ASSERT_TRUE(HandOverSocket::Address(socketPath, address));
    ASSERT_EQ(::bind(planted, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(planted, 1), 0);
    GiveAway(socketPath);
    HandOverListener listener(socketPath);
    EXPECT_FALSE(listener.Listen());
    EXPECT_EQ(listener.problem(), FormatText(LoadText(TextId::CannotUse), {socketPath, owner}));
    ::close(planted);
}

} // namespace
} // namespace aw
