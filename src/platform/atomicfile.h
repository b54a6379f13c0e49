// SPDX-License-Identifier: MIT
// A file replaced whole or not at all: the new content is written to a new file beside the target (in its
// folder, so that the rename cannot cross file systems) and renamed over the target on Commit. Readers
// never see a cut file, a full disk leaves the target as it was, and a symbolic link planted at the target
// is replaced, never written through (the new file is made with O_EXCL and O_NOFOLLOW).
//
// Durability is the caller's choice: Sync::FileAndFolder syncs the content before the rename and the
// folder after it (settings, the update record, the page); Sync::None only renames, for the many Data and
// Thumb files whose folders the run syncs once at its end (SyncFolder).
//
// One owner, movable; what was not committed is removed when the object goes. Not thread-safe; distinct
// objects are independent.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "platform/filebytes.h"
#include "platform/uniquefd.h"

namespace aw {

class AtomicFile {
public:
    enum class Sync { None, FileAndFolder };

    // Creates the new file beside `target` with `mode` reduced by the umask; see valid() and error().
    // `write` stands for write(2) (tests give one that fails).
    explicit AtomicFile(std::string target, mode_t mode = 0666, WriteCall write = &::write);
    ~AtomicFile();
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    bool valid() const { return fd_.valid(); }
    // The errno of the step that failed (creating, writing, committing); 0 while all went well.
    int error() const { return error_; }
    const std::string& target() const { return target_; }
    // The new file, open for writing (and reading: a muxer reads back what it wrote), for content copied in
    // by other means (copy_file_range, a muxer).
    int fd() const { return fd_.get(); }

    // Appends all of `size` bytes. 0 or an errno (ENOSPC for a write that makes no progress).
    int Write(const void* data, std::size_t size);
    int Write(std::string_view text) { return Write(text.data(), text.size()); }
    // Gives the new file exactly `mode`, not reduced by the umask (to keep an earlier file's mode).
    int SetMode(mode_t mode);
    // Closes the new file (a delayed write error surfaces here), syncing as asked, and renames it over the
    // target. 0, or the errno of the step that failed; then the new file is gone and the target as it was.
    int Commit(Sync sync);

private:
    int Fail(int error);
    void Discard();

    std::string target_;
    std::string temp_;
    UniqueFd fd_;
    WriteCall write_;
    int error_ = 0;
};

// Syncs `folder`'s entries (the renames into it) to the disk. 0 or an errno.
int SyncFolder(const std::string& folder);

} // namespace aw
