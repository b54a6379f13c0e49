// SPDX-License-Identifier: MIT
#include "platform/profilestore.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/asciicase.h"
#include "platform/atomicfile.h"
#include "platform/paths.h"
#include "platform/pathwalk.h"
#include "platform/regularfile.h"
#include "platform/uniquefd.h"

namespace aw {

namespace {

// A settings file beyond this is not one the program wrote; it is neither read nor overwritten.
constexpr off_t kMaxFileSize = 4 * 1024 * 1024;

// Bytes that would break the line format become "\xHH"; everything else (UTF-8 included) stays.
std::string Escape(const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (unsigned char c : text) {
        // '#' too: a line that began with it would read back as a comment and the name would be lost.
        if (c < 0x20 || c == 0x7f || c == '\\' || c == '=' || c == '[' || c == ']' || c == '#') {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0f];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    c = AsciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::optional<std::string> Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (i + 3 >= text.size() || text[i + 1] != 'x')
            return std::nullopt;
        const int high = HexDigit(text[i + 2]);
        const int low = HexDigit(text[i + 3]);
        if (high < 0 || low < 0)
            return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        i += 3;
    }
    return out;
}

// Where a save goes: the settings file, or, when it is a link the user made (a dotfiles folder), the file
// the link leads to, so that the link stays; and with which mode.
struct SaveTarget {
    bool ok = true;        // false: a loop of links
    std::string path;      // the file to replace, in its own folder
    mode_t mode = 0600;    // the replaced file's mode, or private for a new file
    bool readOnly = false; // the user took the write bit away: leave it as it is
};

SaveTarget FindSaveTarget(const std::string& file) {
    constexpr int kMaxLinks = 40; // as the kernel allows
    SaveTarget target;
    target.path = file;
    for (int links = 0; links <= kMaxLinks; ++links) {
        struct stat status {};
        if (::lstat(target.path.c_str(), &status) != 0)
            return target; // a new file, or a dangling link's target made anew
        // A link of another user is never written through: the save replaces the link itself.
        if (!S_ISLNK(status.st_mode) || status.st_uid != ::getuid()) {
            if (!S_ISLNK(status.st_mode)) {
                target.mode = status.st_mode & 0777;
                target.readOnly = (status.st_mode & S_IWUSR) == 0;
            }
            return target;
        }
        std::vector<char> buffer(static_cast<std::size_t>(PATH_MAX));
        const ssize_t length = ::readlink(target.path.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
            return target;
        const std::string next(buffer.data(), static_cast<std::size_t>(length));
        target.path = next[0] == '/' ? next : JoinPath(FolderOf(target.path), next);
    }
    target.ok = false;
    return target;
}

} // namespace

ProfileStore::ProfileStore(std::string file) : file_(file.empty() ? DefaultLocation() : std::move(file)) {}

std::string ProfileStore::DefaultLocation() {
    if (const char* over = std::getenv("ALBUMWRIGHT_SETTINGS"); over && *over)
        return over;
    std::string base;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            // Without $HOME the password database still knows the user's home folder.
            const passwd* user = ::getpwuid(::getuid());
            home = user && user->pw_dir ? user->pw_dir : "/";
        }
        base = std::string(home) + "/.config";
    }
    return base + "/albumwright/settings";
}

std::string ProfileStore::NormaliseKey(const std::string& keyPath) {
    return AsciiLower(DisplayKey(keyPath));
}

std::string ProfileStore::DisplayKey(const std::string& keyPath) {
    std::string key;
    std::string component;
    auto flush = [&] {
        if (!component.empty()) {
            if (!key.empty())
                key += '/';
            key += component;
            component.clear();
        }
    };
    for (char c : keyPath) {
        if (c == '/' || c == '\\')
            flush();
        else
            component += c;
    }
    flush();
    return key;
}

std::optional<ProfileStore::Content> ProfileStore::Load() const {
    Content content;
    // A FIFO or device at the settings location must not hang the start-up: refused without blocking.
    OpenedFile opened = OpenRegularFile(file_);
    if (opened.error != 0)
        return opened.error == ENOENT && opened.type == FileType::Missing ? std::optional<Content>(content)
                                                                          : std::nullopt;
    const UniqueFd fd = std::move(opened.fd);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || info.st_size > kMaxFileSize)
        return std::nullopt;
    std::string bytes;
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > static_cast<std::size_t>(kMaxFileSize))
            return std::nullopt;
    }

    Key* current = nullptr;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string_view line(bytes.data() + start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']')
                continue;
            const std::optional<std::string> path = Unescape(line.substr(1, line.size() - 2));
            if (!path || NormaliseKey(*path).empty())
                continue;
            Key& key = content[NormaliseKey(*path)];
            if (key.displayPath.empty())
                key.displayPath = DisplayKey(*path);
            current = &key;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!current || equals == std::string_view::npos || equals == 0 || line.size() < equals + 3)
            continue;
        const std::optional<std::string> name = Unescape(line.substr(0, equals));
        const std::string_view kind = line.substr(equals + 1, 2);
        const std::string_view data = line.substr(equals + 3);
        Value value;
        if (kind == "t:") {
            const std::optional<std::string> text = Unescape(data);
            if (!text)
                continue;
            value.text = *text;
        } else if (kind == "n:") {
            value.type = Type::Number;
            const auto [stop, error] = std::from_chars(data.data(), data.data() + data.size(), value.number);
            if (error != std::errc() || stop != data.data() + data.size())
                continue;
        } else {
            continue;
        }
        if (!name || name->empty())
            continue;
        current->names[AsciiLower(*name)] = *name;
        current->values[AsciiLower(*name)] = value;
    }
    return content;
}

bool ProfileStore::Save(const Content& content) const {
    std::string bytes = "# Albumwright settings: [key], then name=t:text or name=n:number\n";
    for (const auto& [normalised, key] : content) {
        bytes += '[' + Escape(key.displayPath) + "]\n";
        for (const auto& [lower, value] : key.values) {
            bytes += Escape(key.names.at(lower)) + '=';
            bytes +=
                value.type == Type::Text ? "t:" + Escape(value.text) : "n:" + std::to_string(value.number);
            bytes += '\n';
        }
    }

    const SaveTarget target = FindSaveTarget(file_);
    if (!target.ok)
        return false;
    if (target.readOnly) {
        readOnly_ = true;
        return false;
    }
    const std::string folder = FolderOf(target.path);
    // Private to the user: settings may name the user's folders.
    if (int error = 0; !MakeFolderChain(folder, error, 0700))
        return false;
    // A failed step removes the new file, so the old settings stay as they were.
    AtomicFile file(target.path, 0600);
    return file.SetMode(target.mode) == 0 && file.Write(bytes) == 0 &&
           file.Commit(AtomicFile::Sync::FileAndFolder) == 0;
}

bool ProfileStore::KeyExists(const std::string& keyPath) const {
    const std::string wanted = NormaliseKey(keyPath);
    if (wanted.empty())
        return true; // the store's root
    for (const auto& [path, key] : Load().value_or(Content())) {
        if (path == wanted || (path.size() > wanted.size() && path.compare(0, wanted.size(), wanted) == 0 &&
                               path[wanted.size()] == '/'))
            return true;
    }
    return false;
}

bool ProfileStore::CreateKey(const std::string& keyPath) {
    const std::string normalised = NormaliseKey(keyPath);
    if (normalised.empty())
        return true;
    std::optional<Content> content = Load();
    if (!content)
        return false;
    if (content->count(normalised))
        return true;
    (*content)[normalised].displayPath = DisplayKey(keyPath);
    return Save(*content);
}

std::optional<ProfileStore::Value> ProfileStore::Read(const std::string& keyPath,
                                                      const std::string& name) const {
    const Content content = Load().value_or(Content());
    const auto key = content.find(NormaliseKey(keyPath));
    if (key == content.end())
        return std::nullopt;
    const auto value = key->second.values.find(AsciiLower(name));
    if (value == key->second.values.end())
        return std::nullopt;
    return value->second;
}

bool ProfileStore::Write(const std::string& keyPath, const std::string& name, const Value& value) {
    return WriteValues(keyPath, {{name, value}});
}

bool ProfileStore::WriteValues(const std::string& keyPath, const std::vector<NamedValue>& values) {
    const std::string normalised = NormaliseKey(keyPath);
    if (normalised.empty())
        return false;
    for (const NamedValue& entry : values)
        if (entry.name.empty())
            return false;
    std::optional<Content> content = Load();
    if (!content)
        return false; // an unreadable file is not replaced: it may hold settings we cannot see
    Key& key = (*content)[normalised];
    if (key.displayPath.empty())
        key.displayPath = DisplayKey(keyPath);
    for (const NamedValue& entry : values) {
        const std::string lower = AsciiLower(entry.name);
        if (!key.names.count(lower))
            key.names[lower] = entry.name;
        key.values[lower] = entry.value;
    }
    return Save(*content);
}

bool ProfileStore::WriteText(const std::string& keyPath, const std::string& name, const std::string& text) {
    Value value;
    value.text = text;
    return Write(keyPath, name, value);
}

bool ProfileStore::WriteNumber(const std::string& keyPath, const std::string& name, std::int32_t number) {
    Value value;
    value.type = Type::Number;
    value.number = number;
    return Write(keyPath, name, value);
}

} // namespace aw
