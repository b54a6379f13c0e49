// SPDX-License-Identifier: MIT
#include "metadata/mediametadata.h"

#include <sys/stat.h>

#include "metadata/blockdecoder.h"
#include "metadata/caption.h"
#include "metadata/filewindow.h"
#include "metadata/metadatablocks.h"
#include "platform/regularfile.h"

namespace aw {

MediaMetadata ReadMediaMetadata(const std::string& path, const MovieClues* movie) {
    MediaMetadata result;
    const OpenedFile opened = OpenRegularFile(path);
    struct stat info {};
    if (opened.error != 0 || ::fstat(opened.fd.get(), &info) != 0)
        return result;
    FileWindow file(opened.fd.get());
    const MetadataBlocks blocks = CutMetadataBlocks(file, SniffContainer(file));
    DecodedBlocks decoded;
    for (const auto& exif : blocks.exif)
        DecodeExifBlock(exif.data(), exif.size(), decoded);
    for (const auto& xmp : blocks.xmp)
        DecodeXmpBlock(xmp, decoded);
    DecodePhotoshopBlock(blocks.photoshop.data(), blocks.photoshop.size(), decoded);

    for (const std::string* text :
         {&decoded.xmpDescription, &decoded.iptcCaption, &decoded.exifDescription}) {
        result.caption = CaptionFromText(*text, decoded.make, decoded.model);
        if (!result.caption.empty())
            break;
    }
    if (result.caption.empty())
        result.caption = ReadSidecarCaption(path);

    if (decoded.exifTaken)
        result.taken = *decoded.exifTaken;
    else if (decoded.xmpTaken)
        result.taken = *decoded.xmpTaken;
    else if (movie && movie->created)
        result.taken = *movie->created;
    else
        result.taken =
            TakenTime::FromUnixTime(info.st_mtim.tv_sec, info.st_mtim.tv_nsec, TakenTime::Source::FileTime);

    result.fields = decoded.fields;
    result.fields |= blocks.containerFields;
    if (movie)
        result.fields |= movie->fields;
    return result;
}

} // namespace aw
