// SPDX-License-Identifier: MIT
#include "dialogs/systeminfo.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>

#include <sys/stat.h>
#include <sys/statvfs.h>

#include "platform/versionstamp.h"
#include "stringtable.h"

namespace aw {

namespace {

// The unit factors are exactly 1000/1024, 1000/1024² and 1000/1024³.
constexpr double kPerKilo = 0.9765625;
constexpr double kPerMega = 0.00095367431640625;
constexpr double kPerGiga = 9.313225746154785e-7;

std::string Printf(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string WithoutClosingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

SystemInfo::SystemInfo(MountInfo mounts) : mounts_(std::move(mounts)) {}

bool SystemInfo::IsUsableWorkFolder(const std::string& path) const {
    if (path.empty() || path[0] != '/')
        return false;
    const std::string folder = WithoutClosingSlash(path);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return false;
    // The mount table names real paths; a folder reached through a symbolic link is judged where it is.
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(folder, error);
    return !error && mounts_.IsFixed(resolved.string());
}

FreeSpace SystemInfo::QueryFreeSpace(const std::string& path) const {
    FreeSpace result;
    if (path.empty() || path[0] != '/') {
        result.status = FreeSpaceNoSuchFolder;
        return result;
    }
    struct statvfs info {};
    if (::statvfs(path.c_str(), &info) != 0) {
        result.status = (errno == ENOENT || errno == ENOTDIR) ? FreeSpaceNoSuchFolder : FreeSpaceQueryFailed;
        return result;
    }
    const std::uint64_t blocks = info.f_bavail;
    const std::uint64_t size = info.f_frsize ? info.f_frsize : info.f_bsize;
    // Saturate rather than wrap: any such number is far past what the size text shows anyway.
    result.bytes = (size != 0 && blocks > std::numeric_limits<std::uint64_t>::max() / size)
                       ? std::numeric_limits<std::uint64_t>::max()
                       : blocks * size;
    return result;
}

std::string SystemInfo::SizeText(std::uint64_t n) {
    if (n > 1099511627776ULL)
        return "----";
    double value = 0;
    TextId unit = TextId::ByteUnit;
    if (n >= 2147483648ULL) {
        // Past 2^31 the count is first taken in whole kilobytes, as a 32-bit number.
        const auto k = static_cast<std::uint32_t>(n / 1024);
        value = std::floor(static_cast<double>(k) * kPerMega) * 0.001;
        unit = TextId::GigabyteUnit;
    } else if (n >= 1048576000ULL) {
        value = std::floor(static_cast<double>(n) * kPerGiga) * 0.001;
        unit = TextId::GigabyteUnit;
    } else if (n >= 1024000ULL) {
        value = std::floor(static_cast<double>(n) * kPerMega) * 0.001;
        unit = TextId::MegabyteUnit;
    } else if (n >= 1024ULL) {
        value = std::floor(static_cast<double>(n) * kPerKilo) * 0.001;
        unit = TextId::KilobyteUnit;
    } else {
        return std::to_string(n) + LoadText(TextId::ByteUnit);
    }
    std::string number;
    if (value <= 10)
        number = Printf("%4.2f", value);
    else if (value <= 100)
        number = Printf("%4.1f", value);
    else
        number = Printf("%4.0f", std::trunc(value)); // "%4d" of the whole part
    return number + LoadText(unit);
}

std::string SystemInfo::FreeSpaceLine(const std::string& folder) const {
    const FreeSpace space = QueryFreeSpace(folder);
    if (space.status != FreeSpaceValid)
        return LoadText(TextId::FreeSpaceUnknown);
    return FormatText(LoadText(TextId::FreeSpace), {SizeText(space.bytes)});
}

std::uint64_t SystemInfo::FileVersion(const std::string& path) {
    return ReadFileVersion(path);
}

} // namespace aw
