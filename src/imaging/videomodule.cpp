// SPDX-License-Identifier: MIT
// The exported entry points of the video module (see imagingabi.h for the contract of each).
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>

#include <sys/stat.h>

extern "C" {
#include <libavutil/log.h>
}

#include "fdiocontext.h"
#include "imagingabi.h"
#include "moduleseam.h"
#include "moviecopy.h"
#include "moviefacts.h"
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

// Callers ask for the size of a movie's first frame and then, with a buffer of that size, for the frame
// itself: the frame decoded for the first call is kept for the second, so that each movie is opened and
// decoded once. One frame per thread, until that thread's next call; a file replaced or changed in
// between (device, inode, size or modification time of the file opened) is read afresh.
struct KeptFrame {
    std::string path;
    struct stat identity {};
    VideoFrameReader::FirstFrame first;
};
thread_local std::optional<KeptFrame> tKept;

bool SameVersion(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The kept frame when it is of this path's current file (and no longer kept), else a fresh read of it.
VideoFrameReader::FirstFrame TakeOrRead(const char* path) {
    std::optional<KeptFrame> kept = std::move(tKept);
    tKept.reset();
    const MovieFile file(path);
    if (kept && kept->path == path && SameVersion(file.identity(), kept->identity))
        return std::move(kept->first);
    kept.reset();
    return VideoFrameReader::Read(file);
}

} // namespace

AW_IMAGING_EXPORT int GetFrameSize(const char* path, int* width, int* height) {
    return Guarded("GetFrameSize", 0, [&]() {
        if (!path || !width || !height)
            throw ImagingError("missing argument");
        QuietenOnce();
        tKept.reset();
        // Identified before reading: a change during the read shows as a different version next time.
        const MovieFile file(path);
        KeptFrame kept{path, file.identity(), VideoFrameReader::Read(file)};
        *width = kept.first.displayWidth;
        *height = kept.first.displayHeight;
        tKept = std::move(kept);
        return 1;
    });
}

AW_IMAGING_EXPORT int GetFirstFrameDIB_RGB24(const char* path, void* descriptionOut, void* pixelsOut,
                                             uint32_t* bufferSize) {
    return Guarded("GetFirstFrameDIB_RGB24", 0, [&]() {
        if (!path || !descriptionOut || !pixelsOut || !bufferSize)
            throw ImagingError("missing argument");
        QuietenOnce();
        const VideoFrameReader::FirstFrame first = TakeOrRead(path);
        VideoFrameReader::ConvertToBgr(first, static_cast<uint8_t*>(pixelsOut), *bufferSize);
        WriteDescription24(descriptionOut, first.displayWidth, first.displayHeight);
        return 1;
    });
}

namespace {

// Copies `text` into a fixed field, cut to fit and always terminated.
template <std::size_t N> void CopyField(char (&field)[N], const std::string& text) {
    const std::size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

void FillFacts(AwMovieFacts& facts, const MovieFactsRead& read) {
    CopyField(facts.container, read.container);
    CopyField(facts.videoCodec, read.videoCodec);
    CopyField(facts.audioCodec, read.audioCodec);
}

} // namespace

AW_IMAGING_EXPORT int GetMovieFacts(const char* path, AwMovieFacts* facts) {
    return Guarded("GetMovieFacts", 0, [&]() {
        if (!path || !facts)
            throw ImagingError("missing argument");
        QuietenOnce();
        FillFacts(*facts, MovieFacts::Read(path));
        return 1;
    });
}

AW_IMAGING_EXPORT int GetMovieDetails(const char* path, AwMovieDetails* details) {
    return Guarded("GetMovieDetails", 0, [&]() {
        if (!path || !details)
            throw ImagingError("missing argument");
        QuietenOnce();
        const MovieFactsRead read = MovieFacts::Read(path);
        *details = AwMovieDetails{};
        FillFacts(details->facts, read);
        CopyField(details->pixelFormat, read.pixelFormat);
        details->quarterTurns = read.quarterTurns;
        details->displayWidth = read.displayWidth;
        details->displayHeight = read.displayHeight;
        details->durationMicroseconds = read.durationMicroseconds;
        details->hasCreationTime = read.hasCreationTime ? 1 : 0;
        details->creationMicroseconds = read.creationMicroseconds;
        details->hasLocation = read.hasLocation ? 1 : 0;
        details->hasOwner = read.hasOwner ? 1 : 0;
        details->hasSerial = read.hasSerial ? 1 : 0;
        return 1;
    });
}

AW_IMAGING_EXPORT int MakePlayableCopy(const char* path, int outputFd, int mode, AwCopyProgressFn progress,
                                       void* context, AwCopyOutcome* outcome) {
    if (outcome)
        *outcome = AwCopyOutcome{};
    const auto fail = [outcome](const char* text, int writeError) {
        ReportFailure("MakePlayableCopy", text);
        if (outcome) {
            CopyField(outcome->message, text);
            outcome->writeError = writeError;
        }
        return AW_COPY_FAILED;
    };
    try {
        if (!path || outputFd < 0 || mode < AW_COPY_REMUX || mode > AW_COPY_CLEAN)
            throw ImagingError("missing argument");
        QuietenOnce();
        const bool written =
            MovieCopy::Write(path, outputFd, static_cast<CopyMode>(mode), [progress, context](double done) {
                return !progress || progress(context, done) == 0;
            });
        return written ? AW_COPY_WRITTEN : AW_COPY_STOPPED;
    } catch (const ImagingError& error) {
        return fail(error.what(), error.systemError());
    } catch (const std::exception& error) {
        return fail(error.what(), 0);
    } catch (...) {
        return fail("unknown failure", 0);
    }
}
