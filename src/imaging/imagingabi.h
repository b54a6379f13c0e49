// SPDX-License-Identifier: MIT
/* The C interface of the two imaging modules (image: JPEG, bitmaps, today's stills, scaling; video: first
 * movie frames, movie facts and copies that browsers play).
 * Shared by the modules and by the loader in the core; plain C so that either side may be rebuilt alone.
 *
 * Pictures travel as a pair: a description and pixel rows.
 *  - A description is a 40-byte little-endian bitmap information header (AwBitmapInfoHeader) followed by
 *    at least one 4-byte colour entry: 44 bytes, zero-filled by whoever allocates it. For a bitmap "as
 *    stored" in a .bmp file the description is the file's header (biSize bytes, 40 or more) followed by
 *    its bit-field masks (12 bytes, when biSize is 40 and compression is 3) and colour table; the caller
 *    then guarantees room for 2^biBitCount colour entries when biBitCount <= 8 (zero-filling what the file
 *    lacked, so missing entries read black).
 *    Modules accept biSize from 40 to 1064; bit-field masks are read after a 40-byte header, or from
 *    inside a header of 52 bytes or more; the colour table follows the header (and the masks).
 *    AwDescriptionRoom below gives the number of bytes a caller must provide.
 *  - biSizeImage, when non-zero, is the number of pixel bytes the caller holds; a module never reads past
 *    it. When zero, the pixels are taken to be exactly the padded rows of the stated size (run-length
 *    bitmaps then fail: their size cannot be known). Run-length bitmaps that state more pixels than
 *    AwRunLengthPlausible allows for their bytes are refused.
 *  - Pictures that a module makes or scales are 24 bits per pixel, bottom-up, rows padded to a multiple of
 *    4 bytes: row size = ((3 * width + 3) / 4) * 4, buffer size = row size * height.
 *  - Every buffer a module returns is malloc'd; its holder releases it with free().
 *  - A true result is any non-zero value. No entry point keeps a pointer after it returns; all are
 *    reentrant and may run on any thread.
 *  - Pictures above AW_MAX_DIMENSION on a side, or above AW_MAX_PIXELS in all, are refused, judged by the
 *    size a file declares before any buffer is sized for it. This holds for every decode path (JPEG at
 *    full size and scaled, bitmaps converted, scaled or encoded, movie frames).
 */
#ifndef ALBUMWRIGHT_IMAGINGABI_H
#define ALBUMWRIGHT_IMAGINGABI_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* The pixel budget of one picture or movie frame: 150 megapixels (a 24-bit picture of about 450 MB; a
 * 12,247-pixel square, or 15,000 x 10,000), well above what cameras and scanners make, and far below what
 * a few hundred hostile bytes can declare (30000 x 30000 would be 900 megapixels, 2.7 GB). */
#define AW_MAX_DIMENSION 30000
#define AW_MAX_PIXELS 150000000LL

/* Run-length bitmaps: a two-byte run codes at most 255 pixels; move, end-of-line and end-of-picture codes
 * may skip more, so a bitmap may state up to 16 times the densest run coding (2,040 pixels per byte)
 * before its size counts as absurd for its bytes. A 120-byte stream may thus state 244,800 pixels, not
 * 900 million. */
#define AW_RLE_MAX_PIXELS_PER_BYTE (255LL * 16 / 2)

#pragma pack(push, 1)
typedef struct AwBitmapInfoHeader {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; /* negative: rows top-down */
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression; /* 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields */
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} AwBitmapInfoHeader;

typedef struct AwPictureDescription {
    AwBitmapInfoHeader header;
    uint8_t colour[4];
} AwPictureDescription;
#pragma pack(pop)

/* The row size above: the bytes of one row of a 24-bit picture `width` pixels wide, padding included. */
static inline size_t AwRowSize24(size_t width) {
    return (3 * width + 3) / 4 * 4;
}

/* The number of description bytes that a module may read for this header: at least 44. */
static inline uint32_t AwDescriptionRoom(const AwBitmapInfoHeader* header) {
    uint32_t room = header->biSize;
    if (header->biSize == 40 && header->biCompression == 3)
        room += 12;
    if (header->biBitCount <= 8)
        room += 4u << header->biBitCount;
    return room < 44 ? 44 : room;
}

/* Whether a run-length bitmap of width x height pixels may be coded in `bytes` bytes (see above). */
static inline int AwRunLengthPlausible(long long width, long long height, unsigned long long bytes) {
    return width > 0 && height > 0 && width * height <= (long long)bytes * AW_RLE_MAX_PIXELS_PER_BYTE;
}

/* Image module (file name: string 412).
 * DllEncodeJPEG: a complete baseline JPEG file (4:2:0) of the picture at `quality` (1..100), from a 24-bit
 *   picture or from a bitmap as stored (1, 4, 8, 16, 24, 32 bits; compression 0..3; either row order);
 *   *size gets its length. NULL on failure.
 * DllDecodeJPEG: baseline or progressive; grey, YCbCr, RGB, CMYK or YCCK (Adobe-inverted CMYK included).
 *   Gives the pixels and fills the 44-byte description (24 bits, bottom-up, biSizeImage = buffer size).
 *   NULL for data that is not a JPEG, declares a size beyond the limits, is too short to code the blocks
 *   it declares, or has a scan cut short (its data ends, or a marker comes, before its last block): the
 *   rest would be made-up grey. A picture lacking only its end marker is complete and decodes, and so
 *   does data with only minor damage (stray bytes between segments). The result depends on the bytes
 *   alone: no uninitialised memory reaches it.
 * DllConvertTo24BitDIB: any accepted bitmap into the caller's 24-bit buffers, which hold
 *   row size * |biHeight| bytes for the source's biWidth.
 * DllResizeBySizeDIB: any accepted bitmap scaled to exactly width x height (area averaging when
 *   shrinking, linear when enlarging) into the caller's 24-bit buffers of that size.
 * DllResizeByPercentDIB: the same with width = max(1, biWidth * percent / 100) and height likewise
 *   (integer division), percent 1..1000. */
typedef void* (*AwEncodeJpegFn)(const void* description, const void* pixels, int quality, uint32_t* size);
typedef void* (*AwDecodeJpegFn)(const void* bytes, uint32_t count, void* descriptionOut);
typedef int (*AwConvertTo24BitFn)(const void* description, const void* pixels, void* descriptionOut,
                                  void* pixelsOut);
typedef int (*AwResizeByPercentFn)(const void* description, const void* pixels, int percent,
                                   void* descriptionOut, void* pixelsOut);
typedef int (*AwResizeBySizeFn)(const void* description, const void* pixels, int width, int height,
                                void* descriptionOut, void* pixelsOut);
/* Optional eighth entry point of the image module, found by the name below; callers must cope with its
 * absence. Decodes a JPEG at the smallest of the codec's scaling factors (1/8, 1/4, 3/8, ... 7/8, 1) whose
 * output is still at least minWidth x minHeight, each side scaled as ceil(side * factor); at full size
 * when no smaller factor fits or either minimum is 0 or less. Otherwise exactly like DllDecodeJPEG (same
 * failures, same limits checked on the stored size). The description gets the scaled size; fullWidth and
 * fullHeight (either may be NULL) get the size stored in the file. */
#define AW_DECODE_JPEG_SCALED_NAME "DllDecodeJPEGScaled"
typedef void* (*AwDecodeJpegScaledFn)(const void* bytes, uint32_t count, int minWidth, int minHeight,
                                      void* descriptionOut, int* fullWidth, int* fullHeight);

/* Optional entry point of the image module, found by the name below; callers must cope with its absence.
 * Decodes the still pictures of today's formats, recognised by their bytes: PNG (any depth, palette,
 * interlaced), GIF and WebP (the first frame of an animation), HEIF/HEIC (the primary picture, turned and
 * mirrored as the file declares). Transparency is laid on white; a picture with an RGB ICC profile is
 * converted to sRGB. Gives the pixels and fills the description like DllDecodeJPEG, under the same
 * limits, judged on the sizes the file declares. With minWidth and minHeight above 0 a preview stored in
 * the file (a HEIF thumbnail) of the same shape and at least that large may stand in; fullWidth and
 * fullHeight (either may be NULL) get the picture's own size as shown. NULL for anything else. */
#define AW_DECODE_PICTURE_NAME "DllDecodePicture"
typedef void* (*AwDecodePictureFn)(const void* bytes, uint32_t count, int minWidth, int minHeight,
                                   void* descriptionOut, int* fullWidth, int* fullHeight);

/* Optional entry point of the image module, found by the name below; callers must cope with its absence.
 * From the first `count` bytes of a file of `fileSize` bytes (its head, or all of it): the most memory that
 * DllDecodePicture holds at once for the whole file with the same minimum, judged from the sizes its headers
 * declare (the codec's buffers, RGBA canvases and frames, and the picture handed over). False when these
 * bytes do not tell (a header beyond them, or no picture of a kind the module decodes). */
#define AW_PICTURE_NEEDS_NAME "DllPictureNeeds"
typedef int (*AwPictureNeedsFn)(const void* bytes, uint32_t count, uint64_t fileSize, int minWidth,
                                int minHeight, uint64_t* needed);

/* Optional entry point of the image module, found by the name below; callers must cope with its absence.
 * Why the calling thread's last failed call into the image module failed, as errno tells it for system
 * calls: read it on that thread, before it calls the module again. 0 before any failure. */
#define AW_FAILURE_DAMAGED 1              /* data of no known kind, damaged, or any other failure */
#define AW_FAILURE_TOO_LARGE 2            /* a declared size beyond the limits, or no memory for it */
#define AW_FAILURE_LARGER_THAN_DECLARED 3 /* the picture's data is far larger than the size it declares */
#define AW_LAST_FAILURE_NAME "DllLastFailure"
typedef int (*AwLastFailureFn)(void);

/* Optional entry point of the image module, found by the name below; callers must cope with its absence.
 * A copy of a PNG, GIF or WebP picture (recognised by its bytes) for a page, in its own format and without
 * metadata. When neither side of the picture exceeds maxSide: the file's own picture data (every frame of
 * an animation, its colour profile) with every chunk or block left out that showing it does not need (PNG:
 * text, dates, EXIF, physical size, private chunks; GIF: comments, plain text and application blocks but
 * the loop count; WebP: EXIF, XMP and unknown chunks, the extended header's flags set to match). Otherwise
 * the picture shrunk to fit maxSide x maxSide by area averaging, colours converted to sRGB, encoded anew:
 * PNG with alpha when it has any; WebP lossless when the file was, else at `quality` (1..100); GIF in at
 * most 256 colours, one of them transparent when the picture has any. An animation that must shrink
 * becomes its first frame, still. *size gets the copy's length, *width and *height its size as shown (no
 * argument may be NULL). Limits as for DllDecodePicture. NULL for anything else. */
#define AW_MAKE_DISPLAY_PICTURE_NAME "DllMakeDisplayPicture"
typedef void* (*AwMakeDisplayPictureFn)(const void* bytes, uint32_t count, int maxSide, int quality,
                                        uint32_t* size, int* width, int* height);

/* Video module (file name: string 413). Paths are local file paths, never URLs; only .asf, .avi,
 * .mov/.mp4/.3gp, Matroska/WebM, MPEG program/transport and elementary streams are opened. Both calls decode
 * the first decodable video frame and agree on its size: the display size, i.e. the stored width times the
 * sample aspect ratio (rounded), and the stored height. GetFrameSize: that size; false (and width/height
 * untouched) on failure. GetFirstFrameDIB_RGB24: the frame at that size as 24-bit bottom-up rows into
 * pixelsOut, whose capacity *bufferSize states (left unchanged); false when it is too small or the frame
 * cannot be read. */
/* Optional entry point of the video module, found by the name below: what the movie holds, for judging
 * whether a browser can play it. Each text is NUL-terminated (cut to fit): the container as the demuxer
 * names it (for example "mov,mp4,m4a,3gp,3g2,mj2" or "matroska,webm"), and the codec of the first video and
 * of the first audio stream (for example "h264", "vp9", "aac"; "" when there is none). False when the
 * file cannot be opened under the module's rules. */
typedef struct AwMovieFacts {
    char container[64];
    char videoCodec[32];
    char audioCodec[32];
} AwMovieFacts;
#define AW_GET_MOVIE_FACTS_NAME "GetMovieFacts"
typedef int (*AwGetMovieFactsFn)(const char* path, AwMovieFacts* facts);

/* Optional entry point of the video module, found by the name below: what GetMovieFacts gives, of movies
 * and of sound files (MP3, WAV, AAC, Ogg, FLAC, WMA, M4A), and more, read from the container without
 * decoding. False when the file cannot be opened under the module's rules. Texts as in AwMovieFacts.
 *  - pixelFormat: the video's as FFmpeg names it ("yuv420p", "yuv420p10le"); "" when unknown or no video.
 *  - quarterTurns: 0..3, the clockwise turn the video is shown with (its display matrix), as GetFrameSize
 *    applies it; displayWidth/Height: the shown size (stored width times the aspect ratio, then turned),
 *    0 when unknown. GetFrameSize stays the authority for the first frame's size.
 *  - durationMicroseconds: 0 when unknown.
 *  - creationMicroseconds: an absolute instant (microseconds since 1970-01-01 UTC) from the container's
 *    creation time, else the video stream's, else a phone's local creation date with its offset; only when
 *    hasCreationTime.
 *  - hasLocation: the metadata holds a place (QuickTime's location, 3GP's loci, Apple's ISO 6709 key);
 *    hasOwner: an author or owner name; hasSerial: a field named as a serial number. */
typedef struct AwMovieDetails {
    AwMovieFacts facts;
    char pixelFormat[32];
    int32_t quarterTurns;
    int32_t displayWidth;
    int32_t displayHeight;
    int32_t hasCreationTime;
    int64_t durationMicroseconds;
    int64_t creationMicroseconds;
    int32_t hasLocation;
    int32_t hasOwner;
    int32_t hasSerial;
    int32_t reserved;
} AwMovieDetails;
#define AW_GET_MOVIE_DETAILS_NAME "GetMovieDetails"
typedef int (*AwGetMovieDetailsFn)(const char* path, AwMovieDetails* details);

/* Optional entry point of the video module, found by the name below: writes a copy of the movie or sound
 * at `path` that browsers play, through `outputFd`: an empty regular file the caller created exclusively
 * (O_EXCL, so that no link is followed) and opened for reading and writing (an MP4's index is moved to
 * the front by reading back what was written), written from its start and never closed or removed by the
 * module. Modes:
 *   AW_COPY_REMUX   H.264 video copied packet for packet into MP4; sound copied when AAC or MP3, else AAC
 *                   (H.264 with reordered frames from AVI, which keeps no presentation times, is encoded)
 *   AW_COPY_ENCODE  video encoded to H.264 (x264, veryfast, CRF 23, 8-bit 4:2:0, the shorter side at most
 *                   1,080 pixels, never enlarged) into MP4; sound as for REMUX
 *   AW_COPY_SOUND   the first sound stream as AAC (128 kbit/s) in MP4, for an .m4a
 *   AW_COPY_CLEAN   the first video and sound streams copied as they are into a container of the source's
 *                   family (MP4, WebM/Matroska, Ogg, MP3, WAV, FLAC, ADTS)
 * Every copy starts at time 0, has "fast start" in MP4, keeps the video's turn as its display matrix, and
 * carries none of the source's metadata (no location, dates, names, chapters, cover pictures, other
 * streams); the same source and mode give the same bytes. `progress` (may be NULL) is called with the
 * fraction of the duration done (0..1, never falling) at least once per packet read or written, on the
 * calling thread; a non-zero result stops the copy within that packet. Returns AW_COPY_WRITTEN,
 * AW_COPY_STOPPED, or AW_COPY_FAILED with `outcome` (may be NULL) telling why: FFmpeg's text, and the errno
 * of a write to the copy that failed (0 otherwise). After STOPPED or FAILED the file may hold a part copy:
 * the caller removes it. */
#define AW_COPY_REMUX 1
#define AW_COPY_ENCODE 2
#define AW_COPY_SOUND 3
#define AW_COPY_CLEAN 4
#define AW_COPY_FAILED 0
#define AW_COPY_WRITTEN 1
#define AW_COPY_STOPPED 2
typedef struct AwCopyOutcome {
    char message[256];
    int32_t writeError;
} AwCopyOutcome;
typedef int (*AwCopyProgressFn)(void* context, double fraction);
#define AW_MAKE_PLAYABLE_COPY_NAME "MakePlayableCopy"
typedef int (*AwMakePlayableCopyFn)(const char* path, int outputFd, int mode, AwCopyProgressFn progress,
                                    void* context, AwCopyOutcome* outcome);

typedef int (*AwGetFrameSizeFn)(const char* path, int* width, int* height);
typedef int (*AwGetFirstFrameFn)(const char* path, void* descriptionOut, void* pixelsOut,
                                 uint32_t* bufferSize);

#ifdef __cplusplus
}
#endif

#endif
