// SPDX-License-Identifier: MIT
#include "platform/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <random>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"

namespace aw {
namespace {

// "HTM" + six random characters + ".tmp" beside `target`; O_EXCL and O_NOFOLLOW, so nothing that already
// exists is opened, whatever was planted there.
UniqueFd CreateBeside(const std::string& target, mode_t mode, std::string& temp) {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const auto slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    std::random_device seed;
    std::minstd_rand random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = folder + "HTM";
        for (int i = 0; i < 6; ++i)
            name += kLetters[random() % (sizeof kLetters - 1)];
        name += ".tmp";
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            temp = std::move(name);
            return UniqueFd(fd);
        }
        if (errno != EEXIST && errno != EINTR)
            break;
    }
    return UniqueFd();
}

} // namespace

AtomicFile::AtomicFile(std::string target, mode_t mode, WriteCall write)
    : target_(std::move(target)), fd_(CreateBeside(target_, mode, temp_)), write_(write),
      error_(fd_.valid() ? 0 : (errno != 0 ? errno : EIO)) {}

AtomicFile::~AtomicFile() {
    Discard();
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)), temp_(std::exchange(other.temp_, {})), fd_(std::move(other.fd_)),
      write_(other.write_), error_(other.error_) {}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        Discard();
        target_ = std::move(other.target_);
        temp_ = std::exchange(other.temp_, {});
        fd_ = std::move(other.fd_);
        write_ = other.write_;
        error_ = other.error_;
    }
    return *this;
}

void AtomicFile::Discard() {
    fd_ = UniqueFd();
    if (!temp_.empty())
        ::unlink(temp_.c_str());
    temp_.clear();
}

int AtomicFile::Fail(int error) {
    error_ = error == 0 ? EIO : error; // a failure without errno still must not read as success
    Discard();
    return error_;
}

int AtomicFile::Write(const void* data, std::size_t size) {
    if (!fd_.valid())
        return error_ != 0 ? error_ : EBADF;
    const int error = WriteAll(fd_.get(), data, size, write_);
    return error == 0 ? 0 : Fail(error);
}

int AtomicFile::SetMode(mode_t mode) {
    if (!fd_.valid())
        return error_ != 0 ? error_ : EBADF;
    return ::fchmod(fd_.get(), mode) == 0 ? 0 : Fail(errno);
}

int AtomicFile::Commit(Sync sync) {
    if (!fd_.valid())
        return error_ != 0 ? error_ : EBADF;
    if (sync == Sync::FileAndFolder && ::fsync(fd_.get()) != 0)
        return Fail(errno);
    if (const int error = fd_.Close())
        return Fail(error);
    if (::rename(temp_.c_str(), target_.c_str()) != 0)
        return Fail(errno);
    temp_.clear();
    // The file is in place; a folder that cannot be synced leaves it there, as a crash-free run would.
    if (sync == Sync::FileAndFolder)
        SyncFolder(FolderOf(target_));
    return 0;
}

int SyncFolder(const std::string& folder) {
    const UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid())
        return errno;
    return ::fsync(dir.get()) == 0 ? 0 : errno;
}

} // namespace aw
