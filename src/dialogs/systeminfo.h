// SPDX-License-Identifier: MIT
// Small system questions shared by the work folder option and the start-up settings: is a folder usable
// for temporary work files, how much space is free there, how to put a byte count into words, and which
// version a program file records. No state besides where mount information is read; thread-safe.
#pragma once

#include <cstdint>
#include <string>

#include "platform/mountinfo.h"

namespace aw {

// Status codes of the free-space query; every code but FreeSpaceValid comes with 0 bytes.
enum FreeSpaceStatus : int {
    FreeSpaceValid = 5000,
    FreeSpaceNoSuchFolder = 5001, // the path is not absolute or does not exist
    FreeSpaceQueryFailed = 5004,  // the file system could not be asked (statvfs failed)
};

struct FreeSpace {
    std::uint64_t bytes = 0; // available to the calling user
    int status = FreeSpaceValid;
};

class SystemInfo {
public:
    explicit SystemInfo(MountInfo mounts = MountInfo());

    // True when `path` is absolute, names an existing folder ("/" included; a closing "/" is ignored),
    // and lies on a fixed file system (local, not removable, not optical).
    bool IsUsableWorkFolder(const std::string& path) const;

    // Blocks available to the user times the fragment size of the file system holding `path`.
    FreeSpace QueryFreeSpace(const std::string& path) const;

    // The byte count in words: "1023BYTE", "1.50 KB", " 100 KB", "0.98 MB", "1024 GB", "----" past 1024 GB.
    // Each unit starts at 1000 of the unit below it while its divisor is a power of 1024, and the value
    // is cut (not rounded) to three decimals before it is printed.
    static std::string SizeText(std::uint64_t bytes);

    // "(Free disc space:  Approx. <size text>)", or "(Free disk space: Unknown)" when the query fails.
    std::string FreeSpaceLine(const std::string& folder) const;

    // The four-part version recorded in the program file at `path`; 0 when there is none.
    static std::uint64_t FileVersion(const std::string& path);

private:
    MountInfo mounts_;
};

} // namespace aw
