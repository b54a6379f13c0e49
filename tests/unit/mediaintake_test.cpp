#include "medialist/mediaintake.h"

#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "medialist/itemlist.h"
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

} // namespace
} // namespace aw
