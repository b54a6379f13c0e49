// SPDX-License-Identifier: MIT
#include "metadata/takentime.h"

#include <ctime>

namespace aw {
namespace {

constexpr std::int64_t kMillisPerMinute = 60'000;
constexpr int kLongestOffset = 18 * 60; // ISO 8601 and the time zone database stay within 18 hours

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

CivilTime CivilFromMillis(std::int64_t millis) {
    std::int64_t seconds = millis >= 0 ? millis / 1000 : (millis - 999) / 1000;
    std::int64_t days = seconds >= 0 ? seconds / 86400 : (seconds - 86399) / 86400;
    const std::int64_t inDay = seconds - days * 86400;
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const auto doe = static_cast<unsigned>(days - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    CivilTime civil;
    civil.year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
    civil.month = static_cast<int>(m);
    civil.day = static_cast<int>(d);
    civil.hour = static_cast<int>(inDay / 3600);
    civil.minute = static_cast<int>(inDay / 60 % 60);
    civil.second = static_cast<int>(inDay % 60);
    return civil;
}

bool IsLeapYear(int year) {
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

bool IsValid(const CivilTime& t) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1)
        return false;
    const int days = kDays[t.month - 1] + (t.month == 2 && IsLeapYear(t.year) ? 1 : 0);
    return t.day <= days && t.hour >= 0 && t.hour <= 23 && t.minute >= 0 && t.minute <= 59 && t.second >= 0 &&
           t.second <= 60;
}

// Reads exactly `count` digits at `at`.
bool Digits(std::string_view text, std::size_t& at, std::size_t count, int& value) {
    if (at + count > text.size())
        return false;
    value = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = text[at + i];
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    at += count;
    return true;
}

bool Take(std::string_view text, std::size_t& at, std::string_view any) {
    if (at < text.size() && any.find(text[at]) != std::string_view::npos) {
        ++at;
        return true;
    }
    return false;
}

// The first three digits of a decimal fraction as milliseconds ("5" is 500).
int Millis(std::string_view digits) {
    int value = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = i < digits.size() ? digits[i] : '0';
        if (c < '0' || c > '9')
            return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "+hh:mm", "-hh:mm", "Z" (also "+hhmm") from `at` to the end; nothing when malformed.
std::optional<int> Offset(std::string_view text, std::size_t at) {
    if (at < text.size() && text[at] == 'Z' && at + 1 == text.size())
        return 0;
    int sign = 0;
    if (Take(text, at, "+"))
        sign = 1;
    else if (Take(text, at, "-"))
        sign = -1;
    int hours = 0, minutes = 0;
    if (sign == 0 || !Digits(text, at, 2, hours))
        return std::nullopt;
    Take(text, at, ":");
    if (!Digits(text, at, 2, minutes) || at != text.size() || minutes > 59)
        return std::nullopt;
    const int offset = sign * (hours * 60 + minutes);
    if (offset > kLongestOffset || offset < -kLongestOffset)
        return std::nullopt;
    return offset;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.back() == ' ' || text.back() == '\0'))
        text.remove_suffix(1);
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

} // namespace

std::optional<TakenTime> TakenTime::FromWallClock(const CivilTime& wall, int millisecond,
                                                  std::optional<int> offsetMinutes, Source source) {
    if (!IsValid(wall) || source == Source::None || millisecond < 0 || millisecond > 999)
        return std::nullopt;
    TakenTime time;
    time.source_ = source;
    if (offsetMinutes) {
        const std::int64_t days =
            DaysFromCivil(wall.year, static_cast<unsigned>(wall.month), static_cast<unsigned>(wall.day));
        const std::int64_t seconds = days * 86400 + wall.hour * 3600 + wall.minute * 60 + wall.second;
        time.millis_ = seconds * 1000 + millisecond - *offsetMinutes * kMillisPerMinute;
        time.offset_ = *offsetMinutes;
        return time;
    }
    std::tm local{};
    local.tm_year = wall.year - 1900;
    local.tm_mon = wall.month - 1;
    local.tm_mday = wall.day;
    local.tm_hour = wall.hour;
    local.tm_min = wall.minute;
    local.tm_sec = wall.second;
    local.tm_isdst = -1; // the zone's rules decide summer time
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1) && local.tm_year != 69)
        return std::nullopt;
    time.millis_ = static_cast<std::int64_t>(seconds) * 1000 + millisecond;
    time.offset_ = static_cast<int>(local.tm_gmtoff / 60);
    return time;
}

TakenTime TakenTime::FromUnixTime(std::int64_t seconds, long nanoseconds, Source source) {
    TakenTime time;
    time.source_ = source;
    time.millis_ = seconds * 1000 + nanoseconds / 1'000'000;
    std::tm local{};
    const auto whole = static_cast<std::time_t>(seconds);
    if (localtime_r(&whole, &local) != nullptr)
        time.offset_ = static_cast<int>(local.tm_gmtoff / 60);
    return time;
}

CivilTime TakenTime::WallClock() const {
    return CivilFromMillis(millis_ + offset_ * kMillisPerMinute);
}

std::optional<TakenTime> ParseExifTime(std::string_view dateTime, std::string_view offset,
                                       std::string_view subSeconds) {
    dateTime = Trimmed(dateTime);
    CivilTime wall;
    std::size_t at = 0;
    if (!Digits(dateTime, at, 4, wall.year) || !Take(dateTime, at, ":-") ||
        !Digits(dateTime, at, 2, wall.month) || !Take(dateTime, at, ":-") ||
        !Digits(dateTime, at, 2, wall.day) || !Take(dateTime, at, " T") ||
        !Digits(dateTime, at, 2, wall.hour) || !Take(dateTime, at, ":") ||
        !Digits(dateTime, at, 2, wall.minute) || !Take(dateTime, at, ":") ||
        !Digits(dateTime, at, 2, wall.second) || at != dateTime.size())
        return std::nullopt;
    offset = Trimmed(offset);
    // A malformed offset is no offset: the time is still the camera's clock.
    const std::optional<int> minutes = offset.empty() ? std::nullopt : Offset(offset, 0);
    return TakenTime::FromWallClock(wall, Millis(Trimmed(subSeconds)), minutes, TakenTime::Source::Exif);
}

std::optional<TakenTime> ParseXmpTime(std::string_view text) {
    text = Trimmed(text);
    CivilTime wall;
    int millisecond = 0;
    std::size_t at = 0;
    if (!Digits(text, at, 4, wall.year))
        return std::nullopt;
    // Each part is optional from the month on; ':' as the date's separator is a common mistake of writers.
    if (Take(text, at, "-:")) {
        if (!Digits(text, at, 2, wall.month))
            return std::nullopt;
        if (Take(text, at, "-:")) {
            if (!Digits(text, at, 2, wall.day))
                return std::nullopt;
            if (Take(text, at, "T ")) {
                if (!Digits(text, at, 2, wall.hour) || !Take(text, at, ":") ||
                    !Digits(text, at, 2, wall.minute))
                    return std::nullopt;
                if (Take(text, at, ":")) {
                    if (!Digits(text, at, 2, wall.second))
                        return std::nullopt;
                    if (Take(text, at, ".,")) {
                        const std::size_t start = at;
                        while (at < text.size() && text[at] >= '0' && text[at] <= '9')
                            ++at;
                        millisecond = Millis(text.substr(start, at - start));
                    }
                }
            }
        }
    }
    std::optional<int> offset;
    if (at != text.size()) {
        offset = Offset(text, at);
        if (!offset)
            return std::nullopt;
    }
    return TakenTime::FromWallClock(wall, millisecond, offset, TakenTime::Source::Xmp);
}

} // namespace aw
