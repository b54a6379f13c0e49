// SPDX-License-Identifier: MIT
// Which mounted file system holds a path, and whether that file system is "fixed": local, on a block
// device that is neither removable nor optical. Reads the kernel's mount table and sysfs afresh on every
// call (mounts come and go); both roots can be pointed elsewhere so that tests can feed their own tables.
// Thread-safe: the object holds only the two roots.
#pragma once

#include <optional>
#include <string>

namespace aw {

struct MountEntry {
    std::string mountPoint; // unescaped ("\040" read as a blank); "/" for the root
    std::string fsType;     // "ext4", "nfs4", "fuse.sshfs", ...
    std::string source;     // the mount source ("/dev/sda1", "server:/export", "tmpfs")
    unsigned major = 0;     // device numbers of the mounted file system
    unsigned minor = 0;
};

class MountInfo {
public:
    // `mountTable` is a file in /proc/<pid>/mountinfo format; `sysRoot` stands for /sys.
    explicit MountInfo(std::string mountTable = "/proc/self/mountinfo", std::string sysRoot = "/sys");

    // The entry whose mount point is the longest whole-component prefix of `absolutePath` (the last one
    // mounted wins among equal mount points). The path is taken as written; callers pass an existing,
    // absolute path. Nothing when the table cannot be read or has no matching line.
    std::optional<MountEntry> MountOf(const std::string& absolutePath) const;

    // True when the file system holding `absolutePath` is local and not on removable or optical media.
    // False when the mount cannot be found.
    bool IsFixed(const std::string& absolutePath) const;

    // The rule behind IsFixed, for one entry.
    bool IsFixedMount(const MountEntry& entry) const;

private:
    bool IsRemovableDevice(unsigned major, unsigned minor) const;

    std::string mountTable_;
    std::string sysRoot_;
};

// Mount-table text unescaped: "\040" (blank), "\011" (tab), "\012" (line feed), "\134" (backslash).
std::string UnescapeMountField(const std::string& field);

} // namespace aw
