// SPDX-License-Identifier: MIT
#include "metadata/takentime.h"

#include <cstdlib>
#include <ctime>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

namespace aw {
namespace {

// Local time is Tokyo's (UTC+9, no summer time) while a test runs, whatever the machine's zone.
class TakenTimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* zone = std::getenv("TZ");
        saved_ = zone ? zone : "";
        had_ = zone != nullptr;
        setenv("TZ", "Asia/Tokyo", 1);
        tzset();
    }
    void TearDown() override {
        had_ ? setenv("TZ", saved_.c_str(), 1) : unsetenv("TZ");
        tzset();
    }

private:
    std::string saved_;
    bool had_ = false;
};

constexpr std::int64_t kNoon = 1'688'212'800'000; // 2023-07-01 12:00:00 UTC

// Each row: EXIF date, offset, sub-seconds; the instant (UTC ms, 0: refused) and the recorded offset.
TEST_F(TakenTimeTest, ExifTimesAreInstantsAtTheirOffsetOrLocalTime) {
    const std::tuple<const char*, const char*, const char*, std::int64_t, int> cases[] = {
        {"2023:07:01 21:00:00", "+09:00", "", kNoon, 540},
        {"2023:07:01 14:00:00", "+02:00", "", kNoon, 120},
        {"2023:07:01 07:30:00", "-04:30", "5", kNoon + 500, -270},
        {"2023:07:01 21:00:00", "", "25", kNoon + 250, 540}, // local time (Tokyo)
        {"2023:07:01 21:00:00 ", "bogus", "", kNoon, 540},   // a bad offset is no offset
        {"0000:00:00 00:00:00", "", "", 0, 0},
        {"    :  :     :  :  ", "", "", 0, 0},
        {"2023:02:29 10:00:00", "+00:00", "", 0, 0},
        {"2023:07:01 24:00:00", "+00:00", "", 0, 0},
        {"2023-07-01T21:00:00", "+0900", "", kNoon, 540}};
    for (const auto& [date, offset, sub, instant, minutes] : cases) {
        const std::optional<TakenTime> time = ParseExifTime(date, offset, sub);
        ASSERT_EQ(time.has_value(), instant != 0) << date << " " << offset;
        if (time) {
            EXPECT_EQ(std::pair(time->unixMillis(), time->offsetMinutes()), std::pair(instant, minutes))
                << date;
        }
    }
}

TEST_F(TakenTimeTest, XmpTimesTakeEveryPrecision) {
    const std::tuple<const char*, std::int64_t> cases[] = {
        {"2023-07-01T12:00:00Z", kNoon},
        {"2023-07-01T14:00:00.75+02:00", kNoon + 750},
        {"2023-07-01T21:00", kNoon},            // local
        {"2023-07-01", kNoon - 21 * 3'600'000}, // local midnight
        {"2023", kNoon - (181 * 24 + 21) * INT64_C(3'600'000)},
        {"2023:07:01 21:00:00", kNoon}, // EXIF's form, written into XMP by some programs
        {"2023-13-01", 0},
        {"2023-07-01T12:00:00+25:00", 0},
        {"yesterday", 0}};
    for (const auto& [text, instant] : cases) {
        const std::optional<TakenTime> time = ParseXmpTime(text);
        ASSERT_EQ(time.has_value(), instant != 0) << text;
        if (time) {
            EXPECT_EQ(time->unixMillis(), instant) << text;
        }
    }
}

// The wall clock where it was taken, not where it is shown (the order is MediaOrder's test).
TEST_F(TakenTimeTest, ShowsTheWallClockOfItsOffset) {
    const TakenTime paris = *ParseExifTime("2023:07:01 14:00:00", "+02:00", "");
    const CivilTime wall = paris.WallClock();
    EXPECT_EQ(std::tuple(wall.year, wall.month, wall.day, wall.hour, wall.minute),
              std::tuple(2023, 7, 1, 14, 0));
}

} // namespace
} // namespace aw
