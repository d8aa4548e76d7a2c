#!/bin/bash
# The package under 64-bit Wine, in a fresh prefix: a silent install puts
# every row of both modules' registration in its view; a 64-bit client
# creates API by its ProgID and hands a download to the stand-in manager; the
# browsers' per-machine keys name the installed host's manifests, whose path
# is the installed host, and that host answers a hello; a newer package
# replaces the installed one; a repair puts back a deleted file, manifest
# and registry key; an older package is refused; the
# uninstall leaves the registry (HKLM in both views, HKCU) and drive C: as they
# were before, apart from the Installer's own leftovers named below. Last, what
# regsvr32 writes for the installed modules must be what the package wrote.
#
#   msi_wine_test.sh WORK_DIR REGISTRY_ROWS_EXE REGISTRY_DUMP_EXE MODULE64 MODULE32 HOST64 MANAGER_EXE
#
# Where this machine runs no 32-bit programs the package still carries and
# installs the 32-bit module (its rows are checked in the 32-bit view), but
# the 32-bit regsvr32 cannot run; the output says so.
set -uo pipefail
(($# == 7)) || { echo "usage: msi_wine_test.sh WORK_DIR ROWS_EXE DUMP_EXE MODULE64 MODULE32 HOST64 MANAGER_EXE" >&2; exit 2; }
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(realpath -m "$1") rows_exe=$2 dump_exe=$3 module64=$4 module32=$5 host64=$6 manager=$7
for file in "$rows_exe" "$dump_exe" "$module64" "$module32" "$host64" "$manager"; do
  [[ -f $file ]] || { echo "msi: FAIL: missing $file (build both Windows trees first)" >&2; exit 1; }
done
command -v wixl >/dev/null || { echo "msi: FAIL: wixl is not installed (run tools/setup)" >&2; exit 1; }

export VRPPH_WINE_ARCH=win64 VRPPH_WINEPREFIX=$work/prefix
source "$root/tools/wine-env"
vrpph_probe_arches
runs_win32=0
[[ " ${vrpph_arches[*]} " == *" win32 "* ]] && runs_win32=1

started=$SECONDS
failures=0
say() { printf 'msi: %s\n' "$*"; }
fail() { printf 'msi: FAIL: %s\n' "$*"; failures=$((failures + 1)); }
stop() { printf 'msi: FAIL: %s\n' "$*"; exit 1; }
elapsed() { printf '%ds' $((SECONDS - started)); }
# Says what a step showed, when it showed it without a failure.
reported=0
shown() {
  ((failures == reported)) && say "$*"
  reported=$failures
}

# A fresh prefix with one server for the whole test.
vrpph_wineserver -k 2>/dev/null
vrpph_wineserver -w 2>/dev/null
rm -rf "$work"
mkdir -p "$work"
"$root/tools/wine-prefix" >"$work/prefix.log" 2>&1 || stop "could not create the prefix (log: $work/prefix.log)"
vrpph_wineserver -p
trap 'vrpph_wineserver -k 2>/dev/null; vrpph_wineserver -w 2>/dev/null' EXIT
wine_quiet() { "$root/tools/wine-run" "$@" </dev/null >>"$work/wine.log" 2>&1; }
say "fresh win64 prefix ready ($(elapsed))"

# The packages: the rows are learnt in this prefix before anything is
# installed, and serve both versions.
version=$("$root/packaging/make_package.sh" version) || stop "no version"
[[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)(.*)$ ]]
newer="${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.$((BASH_REMATCH[3] + 1))${BASH_REMATCH[4]}"
drive=$WINEPREFIX/drive_c
test_dir=$drive/vrpph-test
mkdir -p "$test_dir"
"$root/packaging/make_package.sh" rows "$rows_exe" "$module64" "$module32" "$work/rows" >"$work/rows.log" 2>&1 ||
  stop "registry_rows failed: $(tail -n 5 "$work/rows.log")"
for v in "$version" "$newer"; do
  "$root/packaging/make_package.sh" msi "$work/rows" "$module64" "$module32" "$host64" "$v" \
    "$test_dir/vrpph-$v-x64.msi" \
    >>"$work/wixl.log" 2>&1 || stop "wixl failed for $v: $(tail -n 5 "$work/wixl.log")"
done
say "built vrpph-$version-x64.msi and vrpph-$newer-x64.msi from the modules' and the host's own registration ($(elapsed))"

# The stand-in manager and Trevalon's settings, before the first snapshot.
cp "$manager" "$test_dir/TQP.exe"
printf 'log=C:\\vrpph-test\\events.log\r\n' >"$test_dir/TQP.cfg"
cat >"$test_dir/settings.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Quorvane\Trevalon]
"AcceptingTypes"="ZIP, "
"ProgramPath"="C:\\vrpph-test\\TQP.exe"

[HKEY_CURRENT_USER\Software\Quorvane\Trevalon\DefAction]
"ZIP"=dword:00000000
REG
cat >"$test_dir/client.js" <<'JS'
var api = new ActiveXObject("Vrpph.API");
WScript.Echo("DownloadFile: " + api.DownloadFile(WScript.Arguments(0), WScript.Arguments(1), ""));
JS
wine_quiet reg import 'C:\vrpph-test\settings.reg' || stop "could not import the settings"
# Wine's script host registers its own type library on its first run: that
# belongs to the state before.
printf 'WScript.Echo("ready");\r\n' >"$test_dir/ready.js"
wine_quiet cscript //nologo 'C:\vrpph-test\ready.js' || stop "Wine's cscript does not run"
"$root/tools/wine-run" 'C:\vrpph-test\TQP.exe' </dev/null >/dev/null 2>&1 &
for ((i = 0; i < 100; i++)); do
  [[ -s $test_dir/events.log ]] && break
  sleep 0.1
done
[[ -s $test_dir/events.log ]] || stop "the stand-in manager did not start"

# A snapshot: the registry rows and every path under C: but the test's own
# folder, each sorted.
snapshot() {  # name
  wine_quiet "$dump_exe" "C:\\vrpph-test\\$1.raw" || stop "registry_dump failed"
  # Key and value names compare as the registry compares them.
  awk -F'\t' -v OFS='\t' '{ $3 = toupper($3); $5 = toupper($5); print }' "$test_dir/$1.raw" |
    LC_ALL=C sort -u >"$work/$1.reg"
  (cd "$drive" && find . -path ./vrpph-test -prune -o -print | LC_ALL=C sort) >"$work/$1.files"
}

# What Windows Installer keeps once it has removed its last product: the
# empty keys of its own registration and its empty cache folder. Nothing else
# may differ from before.
tab=$'\t'
installer_leftovers="^64${tab}HKLM${tab}SOFTWARE\\\\(CLASSES|MICROSOFT\\\\WINDOWS\\\\CURRENTVERSION)\\\\INSTALLER\\\\[^$tab]*${tab}key${tab}"
file_leftovers='^\./windows/Installer$'
# A key that was empty before may go once the package's own subkeys under it
# are removed: Wine's Installer takes such a parent along (seen with the
# 32-bit view's CLASSES\CLSID in a prefix of a 64-bit-only machine, where
# nothing else lies under it). A key that held anything before must stay.
without_empty_keys() {  # before: reads removed rows, prints those that held something
  awk -F'\t' -v before="$1" '
    BEGIN { while ((getline row < before) > 0) { split(row, f, "\t"); rows[++n] = f[1] "\t" f[2] "\t" f[3] "\t" f[4] } }
    $4 != "key" { print; next }
    {
      for (i = 1; i <= n; i++) {
        split(rows[i], f, "\t")
        if (f[1] != $1 || f[2] != $2) continue
        if ((f[3] == $3 && f[4] != "key") || index(f[3], $3 "\\") == 1) { print; next }
      }
    }'
}
compare() {  # before, after, what
  local added removed
  added=$(LC_ALL=C comm -13 "$work/$1.reg" "$work/$2.reg" | grep -Ev "$installer_leftovers")
  removed=$(LC_ALL=C comm -23 "$work/$1.reg" "$work/$2.reg" | grep -Ev "$installer_leftovers" |
    without_empty_keys "$work/$1.reg")
  [[ -z $added && -z $removed ]] || fail "$3: the registry differs from before:$(printf '\n+ %s' "$added")$(printf '\n- %s' "$removed")"
  added=$(LC_ALL=C comm -13 "$work/$1.files" "$work/$2.files" | grep -Ev "$file_leftovers")
  removed=$(LC_ALL=C comm -23 "$work/$1.files" "$work/$2.files" | grep -Ev "$file_leftovers")
  [[ -z $added && -z $removed ]] || fail "$3: drive C: differs from before:$(printf '\n+ %s' "$added")$(printf '\n- %s' "$removed")"
}

msiexec() {  # expected exit status (0, or "refused"), arguments...
  local expected=$1 status=0
  shift
  wine_quiet msiexec "$@" /qn || status=$?
  # Wine cuts the exit status to 8 bits: 1603 arrives as 67.
  if [[ $expected == refused ]]; then
    [[ $status == 1603 || $status == $((1603 % 256)) ]] || fail "msiexec $* exited $status, not 1603"
  elif ((status != 0)); then
    fail "msiexec $* exited $status"
  fi
}

snapshot before
say "snapshot before install: $(wc -l <"$work/before.reg") registry rows, $(wc -l <"$work/before.files") paths ($(elapsed))"

# The rows the package must write, as registry_dump shows them: each
# component's rows in its own view, its references resolved.
program_files64='C:\Program Files\Quorvane\vrpph\' program_files32='C:\Program Files (x86)\Quorvane\vrpph\'
msiexec 0 /i "C:\\vrpph-test\\vrpph-$version-x64.msi"
short64=$("$root/tools/wine-run" "$dump_exe" --short-path "${program_files64}vrpph.dll" </dev/null 2>/dev/null | tr -d '\r')
short32=$("$root/tools/wine-run" "$dump_exe" --short-path "${program_files32}vrpph.dll" </dev/null 2>/dev/null | tr -d '\r')
[[ -n $short64 && -n $short32 ]] || stop "the install put no vrpph.dll in both Program Files folders"
expected_rows() {  # row table of registry_rows: its component rows as registry_dump shows them
  # Fields split by a character no row holds, so that empty ones stay.
  tr '\t' '\037' <"$1" |
    while IFS=$'\037' read -r bits view placement root key kind name type data; do
      [[ $placement == component ]] || continue
      key=${key^^} name=${name^^}
      case $root in
        HKCR) key="SOFTWARE\\CLASSES\\$key" root=HKLM ;;
        HKLM | HKCU) ;;
        *) echo "unknown root $root" >&2; continue ;;
      esac
      [[ $root == HKCU ]] && bits=64  # one view
      if [[ $kind != value ]]; then
        printf '%s\t%s\t%s\tkey\t\t0\t\n' "$bits" "$root" "$key"
        continue
      fi
      data=${data//"[#vrpph64]"/"${program_files64}vrpph.dll"}
      data=${data//"[#vrpph32]"/"${program_files32}vrpph.dll"}
      data=${data//"[!vrpph64]"/"$short64"}
      data=${data//"[!vrpph32]"/"$short32"}
      data=${data//"[INSTALLDIR64]"/"$program_files64"}
      data=${data//"[INSTALLDIR32]"/"$program_files32"}
      # registry_dump shows a number as its four bytes in hex.
      [[ $type == 4 ]] && data=$(printf '%08x' "$data" | sed -E 's/(..)(..)(..)(..)/hex:\4\3\2\1/')
      printf '%s\t%s\t%s\tvalue\t%s\t%s\t%s\n' "$bits" "$root" "$key" "$name" "$type" "$data"
    done | LC_ALL=C sort -u
}
expected_rows "$work/rows/registry-rows.tsv" >"$work/expected.reg"
expected_rows "$work/rows/host-rows.tsv" >"$work/expected-host.reg"
[[ -s $work/expected.reg ]] || stop "registry_rows placed no row in a component"
[[ -s $work/expected-host.reg ]] || stop "registry_rows made no row of the host's"
expect_rows() {  # snapshot, what
  local missing
  missing=$(LC_ALL=C comm -23 "$work/expected.reg" "$work/$1.reg")
  [[ -z $missing ]] || fail "$2: rows of the modules' registration missing:$(printf '\n  %s' "$missing")"
  missing=$(LC_ALL=C comm -23 "$work/expected-host.reg" "$work/$1.reg")
  [[ -z $missing ]] || fail "$2: rows of the host's registration missing:$(printf '\n  %s' "$missing")"
}
uninstall_entries() {  # snapshot: the DisplayVersion of each entry named vrpph
  awk -F'\t' '$1 == 64 && $2 == "HKLM" && $3 ~ /^SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\[^\\]*$/ {
      if ($5 == "DISPLAYNAME") name[$3] = $7
      if ($5 == "DISPLAYVERSION") shown[$3] = $7
    }
    END { for (key in name) if (name[key] == "vrpph") print shown[key] }' "$work/$1.reg"
}

# The browsers' per-machine keys (64-bit view) and the family of manifest
# each must name: where Chromium-family browsers and Firefox look for a host.
host_keys=(
  'SOFTWARE\GOOGLE\CHROME\NATIVEMESSAGINGHOSTS\VRPPH.BRIDGE chromium'
  'SOFTWARE\MICROSOFT\EDGE\NATIVEMESSAGINGHOSTS\VRPPH.BRIDGE chromium'
  'SOFTWARE\CHROMIUM\NATIVEMESSAGINGHOSTS\VRPPH.BRIDGE chromium'
  'SOFTWARE\BRAVESOFTWARE\BRAVE-BROWSER\NATIVEMESSAGINGHOSTS\VRPPH.BRIDGE chromium'
  'SOFTWARE\MOZILLA\NATIVEMESSAGINGHOSTS\VRPPH.BRIDGE firefox'
)
unix_path() {  # a path on C:, in this prefix
  local path=${1//\\//}
  [[ $path =~ ^[Cc]:(/.*)$ ]] && printf '%s%s' "$drive" "${BASH_REMATCH[1]}"
}
manifest_text() {  # manifest, field: a text field, as the host writes its manifests (one field a line)
  sed -n "s/^ *\"$2\": \"\\(.*\\)\",\{0,1\}\$/\\1/p" "$1" | sed 's/\\\\/\\/g'
}
# Each key names an installed manifest of its family whose "path", read as
# both families read it on Windows (relative to the manifest's folder), is the
# installed host. Sets host_program to that path as Windows spells it.
host_program=
host_in_place() {  # snapshot, what
  local entry key family value manifest path program
  for entry in "${host_keys[@]}"; do
    read -r key family <<<"$entry"
    value=$(awk -F'\t' -v key="$key" '$1 == 64 && $2 == "HKLM" && $3 == key && $4 == "value" && $5 == "@" { print $7 }' \
      "$work/$1.reg")
    manifest=$(unix_path "$value")
    if [[ -z $manifest || ! -f $manifest ]]; then
      fail "$2: HKLM\\$key names '$value', no installed file"
      continue
    fi
    [[ $(manifest_text "$manifest" name) == vrpph.bridge && $(manifest_text "$manifest" type) == stdio ]] ||
      fail "$2: $value is no stdio manifest of vrpph.bridge"
    case $family in
      chromium) grep -q '"allowed_origins": \[' "$manifest" || fail "$2: $value lists no allowed_origins" ;;
      firefox) grep -q '"allowed_extensions": \[' "$manifest" || fail "$2: $value lists no allowed_extensions" ;;
    esac
    path=$(manifest_text "$manifest" path)
    [[ $path =~ ^[A-Za-z]:\\ ]] || path="${value%\\*}\\$path"
    program=$(unix_path "$path")
    if [[ -n $program ]] && cmp -s "$host64" "$program"; then
      host_program=$path
    else
      fail "$2: the path in $value, $path, is not the installed host"
    fi
  done
}
frame() {  # JSON text: native messaging's frame of it
  local n=${#1}
  printf "$(printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((n & 255)) $((n >> 8 & 255)) $((n >> 16 & 255)) $((n >> 24 & 255)))"
  printf '%s' "$1"
}

snapshot installed
expect_rows installed "install of $version"
# Every change the package makes to the classes is one of the modules' rows.
extra=$(LC_ALL=C comm -13 "$work/before.reg" "$work/installed.reg" | grep -F $'\tSOFTWARE\\CLASSES\\' |
  grep -Fv $'\tSOFTWARE\\CLASSES\\INSTALLER\\' | cut -f2- | LC_ALL=C sort -u |
  LC_ALL=C comm -23 - <(cut -f2- "$work/expected.reg" | LC_ALL=C sort -u))
[[ -z $extra ]] || fail "install of $version: class rows that no registration writes:$(printf '\n  %s' "$extra")"
cmp -s "$module64" "$drive/Program Files/Quorvane/vrpph/vrpph.dll" || fail "the 64-bit module is not in the 64-bit Program Files"
cmp -s "$module32" "$drive/Program Files (x86)/Quorvane/vrpph/vrpph.dll" || fail "the 32-bit module is not in the 32-bit Program Files"
[[ $(uninstall_entries installed) == "$version" ]] ||
  fail "install of $version: Add/Remove Programs entries: '$(uninstall_entries installed | paste -sd' ')'"
shown "installed $version: $(wc -l <"$work/expected.reg") rows of both modules' registration in their views ($(elapsed))"
host_in_place installed "install of $version"
shown "installed $version: the browsers' ${#host_keys[@]} per-machine keys name manifests whose path is the installed host ($(elapsed))"

# The installed host, started as a browser starts it (from the manifest's
# path, with the caller's origin), answers one framed hello and ends with its
# input.
if [[ -n $host_program ]]; then
  frame '{"id":"h1","type":"hello"}' >"$work/hello.in"
  status=0
  timeout 60 "$root/tools/wine-run" "$host_program" chrome-extension://vrpph-test/ <"$work/hello.in" \
    >"$work/hello.out" 2>>"$work/wine.log" || status=$?
  size=$(stat -c %s "$work/hello.out")
  length=$(od -An -tu1 -N4 "$work/hello.out" | awk '{ print $1 + 256 * $2 + 65536 * $3 + 16777216 * $4 }')
  answer=$(tail -c +5 "$work/hello.out")
  if ((status != 0)); then
    fail "the installed host exited $status on a hello"
  elif ((size < 4 || length != size - 4)); then
    fail "the installed host's output is not one frame ($size bytes, the first frame says ${length:-no} bytes)"
  elif [[ $answer != '{"id":"h1","state":"hello","version":"'"$version"'",'* ]]; then
    fail "the installed host answered the hello with: $answer"
  fi
  shown "the installed host answered a framed hello: $answer ($(elapsed))"
else
  fail "no hello sent: no browser's key led to the installed host"
fi

# A 64-bit script client reaches API by its ProgID through the installed
# rows, and the download reaches the stand-in.
url=http://downloads.example.com/files/tool.zip
client=$("$root/tools/wine-run" cscript //nologo 'C:\vrpph-test\client.js' "$url" http://downloads.example.com/ \
  </dev/null 2>&1 | tr -d '\r')
if grep -aq "URL=$url" "$test_dir/events.log"; then
  say "a 64-bit script client created Vrpph.API; the stand-in received URL=$url ($client)"
else
  fail "the stand-in received no record for $url; the client said: $client"
fi
reported=$failures

msiexec 0 /i "C:\\vrpph-test\\vrpph-$newer-x64.msi"
snapshot upgraded
expect_rows upgraded "upgrade to $newer"
[[ $(uninstall_entries upgraded) == "$newer" ]] ||
  fail "upgrade to $newer: Add/Remove Programs entries: '$(uninstall_entries upgraded | paste -sd' ')'"
host_in_place upgraded "upgrade to $newer"
shown "upgraded to $newer: one product, every row and the host in place ($(elapsed))"

# A repair puts back a removed file, manifest and registry value.
rm -f "$drive/Program Files/Quorvane/vrpph/vrpph.dll" "$drive/Program Files/Quorvane/vrpph/"*.json
wine_quiet reg delete 'HKCR\Vrpph.API\CLSID' /f /reg:64 || fail "could not delete HKCR\Vrpph.API\CLSID"
# The property form of /famus: Wine's msiexec answers /f with its usage.
msiexec 0 /i "C:\\vrpph-test\\vrpph-$newer-x64.msi" REINSTALL=ALL REINSTALLMODE=amus
snapshot repaired
expect_rows repaired "repair"
cmp -s "$module64" "$drive/Program Files/Quorvane/vrpph/vrpph.dll" || fail "repair: the 64-bit module is not back"
host_in_place repaired "repair"
shown "a repair put back a deleted module, the host's deleted manifests and a deleted registry key ($(elapsed))"

msiexec refused /i "C:\\vrpph-test\\vrpph-$version-x64.msi"
snapshot refused
compare repaired refused "the refused install of $version"
shown "the older $version is refused and changes nothing ($(elapsed))"

msiexec 0 /x "C:\\vrpph-test\\vrpph-$newer-x64.msi"
snapshot removed
compare before removed "uninstall"
[[ -z $(uninstall_entries removed) ]] || fail "uninstall: an Add/Remove Programs entry is left"
shown "uninstalled: the registry and drive C: are as before ($(elapsed))"

# regsvr32 of the same files at the same places writes what the package did.
mkdir -p "$drive/Program Files/Quorvane/vrpph" "$drive/Program Files (x86)/Quorvane/vrpph"
cp "$module64" "$drive/Program Files/Quorvane/vrpph/vrpph.dll"
cp "$module32" "$drive/Program Files (x86)/Quorvane/vrpph/vrpph.dll"
wine_quiet regsvr32 /s "${program_files64}vrpph.dll" || fail "the 64-bit regsvr32 failed"
if ((runs_win32)); then
  wine_quiet 'C:\windows\syswow64\regsvr32.exe' /s "${program_files32}vrpph.dll" || fail "the 32-bit regsvr32 failed"
  registered="both regsvr32s"
else
  registered="the 64-bit regsvr32 (the 32-bit one cannot run: $vrpph_win32_missing)"
fi
snapshot registered
# Not carried alike, as registry_rows says: the platform's own handler
# values, which registration rewrites and the package leaves alone, and the
# one value of a shared key whose data depends on which regsvr32 ran last.
awk -F'\t' '$3 == "platform" || $3 == "shared-with-64" {
    if ($4 == "HKCR") print toupper("SOFTWARE\\CLASSES\\" $5) "\t" toupper($7)
  }' "$work/rows/registry-rows.tsv" | LC_ALL=C sort -u >"$work/not-carried.keys"
LC_ALL=C comm -13 "$work/removed.reg" "$work/registered.reg" >"$work/registered.added"
carried() { awk -F'\t' 'NR == FNR { skip[$0] = 1; next } !(($3 "\t" $5) in skip)' "$work/not-carried.keys" -; }
differs=$(carried <"$work/registered.added" | LC_ALL=C comm -23 - "$work/installed.reg")
[[ -z $differs ]] || fail "rows $registered wrote that the package did not:$(printf '\n  %s' "$differs")"
# And the other way round: every row made for a component whose regsvr32 ran.
# Outside CLSID and Interface, which each view keeps apart, the view a row
# lands in is the platform's business: Windows shares those keys, and Wine's
# 32-bit regsvr32 writes the ProgIDs where the 32-bit view does not show them.
views=64
((runs_win32)) && views='64|32'
any_view() {
  awk -F'\t' -v OFS='\t' '$3 !~ /^SOFTWARE\\CLASSES\\(CLSID|INTERFACE)\\/ { $1 = "*" } { print }' |
    LC_ALL=C sort -u
}
unwritten=$(grep -E "^($views)$tab" "$work/expected.reg" | carried | any_view |
  LC_ALL=C comm -23 - <(any_view <"$work/registered.reg"))
[[ -z $unwritten ]] || fail "rows the package writes that $registered did not:$(printf '\n  %s' "$unwritten")"
shown "what $registered wrote, the package wrote alike, but for $(wc -l <"$work/not-carried.keys") values it leaves to the platform or the 64-bit module ($(elapsed))"

if ((failures)); then
  say "$failures failures (work folder: $work)"
  exit 1
fi
((runs_win32)) ||
  say "the 32-bit module was installed and its rows checked in the 32-bit view, but not run: $vrpph_win32_missing"
# A passed run needs no prefix to look into; it takes more than a gigabyte.
vrpph_wineserver -k 2>/dev/null
vrpph_wineserver -w 2>/dev/null
rm -rf "$WINEPREFIX"
say "passed in $(elapsed)"
