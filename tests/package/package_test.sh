#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from the build folder and holds it, its desktop entry and its software-centre
# entry to what a distribution checks: lintian with no error and no warning, appstreamcli validate and
# desktop-file-validate with nothing to say. Skipped (status 77) where a checker is missing.
#   package_test.sh BUILD_DIR
set -eu
build=${1:?usage: package_test.sh BUILD_DIR}
for tool in lintian appstreamcli desktop-file-validate dpkg-deb; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is not installed (scripts/setup.sh installs it)"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

cpack -G DEB -B "$scratch" --config "$build/CPackConfig.cmake" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log"; exit 1; }
deb=$(find "$scratch" -maxdepth 1 -name '*.deb' | head -n 1)
[ -n "$deb" ] || { echo "cpack made no package"; cat "$scratch/cpack.log"; exit 1; }
dpkg-deb -x "$deb" "$scratch/root"

status=0
# Lintian refuses to run its checks as root without this; the findings are the same.
report=$(lintian --allow-root --no-cfg --display-level '>=warning' "$deb" 2>&1 || true)
findings=$(grep -E '^[EW]: ' <<<"$report" || true)
if [ -n "$findings" ]; then echo "lintian:"; echo "$findings"; status=1; fi

metainfo=$(find "$scratch/root/usr/share/metainfo" -name '*.metainfo.xml')
appstream=$(appstreamcli validate --no-net --pedantic "$metainfo" 2>&1) ||
  { echo "appstreamcli validate:"; echo "$appstream"; status=1; }
grep -qE '^[EW]: ' <<<"$appstream" && { echo "appstreamcli validate:"; echo "$appstream"; status=1; }

id=$(sed -n 's|.*<id>\(.*\)</id>.*|\1|p' "$metainfo")
desktop=$scratch/root/usr/share/applications/$id.desktop
[ -f "$desktop" ] || { echo "no desktop entry named after the id $id"; status=1; }
desktop_report=$(desktop-file-validate "$desktop" 2>&1) || true
[ -z "$desktop_report" ] || { echo "desktop-file-validate:"; echo "$desktop_report"; status=1; }

[ "$status" -eq 0 ] && echo "package: $(basename "$deb") passes lintian, appstreamcli and desktop-file-validate"
exit "$status"
