#include "medialist/mediaintake.h"

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "medialist/itemlist.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

// Only .asf files are looked into, within bounds: short, missing and unreadable ones are plain movies.
TEST(MediaIntake, AsfMarkerAtOffset64) {
    test::ScratchDir dir;
    const std::tuple<const char*, const char*, int> cases[] = {{"marked.asf", "Kelpratail", MovieAsfMarked},
                                                               {"exact.ASF", "Kelpra", MovieAsfMarked},
                                                               {"short.asf", "Kelpr", MovieAsf},
                                                               {"case.asf", "kelpra", MovieAsf},
                                                               {"shifted.asf", "xKelpra", MovieAsf},
                                                               {"missing.asf", nullptr, MovieAsf},
                                                               {"marked.avi", "Kelpra", MovieAvi}};
    ItemList list;
    MediaIntake intake(list);
    for (const auto& [name, marker, kind] : cases) {
        const std::string path = (dir / name).string();
        if (marker)
            test::WriteWholeFile(path, std::string(64, 'x') + marker);
        ASSERT_TRUE(intake.Take(path));
        EXPECT_EQ(list.at(list.count() - 1)->kind, kind) << name;
        EXPECT_EQ(IsMarkedAsf(path), kind != MovieAsf) << name;
    }
    EXPECT_FALSE(IsMarkedAsf(dir.str())); // a folder reads nothing
}

// Rejected names are reported with 404, added names that are not web-safe once with 403; both in order.
TEST(MediaIntake, ReportsRejectedAndUnsafeNamesOnce) {
    ItemList list;
    MediaIntake intake(list);
    EXPECT_EQ(intake.TakeAll({"/p/a.jpg", "/p/notes.txt", "/p/my photo.JPG", "/p/x.doc", "/p/a&b.mp3"}), 3);
    EXPECT_EQ(intake.RejectedText(), LoadText(404) + "notes.txt, x.doc");
    EXPECT_EQ(intake.UnsafeText(), LoadText(403) + "\nmy photo.JPG, a&b.mp3");
    EXPECT_EQ(MediaIntake(list).UnsafeText(), "");
}

} // namespace
} // namespace aw
