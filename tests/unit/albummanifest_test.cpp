// SPDX-License-Identifier: MIT
#include "album/albummanifest.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "support/testpaths.h"

namespace aw {
namespace {

namespace fs = std::filesystem;

std::vector<ManifestEntry> SomeEntries() {
    return {
        {'D',
         "0Sun 50%.jpg",
         {MediaKind::StillJpeg},
         0,
         0,
         "/media/my photos/sun.jpg",
         {4000, 1700000000123456789, 1700000000123456790, 2049, 77},
         {4000, 1700000001000000001, FileIdentity::kNoChangeTime, 2049, 90}},
        {'T',
         "th_a\nb\t\xff.jpg",
         {MediaKind::MovieMov},
         160,
         90,
         "/m/a\nb\t\xff.mov",
         {1, -5, 6, 0, 1},
         {2, 3, 4, 5, 6}},
        {'D',
         "cyber.jpg",
         RecordKind::Background(),
         0,
         0,
         "/usr/share/cyber.jpg",
         {1, 2, 3, 4, 5},
         {5, 6, 7, 8, 9}},
    };
}

RecordHeader SomeHeader() {
    return {"/home/u/my album",
            "Index.html",
            {.title = "Summer <b>2024</b>\n%",
             .background = 3,
             .arrangementFile = "/home/u/form.dat",
             .embed = true}};
}

TEST(AlbumManifest, ReadsBackWhatItWroteAndNothingElse) {
    const std::string text = FormatManifest(SomeHeader(), SomeEntries(), "1.2.3");
    const ManifestRead read = ParseManifest(text, "1.2.3");
    ASSERT_EQ(read.state, ManifestState::Read);
    EXPECT_EQ(FormatManifest(read.header, read.entries, "1.2.3"), text); // every field, every byte
    EXPECT_EQ(read.header.choices, SomeHeader().choices);
    // The background keeps the number records have always stored for it, and reads back as no item.
    EXPECT_NE(text.find("\nD 100 0 0 "), std::string::npos);
    EXPECT_EQ(read.entries.at(2).kind, RecordKind::Background());
    EXPECT_EQ(ParseManifest(FormatManifest({}, {}, "1.2.3"), "1.2.3").state, ManifestState::Read);
    EXPECT_EQ(ParseManifest(text, "1.2.4").state, ManifestState::OtherProgram);

    // Cut anywhere, or any one bit changed: never taken as whole.
    for (std::size_t size = 0; size < text.size(); ++size)
        ASSERT_NE(ParseManifest(text.substr(0, size), "1.2.3").state, ManifestState::Read) << size;
    for (std::size_t at = 0; at < text.size(); ++at)
        for (int bit = 0; bit < 8; ++bit) {
            std::string changed = text;
            changed[at] = static_cast<char>(changed[at] ^ (1 << bit));
            ASSERT_NE(ParseManifest(changed, "1.2.3").state, ManifestState::Read) << at << " " << bit;
        }
}

TEST(AlbumManifest, TellsWhyARecordCannotBeUsed) {
    std::string future = FormatManifest({}, SomeEntries(), "1");
    future.replace(future.find(" 2\n"), 2, " 3");
    const struct {
        std::string text;
        ManifestState state;
    } cases[] = {
        {"", ManifestState::Foreign},
        {future, ManifestState::Future},
        {"albumwright manifest x\nprogram 1\n", ManifestState::Damaged},
        {SealManifest("albumwright manifest 2\nprogram 1\npage ../Index.html\n", 0), ManifestState::Damaged},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseManifest(c.text, "1").state, c.state) << c.text;

    // A name that is not a plain file in its folder, or a relative source, would lead a prune astray.
    for (const std::string& name : {std::string(".."), std::string("."), std::string("../x.jpg"),
                                    std::string("a/b.jpg"), std::string(), std::string("a\0b", 3)}) {
        std::vector<ManifestEntry> entries = SomeEntries();
        entries[1].name = name;
        EXPECT_EQ(ParseManifest(FormatManifest({}, entries, "1"), "1").state, ManifestState::Damaged) << name;
    }
    std::vector<ManifestEntry> relative = SomeEntries();
    relative[0].sourcePath = "media/sun.jpg";
    EXPECT_EQ(ParseManifest(FormatManifest({}, relative, "1"), "1").state, ManifestState::Damaged);
}

TEST(AlbumManifest, FilesAreNeverReadOrWrittenThroughALinkNorTakenFromAnotherUser) {
    test::ScratchDir dir;
    const fs::path record = dir / "record", target = dir / "target";
    const std::string text = FormatManifest({}, SomeEntries(), "1");
    EXPECT_EQ(ReadManifestFile(record, "1").state, ManifestState::Missing);

    test::WriteWholeFile(target, text);
    fs::create_symlink(target, record);
    EXPECT_EQ(ReadManifestFile(record, "1").state, ManifestState::Damaged);
    ASSERT_EQ(WriteManifestFile(record, text), 0);
    EXPECT_FALSE(fs::is_symlink(record));
    EXPECT_EQ(fs::status(record).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadManifestFile(record, "1").state, ManifestState::Read);

    // Another user's record could name this user's files for a prune.
    ASSERT_EQ(::chown(record.c_str(), ::getuid() + 4242, static_cast<gid_t>(-1)), 0);
    EXPECT_EQ(ReadManifestFile(record, "1").state, ManifestState::Unusable);

    fs::remove(record);
    ASSERT_EQ(mkfifo(record.c_str(), 0600), 0);
    EXPECT_EQ(ReadManifestFile(record, "1").state, ManifestState::Damaged); // refused without blocking
}

// On a full disk nothing is left: neither a cut record nor its temporary file, nor the earlier record.
TEST(AlbumManifest, AFullDiskLeavesNoRecord) {
    test::SmallDisk disk(64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here";
    ASSERT_EQ(WriteManifestFile(disk / "record", "earlier"), 0);
    std::vector<ManifestEntry> many(2000, SomeEntries()[0]);
    EXPECT_EQ(WriteManifestFile(disk / "record", FormatManifest({}, many, "1")), ENOSPC);
    EXPECT_TRUE(fs::is_empty(disk.path()));
}

} // namespace
} // namespace aw
