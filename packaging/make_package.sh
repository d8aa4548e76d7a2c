#!/bin/bash
# The two steps of building the package from built modules and the built
# native messaging host; tools/package and the package's Wine test run them.
#
#   make_package.sh rows REGISTRY_ROWS_EXE MODULE64 MODULE32 OUT_DIR
#       the registry rows of both modules, learnt from their own registration
#       by registry_rows.exe under 64-bit Wine in the prefix the environment
#       names (tools/wine-env); that prefix must not have the type library
#       registered. Writes registry64.wxi, registry32.wxi, registry-rows.tsv.
#       Also the host's manifests and per-machine rows, learnt from the host's
#       own registration (linked into registry_rows.exe): host64.wxi,
#       host-rows.tsv and the manifests.
#   make_package.sh msi ROWS_DIR MODULE64 MODULE32 HOST64 VERSION OUTPUT
#       the package itself, by wixl: needs no Wine.
#   make_package.sh version
#       the version of src/resources/version.h, a.b.c.d.
#   make_package.sh store-zip EXTENSION_DIR OUTPUT
#   make_package.sh xpi EXTENSION_DIR OUTPUT
#       the built extension folder (tools/build-extension) as the ZIP a
#       Chromium-family store takes, and as a Firefox XPI (unsigned). Both
#       without the manifest's "key": a store gives the extension its own id,
#       and Firefox knows it by its gecko id. Needs zip and Node.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

# The packaged modules: bits, File Id, Directory Id. packaging/vrpph.wxs
# holds a Component with the same ids for each; a further module whose
# registration writes rows is one more line here and one more --module.
modules=("64 vrpph64 INSTALLDIR64" "32 vrpph32 INSTALLDIR32")
# The host's installed name and folder: its manifests name it, and its
# component in packaging/vrpph.wxs installs it under this name.
host_name=vrpph-bridge.exe host_directory=INSTALLDIR64

fail() { echo "make_package: $*" >&2; exit 1; }
windows_path() { local path; path=$(realpath "$1") && printf 'Z:%s' "${path//\//\\}"; }

case ${1:-} in
  rows)
    (($# == 5)) || fail "usage: make_package.sh rows REGISTRY_ROWS_EXE MODULE64 MODULE32 OUT_DIR"
    exe=$2 out=$5
    declare -A built=([64]=$3 [32]=$4)
    mkdir -p "$out"
    arguments=()
    for module in "${modules[@]}"; do
      read -r bits file_id directory_id <<<"$module"
      [[ -f ${built[$bits]} ]] || fail "no $bits-bit module at ${built[$bits]}"
      arguments+=(--module "$bits" "$file_id" "$directory_id" "$(windows_path "${built[$bits]}")")
    done
    "$here/../tools/wine-run" "$exe" "$(windows_path "$out")" --host "$host_name" "$host_directory" \
      "${arguments[@]}" </dev/null || fail "registry_rows failed"
    for file in registry64.wxi registry32.wxi registry-rows.tsv host64.wxi host-rows.tsv; do
      [[ -s $out/$file ]] || fail "registry_rows wrote no $out/$file"
    done
    ;;
  msi)
    (($# == 7)) || fail "usage: make_package.sh msi ROWS_DIR MODULE64 MODULE32 HOST64 VERSION OUTPUT"
    rows=$2 module64=$3 module32=$4 host64=$5 version=$6 output=$7
    [[ $version =~ ^([0-9]+)\.([0-9]+)\.([0-9]+)(\.[0-9]+)?$ ]] || fail "'$version' is no version a.b.c[.d]"
    next="${BASH_REMATCH[1]}.${BASH_REMATCH[2]}.$((BASH_REMATCH[3] + 1))"
    command -v wixl >/dev/null || fail "wixl is not installed (tools/setup installs it)"
    for file in "$module64" "$module32" "$host64" "$rows/registry64.wxi" "$rows/registry32.wxi" "$rows/host64.wxi"; do
      [[ -f $file ]] || fail "missing $file"
    done
    mkdir -p "$(dirname "$output")"
    output=$(realpath "$output")
    # wixl resolves a File's Source from the folder it runs in, and an absolute
    # one makes GLib complain: the programs are staged beside the rows and the
    # host's manifests.
    cp "$module64" "$rows/module64.dll"
    cp "$module32" "$rows/module32.dll"
    cp "$host64" "$rows/host64.exe"
    # wixl only warns about what it ignores; every such warning is a fault here.
    (cd "$rows" && G_DEBUG=fatal-warnings wixl --arch x64 --includedir . -D "Version=$version" \
      -D "NextVersion=$next" -D Module64=module64.dll -D Module32=module32.dll -D Host64=host64.exe \
      -D "HostName=$host_name" -o "$output" "$here/vrpph.wxs") ||
      fail "wixl failed"
    ;;
  version)
    header=$here/../src/resources/version.h
    parts=()
    for part in MAJOR MINOR PATCH BUILD; do
      number=$(sed -n "s/^#define VRPPH_VERSION_$part \([0-9]\{1,5\}\)\$/\1/p" "$header")
      [[ -n $number ]] || fail "no VRPPH_VERSION_$part in $header"
      parts+=("$number")
    done
    (IFS=.; echo "${parts[*]}")
    ;;
  store-zip|xpi)
    (($# == 3)) || fail "usage: make_package.sh $1 EXTENSION_DIR OUTPUT"
    kind=$1 extension=$2 output=$3
    [[ -f $extension/manifest.json ]] || fail "no built extension at $extension (tools/build-extension makes it)"
    command -v zip >/dev/null || fail "zip is not installed"
    command -v node >/dev/null || fail "Node.js is not installed (Debian package nodejs)"
    mkdir -p "$(dirname "$output")"
    output=$(realpath "$output")
    staging=$(mktemp -d)
    trap 'rm -rf "$staging"' EXIT
    cp -R "$extension/." "$staging/"
    node -e '
      const fs = require("fs"), file = process.argv[1];
      const manifest = JSON.parse(fs.readFileSync(file, "utf8"));
      delete manifest.key;
      fs.writeFileSync(file, JSON.stringify(manifest, null, 2) + "\n");
    ' "$staging/manifest.json" || fail "could not write the manifest without its key"
    # The same bytes for the same folder: fixed times, names in order, no
    # owner or extra fields.
    find "$staging" -exec touch -h -d "1980-01-02T00:00:00Z" {} +
    rm -f "$output"
    (cd "$staging" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | TZ=UTC zip -q -X -D -@ "$output") ||
      fail "zip failed"
    rm -rf "$staging"
    trap - EXIT
    echo "make_package: $output ($kind, $(stat -c %s "$output") bytes)"
    ;;
  *) fail "usage: make_package.sh rows|msi|version|store-zip|xpi ..." ;;
esac
