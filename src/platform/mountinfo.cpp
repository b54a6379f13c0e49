// SPDX-License-Identifier: MIT
#include "platform/mountinfo.h"

#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace aw {

namespace {

// File systems whose data lives on another machine: never a place for temporary work files.
bool IsNetworkType(const std::string& type) {
    static const char* const kNetwork[] = {"nfs",  "nfs4", "cifs",  "smb3",      "smbfs",  "ncpfs", "afs",
                                           "ceph", "9p",   "davfs", "glusterfs", "lustre", "gfs2",  "ocfs2"};
    for (const char* name : kNetwork) {
        if (type == name)
            return true;
    }
    // FUSE file systems that reach over the network.
    static const char* const kNetworkFuse[] = {"fuse.sshfs",      "fuse.rclone",    "fuse.s3fs",
                                               "fuse.gvfsd-fuse", "fuse.curlftpfs", "fuse.davfs",
                                               "fuse.glusterfs",  "fuse.gcsfuse"};
    for (const char* name : kNetworkFuse) {
        if (type == name)
            return true;
    }
    return false;
}

bool IsOpticalType(const std::string& type) {
    return type == "iso9660" || type == "udf";
}

// "/a/b" holds "/a/b/c" and "/a/b" itself, not "/a/bc"; "/" holds every absolute path.
bool Holds(const std::string& mountPoint, const std::string& path) {
    if (mountPoint == "/")
        return !path.empty() && path[0] == '/';
    if (path.compare(0, mountPoint.size(), mountPoint) != 0)
        return false;
    return path.size() == mountPoint.size() || path[mountPoint.size()] == '/';
}

std::string BaseName(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool ReadFlag(const std::string& file, bool& flag) {
    std::ifstream in(file);
    int value = 0;
    if (!(in >> value))
        return false;
    flag = value != 0;
    return true;
}

} // namespace

std::string UnescapeMountField(const std::string& field) {
    std::string out;
    out.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const char a = field[i + 1], b = field[i + 2], c = field[i + 3];
            if (a >= '0' && a <= '3' && b >= '0' && b <= '7' && c >= '0' && c <= '7') {
                out += static_cast<char>((a - '0') * 64 + (b - '0') * 8 + (c - '0'));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

MountInfo::MountInfo(std::string mountTable, std::string sysRoot)
    : mountTable_(std::move(mountTable)), sysRoot_(std::move(sysRoot)) {}

std::optional<MountEntry> MountInfo::MountOf(const std::string& absolutePath) const {
    std::ifstream in(mountTable_);
    std::optional<MountEntry> best;
    std::string line;
    while (std::getline(in, line)) {
        // id parent major:minor root mount-point options [optional...] - type source super-options
        std::istringstream fields(line);
        std::string id, parent, device, root, mountPoint, options, word;
        if (!(fields >> id >> parent >> device >> root >> mountPoint >> options))
            continue;
        while (fields >> word && word != "-") {
        }
        MountEntry entry;
        if (word != "-" || !(fields >> entry.fsType))
            continue;
        fields >> entry.source; // may be missing on odd lines; harmless
        const std::size_t colon = device.find(':');
        if (colon == std::string::npos)
            continue;
        char* end = nullptr;
        const unsigned long major = std::strtoul(device.c_str(), &end, 10);
        const unsigned long minor = std::strtoul(device.c_str() + colon + 1, &end, 10);
        if (major > UINT_MAX || minor > UINT_MAX)
            continue;
        entry.major = static_cast<unsigned>(major);
        entry.minor = static_cast<unsigned>(minor);
        entry.mountPoint = UnescapeMountField(mountPoint);
        entry.source = UnescapeMountField(entry.source);
        if (!Holds(entry.mountPoint, absolutePath))
            continue;
        // Later lines are mounted later and cover earlier ones on the same point.
        if (!best || entry.mountPoint.size() >= best->mountPoint.size())
            best = std::move(entry);
    }
    return best;
}

bool MountInfo::IsFixed(const std::string& absolutePath) const {
    const std::optional<MountEntry> entry = MountOf(absolutePath);
    return entry && IsFixedMount(*entry);
}

bool MountInfo::IsFixedMount(const MountEntry& entry) const {
    if (IsNetworkType(entry.fsType) || IsOpticalType(entry.fsType))
        return false;
    if (entry.source.rfind("//", 0) == 0)
        return false; // a share named like //server/share, whatever the type says
    if (entry.major != 0)
        return !IsRemovableDevice(entry.major, entry.minor);
    // Anonymous device numbers (tmpfs, overlay, btrfs, fuseblk): judge the named source device if any.
    if (entry.source.rfind("/dev/", 0) == 0) {
        const std::string name = BaseName(entry.source);
        if (name.rfind("sr", 0) == 0)
            return false;
        bool removable = false;
        const std::string base = sysRoot_ + "/class/block/" + name;
        if (ReadFlag(base + "/removable", removable) || ReadFlag(base + "/../removable", removable))
            return !removable;
    }
    return true;
}

bool MountInfo::IsRemovableDevice(unsigned major, unsigned minor) const {
    const std::string device = sysRoot_ + "/dev/block/" + std::to_string(major) + ':' + std::to_string(minor);
    // The link names the kernel's device ("../../devices/.../sr0"); optical drives are "sr" devices.
    char target[PATH_MAX];
    const ssize_t length = ::readlink(device.c_str(), target, sizeof target - 1);
    if (length > 0) {
        target[length] = '\0';
        if (BaseName(target).rfind("sr", 0) == 0)
            return true;
    }
    if (major == 11)
        return true; // SCSI CD-ROM
    bool removable = false;
    // A partition has no flag of its own; its disk, one folder up, has it.
    if (ReadFlag(device + "/removable", removable) || ReadFlag(device + "/../removable", removable))
        return removable;
    return false;
}

} // namespace aw
