#include "platform/tempfile.h"

#include <cerrno>
#include <cstdlib>
#include <random>
#include <vector>

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

namespace aw {

std::string CreateTempFile(const std::string& folder, const std::string& prefix) {
    if (folder.empty())
        return {};
    std::string pattern = folder;
    if (pattern.back() != '/')
        pattern += '/';
    pattern += prefix;
    pattern += "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0)
        return {};
    ::close(fd);
    return std::string(buffer.data());
}

UniqueFd CreateSiblingFile(const std::string& finalPath, mode_t mode, std::string& tempPath) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    tempPath.clear();
    const auto slash = finalPath.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : finalPath.substr(0, slash + 1);
    std::random_device seed;
    std::minstd_rand random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + "HTM";
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        name += ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            tempPath = name;
            return UniqueFd(fd);
        }
        if (errno != EEXIST && errno != EINTR)
            break;
    }
    return UniqueFd();
}

int ReplaceWithSibling(const std::string& tempPath, const std::string& finalPath) {
    if (::rename(tempPath.c_str(), finalPath.c_str()) == 0)
        return 0;
    const int error = errno;
    ::unlink(tempPath.c_str());
    return error;
}

std::string SystemTempPath() {
    const char* value = std::getenv("TMPDIR");
    std::string path = (value && *value) ? value : "/tmp";
    if (path.back() != '/')
        path += '/';
    return path;
}

} // namespace aw
