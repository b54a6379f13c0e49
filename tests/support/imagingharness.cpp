// SPDX-License-Identifier: MIT
#include "support/imagingharness.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace aw::test {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoEnd = kFileHeaderSize + sizeof(AwBitmapInfoHeader);
constexpr uint32_t kLargestHeader = 1064;
// Pictures above this are only scaled, and only when beyond the modules' limits (refused at once): the
// fuzzer stays fast.
constexpr int64_t kHarnessPixelBudget = 1 << 14;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

} // namespace

std::optional<BitmapForModule> SplitBitmapForModule(const uint8_t* bytes, std::size_t size) {
    if (size <= kInfoEnd)
        return std::nullopt;
    uint32_t offset;
    std::memcpy(&offset, bytes + 10, sizeof offset);
    const std::size_t pixelStart = std::clamp<std::size_t>(offset, kInfoEnd, size - 1);
    AwBitmapInfoHeader header;
    std::memcpy(&header, bytes + kFileHeaderSize, sizeof header);

    BitmapForModule bitmap;
    const std::size_t stored = pixelStart - kFileHeaderSize;
    // A header size the modules refuse is refused after its first 40 bytes: give only what is stored.
    const std::size_t room =
        header.biSize <= kLargestHeader ? AwDescriptionRoom(&header) : sizeof(AwPictureDescription);
    bitmap.description.assign(std::max(stored, room), 0);
    std::memcpy(bitmap.description.data(), bytes + kFileHeaderSize, stored);
    bitmap.pixels.assign(bytes + pixelStart, bytes + size);
    header.biSizeImage = static_cast<uint32_t>(bitmap.pixels.size());
    std::memcpy(bitmap.description.data(), &header, sizeof header);
    return bitmap;
}

std::vector<uint8_t> BitmapFile(uint32_t width, uint32_t height, uint32_t bits, uint32_t compression,
                                const std::vector<uint32_t>& colours, const std::vector<uint8_t>& pixels,
                                uint32_t infoSize) {
    const auto count = static_cast<uint32_t>(colours.size()), size = static_cast<uint32_t>(pixels.size());
    const uint32_t offset = 14 + infoSize + (infoSize == 40 && compression == 3 ? 12 : 0) + 4 * count;
    const uint32_t fields[] = {0x4D42, offset + size, 0,           offset, infoSize, width, height,
                               1,      bits,          compression, 0,      0,        0,     count};
    std::vector<uint8_t> file;
    for (std::size_t f = 0; f < std::size(fields); ++f) // two-byte signature, planes and bits
        for (uint32_t i = 0; i < (f == 0 || f == 7 || f == 8 ? 2u : 4u); ++i)
            file.push_back(static_cast<uint8_t>(fields[f] >> 8 * i));
    file.resize(offset - 4 * count);
    for (const uint32_t colour : colours)
        for (int i = 0; i < 4; ++i)
            file.push_back(static_cast<uint8_t>(colour >> 8 * i));
    file.insert(file.end(), pixels.begin(), pixels.end());
    return file;
}

std::vector<uint8_t> FlatGreyJpeg(int width, int height, bool progressive, std::size_t scanBytes) {
    using Bytes = std::vector<uint8_t>;
    const auto segment = [](uint8_t marker, const Bytes& payload) {
        const std::size_t length = payload.size() + 2;
        Bytes bytes = {0xFF, marker, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length)};
        bytes.insert(bytes.end(), payload.begin(), payload.end());
        return bytes;
    };
    Bytes quantisation(65, 1);
    quantisation[0] = 0;
    const Bytes oneCode = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}; // one 1-bit code: symbol 0
    Bytes dcTable = {0x00}, acTable = {0x10};
    dcTable.insert(dcTable.end(), oneCode.begin(), oneCode.end());
    acTable.insert(acTable.end(), oneCode.begin(), oneCode.end());
    const auto w = static_cast<uint16_t>(width), h = static_cast<uint16_t>(height);
    Bytes jpeg = {0xFF, 0xD8};
    for (const Bytes& part : {segment(0xDB, quantisation),
                              segment(progressive ? 0xC2 : 0xC0,
                                      {8, static_cast<uint8_t>(h >> 8), static_cast<uint8_t>(h),
                                       static_cast<uint8_t>(w >> 8), static_cast<uint8_t>(w), 1, 1, 0x11, 0}),
                              segment(0xC4, dcTable), progressive ? Bytes() : segment(0xC4, acTable),
                              segment(0xDA, {1, 1, 0, 0, static_cast<uint8_t>(progressive ? 0 : 63), 0})})
        jpeg.insert(jpeg.end(), part.begin(), part.end());
    // Every code is a 0 bit; the last byte is filled up with 1 bits.
    const std::size_t bits =
        static_cast<std::size_t>((width + 7) / 8) * ((height + 7) / 8) * (progressive ? 1 : 2);
    Bytes scan((bits + 7) / 8, 0);
    if (bits % 8)
        scan.back() = static_cast<uint8_t>(0xFF >> (bits % 8));
    const bool whole = scanBytes >= scan.size();
    jpeg.insert(jpeg.end(), scan.begin(),
                scan.begin() + static_cast<std::ptrdiff_t>(std::min(scanBytes, scan.size())));
    if (whole)
        jpeg.insert(jpeg.end(), {0xFF, 0xD9});
    return jpeg;
}

int ExerciseBitmapBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size) {
    const std::optional<BitmapForModule> bitmap = SplitBitmapForModule(data, size);
    if (!bitmap)
        return 0;
    int outcome = 0;
    const void* description = bitmap->description.data();
    const void* pixels = bitmap->pixels.data();
    const int64_t width = bitmap->header().biWidth;
    const int64_t height = std::abs(static_cast<int64_t>(bitmap->header().biHeight));
    const bool modest = width > 0 && height > 0 && width * height <= kHarnessPixelBudget;
    if (!modest && width * height <= AW_MAX_PIXELS)
        return 0;
    if (modest) {
        std::vector<uint8_t> pixelsOut(PixelBytes(static_cast<int>(width), static_cast<int>(height)));
        AwPictureDescription out{};
        if (library.DllConvertTo24BitDIB(description, pixels, &out, pixelsOut.data())) {
            Require(out.header.biWidth == width && out.header.biHeight == height &&
                    out.header.biBitCount == 24);
            outcome |= Converted;
        }
        uint32_t jpegSize = 0;
        if (void* jpeg = library.DllEncodeJPEG(description, pixels, 80, &jpegSize)) {
            Require(jpegSize > 4 && static_cast<const uint8_t*>(jpeg)[0] == 0xFF);
            std::free(jpeg);
            outcome |= Encoded;
        }
    }
    std::vector<uint8_t> small(PixelBytes(16, 12));
    AwPictureDescription out{};
    if (library.DllResizeBySizeDIB(description, pixels, 16, 12, &out, small.data())) {
        Require(out.header.biWidth == 16 && out.header.biHeight == 12);
        outcome |= Resized;
    }
    return outcome;
}

int ExerciseJpegBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size) {
    if (size > UINT32_MAX)
        return 0;
    int outcome = 0;
    AwPictureDescription out{};
    if (void* pixels = library.DllDecodeJPEG(data, static_cast<uint32_t>(size), &out)) {
        Require(out.header.biWidth > 0 && out.header.biHeight > 0 &&
                out.header.biSizeImage == PixelBytes(out.header.biWidth, out.header.biHeight));
        std::free(pixels);
        outcome |= Decoded;
    }
    int fullWidth = 0, fullHeight = 0;
    if (!library.DllDecodeJPEGScaled)
        return outcome;
    if (void* pixels = library.DllDecodeJPEGScaled(data, static_cast<uint32_t>(size), 32, 32, &out,
                                                   &fullWidth, &fullHeight)) {
        Require(out.header.biWidth <= fullWidth && out.header.biHeight <= fullHeight);
        std::free(pixels);
        outcome |= DecodedScaled;
    }
    return outcome;
}

int ExercisePictureBytes(const ImagingLibrary& library, const uint8_t* data, std::size_t size) {
    if (size > UINT32_MAX || !library.DllDecodePicture)
        return 0;
    int outcome = 0;
    for (const int minimum : {0, 32, 1}) { // whole; a stored preview; shrunk while decoded
        AwPictureDescription out{};
        int fullWidth = 0, fullHeight = 0;
        void* pixels = library.DllDecodePicture(data, static_cast<uint32_t>(size), minimum, minimum, &out,
                                                &fullWidth, &fullHeight);
        if (!pixels)
            continue;
        Require(out.header.biWidth > 0 && out.header.biHeight > 0 && out.header.biBitCount == 24 &&
                out.header.biSizeImage == PixelBytes(out.header.biWidth, out.header.biHeight) &&
                static_cast<long long>(fullWidth) * fullHeight <= AW_MAX_PIXELS);
        std::free(pixels);
        if (minimum == 0)
            outcome |= DecodedPicture;
    }
    // The page's copy: the container walked and stripped (large side), or shrunk and encoded anew.
    for (const int side : {AW_MAX_DIMENSION, 8}) {
        if (!library.DllMakeDisplayPicture)
            break;
        uint32_t made = 0;
        int width = 0, height = 0;
        void* copy = library.DllMakeDisplayPicture(data, static_cast<uint32_t>(size), side, 85, &made, &width,
                                                   &height);
        if (!copy)
            continue;
        Require(made > 0 && width > 0 && height > 0 && width <= side && height <= side);
        std::free(copy);
        outcome |= MadeDisplayPicture;
    }
    // What a decode would hold, from all of the bytes and from their first half as a file's head.
    uint64_t needed = 0;
    if (library.DllPictureNeeds) {
        library.DllPictureNeeds(data, static_cast<uint32_t>(size), size, 32, 32, &needed);
        library.DllPictureNeeds(data, static_cast<uint32_t>(size / 2), size, 0, 0, &needed);
    }
    return outcome;
}

} // namespace aw::test
