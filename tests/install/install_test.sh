#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary prefix, checks the layout a Linux program has there, and makes an
# album with the installed albumwright-make: the modules and htmldata must be found from the prefix, not
# from the build tree.
#   install_test.sh BUILD_DIR PICTURE
set -eu
build=${1:?usage: install_test.sh BUILD_DIR PICTURE}
picture=${2:?usage: install_test.sh BUILD_DIR PICTURE}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

status=0
for file in bin/albumwright bin/albumwright-pick bin/albumwright-make \
  lib/albumwright/libalbumwright-image.so lib/albumwright/libalbumwright-video.so \
  share/albumwright/htmldata/form1.dat share/albumwright/help share/applications/org.albumwright.albumwright.desktop \
  share/metainfo/org.albumwright.albumwright.metainfo.xml share/doc/albumwright/copyright \
  share/icons/hicolor/48x48/apps/albumwright.png share/icons/hicolor/256x256/apps/albumwright.png \
  share/man/man1/albumwright.1.gz share/man/man1/albumwright-pick.1.gz share/man/man1/albumwright-make.1.gz; do
  [ -e "$prefix/$file" ] || { echo "not installed: $file"; status=1; }
done
extra=$(find "$prefix/bin" -mindepth 1 ! -name albumwright ! -name albumwright-pick ! -name albumwright-make)
[ -z "$extra" ] || { echo "unexpected in bin/: $extra"; status=1; }
grep -qx 'Exec=albumwright-pick %F' "$prefix/share/applications/org.albumwright.albumwright.desktop" ||
  { echo "the desktop entry does not start the companion"; status=1; }
[ "$status" -eq 0 ] || exit 1

# A picture of the user's, and settings of nobody's: the run reads only the prefix.
cp "$picture" "$scratch/picture.bmp"
export XDG_CONFIG_HOME=$scratch/config HOME=$scratch
"$prefix/bin/albumwright-make" -q -y -o "$scratch/album" "$scratch/picture.bmp"
[ -s "$scratch/album/Index.html" ] && [ -s "$scratch/album/Data/picture.jpg" ] ||
  { echo "no album made from the installed programs"; exit 1; }
# The Gallery takes its viewer from the prefix too.
"$prefix/bin/albumwright-make" -q -y -a 5 -o "$scratch/gallery" "$scratch/picture.bmp"
[ -s "$scratch/gallery/index.html" ] && [ -s "$scratch/gallery/Viewer/photoswipe.umd.min.js" ] &&
  [ -s "$scratch/gallery/Viewer/photoswipe-LICENSE.txt" ] ||
  { echo "no Gallery made from the installed programs"; exit 1; }
echo "install: laid out under the prefix and made an album from there"
