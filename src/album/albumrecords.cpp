// SPDX-License-Identifier: MIT
#include "album/albumrecords.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "platform/statefolder.h"
#include "stringtable.h"

namespace aw {
namespace {

// FNV-1a over the real path: a file name of fixed length for any path; the path inside settles a clash.
std::string KeyOf(const std::string& realPath) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (const char c : realPath) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ULL;
    }
    char key[17];
    std::snprintf(key, sizeof key, "%016llx", static_cast<unsigned long long>(hash));
    return key;
}

std::string InStateFolder(const std::string& realPath, const char* suffix) {
    const std::string folder = StateFolder::Path();
    return folder.empty() || realPath.empty() ? std::string() : folder + "/album-" + KeyOf(realPath) + suffix;
}

std::string InAlbumPath(const std::string& albumFolder) {
    return JoinPath(albumFolder, LoadText(TextId::ManifestName));
}

} // namespace

std::string AlbumRealPath(const std::string& albumFolder) {
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(albumFolder.c_str(), nullptr),
                                                           &std::free);
    return real ? std::string(real.get()) : std::string();
}

std::string AlbumRecordPath(const std::string& realPath) {
    return InStateFolder(realPath, ".record");
}

std::string AlbumLockPath(const std::string& realPath) {
    return InStateFolder(realPath, ".lock");
}

FoundRecord FindAlbumRecord(const std::string& albumFolder, std::string_view version) {
    FoundRecord found;
    const std::string real = AlbumRealPath(albumFolder);
    if (real.empty())
        return found;
    if (std::string problem = StateFolder::Prepare(); !problem.empty()) {
        found.read.state = ManifestState::Unusable;
        found.read.problem = std::move(problem);
        return found;
    }
    found.path = AlbumRecordPath(real);
    found.read = ReadManifestFile(found.path, version);
    // Another album's record under the same name: this album has none yet.
    if (found.read.state == ManifestState::Read && found.read.header.albumPath != real)
        found.read = ManifestRead{};
    if (found.read.state != ManifestState::Missing)
        return found;
    FoundRecord inAlbum{ReadManifestFile(InAlbumPath(albumFolder), version), InAlbumPath(albumFolder), true};
    return inAlbum.read.state == ManifestState::Missing ? found : inAlbum;
}

FoundRecord TakeAlbumRecord(const std::string& albumFolder, std::string_view version) {
    FoundRecord found = FindAlbumRecord(albumFolder, version);
    // Another user's file, or one of no program's, is not ours to remove.
    if (!found.inAlbum || found.read.state == ManifestState::Unusable ||
        found.read.state == ManifestState::Foreign)
        return found;
    const std::string real = AlbumRealPath(albumFolder);
    const std::string statePath = AlbumRecordPath(real);
    if (found.read.state == ManifestState::Read) {
        found.read.header.albumPath = real;
        // Kept where it is until it is safely in the state folder.
        if (SaveAlbumRecord(statePath, found.read.header, found.read.entries, version) != 0)
            return found;
    }
    struct stat info {};
    if (::lstat(found.path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::getuid())
        ::unlink(found.path.c_str());
    found.path = statePath;
    found.inAlbum = false;
    return found;
}

int SaveAlbumRecord(const std::string& path, const RecordHeader& header,
                    const std::vector<ManifestEntry>& entries, std::string_view version) {
    if (path.empty())
        return ENOENT;
    return WriteManifestFile(path, FormatManifest(header, entries, version));
}

bool RecordNamesPage(const ManifestRead& read, const std::string& pageName) {
    return read.state == ManifestState::Read && read.header.pageName == pageName;
}

} // namespace aw
