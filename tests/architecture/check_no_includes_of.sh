#!/bin/bash
# Holds a source tree to including nothing of another tree: src/ builds the
# module, and the tools around it (packaging/) may use it but never the
# other way round.
#
#   check_no_includes_of.sh SRC_DIR OTHER_DIR
#
# An include names a file of OTHER_DIR by its path from OTHER_DIR or from the
# including file's folder. Prints each such include and exits 1 if any.
set -euo pipefail
src=$(cd "$1" && pwd)
other=$(cd "$2" && pwd)
status=0
checked=0
while IFS= read -r -d '' file; do
  while IFS= read -r included; do
    checked=$((checked + 1))
    for candidate in "$other/$included" "$(dirname "$file")/$included"; do
      [[ -f $candidate ]] || continue
      target=$(realpath -m "$candidate")
      if [[ $target == "$other"/* ]]; then
        echo "${file#"$src"/}: includes $included, a file of ${other##*/}/"
        status=1
        break
      fi
    done
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.c' \) -print0 | sort -z)
((status == 0)) && echo "includes of ${other##*/}/: none among $checked"
exit $status
