// SPDX-License-Identifier: MIT
#include "colourprofile.h"

#include <memory>

#include <lcms2.h>

namespace aw::imaging {
namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
struct TransformDeleter {
    void operator()(void* transform) const { cmsDeleteTransform(transform); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;
using Transform = std::unique_ptr<void, TransformDeleter>;

// A transform from the profile to sRGB for pixels of `format`; null when the profile cannot serve.
Transform ToSrgb(const std::vector<uint8_t>& icc, cmsUInt32Number format, cmsUInt32Number flags) {
    if (icc.empty() || icc.size() > UINT32_MAX)
        return nullptr;
    const Profile source(cmsOpenProfileFromMem(icc.data(), static_cast<cmsUInt32Number>(icc.size())));
    if (!source || cmsGetColorSpace(source.get()) != cmsSigRgbData)
        return nullptr;
    const Profile srgb(cmsCreate_sRGBProfile());
    if (!srgb)
        return nullptr;
    return Transform(cmsCreateTransform(source.get(), format, srgb.get(), format, INTENT_PERCEPTUAL, flags));
}

} // namespace

bool ColourProfile::ConvertToSrgb(RgbRows& rows) {
    const bool alpha = rows.channels == 4;
    const Transform transform =
        ToSrgb(rows.icc, alpha ? TYPE_RGBA_8 : TYPE_RGB_8, alpha ? cmsFLAGS_COPY_ALPHA : 0);
    if (!transform)
        return false;
    for (int y = 0; y < rows.height; ++y)
        cmsDoTransform(transform.get(), rows.Row(y), rows.Row(y), static_cast<cmsUInt32Number>(rows.width));
    return true;
}

bool ColourProfile::ConvertToSrgb(const std::vector<uint8_t>& icc, BgrCanvas canvas) {
    const Transform transform = ToSrgb(icc, TYPE_BGR_8, 0);
    if (!transform)
        return false;
    for (int y = 0; y < canvas.height; ++y)
        cmsDoTransform(transform.get(), canvas.RowFromBottom(y), canvas.RowFromBottom(y),
                       static_cast<cmsUInt32Number>(canvas.width));
    return true;
}

} // namespace aw::imaging
