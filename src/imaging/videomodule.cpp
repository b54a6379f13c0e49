// The exported entry points of the video module (see imagingabi.h for the contract of each).
#include <cstdlib>
#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

#include "imagingabi.h"
#include "moduleseam.h"
#include "pixelbuffer.h"
#include "videoframereader.h"

using namespace aw::imaging;

namespace {

// FFmpeg chatters on standard error about every odd file; the module reports through its results.
void QuietenOnce() {
    static std::once_flag once;
    std::call_once(
        once, [] { av_log_set_level(std::getenv("ALBUMWRIGHT_IMAGING_LOG") ? AV_LOG_ERROR : AV_LOG_QUIET); });
}

} // namespace

AW_IMAGING_EXPORT int GetFrameSize(const char* path, int* width, int* height) {
    return Guarded("GetFrameSize", 0, [&]() {
        if (!path || !width || !height)
            throw ImagingError("missing argument");
        QuietenOnce();
        const VideoFrameReader::FirstFrame first = VideoFrameReader::Read(path);
        *width = first.displayWidth;
        *height = first.displayHeight;
        return 1;
    });
}

AW_IMAGING_EXPORT int GetFirstFrameDIB_RGB24(const char* path, void* descriptionOut, void* pixelsOut,
                                             uint32_t* bufferSize) {
    return Guarded("GetFirstFrameDIB_RGB24", 0, [&]() {
        if (!path || !descriptionOut || !pixelsOut || !bufferSize)
            throw ImagingError("missing argument");
        QuietenOnce();
        const VideoFrameReader::FirstFrame first = VideoFrameReader::Read(path);
        VideoFrameReader::ConvertToBgr(first, static_cast<uint8_t*>(pixelsOut), *bufferSize);
        WriteDescription24(descriptionOut, first.displayWidth, first.displayHeight);
        return 1;
    });
}
