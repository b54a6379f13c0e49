#include "dialogs/workfoldertext.h"

#include <gtest/gtest.h>

namespace aw {
namespace {

TEST(WorkFolderText, ShownWithoutTheClosingSlashAndStoredWithIt) {
    const struct {
        const char *stored, *shown, *storedAgain;
    } cases[] = {{"/tmp/", "/tmp", "/tmp/"}, {"/", "/", "/"}, {"/data", "/data", "/data/"}, {"", "", ""}};
    for (const auto& c : cases) {
        EXPECT_EQ(ShownWorkFolder(c.stored), c.shown) << c.stored;
        EXPECT_EQ(StoredWorkFolder(c.shown), c.storedAgain) << c.shown;
    }
}

} // namespace
} // namespace aw
