// SPDX-License-Identifier: MIT
#include "album/imaginglibraryloader.h"

#include <system_error>
#include <type_traits>

#include <dlfcn.h>

#include "album/modulefile.h"
#include "album/runfailure.h"
#include "stringtable.h"

namespace aw {
namespace {

std::string LastDlError() {
    const char* text = dlerror();
    return text ? text : "unknown dynamic loader error";
}

} // namespace

void ImagingLibraryLoader::ModuleCloser::operator()(void* handle) const {
    if (handle)
        dlclose(handle);
}

ImagingLibraryLoader::~ImagingLibraryLoader() {
    Release();
}

std::filesystem::path ImagingLibraryLoader::ModuleFolderFor(const std::filesystem::path& programFolder) {
    // Installed: bin/ and lib/albumwright/ side by side under one prefix. Built: everything in bin/.
    const std::filesystem::path installed = (programFolder / ".." / "lib" / "albumwright").lexically_normal();
    std::error_code error;
    // Whatever is there counts (a FIFO, a link): the checks before loading then say what is wrong with it.
    if (!programFolder.empty() && std::filesystem::exists(std::filesystem::symlink_status(
                                      installed / LoadText(TextId::ImageModuleFile), error)))
        return installed;
    return programFolder;
}

ImagingLoadResult ImagingLibraryLoader::Load() {
    return Load(DefaultModuleFolder());
}

ImagingLibraryLoader::ModuleHandle ImagingLibraryLoader::OpenModule(const std::filesystem::path& path,
                                                                    std::string& error) {
    const CheckedModule checked = CheckModuleFile(path);
    if (checked.cause != FailureCause::None) {
        error = path.string() + ": " + (checked.detail.empty() ? ReasonText(checked.cause) : checked.detail);
        return nullptr;
    }
    // Loaded by its name: the dynamic loader knows loaded objects by name, and a name such as the
    // descriptor's /proc/self/fd/N would be taken for another module loaded under the same number. Only
    // whoever may write the module's folder could swap the file in between. RTLD_NOW: a module with
    // unresolvable dependencies fails here, not in the middle of a run.
    ModuleHandle handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!handle)
        error = path.string() + ": " + LastDlError();
    return handle;
}

void ImagingLibraryLoader::Release() {
    library_ = ImagingLibrary{};
    video_.reset();
    image_.reset();
}

ImagingLoadResult ImagingLibraryLoader::Load(const std::filesystem::path& folder) {
    Release();
    errorText_.clear();
    resolvedCount_ = 0;

    image_ = OpenModule(folder / LoadText(TextId::ImageModuleFile), errorText_);
    if (!image_)
        return result_ = ImagingLoadResult::ImageModuleMissing;
    video_ = OpenModule(folder / LoadText(TextId::VideoModuleFile), errorText_);
    if (!video_) {
        Release();
        return result_ = ImagingLoadResult::VideoModuleMissing;
    }
    if (!ResolveSeven(errorText_)) {
        Release();
        return result_ = ImagingLoadResult::EntryPointMissing;
    }
    library_.DllDecodeJPEGScaled =
        reinterpret_cast<AwDecodeJpegScaledFn>(dlsym(image_.get(), AW_DECODE_JPEG_SCALED_NAME));
    library_.DllDecodePicture =
        reinterpret_cast<AwDecodePictureFn>(dlsym(image_.get(), AW_DECODE_PICTURE_NAME));
    library_.DllMakeDisplayPicture =
        reinterpret_cast<AwMakeDisplayPictureFn>(dlsym(image_.get(), AW_MAKE_DISPLAY_PICTURE_NAME));
    library_.DllLastFailure = reinterpret_cast<AwLastFailureFn>(dlsym(image_.get(), AW_LAST_FAILURE_NAME));
    library_.DllPictureNeeds = reinterpret_cast<AwPictureNeedsFn>(dlsym(image_.get(), AW_PICTURE_NEEDS_NAME));
    library_.GetMovieFacts =
        reinterpret_cast<AwGetMovieFactsFn>(dlsym(video_.get(), AW_GET_MOVIE_FACTS_NAME));
    library_.GetMovieDetails =
        reinterpret_cast<AwGetMovieDetailsFn>(dlsym(video_.get(), AW_GET_MOVIE_DETAILS_NAME));
    library_.MakePlayableCopy =
        reinterpret_cast<AwMakePlayableCopyFn>(dlsym(video_.get(), AW_MAKE_PLAYABLE_COPY_NAME));
    return result_ = ImagingLoadResult::Loaded;
}

bool ImagingLibraryLoader::ResolveSeven(std::string& error) {
    // Stores one entry point by the name in text `nameText`; false (and no further look-ups, thanks to
    // the && chain below) when it is missing.
    const auto resolve = [&](auto& slot, void* module, TextId nameText) {
        const std::string name = LoadText(nameText);
        dlerror(); // clear, so that the text read below belongs to this look-up
        void* address = dlsym(module, name.c_str());
        if (!address) {
            error = LastDlError();
            return false;
        }
        slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(address);
        ++resolvedCount_;
        return true;
    };
    ImagingLibrary& t = library_;
    return resolve(t.DllEncodeJPEG, image_.get(), TextId::EncodeJpegEntry) &&
           resolve(t.DllDecodeJPEG, image_.get(), TextId::DecodeJpegEntry) &&
           resolve(t.DllConvertTo24BitDIB, image_.get(), TextId::ConvertTo24BitEntry) &&
           resolve(t.DllResizeByPercentDIB, image_.get(), TextId::ResizeByPercentEntry) &&
           resolve(t.DllResizeBySizeDIB, image_.get(), TextId::ResizeBySizeEntry) &&
           resolve(t.GetFrameSize, video_.get(), TextId::FrameSizeEntry) &&
           resolve(t.GetFirstFrameDIB_RGB24, video_.get(), TextId::FirstFrameEntry);
}

TextId ImagingLibraryLoader::failureTextId() const {
    return result_ == ImagingLoadResult::EntryPointMissing ? TextId::ModuleEntryMissing
                                                           : TextId::ModuleUnreadable;
}

} // namespace aw
