# SPDX-License-Identifier: MIT
# The benchmarks' photo set (sourced, not run): 40 camera-like JPEGs, 30 of 12 MP and 10 of 24 MP, quality
# 90, 4:2:0, seeded plasma scaled up with sensor-like grain, so that they compress like real photos (about
# 4 MB at 12 MP). Deterministic for a given ImageMagick.
photoset_recipe="photos-v1 plasma+grain q90 4:2:0"
make_photoset() { # folder jobs
    mkdir -p "$1"
    make_photo() { # folder index
        local size=4000x3000 small=1000x750
        if (($2 > 30)); then size=6000x4000 small=1500x1000; fi
        /usr/bin/convert -seed "$2" -size "$small" plasma:fractal -resize "$size!" -seed "$2" -attenuate 0.6 \
            +noise Gaussian -sampling-factor 2x2 -quality 90 "$1/$(printf 'photo%02d' "$2").jpg"
    }
    export -f make_photo
    seq 1 40 | xargs -P "$2" -I{} bash -c "make_photo '$1' {}"
}
