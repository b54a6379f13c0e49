// SPDX-License-Identifier: MIT
// Puts one album item's files in place: its copy in Data and its thumbnail in Thumb, plus the thumbnail's
// size for the page. Pictures are decoded, scaled into the 160 x 120 box and encoded at quality 80 through
// the imaging table; bitmaps and HEIF pictures become JPEG on their way into Data; movies get their first
// frame with a film mark; audio items get a copy of the audio picture.
//
// Results of the copying operations: 0 failure, 1 success, any other value the errno of a final copy into
// Data or Thumb that did not succeed (never 0 or 1; EACCES for a read-only destination), after which the
// caller may clear the read-only bit and call the matching Write... operation.
//
// Ownership and threads: one MediaCopier per generation run, used by one thread at a time. It holds at most
// one picture and releases it after every operation. The imaging table and the work folder string are
// borrowed and must outlive it; the work folder is read again at each use. Temporary files made here
// begin with "HTM" and are removed on every path; the thumbnail's temporary file belongs to the caller.
// A symbolic link planted at a Data or Thumb name is always replaced by a real file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "album/mediakind.h"
#include "album/picture.h"
#include "album/runfailure.h"
#include "platform/tempfile.h"

namespace aw {

struct ImagingLibrary;
struct PreparedThumbnail;

class MediaCopier {
public:
    static constexpr int kBoxWidth = 160;
    static constexpr int kBoxHeight = 120;
    static constexpr int kJpegQuality = 80;

    // arrangementMarker: 1 when the arrangement makes no thumbnails (MakeThumbnail then does nothing).
    // audioPicture: full path of the picture that stands for every audio item.
    MediaCopier(const ImagingLibrary& imaging, const std::string& workFolder, int arrangementMarker,
                std::string audioPicture);
    MediaCopier(const MediaCopier&) = delete;
    MediaCopier& operator=(const MediaCopier&) = delete;

    // From now on, the Data copies of JPEG, PNG and WebP pictures leave out the place where they were
    // taken, the owner's name and serial numbers (privacyedits.h), everything else byte for byte; a
    // picture that cannot be copied so fails with PrivateFieldsKept rather than being published.
    void SetRemovePrivateFields(bool remove) { removePrivateFields_ = remove; }

    // Copies `source` to `dataPath` replacing what is there (never through a link planted there, never cut:
    // see CopyFileReplacing); a StillBmp or StillHeif source is stored as its JPEG encoding instead. A source
    // that is not a regular file fails with a cause naming what it is, before anything opens it. A source
    // that is the Data file itself is left as it is (1); a link at `dataPath`, wherever it leads, is not
    // that file.
    int CopyToDataFolder(const std::string& source, const std::string& dataPath, MediaKind kind);
    // The source's bytes as they are at `dest`, under the same rules: the original's copy in the Gallery.
    // When private fields are removed, a picture of any kind is copied without them or refused.
    int CopyAsItIs(const std::string& source, const std::string& dest, MediaKind kind);
    // Puts a still's display copy, prepared earlier from `source`, at `dataPath` through `tempFile` (as
    // CommitThumbnail does); a preparation that failed fails here with its cause. A source that is the Data
    // file itself is left as it is (1). The rewrite after a read-only destination: WriteMadeContent.
    int CommitDisplayCopy(const PreparedThumbnail& prepared, TempFile& tempFile, const std::string& source,
                          const std::string& dataPath);
    int WriteMadeContent(const TempFile& tempFile, const std::string& dest);

    // Makes the thumbnail of `source` in `tempFile` (made by the caller; written through its descriptor
    // and removed once copied), then copies it to `thumbPath`. An Audio item's thumbnail is a copy of the
    // audio picture, under the picture's own name in the folder of `thumbPath`. Sets
    // thumbWidth()/thumbHeight(). With the arrangement marker set it gives 1 and writes nothing. The same as
    // CommitThumbnail of a thumbnail prepared here and now.
    int MakeThumbnail(const std::string& source, TempFile& tempFile, const std::string& thumbPath,
                      MediaKind kind);
    // The writing half of MakeThumbnail, for a thumbnail prepared earlier (on any thread) by a
    // ThumbnailPreparer from the same source and kind: a preparation that failed fails here with its
    // cause; one never made is needed only for pictures and movies.
    int CommitThumbnail(const PreparedThumbnail& prepared, TempFile& tempFile, const std::string& thumbPath,
                        MediaKind kind);

    // The rewrite step after a read-only destination was made writable by the caller: writes the Data
    // content again (the source's bytes, or a converted still's JPEG) into `dest`. 1 success, 0 failure.
    int WriteDataContent(const std::string& source, const std::string& dest, MediaKind kind);
    // The same for a thumbnail: the content of `tempFile`, or for an Audio item the audio picture.
    int WriteThumbContent(const TempFile& tempFile, const std::string& thumbPath, MediaKind kind);

    // Size of the last thumbnail made; 160 x 120 at first and for every audio item; kept when none is made.
    int thumbWidth() const { return thumbWidth_; }
    int thumbHeight() const { return thumbHeight_; }

    // Why the last operation that gave anything but 1 failed; empty after a success.
    const RunFailure& failure() const { return failure_; }

    // Drops any picture still held (the thread's exit path); operations already do this themselves.
    void ReleasePicture() { picture_.Release(); }

private:
    bool SourceIsRegular(const std::string& source);
    int EncodeJpegTo(const std::string& source, const std::string& dest, MediaKind kind);
    std::string AudioThumbPath(const std::string& thumbPath) const;
    bool WriteTemp(TempFile& temp, const uint8_t* data, std::size_t size);
    int FinalCopy(const std::string& from, const std::string& to);
    int CopyWithoutPrivateFields(const std::string& from, const std::string& to);
    bool ClearsPrivateFields(MediaKind kind) const;
    int FinalCopy(const TempFile& from, const std::string& to);
    void Fail(const std::string& file, FailureCause cause);

    const ImagingLibrary& imaging_;
    const std::string& workFolder_;
    int arrangementMarker_;
    std::string audioPicture_;
    Picture picture_;
    bool removePrivateFields_ = false;
    int thumbWidth_ = kBoxWidth;
    int thumbHeight_ = kBoxHeight;
    RunFailure failure_;
};

} // namespace aw
