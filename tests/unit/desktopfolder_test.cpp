// SPDX-License-Identifier: MIT
#include "platform/desktopfolder.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

// The desktop named in user-dirs.dirs text, $HOME expanded; a relative or broken entry is none.
TEST(DesktopFolder, FromTheUserDirsFile) {
    EXPECT_EQ(DesktopFromUserDirs("# c\nXDG_DESKTOP_DIR=\"$HOME/Desk\"\n", "/h"), "/h/Desk");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"/srv/d\"\nXDG_MUSIC_DIR=\"$HOME/M\"\n", "/h"), "/srv/d");
    EXPECT_EQ(DesktopFromUserDirs("XDG_DESKTOP_DIR=\"relative\"\nXDG_DESKTOP_DIR=\"$HOME", "/h"), "");
}

} // namespace
} // namespace aw
