// SPDX-License-Identifier: MIT
#include "medialist/mediaintake.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "album/mediaitem.h"
#include "medialist/itemlist.h"
#include "platform/regularfile.h"
#include "stringtable.h"

namespace aw {
namespace {

constexpr long kAsfMarkerOffset = 64;
constexpr char kAsfMarker[] = "Kelpra";
constexpr std::size_t kAsfMarkerLength = sizeof(kAsfMarker) - 1;

constexpr std::size_t kListedNames = 20;

// The first kListedNames names joined by ", ", then a line saying how many more there are: a box listing
// thousands of names would be taller than any screen.
std::string JoinNames(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t i = 0; i < names.size() && i < kListedNames; ++i) {
        if (i > 0)
            text += ", ";
        text += names[i];
    }
    if (names.size() > kListedNames)
        text += "\n" + FormatText(LoadText(TextId::MoreNames), {std::to_string(names.size() - kListedNames)});
    return text;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

MediaIntake::MediaIntake(ItemList& items) : items_(items) {}

bool MediaIntake::Take(const std::string& path) {
    const std::string extension = MediaPath::ExtensionOf(path);
    const std::string fileName = MediaPath::BaseNameOf(path) + extension;
    MediaKind kind = MediaKind::Unsupported;
    if (!paths_.KindOf(extension, kind)) {
        rejected_.push_back(fileName);
        return false;
    }
    if (kind == MediaKind::MovieAsf && IsMarkedAsf(path))
        kind = MediaKind::MovieAsfMarked;
    items_.AppendItem(MediaItem{path, MediaPath::FolderOf(path), fileName, std::string(), kind});
    ++added_;
    if (!MediaPath::IsWebSafeName(fileName))
        unsafe_.push_back(fileName);
    return true;
}

int MediaIntake::TakeAll(const std::vector<std::string>& paths) {
    int count = 0;
    for (const std::string& path : paths)
        count += Take(path) ? 1 : 0;
    return count;
}

std::string MediaIntake::RejectedText() const {
    return rejected_.empty() ? std::string() : RejectedNamesText(rejected_);
}

std::string MediaIntake::UnsafeText() const {
    return unsafe_.empty() ? std::string() : UnsafeNamesText(unsafe_);
}

bool IsMarkedAsf(const std::string& path) {
    // A FIFO named .asf must not block the intake in open(); a special file is no marked ASF.
    OpenedFile opened = OpenRegularFile(path);
    if (opened.error != 0)
        return false;
    const std::unique_ptr<std::FILE, FileCloser> file(fdopen(opened.fd.get(), "rb"));
    if (file)
        opened.fd.release();
    if (!file || std::fseek(file.get(), kAsfMarkerOffset, SEEK_SET) != 0)
        return false;
    char bytes[kAsfMarkerLength];
    if (std::fread(bytes, 1, kAsfMarkerLength, file.get()) != kAsfMarkerLength)
        return false;
    return std::memcmp(bytes, kAsfMarker, kAsfMarkerLength) == 0;
}

std::string RejectedNamesText(const std::vector<std::string>& names) {
    return LoadText(TextId::UnsupportedFiles) + JoinNames(names);
}

std::string UnsafeNamesText(const std::vector<std::string>& names) {
    return LoadText(TextId::UnsafeNames) + "\n" + JoinNames(names);
}

} // namespace aw
