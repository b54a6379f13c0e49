// SPDX-License-Identifier: MIT
#include "metadata/caption.h"

#include <cstdint>
#include <vector>

#include "platform/asciicase.h"
#include "platform/filebytes.h"
#include "platform/regularfile.h"

namespace aw {
namespace {

// Filled in by cameras and programs rather than by a person (compared without case, after trimming).
constexpr std::string_view kBoilerplate[] = {
    "OLYMPUS DIGITAL CAMERA",
    "SONY DSC",
    "KODAK Digital Still Camera",
    "MINOLTA DIGITAL CAMERA",
    "SAMSUNG CAMERA PICTURES",
    "DIGITAL CAMERA",
    "Exif_JPEG_PICTURE",
    "Exif JPEG",
    "Created with GIMP",
    "LEAD Technologies Inc. V1.01",
    "default",
    "untitled",
    "image",
    "picture",
    "DSC",
    "DCF",
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f' || c == '\0';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Latin1ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            out += c;
        } else {
            out += static_cast<char>(0xC0 | byte >> 6);
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

bool IsBoilerplate(std::string_view text, std::string_view make, std::string_view model) {
    for (const std::string_view known : kBoilerplate)
        if (EqualsIgnoringAsciiCase(text, known))
            return true;
    if (text.size() >= 4 && EqualsIgnoringAsciiCase(text.substr(0, 4), "DCIM"))
        return true;
    make = Trim(make);
    model = Trim(model);
    return (!make.empty() && EqualsIgnoringAsciiCase(text, make)) ||
           (!model.empty() && EqualsIgnoringAsciiCase(text, model)) ||
           (!make.empty() && !model.empty() && text.size() == make.size() + 1 + model.size() &&
            EqualsIgnoringAsciiCase(text.substr(0, make.size()), make) &&
            EqualsIgnoringAsciiCase(text.substr(make.size() + 1), model));
}

} // namespace

bool IsUtf8(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (extra > text.size() - i - 1)
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = code << 6 | (next & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
        if ((extra == 2 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (extra == 3 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string CaptionFromText(std::string_view raw, std::string_view make, std::string_view model) {
    const std::string_view text = Trim(raw);
    if (text.empty() || IsBoilerplate(text, make, model))
        return {};
    return IsUtf8(text) ? std::string(text) : Latin1ToUtf8(text);
}

std::string ReadSidecarCaption(const std::string& mediaPath) {
    const std::size_t slash = mediaPath.rfind('/');
    const std::size_t dot = mediaPath.rfind('.');
    const std::string base = dot == std::string::npos || (slash != std::string::npos && dot < slash)
                                 ? mediaPath
                                 : mediaPath.substr(0, dot);
    // Every case of "txt", the usual ones first; a file system without case finds the same file each time.
    static constexpr const char* kExtensions[] = {".txt", ".TXT", ".Txt", ".tXT",
                                                  ".tXt", ".TxT", ".txT", ".TXt"};
    for (const char* extension : kExtensions) {
        const OpenedFile file = OpenRegularFile(base + extension);
        if (file.error != 0)
            continue;
        std::vector<uint8_t> bytes;
        // A longer file is notes of another kind, not a caption.
        if (ReadFileBytes(file.fd.get(), bytes, kSidecarLimit) != 0)
            return {};
        std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (text.substr(0, 3) == "\xEF\xBB\xBF")
            text.remove_prefix(3);
        text = Trim(text);
        return IsUtf8(text) ? std::string(text) : std::string();
    }
    return {};
}

} // namespace aw
