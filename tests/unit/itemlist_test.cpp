// SPDX-License-Identifier: MIT
#include "medialist/itemlist.h"

#include <tuple>

#include <gtest/gtest.h>

namespace aw {
namespace {

using Names = std::vector<std::string>;

MediaItem Item(const std::string& name, MediaKind kind = MediaKind::StillJpeg,
               const std::string& folder = "/p/") {
    return MediaItem{folder + name, folder, name, "", kind};
}

void Append(ItemList& list, const Names& names) {
    for (const std::string& name : names)
        list.AppendItem(Item(name));
}

Names FileNames(const ItemList& list) {
    Names names;
    for (const MediaItem& item : list.items())
        names.push_back(item.fileName);
    return names;
}

TEST(ItemList, ClashingNamesArePrefixedWithTheirPositions) {
    const std::string n251(251, 'n'), n250(250, 'n');
    const struct {
        Names names, unique;
        int result;
    } cases[] = {
        {{"x.jpg", "x.jpg", "X.jpg"}, {"0x.jpg", "1x.jpg", "2X.jpg"}, 2},
        {{"a.jpg", "b.jpg", "a.jpg", "b.jpg"}, {"0a.jpg", "1b.jpg", "2a.jpg", "3b.jpg"}, 1},
        {{"1a.jpg", "a.jpg", "a.jpg"}, {"01a.jpg", "11a.jpg", "2a.jpg"}, 1}, // no clash made by a prefix
        {{n251 + ".jpg", n251 + ".jpg"}, {"0" + n250 + ".jpg", "1" + n250 + ".jpg"}, 1}, // within 255 bytes
    };
    for (const auto& c : cases) {
        ItemList list;
        Append(list, c.names);
        EXPECT_EQ(list.MakeFileNamesUnique(), c.result);
        EXPECT_EQ(FileNames(list), c.unique) << c.names[0].substr(0, 9);
    }
}

TEST(ItemList, ThumbNamesShareTheAudioPictureAndNumberPictureClashes) {
    ItemList list;
    Append(list, {"Sun.jpg"});
    for (const MediaItem& item :
         {Item("Sun.bmp", MediaKind::StillBmp), Item("Sun.heic", MediaKind::StillHeif),
          Item("one.wav", MediaKind::Audio), Item("two.mp3", MediaKind::Audio)})
        list.AppendItem(item);
    list.audioPicturePath = "/usr/share/aw/htmldata/wave.jpg";
    EXPECT_EQ((std::tuple{list.PrepareFileNames(), list.MakeFileNamesUnique(), list.PrepareThumbNames(),
                          list.MakeThumbNamesUnique()}),
              std::tuple(0, 2, 0, 2));
    Names names;
    for (const MediaItem& item : list.items())
        names.push_back(item.fileName + " " + item.thumbName);
    EXPECT_EQ(names, (Names{"0Sun.jpg 0th_Sun.jpg", "1Sun.jpg 1th_Sun.jpg", "2Sun.jpg 2th_Sun.jpg",
                            "one.wav wave.jpg", "two.mp3 wave.jpg"}));
}

// Movies and sounds reserve the name of a copy browsers play, numbered like Data names while it clashes with
// any Data name (its own too) or another such name; Data names never change for it.
TEST(ItemList, PlayableNamesNeverClashWithDataNames) {
    using enum MediaKind;
    ItemList list;
    for (const MediaItem& item :
         {Item("clip.avi", MovieAvi), Item("clip.mp4", MovieMp4), Item("Clip.mkv", MovieMkv),
          Item("song.wma", Audio), Item("2clip.mp4", MovieMp4), Item("a.jpg")})
        list.AppendItem(item);
    list.PreparePlayableNames();
    Names names;
    for (const MediaItem& item : list.items())
        names.push_back(item.fileName + " " + item.playableName);
    EXPECT_EQ(names, (Names{"clip.avi 0clip.mp4", "clip.mp4 1clip.mp4", "Clip.mkv 22Clip.mp4",
                            "song.wma song.m4a", "2clip.mp4 42clip.mp4", "a.jpg "}));
}

} // namespace
} // namespace aw
