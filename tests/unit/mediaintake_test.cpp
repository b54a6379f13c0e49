// SPDX-License-Identifier: MIT
#include "medialist/mediaintake.h"

#include <gtest/gtest.h>

#include "medialist/itemlist.h"
#include "stringtable.h"

namespace aw {
namespace {

// Rejected names are reported with 404, added names that are not web-safe once with 403; both in order.
TEST(MediaIntake, ReportsRejectedAndUnsafeNamesOnce) {
    ItemList list;
    MediaIntake intake(list);
    EXPECT_EQ(intake.TakeAll({"/p/a.jpg", "/p/notes.txt", "/p/my photo.JPG", "/p/x.doc", "/p/a&b.mp3"}), 3);
    EXPECT_EQ(intake.RejectedText(), LoadText(TextId::UnsupportedFiles) + "notes.txt, x.doc");
    EXPECT_EQ(intake.UnsafeText(), LoadText(TextId::UnsafeNames) + "\nmy photo.JPG, a&b.mp3");
}

} // namespace
} // namespace aw
