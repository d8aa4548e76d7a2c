#!/bin/bash
# Starts the launcher as a browser would (a TMPDIR and WINEPREFIX of the
# browser's own, which it must override), sends one hello frame, and checks
# the answer's bytes and that the host ends with its input.
set -euo pipefail
launcher=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

frame() {  # JSON text
  local n=${#1}
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((n & 255)) $((n >> 8 & 255)) $((n >> 16 & 255)) $((n >> 24 & 255)))"
  printf '%s' "$1"
}
export LC_ALL=C
request='{"id":"h1","type":"hello"}'
frame "$request" >"$scratch/in"
status=0
TMPDIR=$scratch WINEPREFIX=$scratch/not-a-prefix timeout 60 "$launcher" "chrome-extension://x/" \
  <"$scratch/in" >"$scratch/out" || status=$?
answer='{"id":"h1","state":"hello","version":"1.0.0.76","protocol":2,"keysToAdd":["alt","ctrl"],"keysToIgnore":["shift"],"useCtrlAlt":false,"acceptingTypes":[]}'
frame "$answer" >"$scratch/expected"
if ((status != 0)); then
  echo "launcher: exit status $status"
  exit 1
fi
if ! cmp -s "$scratch/out" "$scratch/expected"; then
  echo "launcher: unexpected answer:"
  od -c "$scratch/out" | head -20
  exit 1
fi
if [[ -e $scratch/not-a-prefix ]]; then
  echo "launcher: the browser's WINEPREFIX was used"
  exit 1
fi
echo "launcher: hello answered byte for byte"
