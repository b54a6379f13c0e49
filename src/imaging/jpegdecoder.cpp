// SPDX-License-Identifier: MIT
#include "jpegdecoder.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

extern "C" {
#include <jerror.h>
#include <jpeglib.h>
}

#include "colourprofile.h"
#include "imagingerror.h"

namespace aw::imaging {
namespace {

// Limits the work a hostile progressive file can cause (thousands of scans).
constexpr int kMaxScans = 500;
constexpr int kScaleDenominator = 8; // the codec scales by n/8, n = 1..8
const JOCTET kEndMarker[] = {0xFF, JPEG_EOI};

// Everything one decode needs. It lives on the heap and the frame that calls setjmp holds only its address,
// so nothing that frame owns changes between setjmp and a longjmp from the codec.
struct JpegSession {
    jpeg_decompress_struct info{};
    jpeg_error_mgr errors{};
    jpeg_source_mgr source{};
    jpeg_progress_mgr progress{};
    std::jmp_buf escape{};
    std::string failure;
    const uint8_t* bytes = nullptr;
    std::size_t count = 0;
    bool ranOut = false; // the codec asked for more than the data holds
    bool created = false;
    std::vector<JSAMPLE> samples; // one output row as the codec gives it
    std::vector<uint8_t> icc;     // the picture's colour profile, when it carries one

    JpegSession() = default;
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;
    ~JpegSession() {
        if (created)
            jpeg_destroy_decompress(&info);
    }
};

JpegSession& SessionOf(j_common_ptr info) {
    return *static_cast<JpegSession*>(info->client_data);
}

// Nothing with a destructor may be alive in these frames when they jump: the text is built and stored first.
[[noreturn]] void Escape(j_common_ptr info, const char* prefix) {
    JpegSession& session = SessionOf(info);
    char text[JMSG_LENGTH_MAX] = {};
    (*info->err->format_message)(info, text);
    session.failure.assign(prefix).append(text);
    std::longjmp(session.escape, 1);
}

void ErrorExit(j_common_ptr info) {
    Escape(info, "JPEG decoding failed: ");
}

// Warnings still give a picture and are tolerated (camera files often carry a few stray bytes), except a
// scan whose data ends, or meets a marker, before its last block: the rest would be made-up grey.
void EmitMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_HIT_MARKER)
        Escape(info, "JPEG scan cut short: ");
}

void QuietMessage(j_common_ptr) {}

void ProgressMonitor(j_common_ptr info) {
    if (info->is_decompressor && reinterpret_cast<j_decompress_ptr>(info)->input_scan_number > kMaxScans) {
        SessionOf(info).failure = "JPEG with more than " + std::to_string(kMaxScans) + " scans";
        std::longjmp(SessionOf(info).escape, 1);
    }
}

// The whole file is in memory from the start; past its end the codec finds an end marker, quietly, so that a
// picture lacking only that marker is complete. A scan that needed more data still hits that marker mid-way.
void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInput(j_decompress_ptr info) {
    SessionOf(reinterpret_cast<j_common_ptr>(info)).ranOut = true;
    info->src->next_input_byte = kEndMarker;
    info->src->bytes_in_buffer = sizeof kEndMarker;
    return TRUE;
}

void SkipInput(j_decompress_ptr info, long count) {
    if (count <= 0)
        return;
    if (static_cast<unsigned long>(count) >= info->src->bytes_in_buffer) {
        FillInput(info);
        return;
    }
    info->src->next_input_byte += count;
    info->src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

std::unique_ptr<JpegSession> MakeSession(const uint8_t* bytes, std::size_t count) {
    auto session = std::make_unique<JpegSession>();
    jpeg_decompress_struct& info = session->info;
    info.err = jpeg_std_error(&session->errors);
    session->errors.error_exit = ErrorExit;
    session->errors.emit_message = EmitMessage;
    session->errors.output_message = QuietMessage;
    info.client_data = session.get();
    session->bytes = bytes;
    session->count = count;
    session->source.next_input_byte = bytes;
    session->source.bytes_in_buffer = count;
    session->source.init_source = InitSource;
    session->source.fill_input_buffer = FillInput;
    session->source.skip_input_data = SkipInput;
    session->source.resync_to_restart = jpeg_resync_to_restart;
    session->source.term_source = TermSource;
    session->progress.progress_monitor = ProgressMonitor;
    return session;
}

// Huffman coding spends at least one bit on every block of a component in the first scan that carries it,
// so data shorter than the blocks of its smallest component cannot be a whole picture, whatever it holds.
// Arithmetic coding may spend less than a bit per block: not judged here.
void CheckCodedBlocks(const jpeg_decompress_struct& info, std::size_t count) {
    if (info.arith_code)
        return;
    unsigned long long fewest = ~0ULL;
    for (int c = 0; c < info.num_components; ++c)
        fewest = std::min<unsigned long long>(
            fewest, static_cast<unsigned long long>(info.comp_info[c].width_in_blocks) *
                        info.comp_info[c].height_in_blocks);
    if (static_cast<unsigned long long>(count) * 8 < fewest)
        throw ImagingError("JPEG data of " + std::to_string(count) + " bytes is too short for " +
                           std::to_string(info.image_width) + "x" + std::to_string(info.image_height));
}

J_COLOR_SPACE OutputSpace(J_COLOR_SPACE stored) {
    switch (stored) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
        return stored; // YCbCr is turned into BGR here (see YccToBgr)
    case JCS_RGB:
        return JCS_EXT_BGR;
    case JCS_CMYK:
    case JCS_YCCK:
        return JCS_CMYK;
    default:
        throw ImagingError("unsupported JPEG colour space " + std::to_string(stored));
    }
}

uint8_t Clamp(int value) {
    return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

// The JFIF conversion in the codec's own fixed-point arithmetic (16 fraction bits, rounded), done here so
// that only defined samples reach the picture: the codec's vector routines for it read past the row end.
struct YccTables {
    std::array<int, 256> crToR{}, cbToB{}, crToG{}, cbToG{};

    YccTables() {
        constexpr int kBits = 16;
        constexpr long kHalf = 1L << (kBits - 1);
        const auto fix = [](double x) { return static_cast<long>(x * (1L << kBits) + 0.5); };
        for (int i = 0; i < 256; ++i) {
            const long x = i - 128;
            crToR[i] = static_cast<int>((fix(1.40200) * x + kHalf) >> kBits);
            cbToB[i] = static_cast<int>((fix(1.77200) * x + kHalf) >> kBits);
            crToG[i] = static_cast<int>(-fix(0.71414) * x);
            cbToG[i] = static_cast<int>(-fix(0.34414) * x + kHalf);
        }
    }
};

void YccToBgr(const JSAMPLE* in, int width, uint8_t* out) {
    static const YccTables tables;
    for (int x = 0; x < width; ++x, in += 3, out += 3) {
        const int y = in[0], cb = in[1], cr = in[2];
        out[0] = Clamp(y + tables.cbToB[cb]);
        out[1] = Clamp(y + ((tables.cbToG[cb] + tables.crToG[cr]) >> 16));
        out[2] = Clamp(y + tables.crToR[cr]);
    }
}

// Adobe's writers store CMYK inverted (0 = full ink) and say so with an APP14 "Adobe" segment; the codec
// does not undo that.
void CmykToBgr(const JSAMPLE* in, int width, bool inverted, uint8_t* out) {
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        unsigned c = in[0], m = in[1], ye = in[2], k = in[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            ye = 255 - ye;
            k = 255 - k;
        }
        // Now every value is the light left over (255 = no ink).
        out[0] = static_cast<uint8_t>((ye * k + 127) / 255);
        out[1] = static_cast<uint8_t>((m * k + 127) / 255);
        out[2] = static_cast<uint8_t>((c * k + 127) / 255);
    }
}

void ConvertRow(const jpeg_decompress_struct& info, const JSAMPLE* in, uint8_t* out) {
    const int width = static_cast<int>(info.output_width);
    switch (info.out_color_space) {
    case JCS_GRAYSCALE:
        for (int x = 0; x < width; ++x)
            std::memset(out + 3 * x, in[x], 3);
        break;
    case JCS_YCbCr:
        YccToBgr(in, width, out);
        break;
    case JCS_EXT_BGR:
        std::memcpy(out, in, static_cast<std::size_t>(width) * 3);
        break;
    default:
        CmykToBgr(in, width, info.saw_Adobe_marker, out);
        break;
    }
}

// Every call into the codec happens in this frame (or one it calls), after setjmp; its locals are plain
// values, so a longjmp back here skips no destructor.
void RunDecode(JpegSession& session, const JpegDecodeRequest& request, DecodedJpeg& decoded) {
    if (setjmp(session.escape) != 0)
        throw ImagingError(session.failure);
    jpeg_decompress_struct& info = session.info;
    session.created = true;        // destroying a struct whose creation failed is harmless
    jpeg_create_decompress(&info); // keeps the error manager and client data set before
    info.src = &session.source;
    info.progress = &session.progress;
    jpeg_save_markers(&info, JPEG_APP0 + 2, 0xFFFF); // the ICC profile's segments
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK)
        throw ImagingError("JPEG tables without a picture");
    JOCTET* profile = nullptr;
    unsigned profileSize = 0;
    if (jpeg_read_icc_profile(&info, &profile, &profileSize) && profile != nullptr) {
        session.icc.assign(profile, profile + profileSize);
        std::free(profile);
    }
    CheckDimensions(info.image_width, info.image_height);
    CheckCodedBlocks(info, session.count);

    const int width = static_cast<int>(info.image_width), height = static_cast<int>(info.image_height);
    int num = 1, denom = 1;
    JpegDecoder::ChooseScale(width, height, request, num, denom);
    info.scale_num = static_cast<unsigned>(num);
    info.scale_denom = static_cast<unsigned>(denom);
    info.dct_method = JDCT_ISLOW;
    info.out_color_space = OutputSpace(info.jpeg_color_space);
    jpeg_start_decompress(&info);

    const int outWidth = static_cast<int>(info.output_width),
              outHeight = static_cast<int>(info.output_height);
    if (outWidth != JpegDecoder::Scaled(width, num, denom) ||
        outHeight != JpegDecoder::Scaled(height, num, denom))
        throw ImagingError("unexpected scaled JPEG size");
    decoded.fullWidth = width;
    decoded.fullHeight = height;
    decoded.image = BgrImage::Make(outWidth, outHeight);
    session.samples.assign(
        static_cast<std::size_t>(outWidth) * static_cast<std::size_t>(info.output_components), 0);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW row = session.samples.data();
        if (jpeg_read_scanlines(&info, &row, 1) != 1)
            throw ImagingError("JPEG rows missing");
        ConvertRow(info, session.samples.data(), decoded.image.RowFromTop(y));
    }
    jpeg_finish_decompress(&info);
    // Arithmetic coding takes a marker inside a scan as legal, so only running out of data tells a cut.
    if (info.arith_code && session.ranOut)
        throw ImagingError("arithmetic-coded JPEG data ends before its end marker");
}

} // namespace

int JpegDecoder::Scaled(int side, int num, int denom) {
    return static_cast<int>((static_cast<long long>(side) * num + denom - 1) / denom);
}

void JpegDecoder::ChooseScale(int width, int height, const JpegDecodeRequest& request, int& num, int& denom) {
    num = 1;
    denom = 1;
    if (request.minWidth <= 0 || request.minHeight <= 0)
        return;
    for (int n = kScaleDenominator - 1; n >= 1; --n) {
        if (Scaled(width, n, kScaleDenominator) < request.minWidth ||
            Scaled(height, n, kScaleDenominator) < request.minHeight)
            break;
        num = n;
        denom = kScaleDenominator;
    }
}

DecodedJpeg JpegDecoder::Decode(const uint8_t* bytes, std::size_t count, const JpegDecodeRequest& request) {
    if (!bytes || count < 4)
        throw ImagingError("no JPEG data");
    const std::unique_ptr<JpegSession> session = MakeSession(bytes, count);
    DecodedJpeg decoded;
    RunDecode(*session, request, decoded);
    // A wide-gamut photo (Display P3 from a phone) keeps its colours in the thumbnail shown in sRGB.
    ColourProfile::ConvertToSrgb(session->icc, decoded.image.Canvas());
    return decoded;
}

} // namespace aw::imaging
