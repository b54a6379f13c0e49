// SPDX-License-Identifier: MIT
#include "album/exiforientation.h"

#include <cstring>
#include <memory>

extern "C" {
#include <libexif/exif-data.h>
}

#include "imaging/imagingabi.h"
#include "metadata/jpegsegments.h"

namespace aw {
namespace {

struct ExifDataDeleter {
    void operator()(ExifData* data) const noexcept { exif_data_unref(data); }
};
using ExifDataPtr = std::unique_ptr<ExifData, ExifDataDeleter>;

constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};
constexpr uint8_t kApp1 = 0xE1;

// Finds the payload of the first APP1 segment that starts with the EXIF header; libexif then sees only
// that block.
bool FindExifBlock(const uint8_t* jpeg, std::size_t size, const uint8_t*& block, std::size_t& blockSize) {
    return VisitJpegSegments(jpeg, size, [&](uint8_t marker, const uint8_t* payload, std::size_t length) {
        if (marker != kApp1 || length < sizeof kExifHeader ||
            std::memcmp(payload, kExifHeader, sizeof kExifHeader) != 0)
            return false;
        block = payload;
        blockSize = length;
        return true;
    });
}

} // namespace

int ReadExifOrientation(const uint8_t* jpeg, std::size_t size) {
    const uint8_t* block = nullptr;
    std::size_t blockSize = 0;
    if (jpeg == nullptr || !FindExifBlock(jpeg, size, block, blockSize))
        return 1;
    ExifDataPtr data(exif_data_new());
    if (!data)
        return 1;
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION); // read, never repair
    exif_data_load_data(data.get(), block, static_cast<unsigned int>(blockSize));
    ExifEntry* entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry == nullptr || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 ||
        entry->data == nullptr || entry->size < 2)
        return 1;
    const int value = exif_get_short(entry->data, exif_data_get_byte_order(data.get()));
    return (value >= 1 && value <= 8) ? value : 1;
}

void ReorientRgb24(const uint8_t* in, int width, int height, int orientation, uint8_t* out) {
    const bool swap = OrientationSwapsAxes(orientation);
    const int outWidth = swap ? height : width;
    const int outHeight = swap ? width : height;
    const std::size_t inRow = AwRowSize24(static_cast<std::size_t>(width));
    const std::size_t outRow = AwRowSize24(static_cast<std::size_t>(outWidth));
    for (int y = 0; y < outHeight; ++y) { // y, x: top-down display coordinates of the result
        uint8_t* dst = out + static_cast<std::size_t>(outHeight - 1 - y) * outRow;
        std::memset(dst + 3 * static_cast<std::size_t>(outWidth), 0,
                    outRow - 3 * static_cast<std::size_t>(outWidth));
        for (int x = 0; x < outWidth; ++x) {
            int sx = x;
            int sy = y;
            switch (orientation) {
            case 2:
                sx = width - 1 - x;
                break;
            case 3:
                sx = width - 1 - x;
                sy = height - 1 - y;
                break;
            case 4:
                sy = height - 1 - y;
                break;
            case 5:
                sx = y;
                sy = x;
                break;
            case 6:
                sx = y;
                sy = height - 1 - x;
                break;
            case 7:
                sx = width - 1 - y;
                sy = height - 1 - x;
                break;
            case 8:
                sx = width - 1 - y;
                sy = x;
                break;
            default:
                break;
            }
            const uint8_t* src =
                in + static_cast<std::size_t>(height - 1 - sy) * inRow + 3 * static_cast<std::size_t>(sx);
            std::memcpy(dst + 3 * static_cast<std::size_t>(x), src, 3);
        }
    }
}

} // namespace aw
