#!/usr/bin/env bash
# Each folder of src/ may include only from itself and the layers below it; only ui/ folders and the thin
# main.cpp files may include Qt. Prints every offending line and fails when there is one.
set -u
src=${1:?usage: layers_test.sh SRC_DIR}
declare -A allowed=(
  [platform]="platform"
  [imaging]="imaging"
  [album]="album platform imaging"
  [medialist]="medialist album platform imaging"
  [dialogs]="dialogs platform"
  [mainwindow]="mainwindow medialist dialogs album platform imaging"
  [cli]="cli mainwindow medialist dialogs album platform imaging"
  [app]="app mainwindow medialist dialogs album platform imaging"
  [companion]="companion mainwindow medialist dialogs album platform imaging"
)
bad=0
cd "$src" || exit 2
while IFS= read -r file; do
  layer=${file%%/*}
  case "$file" in */ui/*) continue ;; esac
  while IFS= read -r line; do
    target=$(sed -n 's/^[[:space:]]*#include "\([a-z]*\)\/.*/\1/p' <<<"$line")
    if [ -n "$target" ] && [[ " ${allowed[$layer]:-} " != *" $target "* ]]; then
      echo "$file: upward or sideways include: $line"; bad=1
    fi
    if [[ "$(basename "$file")" != main.cpp ]] && grep -qE '#include <Q[A-Za-z]*>' <<<"$line"; then
      echo "$file: Qt outside a ui/ folder: $line"; bad=1
    fi
  done < <(grep -E '^[[:space:]]*#include' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)
[ "$bad" -eq 0 ] && echo "layers: every include goes downwards"
exit "$bad"
