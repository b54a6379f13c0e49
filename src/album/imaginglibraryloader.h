// SPDX-License-Identifier: MIT
// Loads the two imaging modules and resolves their entry points into an ImagingLibrary table.
//
// The modules are opened by the file names of strings 412 (image) and 413 (video) from one folder: unless
// another is named, the installed one (<program folder>/../lib/albumwright) when the image module is
// there, else the folder of the running program (the build tree). The seven entry points are resolved in
// their fixed order (names: strings 414 to 420), stopping at the first one missing; the optional eighth
// (AW_DECODE_JPEG_SCALED_NAME) is looked up afterwards and may be absent.
//
// Before the dynamic loader sees a module file it must pass CheckModuleFile's checks (regular, written by
// its owner alone, root or the user; its code inside the file).
//
// Ownership: the loader owns both module handles and releases them when it is destroyed or reloaded, and
// on every failure (then the table is cleared, since its pointers would dangle). The table stays valid
// as long as the loader; keep the loader alive while anyone calls through it.
// Thread-safety: Load() from one thread; afterwards library() may be read from any thread.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "album/imaginglibrary.h"
#include "platform/paths.h"
#include "stringtable.h"

namespace aw {

enum class ImagingLoadResult {
    Loaded,
    ImageModuleMissing, // string 401; nothing stays loaded
    VideoModuleMissing, // string 401; the image module has been released
    EntryPointMissing,  // string 402; both modules have been released
};

class ImagingLibraryLoader {
public:
    ImagingLibraryLoader() = default;
    ~ImagingLibraryLoader();
    ImagingLibraryLoader(const ImagingLibraryLoader&) = delete;
    ImagingLibraryLoader& operator=(const ImagingLibraryLoader&) = delete;

    // Loads from DefaultModuleFolder().
    ImagingLoadResult Load();
    ImagingLoadResult Load(const std::filesystem::path& folder);

    ImagingLoadResult result() const { return result_; }
    // The message for the last failed load: a module missing or refused, or an entry point missing. Only
    // meaningful after a load that failed.
    TextId failureTextId() const;
    // The module file and why it was not loaded (its checks' reason or the dynamic loader's text), or the
    // missing symbol; empty after success.
    const std::string& errorText() const { return errorText_; }
    // How many of the seven entry points were found before resolving stopped (7 after success).
    int resolvedCount() const { return resolvedCount_; }

    const ImagingLibrary& library() const { return library_; }

    // `programFolder`/../lib/albumwright when anything is there under the image module's name, else
    // `programFolder`.
    static std::filesystem::path ModuleFolderFor(const std::filesystem::path& programFolder);
    static std::filesystem::path DefaultModuleFolder() { return ModuleFolderFor(ProgramFolder()); }

private:
    struct ModuleCloser {
        void operator()(void* handle) const;
    };
    using ModuleHandle = std::unique_ptr<void, ModuleCloser>;

    static ModuleHandle OpenModule(const std::filesystem::path& path, std::string& error);
    bool ResolveSeven(std::string& error);
    void Release();

    ModuleHandle image_;
    ModuleHandle video_;
    ImagingLibrary library_;
    ImagingLoadResult result_ = ImagingLoadResult::Loaded;
    std::string errorText_;
    int resolvedCount_ = 0;
};

} // namespace aw
