#!/bin/bash
# Checks a DLL's PE surface from `objdump -p`: the expected format (PE32 for
# the 32-bit module, PE32+ for the 64-bit one), exactly the exports that
# src/resources/vrpph-win64.def names, undecorated, and imports from system
# DLLs only.
# Usage: check_dll_surface.sh 32|64 OBJDUMP FILE [--program]   (OBJDUMP may
# be `cat` to check a saved listing). --program: a program of the project
# (vrpph-bridge.exe), whose format and imports are checked, not exports.
set -euo pipefail

bits=$1
objdump_tool=$2
file=$3
program=0
[[ ${4:-} == --program ]] && program=1

if [[ $objdump_tool == cat ]]; then
  listing=$(cat -- "$file")
else
  listing=$("$objdump_tool" -p -- "$file")
fi

# The six names as the module definition lists them (the 64-bit one, whose
# names are the plain ones both modules export).
definition=$(dirname "$0")/../../src/resources/vrpph-win64.def
expected_exports=$(awk '/^EXPORTS/ { on = 1; next } on && NF { print $1 }' "$definition" | LC_ALL=C sort)

# Windows' own DLLs, lower-case; anything else would have to ship beside us.
is_system_dll() {
  case $1 in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ole32.dll | \
    oleaut32.dll | wininet.dll | comctl32.dll | msvcrt.dll | version.dll | shlwapi.dll | \
    urlmon.dll | comdlg32.dll) return 0 ;;
    *) return 1 ;;
  esac
}

status=0

case $bits in
  32) format=pei-i386 magic=PE32 ;;
  64) format=pei-x86-64 magic=PE32+ ;;
  *) echo "check_dll_surface: bits must be 32 or 64" >&2; exit 2 ;;
esac
# The optional header's magic ("Magic 010b (PE32)" or "020b (PE32+)") as well
# as the object format, so a listing cannot pass on its file name alone.
if ! grep -q "file format $format\$" <<<"$listing" ||
   ! awk -v m="($magic)" '$1 == "Magic" && $3 == m { found = 1 } END { exit !found }' <<<"$listing"; then
  echo "not a $bits-bit PE file ($magic)"
  status=1
fi

# The name table: lines like "	[   0] DllCanUnloadNow" after its heading.
exports=$(awk '/\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
               on && /^[[:space:]]*\[ *[0-9]+\]/ { print $NF; next }
               on { on = 0 }' <<<"$listing" | LC_ALL=C sort)
if ((!program)) && [[ $exports != "$expected_exports" ]]; then
  echo "exports differ from the expected six:"
  diff <(echo "$expected_exports") <(echo "$exports") | sed -n 's/^[<>]/  &/p' || true
  status=1
fi

imports=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$listing" | tr 'A-Z' 'a-z')
if [[ -z $imports ]]; then
  echo "no imports found"
  status=1
fi
for dll in $imports; do
  if ! is_system_dll "$dll"; then
    echo "non-system import: $dll"
    status=1
  fi
done

if ((status == 0)); then
  echo "exports: $(tr '\n' ' ' <<<"$exports")"
  echo "imports: $(tr '\n' ' ' <<<"$imports")"
fi
exit $status
