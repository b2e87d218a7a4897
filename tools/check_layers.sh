#!/usr/bin/env bash
# Checks that every folder of platform/, engine/ and game/ includes only from the folders below
# it. Usage: check_layers.sh [source root]. Prints each offending include as file:line and
# exits 1; exits 0 when every include points down (or stays in its own folder).
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# The layers, lowest first. A folder may include from its own folder and from every folder of
# a lower rank; folders of the same rank (siblings) may not include each other. A folder with
# a "may use" list may include only from the folders listed there ("-": none but itself).
# A new folder gets a row here; files in a folder without a row fail the check.
LAYERS='
# folder          rank  may use
platform            0
engine/core        10
engine/file3ds     15   -
engine/files       20
engine/script      30
engine/sound       40
engine/input       40
engine/net         40
engine/render      50
engine/scene3d     60   platform engine/core engine/files engine/render engine/file3ds
engine/gui         60
engine/app         70
game/app           80
game/world         90
game/island        95
game/windows      100
game/play         105
game              110
'

declare -A rank uses
folders=()
while read -r folder r list; do
  [[ -z "$folder" || "$folder" == \#* ]] && continue
  rank[$folder]=$r
  uses[$folder]=${list:-}
  folders+=("$folder")
done <<< "$LAYERS"

# The table's folder of a folder path, in $found: the longest row that is a prefix of it.
declare -A folder_cache
folder_of() {
  local dir=$1 f
  if [[ -n "${folder_cache[$dir]+x}" ]]; then found=${folder_cache[$dir]}; return; fi
  found=""
  for f in "${folders[@]}"; do
    if [[ "$dir" == "$f" || "$dir" == "$f"/* ]] && (( ${#f} > ${#found} )); then found=$f; fi
  done
  folder_cache[$dir]=$found
}

may_include() {  # <from folder> <to folder>
  local from=$1 to=$2
  [[ "$from" == "$to" ]] && return 0
  if [[ -n "${uses[$from]}" ]]; then
    [[ " ${uses[$from]} " == *" $to "* ]]
    return
  fi
  (( ${rank[$to]} < ${rank[$from]} ))
}

cd "$root"
failed=0
include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]*)"'
while IFS= read -r hit; do
  file=${hit%%:*}
  rest=${hit#*:}
  line=${rest%%:*}
  [[ "${rest#*:}" =~ $include_re ]] || continue
  target=${BASH_REMATCH[1]}
  folder_of "${file%/*}"
  from=$found
  if [[ -z "$from" ]]; then
    echo "$file:$line: the folder ${file%/*} has no row in the layer table ($0)"
    failed=1
    continue
  fi
  # A name without a folder is a file beside the includer.
  [[ "$target" != */* ]] && continue
  folder_of "${target%/*}"
  to=$found
  if [[ -z "$to" ]]; then
    case "$target" in
      platform/* | engine/* | game/*)
        echo "$file:$line: \"$target\" lies in a folder without a row in the layer table ($0)"
        failed=1 ;;
    esac
    continue  # headers outside the three trees (third-party) are not layered
  fi
  if ! may_include "$from" "$to"; then
    if [[ -n "${uses[$from]}" ]]; then
      echo "$file:$line: $from may use only ${uses[$from]/#-/itself}, not \"$target\" ($to)"
    elif (( ${rank[$to]} == ${rank[$from]} )); then
      echo "$file:$line: $from includes \"$target\" from its sibling $to"
    else
      echo "$file:$line: $from includes \"$target\" from $to, which lies above it"
    fi
    failed=1
  fi
done < <(for d in platform engine game; do
           [[ -d "$d" ]] && grep -rnH --include='*.h' --include='*.hpp' --include='*.c' \
             --include='*.cpp' --include='*.inl' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$d"
         done | LC_ALL=C sort -t: -k1,1 -k2,2n)

if (( failed )); then
  echo "check_layers: includes that point up or sideways (order: see the table in $0)"
  exit 1
fi
echo "check_layers: every include points down"
