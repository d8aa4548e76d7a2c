#!/bin/bash
# After `sudo tools/setup` in a checkout that belongs to a normal user, that
# user builds and tests: nothing in the checkout belongs to root, the user's
# Wine prefixes start, and the native tree builds in Release and passes its
# tests. Works on a copy of the checkout owned by a throw-away user, so it
# needs root; prints one summary line last.
#
#   tests/tools/setup_as_another_user.sh
set -uo pipefail
source_root=$(cd "$(dirname "$0")/../.." && pwd)
if ((EUID != 0)); then
  echo "setup as root, tests as another user: not run, needs root"
  exit 0
fi

user=vrpph-setup-check
work=$(mktemp -d /tmp/vrpph-setup-check.XXXXXX)
created_user=0
cleanup() {
  pkill -KILL -u "$user" 2>/dev/null
  rm -rf "$work"
  ((created_user)) && userdel --remove "$user" 2>/dev/null
}
trap cleanup EXIT
fail() {
  echo "setup as root, tests as another user: FAILED, $*"
  exit 1
}

if ! id "$user" >/dev/null 2>&1; then
  useradd --create-home --shell /bin/bash "$user" || fail "could not add the user $user"
  created_user=1
fi
# Tracked and new files as they are on disk, without build/.
checkout=$work/vrpph
mkdir "$checkout"
(cd "$source_root" && git ls-files -z --cached --others --exclude-standard | tar --null -T - -cf -) |
  tar -xf - -C "$checkout" || fail "could not copy the checkout"
chown -R "$user:" "$work"

(cd "$checkout" && tools/setup) || fail "tools/setup as root failed"
root_owned=$(find "$checkout" -user root -print -quit)
[[ -z $root_owned ]] || fail "root owns $root_owned after tools/setup"

as_user() { (cd "$checkout" && runuser -u "$user" -- env HOME="$(getent passwd "$user" | cut -d: -f6)" "$@"); }
as_user tools/setup --check || fail "tools/setup --check asks for more as the user"
source "$checkout/tools/wine-env"
vrpph_probe_arches
for arch in "${vrpph_arches[@]}"; do
  answer=$(as_user tools/wine-run --arch "$arch" cmd /c echo ready 2>/dev/null | tr -d '\r')
  [[ $answer == ready ]] || fail "the $arch prefix does not start for the user (got '$answer')"
done
as_user bash -c 'cmake -S . -B build/native-release -DCMAKE_BUILD_TYPE=Release >/dev/null &&
  cmake --build build/native-release -j"${VRPPH_JOBS:-2}" >/dev/null &&
  ctest --test-dir build/native-release -j"${VRPPH_JOBS:-2}" --output-on-failure' >"$work/ctest.log" 2>&1
status=$?
summary=$(grep -E 'tests passed' "$work/ctest.log" | head -1)
if ((status != 0)); then
  tail -40 "$work/ctest.log"
  fail "the native Release build or its tests failed as the user: ${summary:-no ctest summary}"
fi
echo "setup as root, tests as another user: native Release $summary; prefixes ${vrpph_arches[*]} start as the user"
