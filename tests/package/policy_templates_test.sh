#!/bin/bash
# The administrator's policy templates (packaging/policies): both files
# well-formed XML, every text and presentation the ADMX names present in the
# ADML, every list shown by a list box of its id, and each policy's key the
# one its browser family reads for this extension: Google Chrome's
# 3rdparty\extensions\<the key's id>\policy, Firefox's
# 3rdparty\Extensions\<the gecko id>. The values written are settings of the
# extension's managed schema where it is there.
#
#   policy_templates_test.sh [REPOSITORY]
set -uo pipefail
root=$(realpath "${1:-$(dirname "$0")/../..}")
admx=$root/packaging/policies/vrpph.admx
adml=$root/packaging/policies/en-US/vrpph.adml
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
command -v xmllint >/dev/null || { echo "policy_templates_test: xmllint is not installed (libxml2-utils)"; exit 1; }

for file in "$admx" "$adml"; do
  xmllint --noout "$file" || fail "${file#"$root"/} is not well-formed XML"
done
((failures == 0)) || exit 1

# Attribute values of the elements named, one per line.
values() {  # file, element, attribute
  xmllint --xpath "//*[local-name()='$2']/@$3" "$1" 2>/dev/null | sed -n "s/^ *$3=\"\\([^\"]*\\)\"\$/\\1/p"
}

# The ids the extension runs under: the key's, as the host lets it in, and
# the gecko id.
chromium_id=$(sed -n 's|.*kChromiumOrigin = "chrome-extension://\([a-p]\{32\}\)/";|\1|p' "$root/src/bridge/host_registration.h")
# Blanks and line breaks out first: the manifest's layout is its editor's.
gecko_id=$(tr -d ' \n' <"$root/extension/manifest.json" | sed -n 's/.*"gecko":{"id":"\([^"]*\)".*/\1/p')
[[ -n $chromium_id && -n $gecko_id ]] || fail "could not read the extension's ids (chromium '$chromium_id', gecko '$gecko_id')"

strings=$(values "$adml" string id)
# shellcheck disable=SC2016 # the ADMX's own $(...) references, not the shell's
while read -r name; do
  grep -qx "$name" <<<"$strings" || fail "the ADMX names the text $name, which the ADML lacks"
done < <(grep -o '\$(string\.[A-Za-z0-9_]*)' "$admx" | sed 's/^\$(string\.\(.*\))$/\1/' | sort -u)
presentations=$(values "$adml" presentation id)
# shellcheck disable=SC2016 # as above
while read -r name; do
  grep -qx "$name" <<<"$presentations" || fail "the ADMX names the presentation $name, which the ADML lacks"
done < <(grep -o '\$(presentation\.[A-Za-z0-9_]*)' "$admx" | sed 's/^\$(presentation\.\(.*\))$/\1/' | sort -u)
list_boxes=$(values "$adml" listBox refId)
for list in $(values "$admx" list id | sort -u); do
  grep -qx "$list" <<<"$list_boxes" || fail "no list box shows the list $list"
done

chromium_key="Software\\Policies\\Google\\Chrome\\3rdparty\\extensions\\$chromium_id\\policy"
firefox_key="Software\\Policies\\Mozilla\\Firefox\\3rdparty\\Extensions\\$gecko_id"
policies=0
while IFS= read -r key; do
  policies=$((policies + 1))
  [[ $key == "$chromium_key" || $key == "$chromium_key\\"* || $key == "$firefox_key" || $key == "$firefox_key\\"* ]] ||
    fail "the key $key is neither Chrome's nor Firefox's for this extension"
done < <(values "$admx" policy key; values "$admx" list key)
grep -qxF "$chromium_key" < <(values "$admx" policy key) || fail "no policy writes $chromium_key"
grep -qxF "$firefox_key" < <(values "$admx" policy key) || fail "no policy writes $firefox_key"

# Each setting written (a value's name, or a list's own subkey) is one of the
# managed schema's, and each family sets the same ones.
written=$( { values "$admx" policy valueName; values "$admx" list key | sed 's/.*\\//'; } | sort)
schema=$root/extension/managed_schema.json
if [[ -f $schema ]]; then
  while read -r setting; do
    grep -q "\"$setting\"" "$schema" || fail "the templates set $setting, which the managed schema lacks"
  done < <(sort -u <<<"$written")
else
  echo "policy_templates_test: no extension/managed_schema.json here; the settings' names are not checked against it"
fi
while read -r setting; do
  count=$(grep -cx "$setting" <<<"$written")
  ((count == 2)) || fail "$setting is set by $count policies, not one per browser family"
done < <(sort -u <<<"$written")

((failures == 0)) || exit 1
echo "policy_templates_test: both files well-formed; $policies keys, each Chrome's or Firefox's for this extension; $(sort -u <<<"$written" | paste -sd' ' -) set once per family"
