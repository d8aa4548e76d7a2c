#!/bin/bash
# The leak check's Linux half: runs leak_driver.exe under Wine and, at each
# of its checkpoints, reads the Wine process's own /proc entries (resident
# and virtual memory, open file descriptors) while the driver waits. Wine's
# own counters inside the process are missing or rough, so the handle table
# is judged by the driver's lowest-free-slot probe and its handle count.
#
#   leak_check.sh DRIVER.exe [driver options...]
#
# Fails when a measured phase grows beyond noise: more than 4 KB of resident
# memory per 1,000 calls (64 KB at least: pages come and go whole), or more
# than two lasting handles or descriptors.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
driver=$1
shift

# Tolerances over the 22,000 measured calls: ~90 KB of resident memory is
# the page-granular noise of a clean run; a leak of 32 bytes per call
# already shows as ~700 KB.
rss_per_kilocall_kb=${VRPPH_LEAK_RSS_KB_PER_1000:-4}
rss_floor_kb=${VRPPH_LEAK_RSS_FLOOR_KB:-64}
slot_slack=${VRPPH_LEAK_SLOT_SLACK:-2}
fd_slack=${VRPPH_LEAK_FD_SLACK:-2}

cd "$(dirname "$driver")" || exit 2
coproc DRIVER { exec "$root/tools/wine-run" "./$(basename "$driver")" "$@" 2>&1; }
pid=$DRIVER_PID
# wine-run and the wine launcher exec into the Windows process, so the
# coprocess's id is the process to read; make sure it is.
sleep 1
if ! tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null | grep -q "$(basename "$driver")"; then
  echo "leak_check: cannot find the driver's process" >&2
  kill "$pid" 2>/dev/null
  exit 2
fi

status_field() {  # field name (kB)
  awk -v f="$1:" '$1 == f { print $2 }' "/proc/$pid/status"
}

declare -A rss vsz fds slot handles
names=()
while IFS= read -r -u "${DRIVER[0]}" line; do
  echo "driver: $line"
  if [[ $line =~ ^checkpoint\ ([a-z-]+)\ ([0-9]+)\ ([0-9]+) ]]; then
    name=${BASH_REMATCH[1]}
    names+=("$name")
    slot[$name]=${BASH_REMATCH[2]}
    handles[$name]=${BASH_REMATCH[3]}
    rss[$name]=$(status_field VmRSS)
    vsz[$name]=$(status_field VmSize)
    fds[$name]=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
    printf 'measured %-16s VmRSS %7s kB  VmSize %8s kB  fds %4s  lowest free handle slot %5s  handle count %5s\n' \
      "$name" "${rss[$name]}" "${vsz[$name]}" "${fds[$name]}" "${slot[$name]}" "${handles[$name]}"
    echo go >&"${DRIVER[1]}"
  fi
done
wait "$pid"
driver_status=$?

if ((${#names[@]} != 3)); then
  echo "leak_check: the driver stopped after ${#names[@]} checkpoints (exit $driver_status)" >&2
  exit 1
fi
failed=$((driver_status != 0))
check() {  # label, first checkpoint, last checkpoint, calls
  local first=$2 last=$3 calls=$4
  local rss_growth=$((rss[$last] - rss[$first]))
  local allowed=$((calls * rss_per_kilocall_kb / 1000))
  ((allowed < rss_floor_kb)) && allowed=$rss_floor_kb
  local slot_growth=$((slot[$last] - slot[$first]))
  local fd_growth=$((fds[$last] - fds[$first]))
  local vsz_growth=$((vsz[$last] - vsz[$first]))
  printf '%s: %d calls: VmRSS %+d kB (allowed %d), VmSize %+d kB, fds %+d, lowest free handle slot %+d, handle count %+d\n' \
    "$1" "$calls" "$rss_growth" "$allowed" "$vsz_growth" "$fd_growth" "$slot_growth" \
    $((handles[$last] - handles[$first]))
  if ((rss_growth > allowed || slot_growth > slot_slack || fd_growth > fd_slack)); then
    echo "$1: GROWTH beyond noise" >&2
    failed=1
  fi
}
starts=$(sed -n 's/.*--starts \([0-9]*\).*/\1/p' <<<"$*")
downloads=$(sed -n 's/.*--downloads \([0-9]*\).*/\1/p' <<<"$*")
check "Start" before-starts after-starts "${starts:-20000}"
check "DownloadFile" after-starts after-downloads "${downloads:-2000}"
check "all" before-starts after-downloads $((${starts:-20000} + ${downloads:-2000}))
exit $failed
