#include "platform/tempfile.h"

#include <cstdlib>
#include <vector>

#include <fcntl.h>
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

std::string SystemTempPath() {
    const char* value = std::getenv("TMPDIR");
    std::string path = (value && *value) ? value : "/tmp";
    if (path.back() != '/')
        path += '/';
    return path;
}

} // namespace aw
