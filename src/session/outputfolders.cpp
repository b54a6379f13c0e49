// SPDX-License-Identifier: MIT
#include "session/outputfolders.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "album/mediapath.h"
#include "platform/asciicase.h"
#include "platform/desktopfolder.h"
#include "platform/paths.h"
#include "platform/pathwalk.h"
#include "stringtable.h"

namespace aw {

namespace {

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path[0] == '/';
}

} // namespace

std::string WithoutLeadingBlanks(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t\r\n\v\f");
    return start == std::string::npos ? std::string() : text.substr(start);
}

std::string ExpandHomeFolder(const std::string& text) {
    if (text.empty() || text[0] != '~' || (text.size() > 1 && text[1] != '/'))
        return text;
    std::string home;
    if (const char* variable = std::getenv("HOME"); variable != nullptr && variable[0] == '/')
        home = variable;
    else if (const passwd* entry = ::getpwuid(::getuid()); entry != nullptr && entry->pw_dir != nullptr)
        home = entry->pw_dir;
    if (home.empty())
        return text; // no home to stand for: refused later as the mistake it then is
    return text.size() <= 2 ? home : JoinPath(home, text.substr(2));
}

OutputFolders::OutputFolders(MessageService& questions, MountInfo mounts)
    : questions_(questions), mounts_(std::move(mounts)) {}

bool OutputFolders::AskOverwriteQuestion() {
    if (!questionPending_)
        return true;
    questionPending_ = false;
    return questions_.AskYesNo(LoadText(TextId::OverwriteQuestion), LoadText(TextId::ConfirmationCaption),
                               MessageIcon::Question, DefaultButton::Yes);
}

bool OutputFolders::PathExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::lstat(path.c_str(), &info) == 0;
}

bool OutputFolders::DriveExists(const std::string& path) {
    return IsAbsolute(path);
}

bool OutputFolders::IsDriveRoot(const std::string& path) {
    return path == "/";
}

bool OutputFolders::IsCameraFolder(const std::string& path) const {
    const std::string resolved = ResolveExistingPart(path);
    if (resolved.empty())
        return false;
    const std::optional<MountEntry> mount = mounts_.MountOf(resolved);
    const std::string mountPoint = mount ? mount->mountPoint : "/";
    if (resolved.size() <= mountPoint.size())
        return false;
    std::size_t start = mountPoint.size();
    if (resolved[start] == '/')
        ++start;
    const std::string first = resolved.substr(start, resolved.find('/', start) - start);
    return EqualsIgnoringAsciiCase(first, "DCMV") || EqualsIgnoringAsciiCase(first, "DCIM");
}

FolderResult OutputFolders::PrepareOutputFolder(const std::string& outputFolder) {
    std::string text = WithoutLeadingBlanks(outputFolder);
    // A doubled separator is a typing slip; folders are never made from it. Relative paths would land
    // wherever the program happens to run.
    if (text.find("//") != std::string::npos || !IsAbsolute(text))
        return {FolderFailed, 0};
    if (IsDriveRoot(text))
        return {DriveExists(text) ? FolderGoOn : FolderFailed, 0};
    if (text.back() == '/')
        text.pop_back();
    if (PathExists(text)) {
        if (!questionPending_)
            return {FolderGoOn, 0};
        return {AskOverwriteQuestion() ? FolderYes : FolderNo, 0};
    }
    int error = 0;
    if (!MakeFolderChain(text, error))
        return {FolderFailed, error};
    return {FolderGoOn, 0};
}

FolderResult OutputFolders::PrepareMediaFolders(const std::string& outputFolder, int arrangementMarker,
                                                std::string& dataPath, std::string& thumbPath) {
    const std::string folder = WithoutLeadingBlanks(outputFolder);
    dataPath.clear();
    thumbPath.clear();
    if (!DriveExists(folder))
        return {FolderFailed, 0};
    for (const TextId name : {TextId::DataFolderName, TextId::ThumbFolderName}) {
        const std::string path = JoinPath(folder, LoadText(name));
        (name == TextId::DataFolderName ? dataPath : thumbPath) = path;
        if (!PathExists(path)) {
            if (::mkdir(path.c_str(), 0777) != 0)
                return {FolderFailed, errno};
        } else {
            // A file where the folder belongs would only make the run fail later, after questions; a link
            // would lead the run's writes out of the album.
            struct stat info {};
            if (::lstat(path.c_str(), &info) != 0)
                return {FolderFailed, errno};
            if (S_ISLNK(info.st_mode))
                return {FolderFailed, ELOOP};
            if (!S_ISDIR(info.st_mode))
                return {FolderFailed, ENOTDIR};
            if (questionPending_) {
                const bool yes = AskOverwriteQuestion();
                if (name == TextId::ThumbFolderName)
                    return {yes ? FolderYes : FolderNo, 0};
                if (!yes)
                    return {FolderNo, 0};
            }
        }
        if (name == TextId::DataFolderName && arrangementMarker == 1)
            return {FolderGoOn, 0};
    }
    return {FolderGoOn, 0};
}

bool OutputFolders::IndexPageExists(const std::string& outputFolder, const std::string& pageName) {
    return PathExists(JoinPath(WithoutLeadingBlanks(outputFolder),
                               pageName.empty() ? LoadText(TextId::IndexPageName) : pageName));
}

std::string OutputFolders::ChooseInitialFolder(const std::string& folder) const {
    return IsCameraFolder(folder) ? DesktopFolder() : folder;
}

} // namespace aw
