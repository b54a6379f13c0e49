// SPDX-License-Identifier: MIT
#include "metadata/caption.h"

#include <fstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/testpaths.h"

namespace aw {
namespace {

TEST(Caption, CameraBoilerplateAndBlanksAreNoCaption) {
    const std::tuple<std::string, std::string> cases[] = {
        {"  Harbour at dawn\n", "Harbour at dawn"},
        {std::string("OLYMPUS DIGITAL CAMERA         \0", 32), ""},
        {"sony dsc", ""},
        {"DCIM\\100MEDIA\\DJI_0001.JPG", ""},
        {"Canon EOS 5D", ""}, // the camera's make and model
        {"EOS 5D", ""},
        {" \t\r\n", ""},
        {"Caf\xE9 au lait", "Caf\xC3\xA9 au lait"}, // Latin-1, as older writers stored it
        {"\xE6\xB8\xAF\xE3\x81\xAE\xE6\x9C\x9D", "\xE6\xB8\xAF\xE3\x81\xAE\xE6\x9C\x9D"}, // UTF-8 kept
        {"Digital camera lens test", "Digital camera lens test"}};
    for (const auto& [raw, caption] : cases)
        EXPECT_EQ(CaptionFromText(raw, "Canon", "EOS 5D"), caption) << raw;
}

TEST(Caption, SidecarIsAShortUtf8RegularFileOnly) {
    const test::ScratchDir dir;
    auto write = [&](const std::string& name, const std::string& text) { std::ofstream(dir / name) << text; };
    write("short.txt", "\xEF\xBB\xBF  A short caption \n");
    write("long.tXt", std::string(kSidecarLimit + 1, 'a'));
    write("latin.TXT", "Caf\xE9");
    ASSERT_EQ(::mkfifo((dir / "pipe.txt").c_str(), 0600), 0);
    const std::tuple<const char*, const char*> cases[] = {
        {"short.JPG", "A short caption"}, {"long.jpeg", ""}, {"latin.png", ""}, {"none.jpg", ""}};
    for (const auto& [media, caption] : cases)
        EXPECT_EQ(ReadSidecarCaption(dir.str() + "/" + media), caption) << media;
    EXPECT_TRUE(
        test::ReturnsWithoutBlocking(dir / "pipe.txt", [&] { ReadSidecarCaption(dir.str() + "/pipe.jpg"); }));
}

} // namespace
} // namespace aw
