// SPDX-License-Identifier: MIT
// Paths and scratch folders for tests.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace aw::test {

// The test data committed with the project (tests/data: the BMP Suite and its expectations).
inline std::filesystem::path TestDataDir() {
    return ALBUMWRIGHT_TESTDATA;
}
inline std::filesystem::path SourceDir() {
    return ALBUMWRIGHT_SOURCE_DIR;
}
// Where the programs, the imaging modules and htmldata are built.
inline std::filesystem::path BinDir() {
    return ALBUMWRIGHT_BIN_DIR;
}

// A fresh empty folder removed again when the object goes away.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A small tmpfs on a fresh folder, to fill the disk for real; where mounting is not allowed tests skip.
class SmallDisk {
public:
    explicit SmallDisk(std::size_t bytes);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    const std::filesystem::path& path() const { return folder_.path(); }
    std::filesystem::path operator/(const std::string& name) const { return folder_ / name; }

private:
    ScratchDir folder_;
    bool mounted_ = false;
};

// True when `call` returns within a few seconds; one blocked on `fifo` is released by a writer that ends at
// once and gives false, so that a blocking fault fails instead of hanging the test.
bool ReturnsWithoutBlocking(const std::filesystem::path& fifo, const std::function<void()>& call);

// Runs `child` in a forked process: true when it returns true there.
bool InChildProcess(const std::function<bool()>& child);

// What `write` returns when files may not grow beyond `bytes` (a write past it fails as on a full disk).
bool UnderFileSizeLimit(std::uintmax_t bytes, const std::function<bool()>& write);

std::string ReadWholeFile(const std::filesystem::path& path);
void WriteWholeFile(const std::filesystem::path& path, const std::string& bytes);

} // namespace aw::test
