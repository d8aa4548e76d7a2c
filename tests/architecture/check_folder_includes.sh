#!/bin/bash
# Holds every #include "..." of the C++ files under a source tree to a table
# of allowed folder edges, and the table itself to having no cycle.
#
#   check_folder_includes.sh SRC_DIR EDGES_FILE
#
# An include names a file by its path from SRC_DIR ("url/type_list.h") or
# from the including file's folder ("../core/outcomes.h", "win32/x.h"); its
# folder is the first part of that path. Includes that name no file of the
# tree (system and generated headers) are not the table's business. Prints
# each edge the table does not allow, and exits 1 if there is any.
set -euo pipefail
src=$(cd "$1" && pwd)
edges_file=$2

declare -A allowed=()
folders=()
while IFS= read -r line; do
  line=${line%%#*}
  [[ $line == *:* ]] || continue
  folder=${line%%:*}
  folders+=("$folder")
  allowed[$folder]=" ${line#*:} "
done <"$edges_file"

status=0

# The table is a direction: walk it depth first and report a folder met again
# on its own path.
declare -A state=()
visit() {  # folder, path so far
  local folder=$1 path=$2 next
  state[$folder]=open
  for next in ${allowed[$folder]:-}; do
    if [[ ${state[$next]:-} == open ]]; then
      echo "cycle in $edges_file: $path -> $next"
      status=1
    elif [[ -z ${state[$next]:-} ]]; then
      visit "$next" "$path -> $next"
    fi
  done
  state[$folder]=done
}
for folder in "${folders[@]}"; do
  [[ -n ${state[$folder]:-} ]] || visit "$folder" "$folder"
done

checked=0
while IFS= read -r -d '' file; do
  relative=${file#"$src"/}
  from=${relative%%/*}
  [[ $relative == */* ]] || continue
  while IFS= read -r included; do
    target=
    if [[ -f $src/$included ]]; then
      target=$(realpath -m --relative-to="$src" "$src/$included")
    elif [[ -f $(dirname "$file")/$included ]]; then
      target=$(realpath -m --relative-to="$src" "$(dirname "$file")/$included")
    fi
    [[ -n $target && $target != ../* && $target == */* ]] || continue
    to=${target%%/*}
    checked=$((checked + 1))
    [[ $to == "$from" ]] && continue
    if [[ -z ${allowed[$from]+set} ]]; then
      echo "$relative: folder $from is not in $edges_file"
      status=1
    elif [[ ${allowed[$from]} != *" $to "* ]]; then
      echo "$relative: includes $included ($from -> $to is not allowed)"
      status=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0 | sort -z)

((status == 0)) && echo "folder includes: $checked checked, every edge allowed, no cycle"
exit $status
