// SPDX-License-Identifier: MIT
#include "platform/tempfile.h"

#include <cerrno>
#include <cstdlib>
#include <vector>

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/filebytes.h"

namespace aw {

TempFile TempFile::Create(const std::string& folder, const std::string& prefix) {
    TempFile made;
    if (folder.empty()) {
        errno = ENOENT;
        return made;
    }
    std::string pattern = folder;
    if (pattern.back() != '/')
        pattern += '/';
    pattern += prefix;
    pattern += "XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    UniqueFd fd(::mkostemp(buffer.data(), O_CLOEXEC));
    if (fd.valid()) {
        made.path_.assign(buffer.data());
        made.fd_ = std::move(fd);
    }
    return made;
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    if (this != &other) {
        Remove();
        fd_ = std::move(other.fd_);
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

void TempFile::Remove() {
    if (!path_.empty())
        ::unlink(path_.c_str());
    path_.clear();
}

int TempFile::Rewrite(const uint8_t* data, std::size_t size, mode_t mode) {
    if (!fd_.valid())
        return EBADF;
    if (::ftruncate(fd_.get(), 0) != 0 || ::lseek(fd_.get(), 0, SEEK_SET) != 0)
        return errno;
    if (const int error = WriteAll(fd_.get(), data, size))
        return error;
    if (::fdatasync(fd_.get()) != 0 || ::fchmod(fd_.get(), mode) != 0)
        return errno;
    return 0;
}

std::string SystemTempPath() {
    const char* value = std::getenv("TMPDIR");
    std::string path = (value && *value) ? value : "/tmp";
    if (path.back() != '/')
        path += '/';
    return path;
}

} // namespace aw
