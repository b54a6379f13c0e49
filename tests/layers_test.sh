#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Each folder of src/ may include only from itself and the layers below it; a ui/ folder may also include
# its own layer's plain files and the ui/ folders of the layers below, never a layer above. Only ui/ folders
# and the thin main.cpp files may include Qt. Prints what it checked, every offending line, and fails when
# there is one (or when a folder of src/ has no place in the order below).
set -u
src=${1:?usage: layers_test.sh SRC_DIR}
# What a folder's plain files may include (the layers its library links).
declare -A allowed=(
  [platform]="platform"
  [imaging]="imaging"
  [metadata]="metadata platform"
  [album]="album metadata platform imaging"
  [medialist]="medialist album metadata platform imaging"
  [dialogs]="dialogs platform"
  [session]="session medialist dialogs album metadata platform imaging"
  [mainwindow]="mainwindow session medialist dialogs album metadata platform imaging"
  [cli]="cli session medialist dialogs album metadata platform imaging"
  [app]="app mainwindow session medialist dialogs album metadata platform imaging"
  [companion]="companion medialist album metadata platform imaging"
)
# The order of the Qt library's folders, bottom first: a ui/ folder sees the layers up to its own.
order=(platform metadata imaging album medialist dialogs session mainwindow app)

# ui_allowed LAYER: the layers and ui/ folders that LAYER/ui may include.
ui_allowed() {
  local list="${allowed[$1]}" layer
  for layer in "${order[@]}"; do
    list+=" $layer $layer/ui"
    [ "$layer" = "$1" ] && break
  done
  echo "$list"
}

bad=0
cd "$src" || exit 2
declare -A files=() includes=()
while IFS= read -r file; do
  layer=${file%%/*}
  folder=$layer
  case "$file" in */ui/*) folder=$layer/ui ;; esac
  if [ -z "${allowed[$layer]:-}" ] || { [ "$folder" != "$layer" ] && [[ " ${order[*]} " != *" $layer "* ]]; }; then
    echo "$file: the folder $folder has no place in the layer order"; bad=1
    continue
  fi
  if [ "$folder" = "$layer" ]; then may=${allowed[$layer]}; else may=$(ui_allowed "$layer"); fi
  # A thin main.cpp stands on top of its program, its ui/ folder included.
  [ "$(basename "$file")" = main.cpp ] && may+=" $layer/ui"
  files[$folder]=$(( ${files[$folder]:-0} + 1 ))
  while IFS= read -r line; do
    includes[$folder]=$(( ${includes[$folder]:-0} + 1 ))
    # "album/x.h" -> album; "medialist/ui/x.h" -> medialist/ui
    target=$(sed -n 's/^[[:space:]]*#include "\([a-z]*\)\/\(ui\/\)\{0,1\}.*/\1\/\2/p' <<<"$line")
    target=${target%/}
    if [ -n "$target" ] && [[ " $may " != *" $target "* ]]; then
      echo "$file: upward or sideways include: $line"; bad=1
    fi
    if [ "$folder" = "$layer" ] && [[ "$(basename "$file")" != main.cpp ]] &&
      grep -qE '#include <Q[A-Za-z]*>' <<<"$line"; then
      echo "$file: Qt outside a ui/ folder: $line"; bad=1
    fi
  done < <(grep -E '^[[:space:]]*#include' "$file")
done < <(find . -name '*.h' -o -name '*.cpp' | sed 's|^\./||' | sort)
for folder in $(printf '%s\n' "${!files[@]}" | sort); do
  echo "checked $folder: ${files[$folder]} files, ${includes[$folder]:-0} includes"
done
[ "$bad" -eq 0 ] && echo "layers: every include goes downwards"
exit "$bad"
