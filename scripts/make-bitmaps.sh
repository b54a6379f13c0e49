#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the pictures of resources/bitmaps: the faces of the main window's bitmap buttons (bmp<id>.png), the
# two movie badges, the audio picture and the program icon, and lists them in bitmaps.qrc. Needs ImageMagick's
# convert; the results are committed, so this only runs again when a picture is to change. Nothing is random
# and no time stamp is written, so reruns give identical files.
# shellcheck disable=SC2086  # option lists ($png, $3, $arrow) are split into words on purpose
set -eu

root="$(cd "$(dirname "$0")/.." && pwd)"
out="$root/resources/bitmaps"
html="$root/resources/htmldata"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir -p "$out"
rm -f "$out"/*.png # everything here is made below; a picture dropped from this script goes too
png="-strip -define png:exclude-chunks=date,time +set date:create +set date:modify"
face='#d4d0c8'

# bevel IN ID raised|pressed: the two-ring button edge (the colour button's rings) round IN, written as
# bmp<ID>.png. Pressed swaps the rings, moves the content 1 pixel down and right and shades it a little, so
# that a chosen button stands out even on a dark background picture.
bevel() {
    r=$(($(identify -format %w "$1") - 1)) b=$(($(identify -format %h "$1") - 1))
    if [ "$3" = pressed ]; then
        set -- "$1" "$2" '-roll +1+1 -fill black -colorize 15%' black white '#808080' '#dfdfdf'
    else
        set -- "$1" "$2" '' white black '#dfdfdf' '#808080'
    fi
    convert "$1" $3 +antialias -fill none -strokewidth 1 \
        -stroke "$6" -draw "line 1,1 $((r - 1)),1 line 1,1 1,$((b - 1))" \
        -stroke "$7" -draw "line 1,$((b - 1)) $((r - 1)),$((b - 1)) line $((r - 1)),1 $((r - 1)),$((b - 1))" \
        -stroke "$4" -draw "line 0,0 $r,0 line 0,0 0,$b" \
        -stroke "$5" -draw "line 0,$b $r,$b line $r,0 $r,$b" \
        $png "PNG24:$out/bmp$2.png"
}

# pair IN ID: the normal face as bmp<ID>, the pressed one as bmp<ID+1>.
pair() {
    bevel "$1" "$2" raised
    bevel "$1" $(($2 + 1)) pressed
}

# 131-136: move up, move down, delete (62 x 25).
arrow='-stroke #1a3a7a -strokewidth 1 -fill #3f7fe0'
convert -size 62x25 xc:"$face" $arrow \
    -draw 'polygon 30.5,3.5 40.5,13.5 34.5,13.5 34.5,20.5 26.5,20.5 26.5,13.5 20.5,13.5' "$tmp/up.png"
convert "$tmp/up.png" -flip "$tmp/down.png"
convert -size 62x25 xc:"$face" -stroke '#7a1010' -strokewidth 6 -draw 'line 25,6 36,17 line 25,17 36,6' \
    -stroke '#e03030' -strokewidth 3 -draw 'line 25,6 36,17 line 25,17 36,6' "$tmp/delete.png"
pair "$tmp/up.png" 131
pair "$tmp/down.png" 133
pair "$tmp/delete.png" 135

# 137-144: the four page backgrounds, a 1:1 piece of each tile. The preview copies 43 x 31 pixels from (2, 2)
# of the normal face, so the inside of the face is all background. The offsets pick a telling piece.
id=137
for bg in cyber:8,8 usa:30,0 natural:0,0 toro:20,40; do
    x=${bg#*:} && x=${x%,*} && y=${bg#*,}
    convert -size 400x400 tile:"$html/${bg%%:*}.jpg" -crop "47x61+$x+$y" +repage "$tmp/bg.png"
    pair "$tmp/bg.png" $id
    id=$((id + 2))
done

# 145-152: the four arrangements as tiny pages: a title, then pictures (sky over grass) and names. Dark
# boxes stand for the framed cells and name boxes of the page; light or blue lines for the names.
photo() { # x y w h: a picture whose bottom third is grass
    echo "-fill '#78a8e8' -draw 'rectangle $1,$2 $(($1 + $3 - 1)),$(($2 + $4 - 1))'" \
        "-fill '#58a048' -draw 'rectangle $1,$(($2 + $4 * 2 / 3)) $(($1 + $3 - 1)),$(($2 + $4 - 1))'"
}
box() { # x y w h colour
    echo "-fill '$5' -draw 'rectangle $1,$2 $(($1 + $3 - 1)),$(($2 + $4 - 1))'"
}
page() { # id, then drawing arguments
    id=$1 && shift
    eval "convert -size 47x61 xc:'$face' +antialias -fill white -stroke '#808080' -draw 'rectangle 5,4 41,56' \
        -stroke none $(box 15 7 17 3 '#303030') $*" "$tmp/page.png"
    pair "$tmp/page.png" "$id"
}
f1='' f3='' f4=''
for y in 13 28 43; do # two columns of frames, the name inside the frame
    for x in 8 25; do
        f1="$f1 $(box $x $y 14 12 '#222222') $(photo $((x + 2)) $((y + 2)) 10 6) $(box $((x + 3)) $((y + 9)) 8 1 '#e0e0e0')"
    done
done
f2="$(box 14 13 19 14 '#222222') $(photo 16 15 15 10) $(box 17 29 13 2 '#2050c0')"
f2="$f2 $(box 14 34 19 14 '#222222') $(photo 16 36 15 10) $(box 17 50 13 2 '#2050c0')"
for y in 13 32; do # two columns of bare pictures over name boxes
    for x in 8 25; do
        f3="$f3 $(photo $x $y 14 10) $(box $x $((y + 12)) 14 5 '#222222') $(box $((x + 3)) $((y + 14)) 8 1 '#e0e0e0')"
    done
done
for y in 14 21 28 35 42 49; do # one column of name boxes
    f4="$f4 $(box 12 $y 23 5 '#222222') $(box 16 $((y + 2)) 15 1 '#e0e0e0')"
done
page 145 "$f1"
page 147 "$f2"
page 149 "$f3"
page 151 "$f4"
# 170, 171: the Gallery, a grid of bare pictures under the title.
f5=''
for y in 13 24 35 46; do
    for x in 8 19 30; do
        f5="$f5 $(photo $x $y 9 8)"
    done
done
page 170 "$f5"

# 153, 154, 164: choose a colour (47 x 21): three colour squares and an ellipsis; disabled, their outlines
# etched in grey.
convert -size 47x21 xc:none +antialias -fill none -stroke '#404040' \
    -draw 'rectangle 4,6 11,13 rectangle 14,6 21,13 rectangle 24,6 31,13' -fill '#404040' -stroke none \
    -draw 'rectangle 35,12 36,13 rectangle 38,12 39,13 rectangle 41,12 42,13' "$tmp/outline.png"
convert -size 47x21 xc:"$face" +antialias -fill '#e03030' -draw 'rectangle 4,6 11,13' \
    -fill '#30b040' -draw 'rectangle 14,6 21,13' -fill '#3060e0' -draw 'rectangle 24,6 31,13' \
    "$tmp/outline.png" -composite "$tmp/colour.png"
pair "$tmp/colour.png" 153
convert -size 47x21 xc:"$face" \( "$tmp/outline.png" -fill white -colorize 100 -roll +1+1 \) -composite \
    \( "$tmp/outline.png" -fill '#808080' -colorize 100 \) -composite "$tmp/grey.png"
bevel "$tmp/grey.png" 164 raised

# 162, 169: the film strips the thumbnails are marked with (the same pixels as the marks drawn there).
cat >"$tmp/marked.xpm" <<'EOF'
/* XPM */
static char *strip[] = {
"24 24 7 1", "K c #000000", "H c #e8e8e8", "W c #f8f4e0", "D c #404040", "B c #60a0e0", "Y c #ffd000",
"G c #40a040",
"KKKKKKKKKKKKKKKKKKKKKKKK", "KHHKKKKKKKKKKKKKKKKKKHHK", "KHHKKKKKKKKKKKKKKKKKKHHK",
"KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KHHKKWWWWWWWWWWWWWWKKHHK",
"KHHKKWWWWWWWWWWWWWWKKHHK", "KKKKKWWDDDDDDDDDDWWKKKKK", "KKKKKWWDBBBBBBYYDWWKKKKK",
"KHHKKWWDBBBBBBYYDWWKKHHK", "KHHKKWWDBBBBBBBBDWWKKHHK", "KKKKKWWDBBBGBBBBDWWKKKKK",
"KKKKKWWDBBGGGBBBDWWKKKKK", "KHHKKWWDBGGGGGBGDWWKKHHK", "KHHKKWWDGGGGGGGGDWWKKHHK",
"KKKKKWWDGGGGGGGGDWWKKKKK", "KKKKKWWDDDDDDDDDDWWKKKKK", "KHHKKWWWWWWWWWWWWWWKKHHK",
"KHHKKWWWWWWWWWWWWWWKKHHK", "KKKKKWWWWWWWWWWWWWWKKKKK", "KKKKKWWWWWWWWWWWWWWKKKKK",
"KHHKKKKKKKKKKKKKKKKKKHHK", "KHHKKKKKKKKKKKKKKKKKKHHK", "KKKKKKKKKKKKKKKKKKKKKKKK"};
EOF
# The plain strip is the marked one with its picture symbol painted over in the light field colour.
sed '/^"K[KH]/y/DBYG/WWWW/' "$tmp/marked.xpm" >"$tmp/plain.xpm"
convert "$tmp/plain.xpm" $png "PNG24:$out/bmp162.png"
convert "$tmp/marked.xpm" $png "PNG24:$out/bmp169.png"

# 163: the audio picture, the installed sound picture's wave drawn at 120 x 90.
points=$(awk 'BEGIN { for (x = 6; x <= 114; x += 1.5) {
    a = 30 * sin((x - 6) / 108 * 3.14159 * 6) * (0.35 + 0.65 * sin((x - 6) / 108 * 3.14159));
    printf "%.1f,%.1f ", x, 45 - a } }')
convert -size 120x90 gradient:'#26304a-#0c1220' \
    -stroke '#4a5a80' -strokewidth 1 -draw 'line 6,45 114,45' \
    -stroke '#7fe0ff' -strokewidth 2.5 -fill none -draw "polyline $points" \
    -stroke '#cfd8ff' -strokewidth 2 -draw 'rectangle 1.5,1.5 118.5,88.5' \
    $png "PNG24:$out/bmp163.png"

# The program icon: two photographs, one fanned over the other, with thick outlines that stay readable
# when scaled down to 48 and 32 pixels.
ink='#2b2b2b'
photocard() { # w h sky-top sky-bottom sun hill hill out
    w=$1 h=$2
    convert -size "${w}x$h" xc:none -fill white -stroke "$ink" -strokewidth 8 \
        -draw "roundrectangle 4,4 $((w - 5)),$((h - 5)) 10,10" \
        \( -size "$((w - 32))x$((h - 32))" gradient:"$3-$4" -stroke none \
        -fill "$5" -draw "circle $((w * 7 / 10)),$((h / 5)) $((w * 7 / 10 + 13)),$((h / 5))" \
        -fill "$6" -draw "ellipse $((w / 4)),$((h - 32)) $((w / 2)),$((h / 3)) 180,360" \
        -fill "$7" -draw "ellipse $((w * 3 / 4)),$((h - 32)) $((w / 2)),$((h / 4)) 180,360" \
        -fill none -stroke "$ink" -strokewidth 4 -draw "rectangle 0,0 $((w - 33)),$((h - 33))" \) \
        -geometry +16+16 -composite "$8"
}
photocard 168 136 '#f7b267' '#f25c54' '#fff3a0' '#7d5a8f' '#4d3866' "$tmp/back.png"
photocard 180 146 '#3d85db' '#bfe3ff' '#ffd23f' '#6cc04a' '#2e8b3a' "$tmp/front.png"
convert -size 300x300 xc:none -background none \
    \( "$tmp/back.png" -rotate -14 \) -geometry +4+14 -composite \
    \( "$tmp/front.png" -rotate 9 \) -geometry +50+70 -composite \
    -trim +repage -resize 248x248 -gravity center -extent 256x256 "$tmp/icon.png"
convert "$tmp/icon.png" $png "PNG32:$out/albumwright.png"
for size in 48 32; do
    convert "$tmp/icon.png" -resize "${size}x$size" -unsharp 0x0.6 $png "PNG32:$out/albumwright-$size.png"
done

# The resource list, under the prefix the program loads them from (:/bitmaps/bmp131.png and so on).
{
    printf '<!DOCTYPE RCC>\n<RCC version="1.0">\n<qresource prefix="/bitmaps">\n'
    for f in $(cd "$out" && LC_ALL=C ls -- *.png); do
        printf '    <file alias="%s">%s</file>\n' "$f" "$f"
    done
    printf '</qresource>\n</RCC>\n'
} >"$out/bitmaps.qrc"
