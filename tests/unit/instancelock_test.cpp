#include "platform/instancelock.h"

#include <gtest/gtest.h>

extern "C" {
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
}

#include "support/testpaths.h"

namespace aw {
namespace {

// Runs Acquire() on a fresh lock in a child process: its exit status 0 means it got the lock.
bool OtherProcessAcquires(const std::string& folder) {
    const pid_t child = ::fork();
    if (child == 0) {
        InstanceLock lock(folder);
        ::_exit(lock.Acquire() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(InstanceLockTest, OneHolderAtATimeAndFreedWhenTheHolderEndsHoweverItEnds) {
    test::ScratchDir folder;
    {
        InstanceLock first(folder.str());
        ASSERT_TRUE(first.Acquire());
        EXPECT_FALSE(OtherProcessAcquires(folder.str()));
    }
    EXPECT_TRUE(OtherProcessAcquires(folder.str()));

    // A holder killed outright leaves no stale lock behind.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        InstanceLock lock(folder.str());
        const char held = lock.Acquire() ? 'y' : 'n';
        (void)!::write(ready[1], &held, 1);
        ::pause();
        ::_exit(0);
    }
    char held = 0;
    ASSERT_EQ(::read(ready[0], &held, 1), 1);
    EXPECT_EQ(held, 'y');
    EXPECT_FALSE(OtherProcessAcquires(folder.str()));
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_TRUE(OtherProcessAcquires(folder.str()));
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(InstanceLockTest, LockFileNamesAndPlantedLinks) {
    // In the shared /tmp the name carries the user, so one user cannot block another.
    EXPECT_EQ(InstanceLock::FileNameIn("/tmp"), "/tmp/PageBinder-" + std::to_string(::getuid()));
    // A link planted at the lock file's name is not followed (and nothing is created at its target).
    test::ScratchDir folder;
    std::filesystem::create_symlink(folder / "elsewhere", folder / "PageBinder");
    InstanceLock lock(folder.str());
    EXPECT_FALSE(lock.Acquire());
    EXPECT_FALSE(std::filesystem::exists(folder / "elsewhere"));
}

} // namespace
} // namespace aw
