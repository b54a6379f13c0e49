#include "medialist/mediaintake.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "medialist/itemlist.h"
#include "stringtable.h"
#include "support/testpaths.h"

namespace aw {
namespace {

using test::ScratchDir;
using test::WriteWholeFile;

class MediaIntakeTest : public ::testing::Test {
protected:
    void SetUp() override { SetLanguage(Language::English); }
};

TEST_F(MediaIntakeTest, ClassifiesByExtensionAndKeepsArrivalOrder) {
    struct Case {
        const char* path;
        int kind; // Unsupported: rejected
    };
    const Case cases[] = {
        {"/p/a.jpg", StillJpeg},      {"/p/notes.txt", Unsupported}, {"/p/b.mp3", Audio},
        {"/p/PHOTO.JPEG", StillJpeg}, {"/p/CLIP.MPEG", MovieMpeg},   {"/p/noext", Unsupported},
        {"/p/x.Bmp", StillBmp},       {"/p/c.jpe", StillJpeg},       {"/p/m.mov", MovieMov},
        {"/p/v.avi", MovieAvi},       {"/p/w.wav", Audio},           {"/p/w.wma", Audio},
        {"/p/a.jpg", StillJpeg}, // the same file twice is two items
    };
    ItemList list;
    MediaIntake intake(list);
    std::vector<std::string> expectedRejected;
    std::vector<const Case*> expectedItems;
    for (const Case& c : cases) {
        EXPECT_EQ(intake.Take(c.path), c.kind != Unsupported) << c.path;
        if (c.kind == Unsupported)
            expectedRejected.push_back(MediaPath::BaseNameOf(c.path) + MediaPath::ExtensionOf(c.path));
        else
            expectedItems.push_back(&c);
    }
    ASSERT_EQ(list.count(), static_cast<int>(expectedItems.size()));
    EXPECT_EQ(intake.added(), list.count());
    for (int i = 0; i < list.count(); ++i) {
        const MediaItem& item = *list.at(i);
        EXPECT_EQ(item.path, expectedItems[static_cast<std::size_t>(i)]->path);
        EXPECT_EQ(item.kind, expectedItems[static_cast<std::size_t>(i)]->kind) << item.path;
        EXPECT_EQ(item.folder, "/p/");
        EXPECT_EQ(item.fileName, MediaPath::BaseNameOf(item.path) + MediaPath::ExtensionOf(item.path));
        EXPECT_TRUE(item.thumbName.empty());
    }
    EXPECT_EQ(intake.rejectedNames(), expectedRejected);
}

TEST_F(MediaIntakeTest, ReportTextsJoinNamesOnce) {
    ItemList list;
    MediaIntake intake(list);
    EXPECT_TRUE(intake.RejectedText().empty());
    EXPECT_TRUE(intake.UnsafeText().empty());
    intake.TakeAll({"/p/x.txt", "/p/my photo.jpg", "/p/y.doc", "/p/ok_1.jpg", "/p/caf\xc3\xa9.mp3"});
    EXPECT_EQ(intake.RejectedText(),
              "The following file(s) is(are) not supported and therefore cannot be loaded.: \nx.txt, y.doc");
    EXPECT_EQ(intake.unsafeNames(), (std::vector<std::string>{"my photo.jpg", "caf\xc3\xa9.mp3"}));
    EXPECT_EQ(intake.UnsafeText(), LoadText(403) + "\nmy photo.jpg, caf\xc3\xa9.mp3");
    EXPECT_EQ(RejectedNamesText({"notes.txt"}), LoadText(404) + "notes.txt");
}

TEST_F(MediaIntakeTest, AsfMarkerAtOffset64) {
    ScratchDir dir;
    const std::string marked(64, 'x');
    struct Case {
        const char* name;
        std::string bytes;
        bool created;
        int kind;
    };
    const Case cases[] = {
        {"marked.asf", marked + "Kelpra" + "tail", true, MovieAsfMarked},
        {"exact.ASF", marked + "Kelpra", true, MovieAsfMarked},
        {"short.asf", marked + "Kelpr", true, MovieAsf},
        {"case.asf", marked + "kelpra", true, MovieAsf},
        {"shifted.asf", marked + "xKelpra", true, MovieAsf},
        {"missing.asf", "", false, MovieAsf},
        {"marked.avi", marked + "Kelpra", true, MovieAvi}, // only .asf files are looked into
    };
    ItemList list;
    MediaIntake intake(list);
    for (const Case& c : cases) {
        const std::string path = (dir / c.name).string();
        if (c.created)
            WriteWholeFile(path, c.bytes);
        ASSERT_TRUE(intake.Take(path));
        EXPECT_EQ(list.at(list.count() - 1)->kind, c.kind) << c.name;
        EXPECT_EQ(IsMarkedAsf(path), c.kind == MovieAsfMarked || c.kind == MovieAvi) << c.name;
    }
    EXPECT_FALSE(IsMarkedAsf(dir.str())); // a folder reads nothing
}

} // namespace
} // namespace aw
