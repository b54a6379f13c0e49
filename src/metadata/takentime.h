// SPDX-License-Identifier: MIT
// When a picture or movie was taken: an instant, so that a phone's photos (recorded with their offset from
// UTC) and a camera's (often in local time without one) fall in the order they were taken, with the
// offset of the wall clock where it was recorded, for showing the date as the person saw it. A value;
// thread-safe.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

namespace aw {

struct CivilTime {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class TakenTime {
public:
    // Where the time came from, best first.
    enum class Source { None, Exif, Xmp, Movie, FileTime };

    TakenTime() = default; // unknown

    // A wall-clock time at `offsetMinutes` east of UTC; without an offset it is this machine's local time
    // (TZ), as cameras that record none mean it. Nothing for a date that does not exist.
    static std::optional<TakenTime> FromWallClock(const CivilTime& wall, int millisecond,
                                                  std::optional<int> offsetMinutes, Source source);
    // An instant (seconds since 1970 UTC, as a file's modification time), shown in local time.
    static TakenTime FromUnixTime(std::int64_t seconds, long nanoseconds, Source source);

    bool known() const { return source_ != Source::None; }
    Source source() const { return source_; }
    std::int64_t unixMillis() const { return millis_; }
    int offsetMinutes() const { return offset_; }
    // The time as the clock where it was taken showed it.
    CivilTime WallClock() const;

    // Earlier first, whatever the offsets; an unknown time after every known one.
    friend std::strong_ordering operator<=>(const TakenTime& a, const TakenTime& b) {
        if (a.known() != b.known())
            return a.known() ? std::strong_ordering::less : std::strong_ordering::greater;
        return a.known() ? a.millis_ <=> b.millis_ : std::strong_ordering::equal;
    }
    friend bool operator==(const TakenTime& a, const TakenTime& b) { return (a <=> b) == 0; }

private:
    std::int64_t millis_ = 0;
    int offset_ = 0;
    Source source_ = Source::None;
};

// EXIF's "YYYY:MM:DD HH:MM:SS" with its offset field ("+09:00", may be empty) and sub-second digits (may
// be empty). Nothing for a blank or impossible date ("0000:00:00 00:00:00").
std::optional<TakenTime> ParseExifTime(std::string_view dateTime, std::string_view offset,
                                       std::string_view subSeconds);

// XMP's date: "YYYY", "YYYY-MM", "YYYY-MM-DD", then optionally "Thh:mm", ":ss", ".s...", and "Z" or
// "+hh:mm"/"-hh:mm". Missing parts are the start of the period.
std::optional<TakenTime> ParseXmpTime(std::string_view text);

} // namespace aw
