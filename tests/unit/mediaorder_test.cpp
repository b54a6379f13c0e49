// SPDX-License-Identifier: MIT
#include "metadata/mediaorder.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace aw {
namespace {

TEST(MediaOrder, NamesInNaturalOrderWithoutCase) {
    const std::vector<std::string> names = {"IMG_10.jpg",
                                            "img_2.JPG",
                                            "IMG_002.jpg",
                                            "b.jpg",
                                            "A.jpg",
                                            "IMG_2a.jpg",
                                            "IMG_99999999999999999999.jpg",
                                            "IMG_1.jpg",
                                            "img_2.jpg"};
    std::vector<std::string> sorted;
    for (const std::size_t index : OrderByName(names))
        sorted.push_back(names[index]);
    // Equal keys ("img_2.JPG", "IMG_002.jpg", "img_2.jpg") keep the order they were given in.
    EXPECT_EQ(sorted, (std::vector<std::string>{"A.jpg", "b.jpg", "IMG_1.jpg", "img_2.JPG", "IMG_002.jpg",
                                                "img_2.jpg", "IMG_2a.jpg", "IMG_10.jpg",
                                                "IMG_99999999999999999999.jpg"}));
}

TEST(MediaOrder, TakenAcrossOffsetsStableAndUnknownLast) {
    const TakenTime phone = *ParseExifTime("2023:07:01 21:00:00", "+09:00", "");  // 12:00 UTC
    const TakenTime camera = *ParseExifTime("2023:07:01 13:30:00", "+02:00", ""); // 11:30 UTC
    const TakenTime same = *ParseExifTime("2023:07:01 14:00:00", "+02:00", "");   // 12:00 UTC
    EXPECT_EQ(OrderByTaken({TakenTime(), phone, camera, same}), (std::vector<std::size_t>{2, 1, 3, 0}));
}

} // namespace
} // namespace aw
