#!/usr/bin/env bash
# Checks that every include runs down the layers: a file may include from its
# own folder and from the folders listed before it in the README's list of
# layers (the list after "Folders are layers, from the bottom up"). A folder's
# sub-folders belong to it unless the list names them as layers of their own.
# Fails naming the file, the line and the two folders of each upward include.
# Usage: check_layers.sh SOURCE_TREE
set -euo pipefail
root=${1:?usage: check_layers.sh SOURCE_TREE}
cd "$root"

# The first folder of each item of the list, up to the blank line after it.
mapfile -t layers < <(awk '
  /^Folders are layers, from the bottom up/ { intro = 1; next }
  intro && /^- `/ { listed = 1; match($0, /`[^`]+`/); folder = substr($0, RSTART + 1, RLENGTH - 2)
                    sub(/\/$/, "", folder); print folder; next }
  listed && /^$/ { exit }' README.md)
if [ ${#layers[@]} -eq 0 ]; then
  echo "README.md: no list of folders after \"Folders are layers, from the bottom up\""
  exit 1
fi
declare -A rank
for i in "${!layers[@]}"; do rank[${layers[$i]}]=$i; done

# Sets `layer` to the longest leading folders of a path that are a layer, or
# to nothing.
layer_of() {
  local path=$1
  layer=""
  while [[ $path == */* ]]; do
    path=${path%/*}
    if [ -n "${rank[$path]+listed}" ]; then
      layer=$path
      return
    fi
  done
}

faults=0
fault() {
  echo "$1"
  faults=$((faults + 1))
}

# Every source in the tree, build trees and hidden folders left out.
files=()
for dir in */; do
  [ -e "$dir/CMakeCache.txt" ] && continue
  while IFS= read -r -d '' file; do
    files+=("${file#./}")
  done < <(find "${dir%/}" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' -o -name '*.S' \) -print0)
done

for file in "${files[@]}"; do
  layer_of "$file"
  [ -n "$layer" ] || fault "$file: in no folder of the README's list of layers"
done

include='^[[:space:]]*#[[:space:]]*include[[:space:]]*(["<])([^">]*)'
while IFS= read -r hit; do
  file=${hit%%:*} rest=${hit#*:}
  line=${rest%%:*} text=${rest#*:}
  [[ $text =~ $include ]] || continue
  quote=${BASH_REMATCH[1]} target=${BASH_REMATCH[2]}
  [[ $target == */* ]] || continue  # beside the file, or a library's own
  layer_of "$file"
  own=$layer
  [ -n "$own" ] || continue
  layer_of "$target"
  if [ -z "$layer" ]; then
    # A quoted path must start at a layer; "../" would get round the order.
    [ "$quote" = '"' ] && fault "$file:$line: includes \"$target\", which starts at no layer of the README's list"
  elif [ "${rank[$layer]}" -gt "${rank[$own]}" ]; then
    fault "$file:$line: $own/ includes $layer/ (\"$target\"), a layer above it"
  fi
done < <([ ${#files[@]} -eq 0 ] || grep -HnE "$include" -- "${files[@]}")

if [ $faults -gt 0 ]; then
  echo "$faults include(s) against the layer order: ${layers[*]}"
  exit 1
fi
echo "${#files[@]} files, every include runs down the layers: ${layers[*]}"
