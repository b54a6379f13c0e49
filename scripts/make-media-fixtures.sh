#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the small sample files of today's formats in tests/data/media from nothing: ImageMagick for the
# pictures, ffmpeg for the movies, and two helpers compiled here against lcms2 and libheif (a Display P3
# colour profile, and HEIC files that declare a rotation, which heif-enc cannot write). The results are
# committed, so this only runs again when a sample is to change; needs scripts/setup.sh's packages.
#   rgba.png        PNG with an alpha channel (left half opaque red, right half transparent)
#   deep16.png      16-bit RGB PNG           palette.png    palette PNG (yellow, blue, a transparent strip)
#   interlaced.png  Adam7-interlaced PNG      animated.gif   two frames: red, then blue
#   animated.webp   two frames: green, then blue                lossless.webp  lossless WebP
#   rotated.heic    stored 64 x 48, declares a quarter turn clockwise (shown 48 x 64), with a thumbnail
#   p3.jpg, p3.png  Display P3 colour profile, flat P3 (200, 60, 40)
#   clip.mp4 (H.264, AAC)  clip.m4v (H.264)  clip.webm (VP9, Opus)  clip.mkv (H.264, Vorbis)  clip.3gp (H.263)
#   portrait.mp4   a phone's portrait clip: stored 64 x 48 on its side with a display matrix (rotate=90), shown
#                  48 x 64 with a red band at the top over blue; a location and a creation time (2024-05-01
#                  10:20:30 UTC) in its metadata; H.264 and AAC
#   hevc.mov       HEVC (hvc1) and AAC in QuickTime, as phones record by default, 1 s at 128 x 96
#   sound.m4a (AAC)  sound.aac (ADTS)  sound.ogg (Vorbis)  sound.opus  sound.flac  alac.m4a (ALAC, which
#                  browsers do not play)
#   landscape.jpg   800 x 600 photo-like    tone.wav       half a second of 440 Hz, 8-bit mono
#   located.jpg     a camera's photo: GPS, owner, body and lens serials, a maker note, a thumbnail, XMP with
#                   GPS, serial, owner and a description, an IPTC caption, EXIF's "SONY DSC", taken at
#                   2023-07-01 10:20:30.25 +09:00; located.png, .webp and .heic the same fields in their own places
#   caption_iptc.jpg, caption_exif.jpg, caption_camera.jpg  captions of each source (beside text files),
#                   dates from XMP and from EXIF without an offset
# The metadata is written by exiftool, the maker note by a helper compiled here against exiv2.
set -eu

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/tests/data/media"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
# No time stamps or tool versions in the files, so that reruns give the same pictures.
png="-strip -define png:exclude-chunks=date,time +set date:create +set date:modify"

cat >"$tmp/p3icc.c" <<'C'
#include <lcms2.h>
/* Display P3: the DCI-P3 primaries with the D65 white point and the sRGB tone curve. */
int main(int argc, char** argv) {
    cmsCIExyY white = {0.3127, 0.3290, 1.0};
    cmsCIExyYTRIPLE primaries = {{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}};
    cmsFloat64Number srgb[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(NULL, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsMLU* text = cmsMLUalloc(NULL, 1);
    cmsMLUsetASCII(text, "en", "US", "Display P3");
    cmsWriteTag(profile, cmsSigProfileDescriptionTag, text);
    return argc == 2 && cmsSaveProfileToFile(profile, argv[1]) ? 0 : 1;
}
C
cat >"$tmp/heic.c" <<'C'
#include <libheif/heif.h>
#include <stdio.h>
#include <stdlib.h>
/* heic IN.ppm OUT.heic ORIENTATION [ICC]: a P6 picture as HEIC that declares an EXIF-numbered orientation. */
int main(int argc, char** argv) {
    int w, h, max;
    FILE* in = fopen(argv[1], "rb");
    if (argc < 4 || !in || fscanf(in, "P6 %d %d %d", &w, &h, &max) != 3 || fgetc(in) == EOF) return 1;
    struct heif_image* image;
    heif_image_create(w, h, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, w, h, 8);
    int stride;
    uint8_t* rows = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < h; ++y)
        if (fread(rows + y * stride, 3, w, in) != (size_t)w) return 1;
    if (argc > 4) {
        static uint8_t icc[65536];
        FILE* f = fopen(argv[4], "rb");
        size_t n = f ? fread(icc, 1, sizeof icc, f) : 0;
        heif_image_set_raw_color_profile(image, "prof", icc, n);
    }
    struct heif_context* context = heif_context_alloc();
    struct heif_encoder* encoder;
    heif_context_get_encoder_for_format(context, heif_compression_HEVC, &encoder);
    heif_encoder_set_lossy_quality(encoder, 90);
    struct heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = (enum heif_orientation)atoi(argv[3]);
    struct heif_image_handle* handle;
    if (heif_context_encode_image(context, image, encoder, options, &handle).code) return 1;
    heif_context_encode_thumbnail(context, image, handle, encoder, options, 32, NULL);
    return heif_context_write_to_file(context, argv[2]).code ? 1 : 0;
}
C
cc -O1 -o "$tmp/p3icc" "$tmp/p3icc.c" $(pkg-config --cflags --libs lcms2)
cc -O1 -o "$tmp/heic" "$tmp/heic.c" $(pkg-config --cflags --libs libheif)
"$tmp/p3icc" "$out/displayp3.icc"

convert -size 32x24 xc:red \( -size 32x24 xc:none \) +append $png PNG32:"$out/rgba.png"
convert -size 48x32 gradient:red-blue -depth 16 $png PNG48:"$out/deep16.png"
convert -size 40x30 xc:blue -fill yellow -draw "rectangle 0,0 19,29" -fill lime -draw "rectangle 30,0 39,29" \
    -transparent lime $png PNG8:"$out/palette.png"
convert -size 64x48 gradient:green-red -interlace PNG $png PNG24:"$out/interlaced.png"
convert -size 40x30 xc:red xc:blue -set delay 20 -loop 0 "$out/animated.gif"
# A photo large enough for sharp 2x and 3x thumbnails and a sound, for the Gallery's browser test.
convert -seed 7 -size 800x600 plasma:tan-olive -blur 0x1 -quality 70 "$out/landscape.jpg"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=0.5" -ar 8000 -ac 1 -c:a pcm_u8 "$out/tone.wav"
convert -size 40x30 xc:green xc:blue -set delay 20 -loop 0 -define webp:lossless=true "$out/animated.webp"
convert -size 40x30 gradient:white-black -define webp:lossless=true "$out/lossless.webp"
convert -size 64x48 xc:red -fill blue -draw "rectangle 0,0 15,47" -depth 8 "$tmp/left-blue.ppm"
"$tmp/heic" "$tmp/left-blue.ppm" "$out/rotated.heic" 6
convert -size 48x32 "xc:rgb(200,60,40)" -profile "$out/displayp3.icc" -quality 95 "$out/p3.jpg"
convert -size 48x32 "xc:rgb(200,60,40)" -profile "$out/displayp3.icc" -define png:exclude-chunks=date,time \
    +set date:create +set date:modify PNG24:"$out/p3.png"
convert -size 48x32 "xc:rgb(200,60,40)" -depth 8 "$tmp/p3.ppm"
"$tmp/heic" "$tmp/p3.ppm" "$out/p3.heic" 1 "$out/displayp3.icc"

movie() { # OUT CODEC-OPTIONS...
    target=$1
    shift
    ffmpeg -nostdin -y -loglevel error -f lavfi -i testsrc=size=64x48:rate=10:duration=1 \
        -f lavfi -i sine=duration=1 -fflags +bitexact -flags:v +bitexact -flags:a +bitexact \
        -map_metadata -1 "$@" "$out/$target"
}
movie clip.mp4 -c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 32k
movie clip.m4v -an -c:v libx264 -pix_fmt yuv420p
movie clip.webm -c:v libvpx-vp9 -b:v 50k -c:a libopus -b:a 24k
movie clip.mkv -c:v libx264 -pix_fmt yuv420p -c:a libvorbis
ffmpeg -nostdin -y -loglevel error -f lavfi -i testsrc=size=128x96:rate=10:duration=1 -fflags +bitexact \
    -map_metadata -1 -c:v h263 -an "$out/clip.3gp"
# FFmpeg 5.1 turns the rotate tag into a display matrix only when copying; the band is stored on the right,
# so that the quarter turn counterclockwise this matrix asks for brings it to the top.
ffmpeg -nostdin -y -loglevel error -f lavfi -i color=c=blue:size=64x48:rate=10:duration=1 -f lavfi \
    -i sine=duration=1 -vf drawbox=x=52:y=0:w=12:h=48:color=red:t=fill -fflags +bitexact -flags:v +bitexact \
    -flags:a +bitexact -map_metadata -1 -c:v libx264 -pix_fmt yuv420p -c:a aac -b:a 32k "$tmp/band.mp4"
ffmpeg -nostdin -y -loglevel error -i "$tmp/band.mp4" -c copy -fflags +bitexact -metadata:s:v:0 rotate=90 \
    -metadata location=+35.6895+139.6917/ -metadata creation_time=2024-05-01T10:20:30Z "$out/portrait.mp4"
movie hevc.mov -c:v libx265 -x265-params log-level=none -tag:v hvc1 -pix_fmt yuv420p -s 128x96 -c:a aac -b:a 32k
sound() { # OUT CODEC-OPTIONS...
    target=$1
    shift
    ffmpeg -nostdin -y -loglevel error -f lavfi -i sine=duration=0.5 -fflags +bitexact -flags:a +bitexact \
        -map_metadata -1 -ac 1 "$@" "$out/$target"
}
sound sound.m4a -c:a aac -b:a 24k
sound sound.aac -c:a aac -b:a 24k
sound sound.ogg -c:a libvorbis
sound sound.opus -c:a libopus -b:a 16k
sound sound.flac -c:a flac
sound alac.m4a -c:a alac
cat >"$tmp/makernote.cpp" <<'CPP'
#include <exiv2/exiv2.hpp>
// makernote FILE: an opaque maker note holding a serial number, as cameras keep theirs.
int main(int argc, char** argv) {
    if (argc != 2) return 1;
    auto image = Exiv2::ImageFactory::open(argv[1]);
    image->readMetadata();
    const std::string bytes("ALBUMWRIGHT\0SERIAL 4242-1717", 29);
    Exiv2::DataValue note(Exiv2::undefined);
    note.read(reinterpret_cast<const Exiv2::byte*>(bytes.data()), static_cast<long>(bytes.size()));
    image->exifData()["Exif.Photo.MakerNote"] = note;
    image->writeMetadata();
    return 0;
}
CPP
c++ -O1 -o "$tmp/makernote" "$tmp/makernote.cpp" $(pkg-config --cflags --libs exiv2)
tag() { exiftool -q -overwrite_original -m "$@"; }
# private FILE [TAG...]: what a camera and a photo manager leave in a photo, and the TAGs given.
private() {
    file=$1
    shift
    tag -Make=SONY -Model=ILCE-7M3 "-ImageDescription=SONY DSC" "-Artist=Alice Owner" "-OwnerName=Alice Owner" \
        -SerialNumber=B1234567 -LensSerialNumber=L7654321 -Copyright=Alice "-DateTimeOriginal=2023:07:01 10:20:30" \
        -OffsetTimeOriginal=+09:00 -SubSecTimeOriginal=25 -GPSLatitude=35.6586 -GPSLatitudeRef=N \
        -GPSLongitude=139.7454 -GPSLongitudeRef=E "-XMP-dc:Description=Harbour at dawn" -XMP-dc:Creator=Alice \
        -XMP-aux:SerialNumber=B1234567 "-XMP-aux:OwnerName=Alice Owner" -XMP-exif:GPSLatitude=35.6586 \
        -XMP-exif:GPSLongitude=139.7454 "$@" "$file"
}
convert -size 16x16 gradient:yellow-blue -quality 90 "$tmp/thumb.jpg"
convert -size 64x48 gradient:red-blue -quality 85 "$out/located.jpg"
"$tmp/makernote" "$out/located.jpg"
private "$out/located.jpg" "-IPTC:Caption-Abstract=Harbour caption" "-ThumbnailImage<=$tmp/thumb.jpg"
convert -size 32x24 xc:orange $png PNG24:"$out/located.png"
private "$out/located.png"
convert -size 32x24 xc:green -quality 80 "$out/located.webp"
private "$out/located.webp"
cp "$out/p3.heic" "$out/located.heic"
private "$out/located.heic"
for name in caption_iptc caption_exif caption_camera; do convert -size 16x16 xc:gray -quality 80 "$out/$name.jpg"; done
tag -ImageDescription="Caption from EXIF" -IPTC:Caption-Abstract="Caption from IPTC" \
    -XMP-photoshop:DateCreated=2021-03-04T05:06:07+01:00 "$out/caption_iptc.jpg"
tag -ImageDescription="Caption from EXIF" -DateTimeOriginal="2022:12:31 23:59:58" "$out/caption_exif.jpg"
tag -Make=SONY -ImageDescription="SONY DSC" "$out/caption_camera.jpg"
for name in caption_iptc caption_exif; do printf '  Caption from the text file\n' >"$out/$name.txt"; done
printf '\357\273\277Caption from the text file\n' >"$out/caption_camera.TXT"
ls -l "$out"
